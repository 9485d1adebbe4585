// SPDX-License-Identifier: GPL-3.0-or-later
#include "nightplot.h"

#include "elevationchart.h"
#include "night/readout.h"

namespace mirado {

NightPlot::NightPlot(ElevationChart &chart) : chart_(chart)
{
    chart_.setToolTipTexts(
        [this](SeriesId series) {
            const auto it = info_.find(series);
            return it != info_.end() ? QString::fromStdString(it->second.name)
                                     : chart_.seriesTitle(series);
        },
        [this](SeriesId series, double xHours, double elevationDeg) {
            const auto it = info_.find(series);
            if (it == info_.end())
                return chart_.seriesTitle(series);
            return QString::fromStdString(ReadoutText(
                ReadoutAt(it->second.name, it->second.line, date_, site_, xHours, elevationDeg)));
        });
}

NightPlot::~NightPlot()
{
    chart_.setToolTipTexts({}, {});
}

void NightPlot::start(const NightPlan &plan)
{
    // The curves of the last plot are not shown again: release them.
    chart_.detachAllSeries();
    for (const SeriesId curve : curves_)
        chart_.releaseSeries(curve);
    curves_.clear();
    info_.clear();
    date_ = plan.date();
    site_ = plan.site();
    chart_.setChartTitle(QString::fromStdString(plan.title()));
}

SeriesId NightPlot::add(const PlannedCurve &curve)
{
    const SeriesId series = chart_.createLineSeries();
    curves_.push_back(series);
    info_[series] = {curve.name, curve.line};
    chart_.attachSeries(series);
    chart_.setSeriesTitle(series, QString::fromStdString(curve.legendTitle));
    chart_.setLineWidth(series, kCurveWidthPx);
    for (const NightPoint &point : curve.points)
        chart_.addPoint(series, point.x, point.elevationDeg);
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
