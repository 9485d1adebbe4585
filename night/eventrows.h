// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The events of one night as rows: each chosen object's events computed by
// the curves' model, and the CSV text of the rows, written the same by
// mirado-night --events and by the window's table of the night.

#include <optional>
#include <string>
#include <string_view>

#include "astro/types.h"
#include "data/catalogue.h"
#include "elevationmodel.h"
#include "events.h"
#include "sunmoon.h"

namespace mirado {

// One object's events in one night.
struct ObjectNight
{
    int line = 0;     // 1-based catalogue line
    std::string name; // whole, UTF-8
    ObjectEvents events;
};

// The events of `object` over the night `night` of a model, with the
// night's dark stretches from `events` and the altitude limit
// `minAltitudeDeg` (degrees) for the dark hours. The model's failures go to
// `warn`.
ObjectNight ObjectNightOf(const NightElevationModel &night, const CatalogueObject &object,
                          const NightEvents &events, double minAltitudeDeg,
                          const WarningReporter &warn);

// The site-local date-time "2026-12-07T18:42:10" of an event `hours` after
// 00:00 of `date`, or none.
std::optional<std::string> EventTime(const TDateRec &date, const std::optional<double> &hours);

// The CSV header line, with its line end "\n".
std::string_view EventsCsvHeader();

// The night's own columns of a CSV row, the same on every row of the night:
// ",sun_set,...,moon_illumination\n". Made once a night.
std::string EventsCsvNightColumns(const TDateRec &date, const NightEvents &events);

// One object's CSV row, ending with `nightColumns`.
std::string EventsCsvObjectRow(const TDateRec &date, const ObjectNight &object,
                               std::string_view nightColumns);

// The row of a night without objects: the object columns empty.
std::string EventsCsvEmptyRow(const TDateRec &date, std::string_view nightColumns);

} // namespace mirado
