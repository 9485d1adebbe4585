// SPDX-License-Identifier: GPL-3.0-or-later
#include "palette.h"

#include <algorithm>

namespace mirado {

QRgb PickAutomaticColour(std::span<const QRgb> inUse)
{
    const auto taken = [inUse](QRgb colour) {
        return std::any_of(inUse.begin(), inUse.end(), [colour](QRgb used) {
            return qRgb(qRed(used), qGreen(used), qBlue(used)) == colour;
        });
    };
    const auto free = std::find_if_not(kSeriesPalette.begin(), kSeriesPalette.end(), taken);
    return free != kSeriesPalette.end() ? *free : kSeriesPalette.front();
}

} // namespace mirado
