// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/catalogue.h"
#include "types.h"

namespace mirado {

// The name GetDegElevation reports its errors under.
inline constexpr const char *kGetDegElevationName = "GetDegElevation";

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

// The part of GetDegElevation that depends on the declination and the
// latitude alone (degrees north), the same at every moment.
struct ElevationTerms
{
    double cosLatCosDec = 0.0; // cos(latitude) cos(declination)
    double sinLatSinDec = 0.0; // sin(latitude) sin(declination)
};
ElevationTerms GetElevationTerms(TDeclination dec, double latitude);

// GetDegElevation's steps after the local sidereal time: the elevation in
// degrees of the object at `ra` whose terms are `terms`, the local sidereal
// time being `lstSec` (seconds, as dblGetLSTSec gives it). The same
// operations in the same order, so the same bits. dblGetHASec reports its
// own failures through `warn`; any other error is raised for the caller to
// trap under kGetDegElevationName.
double DegElevationAtLst(TRightAscension ra, const ElevationTerms &terms, double lstSec,
                         const WarningReporter &warn);

} // namespace mirado
