// SPDX-License-Identifier: GPL-3.0-or-later
#include "events.h"

#include <algorithm>
#include <cmath>

#include "astro/elevation.h"
#include "astro/sidereal.h"
#include "crossings.h"

namespace mirado {

namespace {

constexpr double kHalfDayHours = 12.0;
constexpr std::int32_t kMinutesPerHour = 60;
constexpr double kSecondsPerMinute = 60.0;

} // namespace

double ModelElevationDeg(TRightAscension ra, TDeclination dec, TDateRec date, const NightSite &site,
                         double hours, const WarningReporter &warn)
{
    // Split into whole hours, whole minutes and the seconds left.
    const double totalMinutes = hours * kMinutesPerHour;
    const auto wholeMinutes = static_cast<std::int32_t>(std::floor(totalMinutes));
    const THMSRec time{wholeMinutes / kMinutesPerHour, wholeMinutes % kMinutesPerHour,
                       (totalMinutes - wholeMinutes) * kSecondsPerMinute};
    return GetDegElevation(ra, dec, date, site.longitude, site.latitude, time, site.timeZone, warn);
}

ObjectEvents ObjectNightEvents(TRightAscension ra, TDeclination dec, TDateRec date,
                               const NightSite &site,
                               const std::vector<NightInterval> &darkIntervals,
                               double minAltitudeDeg, const WarningReporter &warn)
{
    const auto curve = [&](double hours) {
        return ModelElevationDeg(ra, dec, date, site, hours, warn);
    };

    // Transit where the hour angle is a whole number of days: find the hour
    // angle at the span's start and run it on to the next such moment.
    const THMSRec start{static_cast<std::int32_t>(kNightStartHours), 0, 0.0};
    const double startHaSec =
        dblGetHASec(ra, dblGetLSTSec(date, start, site.longitude, site.timeZone, warn), warn);
    double untilTransitSec = std::fmod(-startHaSec, kSecondsPerDay);
    if (untilTransitSec < 0)
        untilTransitSec += kSecondsPerDay;
    ObjectEvents events;
    events.transit = kNightStartHours + untilTransitSec / kSecondsPerHour;
    if (events.transit >= kNightEndHours)
        events.transit = kNightStartHours;
    events.transitElevationDeg = curve(events.transit);

    // The lowest point, half a day away, splits the span into pieces on
    // which the curve is monotonic.
    const double lowest = events.transit >= kNightStartHours + kHalfDayHours
                              ? events.transit - kHalfDayHours
                              : events.transit + kHalfDayHours;
    std::vector<double> times{kNightStartHours, std::min(events.transit, lowest),
                              std::max(events.transit, lowest), kNightEndHours};
    std::vector<NightSample> breakpoints;
    for (double t : times) {
        if (breakpoints.empty() || t > breakpoints.back().hours)
            breakpoints.push_back({t, t == events.transit ? events.transitElevationDeg : curve(t)});
    }

    const auto horizon = FindCrossings(curve, breakpoints, 0.0);
    events.rise = FirstCrossing(horizon, true);
    events.set = FirstCrossing(horizon, false);

    if (!darkIntervals.empty()) {
        const auto limit = FindCrossings(curve, breakpoints, minAltitudeDeg);
        events.darkHoursAbove = OverlapHours(
            IntervalsOf(breakpoints, limit, minAltitudeDeg, /*above=*/true), darkIntervals);
    }
    return events;
}

} // namespace mirado
