// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The events of the night the window plotted as one table: the Sun's and the
// Moon's, and each plotted object's by the curves' model, computed and
// written as mirado-night --events computes and writes them.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "astro/types.h"
#include "data/catalogue.h"
#include "elevationmodel.h"
#include "events.h"
#include "eventtext.h"
#include "sunmoon.h"

namespace mirado {

// A night as the window plotted it: the date of its evening, the site, the
// model that drew the curves and the objects drawn, in catalogue order.
struct PlottedNight
{
    TDateRec date{};
    NightSite site;
    std::shared_ptr<const ElevationModel> model;
    std::vector<CatalogueObject> objects;
};

// The Sun's and the Moon's events of a night and each object's.
struct NightTable
{
    NightEvents events;
    std::vector<ObjectNight> objects;
};

// The table of `night` with the altitude limit `minAltitudeDeg` (degrees).
// Raises the model's error for a date it cannot take.
NightTable NightTableOf(const PlottedNight &night, double minAltitudeDeg,
                        const WarningReporter &warn);

// The whole CSV of one night, header first, lines ending in "\n": what
// mirado-night --events --format csv prints for that night.
std::string EventsCsv(const TDateRec &date, const NightTable &table);

} // namespace mirado
