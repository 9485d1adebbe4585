// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Times of one night at a site. The night of a date runs from 12:00 site time
// on that date to 12:00 the next day. A moment of it is held as hours after
// 00:00 site time of the date, 12 to 36, the same measure as the chart's night
// axis (24 is midnight, 31 is 07:00 the next morning).

#include <string>

#include "astro/clocktime.h"
#include "astro/types.h"

namespace mirado {

inline constexpr double kNightStartHours = 12.0;
inline constexpr double kNightEndHours = 36.0;

// Where the night is watched from: degrees east, degrees north, hours ahead
// of universal time (the site file's three values).
struct NightSite
{
    double longitude = 0.0;
    double latitude = 0.0;
    double timeZone = 0.0;
};

// A stretch of the night, from `begin` to `end` hours (begin <= end).
struct NightInterval
{
    double begin = 0.0;
    double end = 0.0;
};

// The site-local date-time of `hours` after 00:00 site time of `date`,
// rounded to the nearest second. A day past the month's end rolls over.
DateTimeValue NightDateTime(TDateRec date, double hours);

// A two-part Julian Date as ERFA takes it: `whole` the Julian Date of a 0h,
// `fraction` the fraction of that day.
struct JulianDate
{
    double whole = 0.0;
    double fraction = 0.0;
};

// The moments of the night of `date` at a site `timeZone` hours ahead of
// universal time, on the time scales ERFA works in.
class NightTimeScales
{
public:
    NightTimeScales(TDateRec date, double timeZone);

    // UTC of `hours` site time (a quasi Julian Date, as ERFA has UTC); with
    // UT1 = UTC, also UT1.
    JulianDate Utc(double hours) const;
    // TT of `hours` site time. Raises "Range check error" for a date before
    // 4713 BC.
    JulianDate Tt(double hours) const;

private:
    double midnightJd_; // UTC Julian Date of 00:00 UTC on the date's calendar day
    double timeZone_;
};

// "YYYY-MM-DDTHH:MM:SS".
std::string FormatIsoDateTime(DateTimeValue value);
// "YYYY-MM-DD".
std::string FormatIsoDate(const TDateRec &date);

} // namespace mirado
