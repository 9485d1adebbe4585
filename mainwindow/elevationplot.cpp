// SPDX-License-Identifier: GPL-3.0-or-later
#include "elevationplot.h"

#include <string>
#include <utility>

#include "night/darkness.h"
#include "night/nightmarks.h"
#include "night/session.h"

namespace mirado {

ElevationPlot::ElevationPlot(ElevationChart &chart, WarningReporter warningBox)
    : plot_(chart), warningBox_(std::move(warningBox))
{}

void ElevationPlot::plot(const Session &session)
{
    lastPlan_ = std::make_unique<NightPlan>(session.plan());
    const NightPlan &plan = *lastPlan_;
    plot_.start(plan);
    plottedDate_ = session.date();
    plottedSite_ = session.site();
    const SiteValues &site = session.site();
    plotted_ = PlottedNight{session.date(),
                            {site.longitude, site.latitude, site.timeZone},
                            ElevationModelNamed(session.model().name()),
                            {}};
    showDarkness(session);
    showMoon();

    std::optional<std::string> firstFailure;
    const WarningReporter warn = [&firstFailure](const std::string &text) {
        if (!firstFailure)
            firstFailure = text;
    };
    const auto reportFailure = [&] {
        if (firstFailure)
            warningBox_(*firstFailure);
    };
    const LineSelection &chosen = session.chosenLines();
    try {
        for (std::size_t i = 0; i < chosen.size(); ++i) {
            CatalogueObject object =
                session.catalogue().object(static_cast<std::size_t>(chosen[i]));
            plot_.add(plan.curve(object, warn));
            plotted_->objects.push_back(std::move(object));
        }
    } catch (...) {
        showTransits();
        reportFailure();
        throw;
    }
    showTransits();
    reportFailure();
}

void ElevationPlot::showMoon()
{
    if (!moonOn_ || !lastPlan_) {
        plot_.hideMoon();
        return;
    }
    const SiteValues &site = lastPlan_->site();
    plot_.showMoon(MoonOverNight(lastPlan_->date(), {site.longitude, site.latitude, site.timeZone}),
                   lastPlan_->date());
}

void ElevationPlot::showTransits()
{
    if (transitsOn_ && lastPlan_)
        plot_.showTransits(*lastPlan_);
    else
        plot_.hideTransits();
}

void ElevationPlot::showDarkness(const Session &session)
{
    if (!darknessOn_) {
        plot_.showDarkness({});
        return;
    }
    const TDateRec date = plottedDate_.value_or(session.date());
    const SiteValues &site = plottedSite_ ? *plottedSite_ : session.site();
    plot_.showDarkness(DarknessStretches(date, {site.longitude, site.latitude, site.timeZone}));
}

} // namespace mirado
