// SPDX-License-Identifier: GPL-3.0-or-later
#include "clock.h"

#include <chrono>

namespace mirado {

namespace {

std::function<DateTimeValue()> &ClockOverride()
{
    static std::function<DateTimeValue()> clock;
    return clock;
}

} // namespace

DateTimeValue UtcNow()
{
    if (const auto &clock = ClockOverride())
        return clock();
    const auto now = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    return DateTimeValue(now.time_since_epoch().count());
}

DateTimeValue SiteLocalNow(double timeZone)
{
    const DateTimeValue ut = UtcNow();
    const std::int64_t zoneSeconds = ut.seconds() - GetUTDateTime(ut, timeZone).seconds();
    return DateTimeValue(ut.seconds() + zoneSeconds);
}

void SetUtcClockForTesting(std::function<DateTimeValue()> clock)
{
    ClockOverride() = std::move(clock);
}

} // namespace mirado
