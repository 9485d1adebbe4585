// SPDX-License-Identifier: GPL-3.0-or-later
#include "airmass.h"

#include <algorithm>
#include <cmath>

#include "astro/types.h"

namespace mirado {

std::optional<double> Airmass(double altitudeDeg)
{
    // Kasten, F. & Young, A. T. 1989, Applied Optics 28, 4735.
    constexpr double kA = 0.50572;
    constexpr double kB = 6.07995; // degrees
    constexpr double kC = 1.6364;
    if (!(altitudeDeg > 0.0))
        return std::nullopt;
    const double h = std::min(altitudeDeg, 90.0);
    return 1.0 / (std::sin(h * kRadiansPerDegree) + kA * std::pow(h + kB, -kC));
}

} // namespace mirado
