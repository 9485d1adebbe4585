// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Clock times and date-time values for the current-time display.

#include <cstdint>

#include "types.h"

namespace mirado {

// hours * 3600 + minutes * 60 in checked 32-bit arithmetic, plus seconds.
double SecondsOf(std::int32_t hours, std::int32_t minutes, double seconds);

// A civil date and time to the second, with no time zone attached: the
// computer's local time or, after GetUTDateTime, universal time. Held as whole
// seconds from 1970-01-01 00:00:00 of the same reckoning, so moving it by whole
// minutes is exact.
class DateTimeValue
{
public:
    constexpr DateTimeValue() = default;
    constexpr explicit DateTimeValue(std::int64_t seconds) : seconds_(seconds) {}

    // From a date (proleptic Gregorian calendar) and a time of day.
    static DateTimeValue FromParts(TDateRec date, std::int32_t hours, std::int32_t minutes,
                                   std::int32_t seconds);

    std::int64_t seconds() const { return seconds_; }
    TDateRec date() const;
    // Time of day: hours 0 to 23, minutes, whole seconds.
    THMSRec time() const;

    friend bool operator==(DateTimeValue, DateTimeValue) = default;

private:
    std::int64_t seconds_ = 0;
};

// The date that names the night a local moment belongs to: the same day from
// 07:00 on, the previous calendar day before 07:00.
TDateRec NightDateOf(DateTimeValue localNow);

// The universal time of a local date-time value: moved back by the time zone
// taken to whole minutes toward zero. Raises "Range check error" when those
// minutes do not fit a signed 32-bit integer. Traps nothing.
DateTimeValue GetUTDateTime(DateTimeValue localDateTime, double timeZone);

// Splits `value` seconds into hours, minutes and seconds, each keeping the sign
// of `value`; nothing is rounded and hours are not reduced modulo 24. Raises
// "Range check error" when the hours do not fit 32 bits. Traps nothing.
void GetHMSFromSec(THMSRec &result, double value);

} // namespace mirado
