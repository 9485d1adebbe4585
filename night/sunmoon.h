// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The Sun and the Moon over one night at a site, from ERFA.
//
// Conventions:
// - The night of a date runs from 12:00 site time on that date to 12:00 the
//   next day; times are hours after 00:00 site time of the date (12 to 36).
//   Each event is the first of its kind in that span, or none.
// - Places are apparent and topocentric, at the site on the WGS84 ellipsoid
//   at height 0 m; UT1 = UTC, no polar motion; altitudes are geometric (no
//   refraction). The Sun comes from ERFA's Earth ephemeris with annual
//   aberration; the Moon from ERFA's geocentric Moon at the light-time
//   retarded instant, moved from the Earth's centre to the site.
// - Sunset and sunrise: the Sun's centre at -0.8333 degrees (the upper limb
//   on the horizon with standard refraction). Civil, nautical and
//   astronomical dusk and dawn: the centre at -6, -12 and -18 degrees.
// - Moonrise and moonset: the Moon's topocentric centre at -0.8333 degrees.
// - The Moon's illuminated fraction, (1 + cos i) / 2 with i the geocentric
//   Sun-Moon-Earth phase angle, at 00:00 site time of the next day.
// - The dark of the night: where the Sun's centre is below -18 degrees.

#include <memory>
#include <optional>
#include <vector>

#include "crossings.h"
#include "horizontal.h"
#include "nighttime.h"

namespace mirado {

inline constexpr double kSunsetAltitudeDeg = -0.8333;
inline constexpr double kCivilTwilightDeg = -6.0;
inline constexpr double kNauticalTwilightDeg = -12.0;
inline constexpr double kAstronomicalTwilightDeg = -18.0;
inline constexpr double kMoonriseAltitudeDeg = -0.8333;

// The Sun's and the Moon's events of one night; every time in hours after
// 00:00 site time of the date.
struct NightEvents
{
    std::optional<double> sunSet;
    std::optional<double> civilDusk;
    std::optional<double> nauticalDusk;
    std::optional<double> astronomicalDusk;
    std::optional<double> astronomicalDawn;
    std::optional<double> nauticalDawn;
    std::optional<double> civilDawn;
    std::optional<double> sunRise;
    std::optional<double> moonRise;
    std::optional<double> moonSet;
    double moonIllumination = 0.0; // 0 new to 1 full
    // The stretches of the span with the Sun's centre below -18 degrees, in
    // time order: the whole span in a polar night, none when it never gets
    // that dark.
    std::vector<NightInterval> darkIntervals;
};

// The Sun and the Moon seen from one site over one night. The construction
// does the night's ERFA set-up once: the Earth's place and velocity and its
// orientation (IAU 2000B pole) at midnight, the site, and the two bodies'
// geocentric places at five instants six hours apart (the Moon from ERFA's
// Moon each time, the Sun carried from midnight along the Earth's velocity
// and the Sun's pull). Each altitude after that only rotates the Earth to the
// moment, interpolates the body's place and moves it to the site.
// Raises "Range check error" for a date before 4713 BC.
class SunMoonNight
{
public:
    SunMoonNight(TDateRec date, const NightSite &site);
    ~SunMoonNight();
    SunMoonNight(SunMoonNight &&) noexcept;
    SunMoonNight &operator=(SunMoonNight &&) noexcept;

    // Geometric altitude of the body's centre in degrees at `hours` (12 to 36;
    // a little outside works too).
    double SunAltitudeDeg(double hours) const;
    double MoonAltitudeDeg(double hours) const;
    // The Moon's centre seen from the site at `hours`: the place whose
    // altitude MoonAltitudeDeg gives.
    HorizontalPlace MoonPlace(double hours) const;
    // The Moon's illuminated fraction at 00:00 of the next day.
    double MoonIllumination() const;

private:
    struct Setup;
    std::unique_ptr<Setup> setup_;
};

// Every moonrise and moonset of the night's span (12 to 36 hours), in time
// order: the Moon's centre crossing kMoonriseAltitudeDeg.
std::vector<NightCrossing> MoonHorizonCrossings(const SunMoonNight &night);

// The night's events of the Sun and the Moon at `site`.
NightEvents SunMoonEvents(TDateRec date, const NightSite &site);
// The same from a night already set up.
NightEvents SunMoonEvents(const SunMoonNight &night);

} // namespace mirado
