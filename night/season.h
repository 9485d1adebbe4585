// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A season of nights at one site for a list of objects: for each night the
// length of astronomical darkness and the Moon's illuminated fraction, and
// for each object and night the dark hours it spends at or above an altitude
// limit, and how many of them are free of the Moon. Every number is the one
// the night's events give (EventNight), so the season agrees with
// mirado-night --events night by night.
//
// A moon-free hour is a dark hour above the limit during which the Moon's
// centre is below kMoonriseAltitudeDeg, or any such hour of a night whose
// Moon is less than kMoonFreeIllumination lit.

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "astro/types.h"
#include "data/catalogue.h"
#include "elevationmodel.h"
#include "nighttime.h"

namespace mirado {

// The most nights one season may span: two years and a leap day.
inline constexpr int kSeasonMaxNights = 731;
// The default span: this many months from the first night.
inline constexpr int kSeasonDefaultMonths = 12;
inline constexpr int kSeasonMaxMonths = 24;
// A Moon lit less than this fraction does not spoil the dark.
inline constexpr double kMoonFreeIllumination = 0.25;

// One night of the season, named by the date of its evening.
struct SeasonNight
{
    TDateRec date{};
    double darkHours = 0.0;        // hours with the Sun's centre below -18 degrees
    double moonIllumination = 0.0; // 0 new to 1 full, as the night's events give it
};

// One object over the season; `cells` has one entry per night.
struct SeasonObject
{
    struct Cell
    {
        double darkHoursAbove = 0.0;     // the events' dark_hours_above
        double moonFreeHoursAbove = 0.0; // the part of it free of the Moon
    };
    CatalogueObject object; // line, name and place as the catalogue gives them
    std::vector<Cell> cells;
    // The night (an index into Season::nights) with the most moon-free hours,
    // the earliest of equals (to the second); none when no night has any.
    std::optional<std::size_t> bestNight;
};

struct Season
{
    NightSite site;
    std::string modelName; // "chart" or "precise"
    double minAltitudeDeg = 0.0;
    std::vector<SeasonNight> nights;   // consecutive, in date order
    std::vector<SeasonObject> objects; // in catalogue order
};

// The nights from `first` to `last` inclusive. Raises the program's Error
// when `last` is before `first` or the span holds more than kSeasonMaxNights.
std::vector<TDateRec> SeasonDates(TDateRec first, TDateRec last);

// The last night of a span of `months` months from `first` (the day before
// the same day `months` months later, clamped to the month's end).
TDateRec SeasonLastNight(TDateRec first, int months);

// Called after each night with the nights done and the total; returning
// false cancels the computation, which then raises SeasonCancelled.
using SeasonProgress = std::function<bool(std::size_t done, std::size_t total)>;

struct SeasonCancelled
{};

// The season of `objects` over `dates` at `site` by `model`, dark hours above
// `minAltitudeDeg` (-90 to 90). The model reports its failures through `warn`.
Season ComputeSeason(const std::vector<CatalogueObject> &objects,
                     const std::vector<TDateRec> &dates, const NightSite &site,
                     const ElevationModel &model, double minAltitudeDeg,
                     const WarningReporter &warn, const SeasonProgress &progress = {});

} // namespace mirado
