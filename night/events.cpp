// SPDX-License-Identifier: GPL-3.0-or-later
#include "events.h"

#include "crossings.h"

namespace mirado {

namespace {

// The first upper culmination, or the span's start when there is none.
std::optional<double> FirstTransit(const std::vector<Culmination> &culminations)
{
    for (const Culmination &c : culminations) {
        if (c.upper)
            return c.hours;
    }
    return std::nullopt;
}

// The span's ends and the culminations between them, with the elevation at
// each; the one at `transit` is `transitElevationDeg`, already computed.
template <typename Curve>
std::vector<NightSample> Breakpoints(const Curve &curve,
                                     const std::vector<Culmination> &culminations, double transit,
                                     double transitElevationDeg)
{
    std::vector<double> times{kNightStartHours};
    for (const Culmination &c : culminations)
        times.push_back(c.hours);
    times.push_back(kNightEndHours);
    std::vector<NightSample> breakpoints;
    for (double t : times) {
        if (breakpoints.empty() || t > breakpoints.back().hours)
            breakpoints.push_back({t, t == transit ? transitElevationDeg : curve(t)});
    }
    return breakpoints;
}

template <typename Curve>
std::vector<NightInterval> LimitIntervals(const Curve &curve,
                                          const std::vector<NightSample> &breakpoints,
                                          double minAltitudeDeg)
{
    const auto limit = FindCrossings(curve, breakpoints, minAltitudeDeg);
    return IntervalsOf(breakpoints, limit, minAltitudeDeg, /*above=*/true);
}

} // namespace

ObjectEvents ObjectNightEvents(const ObjectElevation &object,
                               const std::vector<NightInterval> &darkIntervals,
                               double minAltitudeDeg)
{
    const auto curve = [&object](double hours) { return object.elevationDeg(hours); };

    // The transit, the first upper culmination.
    const std::vector<Culmination> culminations = object.culminations();
    ObjectEvents events;
    const std::optional<double> transit = FirstTransit(culminations);
    events.transit = transit.value_or(kNightStartHours);
    events.transitInSpan = transit.has_value();
    events.transitElevationDeg = curve(events.transit);

    const std::vector<NightSample> breakpoints =
        Breakpoints(curve, culminations, events.transit, events.transitElevationDeg);
    const auto horizon = FindCrossings(curve, breakpoints, 0.0);
    events.rise = FirstCrossing(horizon, true);
    events.set = FirstCrossing(horizon, false);

    if (!darkIntervals.empty())
        events.darkHoursAbove =
            OverlapHours(LimitIntervals(curve, breakpoints, minAltitudeDeg), darkIntervals);
    return events;
}

std::vector<NightInterval> IntervalsAbove(const ObjectElevation &object, double minAltitudeDeg)
{
    const auto curve = [&object](double hours) { return object.elevationDeg(hours); };
    const std::vector<Culmination> culminations = object.culminations();
    const double transit = FirstTransit(culminations).value_or(kNightStartHours);
    return LimitIntervals(curve, Breakpoints(curve, culminations, transit, curve(transit)),
                          minAltitudeDeg);
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

std::vector<NightInterval> EventNight::intervalsAbove(TRightAscension ra, TDeclination dec,
                                                      double minAltitudeDeg,
                                                      const WarningReporter &warn) const
{
    return IntervalsAbove(*model_->object(ra, dec, warn), minAltitudeDeg);
}

} // namespace mirado
