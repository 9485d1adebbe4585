// SPDX-License-Identifier: GPL-3.0-or-later
#include "nightplot.h"

#include "elevationchart.h"

namespace mirado {

void NightPlot::start(const NightPlan &plan)
{
    // The curves of the last plot are not shown again: release them.
    chart_.detachAllSeries();
    for (const SeriesId curve : curves_)
        chart_.releaseSeries(curve);
    curves_.clear();
    chart_.setChartTitle(QString::fromStdString(plan.title()));
}

SeriesId NightPlot::addTitle(const std::string &legendTitle)
{
    const SeriesId series = chart_.createLineSeries();
    curves_.push_back(series);
    chart_.attachSeries(series);
    chart_.setSeriesTitle(series, QString::fromStdString(legendTitle));
    chart_.setLineWidth(series, kCurveWidthPx);
    return series;
}

SeriesId NightPlot::add(const PlannedCurve &curve)
{
    const SeriesId series = addTitle(curve.legendTitle);
    for (const NightPoint &point : curve.points)
        chart_.addPoint(series, point.x, point.elevationDeg);
    chart_.compactSeries(series);
    return series;
}

void NightPlot::showDarkness(const std::vector<DarknessStretch> &stretches)
{
    std::vector<ShadeBand> bands;
    bands.reserve(stretches.size());
    for (const DarknessStretch &stretch : stretches)
        bands.push_back({stretch.begin, stretch.end, stretch.level});
    chart_.setShadeBands(std::move(bands));
}

} // namespace mirado
