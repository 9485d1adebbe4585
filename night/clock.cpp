// SPDX-License-Identifier: GPL-3.0-or-later
#include "clock.h"

#include <chrono>
#include <cstdint>

#include "data/checked.h"

namespace mirado {

namespace {

std::function<DateTimeValue()> &ClockOverride()
{
    static std::function<DateTimeValue()> clock;
    return clock;
}

constexpr std::int64_t kSecondsPerMinute = 60;

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
    return SiteLocalTime(UtcNow(), timeZone);
}

void SetUtcClockForTesting(std::function<DateTimeValue()> clock)
{
    ClockOverride() = std::move(clock);
}

DateTimeValue SiteLocalTime(DateTimeValue ut, double timeZone)
{
    const std::int32_t minutes = TruncToInt32(timeZone * 60.0);
    return DateTimeValue(ut.seconds() + std::int64_t{minutes} * kSecondsPerMinute);
}

} // namespace mirado
