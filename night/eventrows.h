// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The events of one night as rows: each chosen object's events computed by
// the curves' model, and the CSV text of the rows, written the same by
// mirado-night --events and by the window's table of the night.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    // Degrees between the object and the Moon's centre at its transit, when
    // known.
    std::optional<double> moonSeparationDeg;
};

// The events of `object` over the night `night` of a model, with the
// night's dark stretches from `events` and the altitude limit
// `minAltitudeDeg` (degrees) for the dark hours. The model's failures go to
// `warn`. mirado-night and the window's table both take an object's events
// from here.
ObjectNight ObjectNightOf(const NightElevationModel &night, const CatalogueObject &object,
                          const NightEvents &events, double minAltitudeDeg,
                          const WarningReporter &warn);

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

// The whole CSV of one night, header first, lines ending in "\n": what
// mirado-night --events --format csv prints for that night.
std::string EventsCsv(const TDateRec &date, const NightTable &table);

} // namespace mirado
