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

std::function<std::int64_t()> &MonotonicOverride()
{
    static std::function<std::int64_t()> clock;
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

std::int64_t MonotonicMs()
{
    if (const auto &clock = MonotonicOverride())
        return clock();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}

void SetMonotonicClockForTesting(std::function<std::int64_t()> clock)
{
    MonotonicOverride() = std::move(clock);
}

DateTimeValue SiteLocalTime(DateTimeValue ut, double timeZone)
{
    const std::int32_t minutes = TruncToInt32(timeZone * 60.0);
    return DateTimeValue(ut.seconds() + std::int64_t{minutes} * kSecondsPerMinute);
}

} // namespace mirado
