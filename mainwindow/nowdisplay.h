// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "astro/types.h"
#include "chart/seriesstore.h"
#include "data/site.h"
#include "platform/localeformat.h"

class QLabel;

namespace mirado {

class ElevationChart;

// The present moment in the main window: the site's local time, universal
// time and local sidereal time, once a second, and while the display is on
// the marker, a vertical bar at the present clock time on the chart.
//
// Site values that make the present moment fail (a zone whose minutes do not
// fit, a longitude typed without its decimal point) fail on every tick; each
// failure is reported once, until the site values change.
class NowDisplay
{
public:
    // `warningBox` shows the astronomy routines' failures.
    NowDisplay(ElevationChart &chart, QLabel &localTime, QLabel &utPanel, QLabel &lstPanel,
               const LocaleFormats &formats, WarningReporter warningBox);

    // The marker series, created detached and titled "Now".
    void createMarker();
    SeriesId markerSeries() const { return marker_; }

    bool isOn() const { return on_; }
    void setOn(bool on) { on_ = on; }

    // The marker series attached again, cleared and given one point at x 0.
    void prepareMarker();

    // One tick at `site`: the marker moved to the present moment (when on)
    // and the three texts. Raises the failure of the present moment or of
    // the universal time, once for the same site values; the texts after
    // the failing step keep what they showed.
    void tick(const SiteValues &site);

private:
    // True when the failure is to be reported (raised) for `site`.
    bool reportOnce(const SiteValues &site);

    ElevationChart &chart_;
    QLabel &localTime_;
    QLabel &utPanel_;
    QLabel &lstPanel_;
    const LocaleFormats &formats_;
    WarningReporter warningBox_;
    SeriesId marker_{};
    bool hasMarker_ = false;
    bool on_ = false;
    // The site values of the last reported failure.
    std::optional<SiteValues> reportedSite_;
};

} // namespace mirado
