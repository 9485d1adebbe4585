// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <numbers>
#include <string>

namespace mirado {

// A local calendar date at the site. The day is not checked against the
// month's length.
struct TDateRec
{
    std::int32_t year = 0;
    std::int32_t month = 0;
    std::int32_t day = 0;
};

// A local clock time (hours 0 to 24 and more are accepted), or a time split
// for display.
struct THMSRec
{
    std::int32_t hours = 0;
    std::int32_t minutes = 0;
    double seconds = 0.0;
};

// Where the astronomy routines report an error they trapped. The text is the
// routine's name, a blank and the error's text ("GetSecGST Integer overflow").
// The window shows it in a warning box, the command-line tool prints it, tests
// record it.
using WarningReporter = std::function<void(const std::string &text)>;

inline constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
inline constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

inline constexpr double kSecondsPerHour = 3600.0;
inline constexpr std::int32_t kSecondsPerDayInt = 86400;
inline constexpr double kSecondsPerDay = kSecondsPerDayInt;

// The night ends at 07:00: the hour from which a local moment belongs to the
// night that starts that evening, and the last hour the chart samples.
inline constexpr std::int32_t kNightEndHour = 7;

} // namespace mirado
