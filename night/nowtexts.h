// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The texts and the marker position of the current-time display, computed
// from one reading of the local clock.

#include <functional>
#include <string>

#include "astro/clocktime.h"
#include "astro/types.h"

namespace mirado {

// The locale's short date format and long time format.
struct LocaleFormats
{
    std::function<std::string(const TDateRec &)> shortDate;
    std::function<std::string(std::int32_t hours, std::int32_t minutes, std::int32_t seconds)>
        longTime;
};

inline constexpr double kMarkerY = 45.0;

// The present moment on the night axis: hour + minute / 60 from 07:00 on,
// hour + 24 + minute / 60 before 07:00. Seconds do not count.
double MarkerX(const THMSRec &local);

// The local time label: two lines separated by a carriage return. From 09:00
// on, the date and the time in the locale's formats; before 09:00 the previous
// evening's clock goes on: the day before, over hour + 24 as "%-2.2d:%-2.2d:%-2.2d"
// (00:30:05 reads 24:30:05).
std::string LocalTimeLabel(const DateTimeValue &local, const LocaleFormats &formats);

// " UT " + year.month.day of universal time + " " + its time in the long time
// format. Raises "Range check error" when the zone's minutes do not fit
// 32 bits.
std::string UniversalTimeText(const DateTimeValue &local, double timeZone,
                              const LocaleFormats &formats);

// " LST " + the sidereal time at the sidereal rate, rounded to a whole second
// (carried into the minutes and hours, 24:00:00 read as 00:00:00), as
// "%-2.2d:%-2.2d:%-2.f".
// dblGetLSTSecNow reports its own failures through `warn` and gives 0.
std::string SiderealTimeText(const DateTimeValue &local, double longitude, double timeZone,
                             const WarningReporter &warn);

// "%-2.2d": at least two digits, left-aligned in two characters.
std::string TwoDigits(std::int32_t value);
// "%-2.f": rounded to a whole number (halves away from zero), left-aligned in
// two characters.
std::string RoundedSeconds(double value);

} // namespace mirado
