// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shows a planned night on an ElevationChart: the one place that turns a
// NightPlan's title and curves into series, for the window and for images,
// and that tells the chart's tooltips each curve's whole name and read-out.

#include <unordered_map>
#include <vector>

#include "night/darkness.h"
#include "night/plan.h"
#include "seriesstore.h"

namespace mirado {

class ElevationChart;

class NightPlot
{
public:
    explicit NightPlot(ElevationChart &chart);
    ~NightPlot();
    NightPlot(const NightPlot &) = delete;
    NightPlot &operator=(const NightPlot &) = delete;

    // Starts the plot of `plan`: every series detached, the curves of the
    // last plot released, the chart's title set.
    void start(const NightPlan &plan);

    // One curve more: a new line series attached, titled with the legend's
    // form of the name, drawn kCurveWidthPx wide, holding the curve's points.
    SeriesId add(const PlannedCurve &curve);

    // Shades the plot's background for the sky's darkness through the night;
    // an empty list takes the shading away.
    void showDarkness(const std::vector<DarknessStretch> &stretches);

    const std::vector<SeriesId> &curves() const { return curves_; }

private:
    // What the tooltips tell of one curve.
    struct CurveInfo
    {
        std::string name;
        int line = 0;
    };
    struct SeriesIdHash
    {
        std::size_t operator()(SeriesId id) const { return std::hash<int>()(static_cast<int>(id)); }
    };

    ElevationChart &chart_;
    std::vector<SeriesId> curves_;
    std::unordered_map<SeriesId, CurveInfo, SeriesIdHash> info_;
    TDateRec date_{};
    SiteValues site_;
};

} // namespace mirado
