// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the chart marks over the curves: the Moon through the chart's night,
// in the events' conventions (night/sunmoon), and each object's transit by
// the elevation model of its curve. Times are hours after 00:00 site time of
// the night's date, the measure of the chart's night axis.

#include <optional>
#include <string>
#include <vector>

#include "astro/types.h"
#include "crossings.h"
#include "curve.h"
#include "elevationmodel.h"
#include "nighttime.h"

namespace mirado {

// The stretch of the night axis the curves are drawn over: 17:00 to 07:50.
inline constexpr double kCurveFirstX = kEveningFirstHour;
inline constexpr double kCurveLastX = 24.0 + kNightEndHour + (60 - kNightStepMinutes) / 60.0;

// The Moon over the chart's night.
struct MoonNight
{
    // The geometric topocentric altitude of the Moon's centre in degrees
    // every 10 minutes from kCurveFirstX to kCurveLastX.
    std::vector<NightPoint> points;
    // Moonrises and moonsets (the centre at kMoonriseAltitudeDeg) from
    // kCurveFirstX to kCurveLastX, in time order, found as the events find
    // them, so the first of each kind is the events' time.
    std::vector<NightCrossing> horizon;
    // The illuminated fraction, 0 to 1, at 00:00 of the next day.
    double illumination = 0.0;
};

MoonNight MoonOverNight(TDateRec date, const NightSite &site);

// The Moon's legend title: "月 (94%)", the illuminated fraction in whole
// percent, rounded to nearest.
std::string MoonLegendTitle(double illumination);

// "月出 20:48" for a moonrise, "月没 05:12" for a moonset.
std::string MoonCrossingLabel(TDateRec date, const NightCrossing &crossing);

// The site-local clock time of `hours` as "HH:MM": the time rounded to the
// second, as the events print it, then shown to the minute.
std::string NightClockText(TDateRec date, double hours);

// The object's upper culmination from kCurveFirstX to kCurveLastX: its x on
// the night axis and the elevation there; none when the object culminates
// outside that stretch.
std::optional<NightPoint> TransitInNight(const ObjectElevation &object);

} // namespace mirado
