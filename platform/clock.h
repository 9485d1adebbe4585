// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's one clock. Everything that needs the present moment asks
// LocalNow(), so tests can stand at any moment they like.

#include <QDateTime>
#include <functional>

#include "astro/clocktime.h"

namespace mirado {

// The computer's local date and time, to the second.
QDateTime LocalNow();

// Replaces the clock; an empty function gives back the system clock.
void SetClockForTesting(std::function<QDateTime()> clock);

// A local date and time as the astronomy routines take it.
DateTimeValue ToDateTimeValue(const QDateTime &local);
QDateTime ToQDateTime(const DateTimeValue &value);

} // namespace mirado
