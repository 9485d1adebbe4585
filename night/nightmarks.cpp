// SPDX-License-Identifier: GPL-3.0-or-later
#include "nightmarks.h"

#include <cmath>
#include <cstdio>

#include "sunmoon.h"

namespace mirado {

namespace {

constexpr double kStepHours = kNightStepMinutes / 60.0;
constexpr double kPercent = 100.0;

} // namespace

MoonNight MoonOverNight(TDateRec date, const NightSite &site)
{
    const SunMoonNight night(date, site);
    MoonNight moon;
    const auto count = static_cast<int>(std::lround((kCurveLastX - kCurveFirstX) / kStepHours));
    moon.points.reserve(static_cast<std::size_t>(count) + 1);
    for (int i = 0; i <= count; ++i) {
        const double x = kCurveFirstX + i * kStepHours;
        moon.points.push_back({x, night.MoonAltitudeDeg(x)});
    }
    for (const NightCrossing &crossing : MoonHorizonCrossings(night)) {
        if (crossing.hours >= kCurveFirstX && crossing.hours <= kCurveLastX)
            moon.horizon.push_back(crossing);
    }
    moon.illumination = night.MoonIllumination();
    return moon;
}

std::string MoonLegendTitle(double illumination)
{
    return "月 (" + std::to_string(std::lround(illumination * kPercent)) + "%)";
}

std::string MoonCrossingLabel(TDateRec date, const NightCrossing &crossing)
{
    return (crossing.rising ? "月出 " : "月没 ") + NightClockText(date, crossing.hours);
}

std::string NightClockText(TDateRec date, double hours)
{
    const THMSRec time = NightDateTime(date, hours).time();
    char text[8];
    std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(time.hours),
                  static_cast<int>(time.minutes));
    return text;
}

std::optional<NightPoint> TransitInNight(const ObjectElevation &object)
{
    for (const Culmination &c : object.culminations()) {
        if (c.upper && c.hours >= kCurveFirstX && c.hours <= kCurveLastX)
            return NightPoint{c.hours, object.elevationDeg(c.hours)};
    }
    return std::nullopt;
}

} // namespace mirado
