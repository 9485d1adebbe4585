// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shows a planned night on an ElevationChart: the one place that turns a
// NightPlan's title and curves into series, for the window and for images.

#include <vector>

#include "night/darkness.h"
#include "night/plan.h"
#include "seriesstore.h"

namespace mirado {

class ElevationChart;

class NightPlot
{
public:
    explicit NightPlot(ElevationChart &chart) : chart_(chart) {}

    // Starts the plot of `plan`: every series detached, the curves of the
    // last plot released, the chart's title set.
    void start(const NightPlan &plan);

    // One curve more: a new line series attached, titled with the legend's
    // form of the name, drawn kCurveWidthPx wide, holding the curve's points.
    SeriesId add(const PlannedCurve &curve);
    // A curve's legend entry alone: the series `add` would make, without
    // points, for a drawing that is given the points later.
    SeriesId addTitle(const std::string &legendTitle);

    // Shades the plot's background for the sky's darkness through the night;
    // an empty list takes the shading away.
    void showDarkness(const std::vector<DarknessStretch> &stretches);

    const std::vector<SeriesId> &curves() const { return curves_; }

private:
    ElevationChart &chart_;
    std::vector<SeriesId> curves_;
};

} // namespace mirado
