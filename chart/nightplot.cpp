// SPDX-License-Identifier: GPL-3.0-or-later
#include "nightplot.h"

#include <array>

#include "elevationchart.h"
#include "night/horizontal.h"
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
            return readout(series, xHours, elevationDeg);
        });
}

QString NightPlot::readout(SeriesId series, double xHours, double elevationDeg) const
{
    const auto it = info_.find(series);
    if (it == info_.end())
        return chart_.seriesTitle(series);
    const CurveInfo &curve = it->second;
    PointerReadout readout = ReadoutAt(curve.name, curve.line, date_, site_, xHours, elevationDeg);
    // The places are known over the night's span from noon to noon.
    constexpr double kFirstHour = 12.0;
    constexpr double kLastHour = 36.0;
    if (moonSky_ && xHours >= kFirstHour && xHours <= kLastHour)
        readout.moonSeparationDeg =
            SeparationDeg(moonSky_->places.place(curve.ra, curve.dec, xHours),
                          moonSky_->sunMoon.MoonPlace(xHours));
    return QString::fromStdString(ReadoutText(readout));
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
    places_.clear();
    hideMoon();
    hideTransits();
    chart_.setChartTitle(QString::fromStdString(plan.title()));
}

SeriesId NightPlot::addTitle(const std::string &legendTitle)
{
    const SeriesId series = chart_.createLineSeries();
    curves_.push_back(series);
    places_.emplace_back();
    chart_.attachSeries(series);
    chart_.setSeriesTitle(series, QString::fromStdString(legendTitle));
    chart_.setLineWidth(series, kCurveWidthPx);
    return series;
}

void NightPlot::describe(std::size_t index, const PlannedCurve &curve)
{
    info_[curves_.at(index)] = {curve.name, curve.line, curve.ra, curve.dec};
    places_.at(index) = std::pair(curve.ra, curve.dec);
}

SeriesId NightPlot::add(const PlannedCurve &curve)
{
    const SeriesId series = addTitle(curve.legendTitle);
    describe(curves_.size() - 1, curve);
    std::array<QPointF, kNightPointCount> points;
    for (std::size_t i = 0; i < points.size(); ++i)
        points[i] = {curve.points[i].x, curve.points[i].elevationDeg};
    chart_.addPoints(series, points);
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

void NightPlot::reattach(std::optional<SeriesId> first, std::optional<SeriesId> leaving)
{
    const std::vector<SeriesId> attached = chart_.attachedSeries();
    chart_.detachAllSeries();
    if (first)
        chart_.attachSeries(*first);
    for (const SeriesId series : attached)
        if (series != leaving)
            chart_.attachSeries(series);
}

void NightPlot::showMoon(const MoonNight &moon, TDateRec date)
{
    hideMoon();
    const SeriesId series = chart_.createLineSeries();
    moon_ = series;
    chart_.setSeriesColour(series, kMoonColour);
    chart_.setLineStyle(series, Qt::DashLine);
    chart_.setLineWidth(series, kCurveWidthPx);
    chart_.setSeriesTitle(series, QString::fromStdString(MoonLegendTitle(moon.illumination)));
    for (const NightPoint &point : moon.points)
        chart_.addPoint(series, point.x, point.elevationDeg);
    // Attached ahead of the rest, the curves keep their colours and draw
    // over it.
    reattach(series, std::nullopt);

    std::vector<AxisMark> marks;
    for (const NightCrossing &crossing : moon.horizon)
        marks.push_back({crossing.hours, QString::fromStdString(MoonCrossingLabel(date, crossing)),
                         QColor(kMoonColour)});
    chart_.setAxisMarks(std::move(marks));

    // The tooltips tell each curve's distance to the Moon; a date the places
    // cannot be had for tells none.
    try {
        moonSky_ = std::make_unique<MoonSky>(
            date, NightSite{site_.longitude, site_.latitude, site_.timeZone});
    } catch (const std::exception &) {
        moonSky_.reset();
    }
}

void NightPlot::hideMoon()
{
    moonSky_.reset();
    if (!moon_)
        return;
    if (chart_.isAttached(*moon_))
        reattach(std::nullopt, moon_);
    chart_.releaseSeries(*moon_);
    moon_.reset();
    chart_.setAxisMarks({});
}

void NightPlot::showTransits(const NightPlan &plan)
{
    // The curves' own failures were reported when they were drawn; the
    // transit of a failing object is as wrong as its curve.
    const WarningReporter ignore = [](const std::string &) {};
    std::vector<CurveMark> marks;
    for (std::size_t i = 0; i < curves_.size(); ++i) {
        if (!places_[i])
            continue;
        const auto &[ra, dec] = *places_[i];
        if (const std::optional<NightPoint> transit = plan.transit(ra, dec, ignore))
            marks.push_back({transit->x, transit->elevationDeg,
                             QString::fromStdString(NightClockText(plan.date(), transit->x)),
                             chart_.seriesColour(curves_[i])});
    }
    chart_.setCurveMarks(std::move(marks));
}

void NightPlot::hideTransits()
{
    chart_.setCurveMarks({});
}

} // namespace mirado
