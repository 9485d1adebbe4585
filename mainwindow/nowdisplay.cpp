// SPDX-License-Identifier: GPL-3.0-or-later
#include "nowdisplay.h"

#include <QLabel>
#include <exception>
#include <string>
#include <utility>

#include "chart/elevationchart.h"
#include "night/clock.h"
#include "night/nowtexts.h"

namespace mirado {

namespace {

// The marker's pointer: outline hidden, one unit wide and far taller than
// the plot area.
constexpr int kMarkerWidth = 1;
constexpr int kMarkerHeight = 10000;
constexpr double kFullZoomPercent = 100.0;

// The same site for the present moment: equal numbers, NaN equal to NaN.
bool SameSiteValues(const SiteValues &a, const SiteValues &b)
{
    const auto same = [](double x, double y) { return x == y || (x != x && y != y); };
    return same(a.longitude, b.longitude) && same(a.latitude, b.latitude) &&
           same(a.timeZone, b.timeZone);
}

} // namespace

NowDisplay::NowDisplay(ElevationChart &chart, QLabel &localTime, QLabel &utPanel, QLabel &lstPanel,
                       const LocaleFormats &formats, WarningReporter warningBox)
    : chart_(chart), localTime_(localTime), utPanel_(utPanel), lstPanel_(lstPanel),
      formats_(formats), warningBox_(std::move(warningBox))
{}

void NowDisplay::createMarker()
{
    marker_ = chart_.createPointSeries();
    hasMarker_ = true;
    chart_.setSeriesTitle(marker_, QStringLiteral("Now"));
    chart_.setPointer(marker_, false, kMarkerWidth, kMarkerHeight);
}

void NowDisplay::prepareMarker()
{
    if (!hasMarker_) {
        marker_ = chart_.createPointSeries();
        hasMarker_ = true;
    }
    chart_.attachSeries(marker_);
    chart_.setSeriesTitle(marker_, QStringLiteral("Now"));
    chart_.clearSeries(marker_);
    chart_.setPointer(marker_, false, kMarkerWidth, kMarkerHeight);
    chart_.addPoint(marker_, 0.0, 0.0);
}

bool NowDisplay::reportOnce(const SiteValues &site)
{
    if (reportedSite_)
        return false;
    reportedSite_ = site;
    return true;
}

void NowDisplay::tick(const SiteValues &site)
{
    if (reportedSite_ && !SameSiteValues(*reportedSite_, site))
        reportedSite_.reset();

    // The present moment at the site: universal time from the system clock
    // moved by the site's zone, whatever zone the computer keeps.
    DateTimeValue now;
    try {
        now = SiteLocalNow(site.timeZone);
    } catch (const std::exception &) {
        if (!reportOnce(site))
            return;
        throw;
    }

    // The marker at the present moment on the night axis.
    if (on_ && hasMarker_) {
        chart_.setPointValue(marker_, ValueList::X, 0, MarkerX(now.time()));
        chart_.setPointValue(marker_, ValueList::Y, 0, kMarkerY);
        chart_.zoomByPercent(kFullZoomPercent);
    }

    // Local time, universal time, local sidereal time.
    localTime_.setText(QString::fromStdString(LocalTimeLabel(now, formats_)).replace(u'\r', u'\n'));
    try {
        utPanel_.setText(QString::fromStdString(UniversalTimeText(now, site.timeZone, formats_)));
    } catch (const std::exception &) {
        if (!reportOnce(site))
            return;
        throw;
    }
    std::optional<std::string> failure;
    const WarningReporter warn = [&failure](const std::string &text) {
        if (!failure)
            failure = text;
    };
    lstPanel_.setText(
        QString::fromStdString(SiderealTimeText(now, site.longitude, site.timeZone, warn)));
    if (failure && reportOnce(site))
        warningBox_(*failure);
}

} // namespace mirado
