// SPDX-License-Identifier: GPL-3.0-or-later
#include "events.h"

#include "crossings.h"

namespace mirado {

ObjectEvents ObjectNightEvents(const ObjectElevation &object,
                               const std::vector<NightInterval> &darkIntervals,
                               double minAltitudeDeg)
{
    const auto curve = [&object](double hours) { return object.elevationDeg(hours); };

    // The transit, the first upper culmination.
    const std::vector<Culmination> culminations = object.culminations();
    ObjectEvents events;
    events.transit = kNightStartHours;
    for (const Culmination &c : culminations) {
        if (c.upper) {
            events.transit = c.hours;
            events.transitInSpan = true;
            break;
        }
    }
    events.transitElevationDeg = curve(events.transit);

    // The span's ends and the culminations between them.
    std::vector<double> times{kNightStartHours};
    for (const Culmination &c : culminations)
        times.push_back(c.hours);
    times.push_back(kNightEndHours);
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

ObjectEvents ObjectNightEvents(TRightAscension ra, TDeclination dec, TDateRec date,
                               const NightSite &site,
                               const std::vector<NightInterval> &darkIntervals,
                               double minAltitudeDeg, const WarningReporter &warn)
{
    return ObjectNightEvents(*ChartModel().night(date, site)->object(ra, dec, warn), darkIntervals,
                             minAltitudeDeg);
}

std::optional<double> MoonSeparationAtTransit(const ObjectEvents &events, TRightAscension ra,
                                              TDeclination dec, const PrecisePlaces &places,
                                              const SunMoonNight &sunMoon)
{
    if (!events.transitInSpan)
        return std::nullopt;
    return SeparationDeg(places.place(ra, dec, events.transit), sunMoon.MoonPlace(events.transit));
}

EventNight::EventNight(TDateRec date, const NightSite &site, const ElevationModel &model)
    : sunMoon_(date, site), events_(SunMoonEvents(sunMoon_)), model_(model.night(date, site)),
      places_(date, site)
{}

ObjectEvents EventNight::object(TRightAscension ra, TDeclination dec, double minAltitudeDeg,
                                const WarningReporter &warn) const
{
    ObjectEvents events =
        ObjectNightEvents(*model_->object(ra, dec, warn), events_.darkIntervals, minAltitudeDeg);
    events.moonSeparationDeg = MoonSeparationAtTransit(events, ra, dec, places_, sunMoon_);
    return events;
}

} // namespace mirado
