// SPDX-License-Identifier: GPL-3.0-or-later
#include "horizontal.h"

#include <cmath>

#include "astro/types.h"

namespace mirado {

double SeparationDeg(const HorizontalPlace &a, const HorizontalPlace &b)
{
    // Vincenty's form: the sine from the cross product, the cosine from the
    // dot product, so neither end loses precision.
    const double dAz = b.azimuthRad - a.azimuthRad;
    const double sinA = std::sin(a.altitudeRad);
    const double cosA = std::cos(a.altitudeRad);
    const double sinB = std::sin(b.altitudeRad);
    const double cosB = std::cos(b.altitudeRad);
    const double x = cosB * std::sin(dAz);
    const double y = cosA * sinB - sinA * cosB * std::cos(dAz);
    const double z = sinA * sinB + cosA * cosB * std::cos(dAz);
    return std::atan2(std::hypot(x, y), z) * kDegreesPerRadian;
}

} // namespace mirado
