// SPDX-License-Identifier: GPL-3.0-or-later
#include "about.h"

namespace mirado {

TfrmAbout::TfrmAbout(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setModal(true);
}

} // namespace mirado
