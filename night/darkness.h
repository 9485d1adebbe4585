// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How dark the sky is through one night, in the four steps of twilight.

#include <vector>

#include "astro/types.h"
#include "nighttime.h"

namespace mirado {

// 0 while the Sun's centre is above -0.8333 degrees (day), 1 down to -6
// (civil twilight), 2 down to -12 (nautical), 3 down to -18 (astronomical),
// 4 below -18 (the dark of the night).
inline constexpr int kDarkestLevel = 4;
int DarknessLevel(double sunAltitudeDeg);

// A stretch of the night at one darkness level, in hours after 00:00 site
// time of the date.
struct DarknessStretch
{
    double begin = 0.0;
    double end = 0.0;
    int level = 0;
};

// The night's span (12:00 to 12:00 next day) cut at every sunset, dusk, dawn
// and sunrise that occurs in it, each piece with its darkness level; pieces
// of the day (level 0) are left out. A polar night is one piece, a polar day
// none.
std::vector<DarknessStretch> DarknessStretches(TDateRec date, const NightSite &site);

} // namespace mirado
