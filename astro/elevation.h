// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/catalogue.h"
#include "types.h"

namespace mirado {

// Elevation (altitude above the horizon) in degrees, -90 to +90, of the object
// at `ra`, `dec` seen from the site at `longitude` (degrees east), `latitude`
// (degrees north) at local clock time `time` on `date` in zone `timeZone`
// (hours ahead of UT). Uses the solar-rate local sidereal time (dblGetLSTSec)
// and the unreduced hour angle. No refraction, parallax or precession; a
// negative elevation (below the horizon) is returned unchanged.
//
// Traps its errors like the sidereal routines: reports
// "GetDegElevation <text>" through `warn` and returns 0.0.
double GetDegElevation(TRightAscension ra, TDeclination dec, TDateRec date, double longitude,
                       double latitude, THMSRec time, double timeZone, const WarningReporter &warn);

// The factors of GetDegElevation's sine of the elevation that depend on the
// object's declination and the site's `latitude` (degrees north) alone:
// cos(latitude) cos(dec) and sin(latitude) sin(dec).
struct ElevationTerms
{
    double cosProduct = 0.0;
    double sinProduct = 0.0;
};
ElevationTerms ObjectElevationTerms(TDeclination dec, double latitude);

// GetDegElevation's last steps for the object at `ra` with `terms`, from the
// local sidereal time `lstSec` (seconds): the same number to the bit. Reports
// the hour angle's failures through `warn`; raises the error GetDegElevation
// traps.
double ElevationAtLstDeg(TRightAscension ra, const ElevationTerms &terms, double lstSec,
                         const WarningReporter &warn);

} // namespace mirado
