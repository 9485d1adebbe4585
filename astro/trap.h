// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exception>
#include <string>

#include "types.h"

namespace mirado {

// Runs `compute` under the astronomy routines' error trap: an error raised
// inside is reported as "`name` text" and the result is 0.0.
template <typename Compute>
double Trapped(const char *name, const WarningReporter &warn, Compute compute)
{
    try {
        return compute();
    } catch (const std::exception &e) {
        if (warn)
            warn(std::string(name) + " " + e.what());
        return 0.0;
    }
}

} // namespace mirado
