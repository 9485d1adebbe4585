// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A season of nights as text: each object's dark and moon-free hours above
// the altitude limit night by night, with each night's darkness and Moon.

#include <string>
#include <string_view>

#include "data/site.h"
#include "night/elevationmodel.h"
#include "night/season.h"
#include "output.h"

namespace mirado::tool {

// The season CSV's header line.
inline constexpr std::string_view kSeasonCsvHeader =
    "line,name,date,dark_hours_above,moonfree_hours_above,moon_illumination,dark_hours,best\n";

// One row per object and night, objects in the season's order and nights in
// date order within each; `best` is 1 on the object's best night, else 0.
void WriteSeasonCsv(Output &out, const Season &season);

// One JSON object: the site, the model's name, the conventions of the
// numbers (with `model`'s description), the altitude limit, the nights with
// their darkness and Moon, and each object with its nights and best_night
// (the date, or null).
void WriteSeasonJson(Output &out, const Season &season, const SiteValues &site,
                     const ElevationModel &model);

// The conventions of the season's numbers by `model`, stated in the JSON.
std::string SeasonConventions(const ElevationModel &model);

} // namespace mirado::tool
