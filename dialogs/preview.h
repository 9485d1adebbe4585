// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

namespace mirado {

// The print preview window. It is created at start, last of the program's
// windows, and no command shows it: its menu item stays disabled.
class TfrmPreview : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmPreview(QWidget *parent) : QWidget(parent, Qt::Window)
    {
        setObjectName(QStringLiteral("frmPreview"));
        hide();
    }
};

} // namespace mirado
