// SPDX-License-Identifier: GPL-3.0-or-later
#include "nighttime.h"

#include <cmath>
#include <cstdio>

namespace mirado {

DateTimeValue NightDateTime(TDateRec date, double hours)
{
    const auto seconds = static_cast<std::int64_t>(std::llround(hours * kSecondsPerHour));
    return DateTimeValue(DateTimeValue::FromParts(date, 0, 0, 0).seconds() + seconds);
}

std::string FormatIsoDateTime(DateTimeValue value)
{
    const TDateRec date = value.date();
    const THMSRec time = value.time();
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", date.year, date.month,
                  date.day, time.hours, time.minutes, static_cast<int>(time.seconds));
    return text;
}

std::string FormatIsoDate(const TDateRec &date)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

} // namespace mirado
