// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The precise elevation model, from ERFA, the IAU's standard routines
// (Debian's liberfa).
//
// Conventions:
// - The catalogue's coordinates are taken as ICRS (J2000) with no proper
//   motion or parallax.
// - The apparent topocentric place by the IAU 2006/2000A precession-nutation,
//   with light deflection by the Sun and annual and diurnal aberration;
//   UT1 = UTC, no polar motion, the site on the WGS84 ellipsoid at height 0 m.
// - Altitudes are geometric (airless): no refraction.
// - Each moment is computed at its own date and time: the morning hours (24
//   to 36) on the day after the night's date.
// - Transit is the upper culmination, where the object's hour angle on the
//   model's own place is zero: the highest point of its curve.
//
// Set-up: per night, the star-independent parameters at the span's ends,
// 12:00 and 36:00 (eraApci13), and the site's (eraApio); per object, its
// apparent geocentric place (CIRS) at both ends (eraAtciq); per moment, that
// place interpolated linearly between them (over a day it moves by under an
// arcsecond, on a path straight to a thousandth of one), the Earth turned to
// the moment and the place turned to the horizon with diurnal aberration
// (eraAtioq).

#include "elevationmodel.h"
#include "horizontal.h"

namespace mirado {

class PreciseModel : public ElevationModel
{
public:
    std::string_view name() const override { return kPreciseModelName; }
    std::string description() const override;
    std::string titleMark() const override;
    // Raises "Range check error" for a date ERFA cannot take (before 4713 BC).
    std::unique_ptr<NightElevationModel> night(TDateRec date, const NightSite &site) const override;
};

struct PreciseNightData;

// The precise apparent topocentric places of catalogue objects over one
// night at one site: the places the precise model's elevations come from,
// for whatever needs the precise place while another model draws the curves.
class PrecisePlaces
{
public:
    // Raises "Range check error" for a date ERFA cannot take.
    PrecisePlaces(TDateRec date, const NightSite &site);
    ~PrecisePlaces();
    PrecisePlaces(const PrecisePlaces &) = delete;
    PrecisePlaces &operator=(const PrecisePlaces &) = delete;

    // The place of the object at `ra`, `dec` (the catalogue's coordinates)
    // at `hours` (12 to 36).
    HorizontalPlace place(TRightAscension ra, TDeclination dec, double hours) const;

private:
    std::unique_ptr<PreciseNightData> data_;
};

} // namespace mirado
