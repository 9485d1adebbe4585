// SPDX-License-Identifier: GPL-3.0-or-later
#include "elevationmodel.h"

#include "chartmodel.h"
#include "precisemodel.h"

namespace mirado {

std::unique_ptr<ElevationModel> ElevationModelNamed(std::string_view name)
{
    if (name == "chart")
        return std::make_unique<ChartModel>();
    if (name == "precise")
        return std::make_unique<PreciseModel>();
    return nullptr;
}

} // namespace mirado
