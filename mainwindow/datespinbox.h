// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSpinBox>

namespace mirado {

// A spin edit whose value changes only through its arrows and the up and
// down keys, one step at a time, held within its range. Typing, backspace,
// cut and paste are refused with a beep; the mouse wheel does nothing.
class DateSpinBox : public QSpinBox
{
    Q_OBJECT

public:
    DateSpinBox(QWidget *parent, int minimum, int maximum, int value, int maxLength);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
};

} // namespace mirado
