// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

namespace mirado {

// Relative air mass at geometric altitude `altitudeDeg` (degrees), by the
// formula of Kasten and Young (1989): 1 at the zenith, about 38 at the
// horizon. None at or below the horizon.
std::optional<double> Airmass(double altitudeDeg);

} // namespace mirado
