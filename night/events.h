// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Rise, transit and set of a catalogue object over one night, by the same
// elevation model as its curve on the chart: GetDegElevation with the chosen
// date, the morning hours passed as 24 to 36 with that same date. Times are
// hours after 00:00 site time of the date, 12 to 36.
//
// In that model the elevation depends on the clock time only through the
// hour angle, which runs at one second per second of clock time: the curve
// repeats every 24 hours and is symmetric about its transit, so over the
// night it has one transit, the lowest point 12 hours from it, and at most
// one rise and one set. The events are solved on the model's own values to
// well under a second.

#include <optional>
#include <vector>

#include "astro/types.h"
#include "data/catalogue.h"
#include "nighttime.h"

namespace mirado {

inline constexpr double kDefaultMinAltitudeDeg = 30.0;

struct ObjectEvents
{
    std::optional<double> rise;       // elevation 0 upwards; none if it never rises or never sets
    std::optional<double> set;        // elevation 0 downwards
    double transit = 0.0;             // upper culmination, given for every object
    double transitElevationDeg = 0.0; // below 0 for an object that never rises
    // Hours of the span inside `darkIntervals` with the object at or above
    // the altitude limit.
    double darkHoursAbove = 0.0;
};

// The model's elevation in degrees of the object at `hours` (12 to 36) of the
// night of `date`: hours 24 and later are handed to GetDegElevation as such,
// with the chosen date, as the chart hands them.
double ModelElevationDeg(TRightAscension ra, TDeclination dec, TDateRec date, const NightSite &site,
                         double hours, const WarningReporter &warn);

// The object's events over the night of `date`. `darkIntervals` are the
// night's dark stretches (NightEvents::darkIntervals), `minAltitudeDeg` the
// limit for darkHoursAbove. Errors of the elevation model are reported
// through `warn` as the model reports them.
ObjectEvents ObjectNightEvents(TRightAscension ra, TDeclination dec, TDateRec date,
                               const NightSite &site,
                               const std::vector<NightInterval> &darkIntervals,
                               double minAltitudeDeg, const WarningReporter &warn);

} // namespace mirado
