// SPDX-License-Identifier: GPL-3.0-or-later
#include "option.h"

namespace mirado {

TfrmOption::TfrmOption(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmOption"));
    setModal(true);
}

} // namespace mirado
