// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's one clock. Everything that needs the present moment asks
// UtcNow(), so tests can stand at any moment they like.

#include <cstdint>
#include <functional>

#include "astro/clocktime.h"

namespace mirado {

// The present moment as universal time, to the second, from the system clock.
DateTimeValue UtcNow();

// The present moment at a site `timeZone` hours ahead of universal time,
// whatever zone the computer keeps: SiteLocalTime(UtcNow(), timeZone).
DateTimeValue SiteLocalNow(double timeZone);

// Replaces the clock; an empty function gives back the system clock.
void SetUtcClockForTesting(std::function<DateTimeValue()> clock);

// Milliseconds on a clock that only runs forward, from an arbitrary start: for
// telling how long something has taken, never the time of day.
std::int64_t MonotonicMs();

// Replaces the monotonic clock; an empty function gives back the system's.
void SetMonotonicClockForTesting(std::function<std::int64_t()> clock);

// The site's local time at universal time `ut`: moved forward by the time zone
// (hours, east positive) taken to whole minutes toward zero, so that
// GetUTDateTime gives `ut` back. The site's time is its standard time: the
// site file holds no daylight-saving rule. Raises "Range check error" when the
// zone's minutes do not fit a signed 32-bit integer.
DateTimeValue SiteLocalTime(DateTimeValue ut, double timeZone);

} // namespace mirado
