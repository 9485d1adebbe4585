// SPDX-License-Identifier: GPL-3.0-or-later
#include "elevationplot.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>
#include <climits>
#include <string>
#include <utility>

#include "night/clock.h"
#include "night/darkness.h"
#include "night/nightmarks.h"
#include "night/session.h"

namespace mirado {

namespace {

constexpr const char *kProgressTitle = "Mirado";
constexpr const char *kCancelText = "ｷｬﾝｾﾙ";

QString ProgressText(std::size_t done, std::size_t total)
{
    return QStringLiteral("高度を計算しています (%1 / %2)").arg(done).arg(total);
}

} // namespace

ElevationPlot::ElevationPlot(ElevationChart &chart, WarningReporter warningBox, QWidget *window)
    : plot_(chart), warningBox_(std::move(warningBox)), window_(window)
{}

ElevationPlot::~ElevationPlot()
{
    delete progress_;
}

bool ElevationPlot::plot(const Session &session)
{
    running_ = true;
    cancelRequested_ = false;
    struct Finish
    {
        ElevationPlot &plot;
        ~Finish()
        {
            plot.running_ = false;
            delete plot.progress_;
            plot.progress_ = nullptr;
        }
    } finish{*this};

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
    const std::int64_t startMs = MonotonicMs();
    std::int64_t eventsMs = startMs;
    try {
        for (std::size_t i = 0; i < chosen.size() && !cancelRequested_; ++i) {
            CatalogueObject object =
                session.catalogue().object(static_cast<std::size_t>(chosen[i]));
            plot_.add(plan.curve(object, warn));
            plotted_->objects.push_back(std::move(object));
            if (const std::int64_t nowMs = MonotonicMs(); nowMs - eventsMs >= kEventsEveryMs) {
                keepResponsive(i + 1, chosen.size(), nowMs - startMs);
                eventsMs = MonotonicMs();
            }
        }
    } catch (...) {
        showTransits();
        reportFailure();
        throw;
    }
    showTransits();
    if (cancelRequested_)
        return false;
    reportFailure();
    return true;
}

void ElevationPlot::keepResponsive(std::size_t done, std::size_t total, std::int64_t elapsedMs)
{
    if (!progress_ && elapsedMs >= kProgressDelayMs) {
        progress_ = new QProgressDialog(window_);
        progress_->setWindowTitle(QString::fromUtf8(kProgressTitle));
        progress_->setCancelButtonText(QString::fromUtf8(kCancelText));
        progress_->setWindowModality(Qt::ApplicationModal);
        progress_->setAutoReset(false);
        progress_->setAutoClose(false);
        progress_->setMinimumDuration(0);
        progress_->setRange(0, static_cast<int>(std::min<std::size_t>(total, INT_MAX)));
        // The button, or the dialog closed by its window or Escape.
        QObject::connect(progress_, &QProgressDialog::canceled, progress_, [this] { cancel(); });
        QObject::connect(progress_, &QDialog::rejected, progress_, [this] { cancel(); });
        progress_->show();
    }
    if (progress_) {
        progress_->setLabelText(ProgressText(done, total));
        progress_->setValue(static_cast<int>(std::min<std::size_t>(done, INT_MAX)));
    }
    // Until the dialog shows, input waits; then modality keeps it to the
    // dialog.
    QCoreApplication::processEvents(progress_ && progress_->isVisible()
                                        ? QEventLoop::AllEvents
                                        : QEventLoop::ExcludeUserInputEvents);
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
