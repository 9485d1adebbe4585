// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "astro/types.h"
#include "data/catalogue.h"

namespace mirado {

// One point of a night's elevation curve: x on the night axis in hours (17 is
// 17:00 of the chosen date, 24 midnight, 31 07:00 next morning) and the
// elevation in degrees.
struct NightPoint
{
    double x = 0.0;
    double elevationDeg = 0.0;
};

inline constexpr int kNightStepMinutes = 10;
inline constexpr int kEveningFirstHour = 17;
inline constexpr int kEveningLastHour = 24;
inline constexpr int kNightHoursPerStretch = 8;
inline constexpr int kNightPointCount = 2 * kNightHoursPerStretch * (60 / kNightStepMinutes);

using NightCurve = std::array<NightPoint, kNightPointCount>;

// The night's 96 elevations of one object, every 10 minutes, in the order the
// chart receives them: the evening stretch, hours 17 to 24 at x = hour +
// minute / 60, then the morning stretch, hours 0 to 7 at x = hour + 24 +
// minute / 60. Both stretches hand the chosen date itself to
// GetDegElevation (never the next day), so the six x values from 24 to
// 24 + 50/60 carry equal pairs and the curve runs on at midnight. Points
// below the horizon or past x = 31 are kept.
NightCurve NightElevations(TRightAscension ra, TDeclination dec, TDateRec date, double longitude,
                           double latitude, double timeZone, const WarningReporter &warn);

// The night of NightElevations at one site, set up once for all its objects:
// each point's x and its local sidereal time (dblGetLSTSec), which depends on
// the date, the clock time, the longitude and the zone alone. `longitude` in
// degrees east, `latitude` degrees north, `timeZone` hours ahead of UT.
class ChartNightPoints
{
public:
    ChartNightPoints(TDateRec date, double longitude, double latitude, double timeZone);

    // The curve of the object at `ra`, `dec`: bit for bit that of
    // NightElevations, its failures reported through `warn` in the same
    // order. What dblGetLSTSec reported for a point, recorded once, is told
    // again for each object.
    NightCurve curve(TRightAscension ra, TDeclination dec, const WarningReporter &warn) const;

private:
    double latitude_;
    std::array<double, kNightPointCount> x_{};
    std::array<double, kNightPointCount> lstSec_{};
    std::array<std::vector<std::string>, kNightPointCount> lstWarnings_;
};

// The clock time on the chosen date that point `index` (0 to 95) of a night
// curve was computed for: 17:00 to 24:50 for the evening stretch, 00:00 to
// 07:50 for the morning stretch.
THMSRec NightPointClockTime(std::size_t index);

// The x on the night axis of point `index`, as NightElevations places it.
double NightPointX(std::size_t index);

// True for the morning stretch's points at 00:00 to 00:50: each is drawn at
// the same x as the evening stretch's point at 24:00 to 24:50 before it.
inline constexpr bool IsSecondOfEqualPair(std::size_t index)
{
    constexpr std::size_t kPerHour = 60 / kNightStepMinutes;
    return index >= kNightPointCount / 2 && index < kNightPointCount / 2 + kPerHour;
}

} // namespace mirado
