// SPDX-License-Identifier: GPL-3.0-or-later
#include "elevationmodel.h"

#include "chartmodel.h"
#include "precisemodel.h"

namespace mirado {

std::unique_ptr<ElevationModel> ElevationModelNamed(std::string_view name)
{
    if (name == kChartModelName)
        return std::make_unique<ChartModel>();
    if (name == kPreciseModelName)
        return std::make_unique<PreciseModel>();
    return nullptr;
}

} // namespace mirado
