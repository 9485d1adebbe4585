// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QKeyEvent>

namespace mirado {

// A modal dialog without a default or cancel button: Enter and Escape press
// nothing. The close box closes it.
class PlainDialog : public QDialog
{
    Q_OBJECT

public:
    using QDialog::QDialog;

protected:
    void keyPressEvent(QKeyEvent *event) override
    {
        switch (event->key()) {
        case Qt::Key_Escape:
        case Qt::Key_Return:
        case Qt::Key_Enter:
            event->accept();
            return;
        default:
            QDialog::keyPressEvent(event);
        }
    }
};

} // namespace mirado
