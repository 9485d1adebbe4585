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

// The site's local time at universal time `ut`: moved forward by the time zone
// (hours, east positive) taken to whole minutes toward zero, so that
// GetUTDateTime gives `ut` back. The site's time is its standard time: the
// site file holds no daylight-saving rule. Raises "Range check error" when the
// zone's minutes do not fit a signed 32-bit integer.
DateTimeValue SiteLocalTime(DateTimeValue ut, double timeZone);

// The present moment as the site's local time, whatever the computer's zone.
DateTimeValue SiteNow(double timeZone);

} // namespace mirado
