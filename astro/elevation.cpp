// SPDX-License-Identifier: GPL-3.0-or-later
#include "elevation.h"

#include <algorithm>
#include <cmath>

#include "data/checked.h"
#include "sidereal.h"
#include "trap.h"

namespace mirado {

double GetDegElevation(TRightAscension ra, TDeclination dec, TDateRec date, double longitude,
                       double latitude, THMSRec time, double timeZone, const WarningReporter &warn)
{
    return Trapped(kGetDegElevationName, warn, [&] {
        const ElevationTerms terms = GetElevationTerms(dec, latitude);
        const double lst = dblGetLSTSec(date, time, longitude, timeZone, warn);
        return DegElevationAtLst(ra, terms, lst, warn);
    });
}

ElevationTerms GetElevationTerms(TDeclination dec, double latitude)
{
    // Site latitude and declination.
    const double phi = latitude * kRadiansPerDegree;
    const double delta =
        dec.sign * ((dec.degrees + dec.minutes / 60.0 + dec.seconds / 3600.0) * kRadiansPerDegree);
    return {std::cos(phi) * std::cos(delta), std::sin(phi) * std::sin(delta)};
}

double DegElevationAtLst(TRightAscension ra, const ElevationTerms &terms, double lstSec,
                         const WarningReporter &warn)
{
    // Hour angle, unreduced.
    const double h = dblGetHASec(ra, lstSec, warn) * 15.0 / kSecondsPerHour * kRadiansPerDegree;

    // Sine of the elevation. Rounding can carry it a hair past +-1 near
    // the zenith or nadir; such an object stands at +-90 degrees.
    double x = std::cos(h) * terms.cosLatCosDec + terms.sinLatSinDec;
    x = std::clamp(x, -1.0, 1.0);

    return std::atan2(x, CheckedSqrt(1.0 - x * x)) * kDegreesPerRadian;
}

} // namespace mirado
