// SPDX-License-Identifier: GPL-3.0-or-later
#include "datespinbox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace mirado {

DateSpinBox::DateSpinBox(QWidget *parent, int minimum, int maximum, int value, int maxLength)
    : QSpinBox(parent)
{
    setRange(minimum, maximum);
    setValue(value);
    setWrapping(false);
    setAccelerated(false);
    setKeyboardTracking(false);
    lineEdit()->setReadOnly(true);
    lineEdit()->setMaxLength(maxLength);
    lineEdit()->setContextMenuPolicy(Qt::NoContextMenu);
}

void DateSpinBox::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        QSpinBox::keyPressEvent(event);
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
        // Moving the focus or the cursor changes nothing.
        QSpinBox::keyPressEvent(event);
        return;
    default:
        if (event->modifiers() & Qt::AltModifier) {
            // Menu access keys go to the window.
            event->ignore();
            return;
        }
        QApplication::beep();
        event->accept();
    }
}

void DateSpinBox::wheelEvent(QWheelEvent *event)
{
    event->ignore();
}

void DateSpinBox::contextMenuEvent(QContextMenuEvent *event)
{
    event->accept();
}

} // namespace mirado
