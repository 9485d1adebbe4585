// SPDX-License-Identifier: GPL-3.0-or-later
#include "darkness.h"

#include <algorithm>
#include <array>
#include <optional>

#include "sunmoon.h"

namespace mirado {

int DarknessLevel(double sunAltitudeDeg)
{
    if (sunAltitudeDeg > kSunsetAltitudeDeg)
        return 0;
    if (sunAltitudeDeg > kCivilTwilightDeg)
        return 1;
    if (sunAltitudeDeg > kNauticalTwilightDeg)
        return 2;
    if (sunAltitudeDeg > kAstronomicalTwilightDeg)
        return 3;
    return kDarkestLevel;
}

std::vector<DarknessStretch> DarknessStretches(TDateRec date, const NightSite &site)
{
    const SunMoonNight night(date, site);
    const NightEvents events = SunMoonEvents(date, site);

    // The span's cuts: its ends and every threshold crossing found in it.
    std::vector<double> cuts{kNightStartHours, kNightEndHours};
    const std::array<std::optional<double>, 8> crossings{
        events.sunSet,           events.civilDusk,    events.nauticalDusk, events.astronomicalDusk,
        events.astronomicalDawn, events.nauticalDawn, events.civilDawn,    events.sunRise};
    for (const std::optional<double> &hours : crossings)
        if (hours)
            cuts.push_back(*hours);
    std::sort(cuts.begin(), cuts.end());

    // Between two cuts the Sun stays within one step; its altitude halfway
    // tells which. Neighbours of the same level are joined.
    std::vector<DarknessStretch> stretches;
    for (std::size_t i = 1; i < cuts.size(); ++i) {
        const double begin = cuts[i - 1];
        const double end = cuts[i];
        if (!(end > begin))
            continue;
        const int level = DarknessLevel(night.SunAltitudeDeg((begin + end) / 2.0));
        if (level == 0)
            continue;
        if (!stretches.empty() && stretches.back().level == level && stretches.back().end == begin)
            stretches.back().end = end;
        else
            stretches.push_back({begin, end, level});
    }
    return stretches;
}

} // namespace mirado
