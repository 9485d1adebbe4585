// SPDX-License-Identifier: GPL-3.0-or-later
#include "nighttime.h"

#include <cmath>
#include <cstdio>

#include <erfa.h>

#include "data/errors.h"

namespace mirado {

DateTimeValue NightDateTime(TDateRec date, double hours)
{
    const auto seconds = static_cast<std::int64_t>(std::llround(hours * kSecondsPerHour));
    return DateTimeValue(DateTimeValue::FromParts(date, 0, 0, 0).seconds() + seconds);
}

namespace {

constexpr double kUnixEpochJd = 2440587.5;
constexpr double kHoursPerDay = 24.0;

} // namespace

NightTimeScales::NightTimeScales(TDateRec date, double timeZone)
    : midnightJd_(kUnixEpochJd +
                  static_cast<double>(DateTimeValue::FromParts(date, 0, 0, 0).seconds() /
                                      static_cast<std::int64_t>(kSecondsPerDay))),
      timeZone_(timeZone)
{}

JulianDate NightTimeScales::Utc(double hours) const
{
    const double days = (hours - timeZone_) / kHoursPerDay;
    const double whole = std::floor(days);
    return {midnightJd_ + whole, days - whole};
}

JulianDate NightTimeScales::Tt(double hours) const
{
    const JulianDate utc = Utc(hours);
    JulianDate tai;
    JulianDate tt;
    if (eraUtctai(utc.whole, utc.fraction, &tai.whole, &tai.fraction) < 0 ||
        eraTaitt(tai.whole, tai.fraction, &tt.whole, &tt.fraction) != 0)
        ThrowRangeCheckError();
    return tt;
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
