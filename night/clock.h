// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's one clock. Everything that needs the present moment asks
// UtcNow(), so tests can stand at any moment they like.

#include <functional>

#include "astro/clocktime.h"

namespace mirado {

// The present moment as universal time, to the second, from the system clock.
DateTimeValue UtcNow();

// The present moment at a site `timeZone` hours ahead of universal time:
// UtcNow() moved on by the zone in whole minutes toward zero, the same minutes
// GetUTDateTime takes off. Raises "Range check error" when they do not fit 32
// bits.
DateTimeValue SiteLocalNow(double timeZone);

// Replaces the clock; an empty function gives back the system clock.
void SetUtcClockForTesting(std::function<DateTimeValue()> clock);

} // namespace mirado
