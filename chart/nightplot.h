// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shows a planned night on an ElevationChart: the one place that turns a
// NightPlan's title and curves into series, for the window and for images,
// and that tells the chart's tooltips each curve's whole name and read-out.

#include <QRgb>

#include <optional>
#include <unordered_map>
#include <vector>

#include "night/darkness.h"
#include "night/nightmarks.h"
#include "night/plan.h"
#include "night/precisemodel.h"
#include "night/sunmoon.h"
#include "seriesstore.h"

namespace mirado {

class ElevationChart;

// The Moon's dashed curve and its marks: a dark grey that is none of the
// palette's colours, so no curve's colour changes for it.
inline constexpr QRgb kMoonColour = qRgb(80, 80, 80);

class NightPlot
{
public:
    explicit NightPlot(ElevationChart &chart);
    ~NightPlot();
    NightPlot(const NightPlot &) = delete;
    NightPlot &operator=(const NightPlot &) = delete;

    // Starts the plot of `plan`: every series detached, the curves of the
    // last plot released and its Moon and transits taken away, the chart's
    // title set.
    void start(const NightPlan &plan);

    // One curve more: a new line series attached, titled with the legend's
    // form of the name, drawn kCurveWidthPx wide, holding the curve's points.
    SeriesId add(const PlannedCurve &curve);
    // A curve's legend entry alone: the series `add` would make, without
    // points, for a drawing that is given the points later.
    SeriesId addTitle(const std::string &legendTitle);
    // Tells the tooltips and the transits which object the `index`th curve
    // (in the order added) shows.
    void describe(std::size_t index, const PlannedCurve &curve);

    // Shades the plot's background for the sky's darkness through the night;
    // an empty list takes the shading away.
    void showDarkness(const std::vector<DarknessStretch> &stretches);

    // The Moon of the plotted night: a dashed curve in kMoonColour, first in
    // the legend (titled MoonLegendTitle) and under every curve, and its
    // rises and sets marked on the time axis for `date`'s clock.
    void showMoon(const MoonNight &moon, TDateRec date);
    void hideMoon();
    std::optional<SeriesId> moonSeries() const { return moon_; }

    // Each curve's transit within the night by `plan` (the plan its curves
    // came from): a tick on the curve in its colour, labelled with the time.
    void showTransits(const NightPlan &plan);
    void hideTransits();

    const std::vector<SeriesId> &curves() const { return curves_; }

private:
    // Every series attached as before, less `leaving`, with `first` (when
    // given) ahead of them.
    void reattach(std::optional<SeriesId> first, std::optional<SeriesId> leaving);

    // What the tooltips tell of one curve.
    struct CurveInfo
    {
        std::string name;
        int line = 0;
        TRightAscension ra;
        TDeclination dec;
    };
    // The Moon's place and the objects' apparent places over the night, for
    // the tooltips' distance to the Moon while the Moon is shown.
    struct MoonSky
    {
        MoonSky(TDateRec date, const NightSite &site) : sunMoon(date, site), places(date, site) {}
        SunMoonNight sunMoon;
        PrecisePlaces places;
    };
    // The read-out of `series` at `xHours`, its curve at `elevationDeg`.
    QString readout(SeriesId series, double xHours, double elevationDeg) const;
    struct SeriesIdHash
    {
        std::size_t operator()(SeriesId id) const { return std::hash<int>()(static_cast<int>(id)); }
    };

    ElevationChart &chart_;
    std::vector<SeriesId> curves_;
    std::unordered_map<SeriesId, CurveInfo, SeriesIdHash> info_;
    TDateRec date_{};
    SiteValues site_;
    // The coordinates of each curve's object, in the order of curves_.
    // None for a curve whose object is not known (yet).
    std::vector<std::optional<std::pair<TRightAscension, TDeclination>>> places_;
    std::optional<SeriesId> moon_;
    std::unique_ptr<MoonSky> moonSky_;
};

} // namespace mirado
