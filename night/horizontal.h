// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A place on the site's sky and the angle between two of them.

namespace mirado {

// Azimuth in radians from north through east, altitude in radians above the
// horizon (geometric, no refraction).
struct HorizontalPlace
{
    double azimuthRad = 0.0;
    double altitudeRad = 0.0;
};

// The angle between `a` and `b` in degrees, 0 to 180; accurate for every
// pair, the nearly coincident and the nearly opposite alike.
double SeparationDeg(const HorizontalPlace &a, const HorizontalPlace &b);

} // namespace mirado
