// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The chart's elevation model: GetDegElevation, as the window has always
// drawn the night. The catalogue's coordinates are used as given (no
// precession, nutation or aberration), the sidereal time runs at the solar
// rate from 0h UT of the night's date, and every moment is computed with the
// night's date: the morning hours as 24 to 36 (the curve's morning points as
// 00:00 to 07:50) of the evening's date, not of the next day. No refraction.
//
// In that model the elevation depends on the clock time only through the
// hour angle, which runs at one second per second of clock time: the curve
// repeats every 24 hours and is symmetric about its transit, so over the
// night it has one transit and the lowest point 12 hours from it.

#include "elevationmodel.h"

namespace mirado {

class ChartModel : public ElevationModel
{
public:
    std::string_view name() const override { return kChartModelName; }
    std::string description() const override;
    std::string titleMark() const override { return {}; }
    std::unique_ptr<NightElevationModel> night(TDateRec date, const NightSite &site) const override;
};

// The chart model's elevation in degrees of the object at `hours` (12 to 36)
// of the night of `date`: hours 24 and later are handed to GetDegElevation as
// such, with the chosen date, as the chart hands them.
double ModelElevationDeg(TRightAscension ra, TDeclination dec, TDateRec date, const NightSite &site,
                         double hours, const WarningReporter &warn);

} // namespace mirado
