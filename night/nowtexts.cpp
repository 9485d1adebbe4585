// SPDX-License-Identifier: GPL-3.0-or-later
#include "nowtexts.h"

#include <cmath>
#include <cstdio>

#include "astro/sidereal.h"

namespace mirado {

namespace {

constexpr std::int32_t kLabelMorningEndHour = 9;

} // namespace

std::string TwoDigits(std::int32_t value)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%-2.2d", static_cast<int>(value));
    return buffer;
}

std::string RoundedSeconds(double value)
{
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%-2.f", std::round(value));
    return buffer;
}

double MarkerX(const THMSRec &local)
{
    const std::int32_t hours = local.hours < kNightEndHour ? local.hours + 24 : local.hours;
    return hours + local.minutes / 60.0;
}

std::string LocalTimeLabel(const DateTimeValue &local, const LocaleFormats &formats)
{
    const THMSRec time = local.time();
    const auto seconds = static_cast<std::int32_t>(time.seconds);
    if (time.hours >= kLabelMorningEndHour)
        return formats.shortDate(local.date()) + "\r" +
               formats.longTime(time.hours, time.minutes, seconds);
    const TDateRec dayBefore = DateTimeValue(local.seconds() - kSecondsPerDayInt).date();
    return formats.shortDate(dayBefore) + "\r" + TwoDigits(time.hours + 24) + ":" +
           TwoDigits(time.minutes) + ":" + TwoDigits(seconds);
}

std::string UniversalTimeText(const DateTimeValue &local, double timeZone,
                              const LocaleFormats &formats)
{
    const DateTimeValue ut = GetUTDateTime(local, timeZone);
    const TDateRec d = ut.date();
    const THMSRec t = ut.time();
    return " UT " + std::to_string(d.year) + "." + std::to_string(d.month) + "." +
           std::to_string(d.day) + " " +
           formats.longTime(t.hours, t.minutes, static_cast<std::int32_t>(t.seconds));
}

std::string SiderealTimeText(const DateTimeValue &local, double longitude, double timeZone,
                             const WarningReporter &warn)
{
    const double lst = dblGetLSTSecNow(local.date(), local.time(), longitude, timeZone, warn);
    // Rounded to a whole second before it is split, so that the seconds never
    // read 60: 23:59:59.5 carries into 00:00:00.
    double wholeSeconds = std::round(lst);
    if (wholeSeconds >= kSecondsPerDay)
        wholeSeconds -= kSecondsPerDay;
    THMSRec split;
    GetHMSFromSec(split, wholeSeconds);
    return " LST " + TwoDigits(split.hours) + ":" + TwoDigits(split.minutes) + ":" +
           RoundedSeconds(split.seconds);
}

} // namespace mirado
