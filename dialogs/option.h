// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

namespace mirado {

// The options dialog: the observing site and the catalogue opened at start.
class TfrmOption : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmOption(QWidget *parent);
};

} // namespace mirado
