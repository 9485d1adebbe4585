// SPDX-License-Identifier: GPL-3.0-or-later
#include "clocktime.h"

#include "data/checked.h"

namespace mirado {

namespace {

constexpr std::int64_t kSecondsPerMinute = 60;

// Days from 1970-01-01 of a proleptic Gregorian date (H. Hinnant's algorithm).
std::int64_t DaysFromCivil(std::int64_t y, std::int64_t m, std::int64_t d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

TDateRec CivilFromDays(std::int64_t z)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t y = yoe + era * 400 + (m <= 2);
    return {static_cast<std::int32_t>(y), static_cast<std::int32_t>(m),
            static_cast<std::int32_t>(d)};
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

} // namespace

double SecondsOf(std::int32_t hours, std::int32_t minutes, double seconds)
{
    return CheckedAdd(CheckedMul(hours, 3600), CheckedMul(minutes, 60)) + seconds;
}

DateTimeValue DateTimeValue::FromParts(TDateRec date, std::int32_t hours, std::int32_t minutes,
                                       std::int32_t seconds)
{
    return DateTimeValue(DaysFromCivil(date.year, date.month, date.day) * kSecondsPerDayInt +
                         std::int64_t{hours} * 3600 + std::int64_t{minutes} * 60 + seconds);
}

TDateRec DateTimeValue::date() const
{
    return CivilFromDays(FloorDiv(seconds_, kSecondsPerDayInt));
}

THMSRec DateTimeValue::time() const
{
    const std::int64_t ofDay = seconds_ - FloorDiv(seconds_, kSecondsPerDayInt) * kSecondsPerDayInt;
    return {static_cast<std::int32_t>(ofDay / 3600), static_cast<std::int32_t>(ofDay / 60 % 60),
            static_cast<double>(ofDay % 60)};
}

TDateRec NightDateOf(DateTimeValue localNow)
{
    if (localNow.time().hours >= kNightEndHour)
        return localNow.date();
    return DateTimeValue(localNow.seconds() - kSecondsPerDayInt).date();
}

DateTimeValue GetUTDateTime(DateTimeValue localDateTime, double timeZone)
{
    const std::int32_t minutes = TruncToInt32(timeZone * 60.0);
    return DateTimeValue(localDateTime.seconds() - std::int64_t{minutes} * kSecondsPerMinute);
}

void GetHMSFromSec(THMSRec &result, double value)
{
    const std::int32_t hours = TruncToInt32(value / 3600.0);
    const double rest = value - CheckedMul(CheckedMul(hours, 60), 60);
    const std::int32_t minutes = TruncToInt32(rest / 60.0);
    result.hours = hours;
    result.minutes = minutes;
    result.seconds = rest - CheckedMul(minutes, 60);
}

} // namespace mirado
