// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Rise, transit and set of a catalogue object over one night, by the same
// elevation model as its curve. Times are hours after 00:00 site time of the
// date, 12 to 36. The model's culminations split the span into pieces on
// which the elevation is monotonic, so each piece holds at most one crossing
// of a threshold; the crossings are solved on the model's own values to well
// under a second.

#include <memory>
#include <optional>
#include <vector>

#include "astro/types.h"
#include "chartmodel.h"
#include "data/catalogue.h"
#include "elevationmodel.h"
#include "nighttime.h"
#include "precisemodel.h"
#include "sunmoon.h"

namespace mirado {

inline constexpr double kDefaultMinAltitudeDeg = 30.0;

struct ObjectEvents
{
    std::optional<double> rise;       // elevation 0 upwards; none if it never rises or never sets
    std::optional<double> set;        // elevation 0 downwards
    double transit = 0.0;             // first upper culmination, given for every object
    bool transitInSpan = false;       // false: no upper culmination, `transit` is the span's start
    double transitElevationDeg = 0.0; // below 0 for an object that never rises
    // Hours of the span inside `darkIntervals` with the object at or above
    // the altitude limit.
    double darkHoursAbove = 0.0;
    // Degrees between the object's precise place and the Moon's centre at the
    // transit (MoonSeparationAtTransit); none when it has no transit in the
    // span.
    std::optional<double> moonSeparationDeg;
};

// The object's events over its night. `darkIntervals` are the night's dark
// stretches (NightEvents::darkIntervals), `minAltitudeDeg` the limit for
// darkHoursAbove. The model reports its failures as the object was told to.
ObjectEvents ObjectNightEvents(const ObjectElevation &object,
                               const std::vector<NightInterval> &darkIntervals,
                               double minAltitudeDeg);

// The same by the chart model.
ObjectEvents ObjectNightEvents(TRightAscension ra, TDeclination dec, TDateRec date,
                               const NightSite &site,
                               const std::vector<NightInterval> &darkIntervals,
                               double minAltitudeDeg, const WarningReporter &warn);

// The stretches of the span (12 to 36 hours) during which the object is at
// or above `minAltitudeDeg`, in time order: darkHoursAbove is their overlap
// with the night's dark intervals (OverlapHours), found on the same
// breakpoints and crossings as ObjectNightEvents finds it.
std::vector<NightInterval> IntervalsAbove(const ObjectElevation &object, double minAltitudeDeg);

// The angle in degrees, 0 to 180, between the object at `ra`, `dec` and the
// Moon's centre at its transit in `events`, both seen from the site: the
// object's precise apparent topocentric place (PrecisePlaces, whatever model
// found the transit) and the Moon's from `sunMoon`. None when the object has
// no transit in the span.
std::optional<double> MoonSeparationAtTransit(const ObjectEvents &events, TRightAscension ra,
                                              TDeclination dec, const PrecisePlaces &places,
                                              const SunMoonNight &sunMoon);

// One night's events at one site, set up once for all its objects: the Sun's
// and the Moon's, then each object's by `model` with its angle to the Moon,
// as mirado-night --events gives them.
class EventNight
{
public:
    // Raises the program's Error when a model cannot take the date or site.
    EventNight(TDateRec date, const NightSite &site, const ElevationModel &model);

    const NightEvents &events() const { return events_; }

    // The events of the object at `ra`, `dec`, dark hours above
    // `minAltitudeDeg`; the model reports its failures through `warn`.
    ObjectEvents object(TRightAscension ra, TDeclination dec, double minAltitudeDeg,
                        const WarningReporter &warn) const;

    // The stretches of the span with the object at `ra`, `dec` at or above
    // `minAltitudeDeg` (IntervalsAbove), without its other events.
    std::vector<NightInterval> intervalsAbove(TRightAscension ra, TDeclination dec,
                                              double minAltitudeDeg,
                                              const WarningReporter &warn) const;

    // The night's Sun and Moon, set up once.
    const SunMoonNight &sunMoon() const { return sunMoon_; }

private:
    SunMoonNight sunMoon_;
    NightEvents events_;
    std::unique_ptr<NightElevationModel> model_;
    PrecisePlaces places_;
};

} // namespace mirado
