// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The plot of one night, planned line by line without drawing it: the chart's
// title, and for each chosen catalogue line its name and its 96 points. The
// window and mirado-night both plan through here, so a night reads the same
// on screen, in an image and in the numbers.

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

#include "astro/types.h"
#include "chartmodel.h"
#include "curve.h"
#include "data/catalogue.h"
#include "data/site.h"

namespace mirado {

// Every curve is drawn this wide, in pixels.
inline constexpr int kCurveWidthPx = 2;
// A name longer than this many characters is shortened in the legend (the
// selection list and the text outputs keep it whole).
inline constexpr std::size_t kMaxLegendTitleLength = 64;

// The chart's title for the night of `date`: "Mirado " + year.month.day
// without leading zeros ("Mirado 2002.1.5").
std::string NightTitle(const TDateRec &date);

// A name as the legend shows it: shortened to kMaxLegendTitleLength
// characters.
std::string LegendTitle(const std::string &name);

// One object's curve as planned.
struct PlannedCurve
{
    int line = 0;            // 1-based line number in the catalogue
    std::string name;        // the whole name, UTF-8
    std::string legendTitle; // the name as the legend shows it, UTF-8
    NightCurve points;
    TRightAscension ra; // the object's coordinates, as the catalogue gives them
    TDeclination dec;
};

class NightPlan
{
public:
    // The night of `date` at `site` by `model`. The title carries the
    // model's mark. Raises what the model raises for the night.
    NightPlan(const TDateRec &date, const SiteValues &site,
              const ElevationModel &model = ChartModel());

    const TDateRec &date() const { return date_; }
    const SiteValues &site() const { return site_; }
    const std::string &title() const { return title_; }
    // The model's statement of what the numbers are.
    const std::string &modelDescription() const { return modelDescription_; }

    // The curve of a catalogue object; the astronomy routines' failures go
    // to `warn`. Safe to call from several threads at once.
    PlannedCurve curve(const CatalogueObject &object, const WarningReporter &warn) const;
    // The transit of the object at `ra`, `dec` within the curves' stretch of
    // the night (TransitInNight), by the model of the curves.
    std::optional<NightPoint> transit(TRightAscension ra, TDeclination dec,
                                      const WarningReporter &warn) const;

private:
    TDateRec date_;
    SiteValues site_;
    std::string title_;
    std::string modelDescription_;
    std::unique_ptr<NightElevationModel> night_;
};

} // namespace mirado
