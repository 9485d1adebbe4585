// SPDX-License-Identifier: GPL-3.0-or-later
#include "elevationplot.h"

#include <QCoreApplication>
#include <QProgressDialog>

#include <algorithm>
#include <climits>
#include <deque>
#include <exception>
#include <future>
#include <string>
#include <utility>
#include <vector>

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

// Lines are planned a batch at a time on threads of their own, kBatchesAhead
// batches ahead of the one being shown, so the curves are computed while the
// chart takes and draws those before them. A batch ends after kBatchLines
// lines or kBatchBytes bytes of them, whichever comes first, so the batches
// in memory stay small whatever the lines hold.
constexpr std::size_t kBatchLines = 64;
constexpr std::size_t kBatchBytes = 1 << 20;
constexpr std::size_t kBatchesAhead = 2;

// One chosen line as planned: its object and curve with the first failure
// the astronomy routines reported for it, or the error of a line that does
// not parse.
struct PlannedLine
{
    CatalogueObject object;
    PlannedCurve curve;
    std::optional<std::string> firstFailure;
    std::exception_ptr error;
};

// Plans chosen lines [from, to).
std::vector<PlannedLine> PlanBatch(const NightPlan &plan, const ObjectCatalogue &catalogue,
                                   const LineSelection &chosen, std::size_t from, std::size_t to)
{
    std::vector<PlannedLine> batch(to - from);
    for (std::size_t i = from; i < to; ++i) {
        PlannedLine &planned = batch[i - from];
        const WarningReporter warn = [&planned](const std::string &text) {
            if (!planned.firstFailure)
                planned.firstFailure = text;
        };
        try {
            planned.object = catalogue.object(static_cast<std::size_t>(chosen[i]));
            planned.curve = plan.curve(planned.object, warn);
        } catch (...) {
            planned.error = std::current_exception();
        }
    }
    return batch;
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
    const ObjectCatalogue &catalogue = session.catalogue();
    const CatalogueLines &lines = catalogue.lines();
    // Left behind by a cancelled or failed plot, the batches still running
    // finish before their futures go.
    std::deque<std::future<std::vector<PlannedLine>>> ahead;
    std::size_t planned = 0;
    const auto planNext = [&] {
        if (planned >= chosen.size())
            return;
        const std::size_t from = planned;
        for (std::size_t bytes = 0;
             planned < chosen.size() && planned - from < kBatchLines && bytes < kBatchBytes;
             ++planned)
            bytes += lines[static_cast<std::size_t>(chosen[planned])].size();
        ahead.push_back(std::async(std::launch::async | std::launch::deferred, PlanBatch,
                                   std::cref(plan), std::cref(catalogue), std::cref(chosen), from,
                                   planned));
    };
    for (std::size_t i = 0; i < kBatchesAhead; ++i)
        planNext();

    const std::int64_t startMs = MonotonicMs();
    std::int64_t eventsMs = startMs;
    std::size_t done = 0;
    try {
        while (!ahead.empty() && !cancelRequested_) {
            std::vector<PlannedLine> batch = ahead.front().get();
            ahead.pop_front();
            planNext();
            for (std::size_t i = 0; i < batch.size() && !cancelRequested_; ++i) {
                PlannedLine &line = batch[i];
                if (line.error)
                    std::rethrow_exception(line.error);
                if (line.firstFailure)
                    warn(*line.firstFailure);
                plot_.add(line.curve);
                plotted_->objects.push_back(std::move(line.object));
                ++done;
                if (const std::int64_t nowMs = MonotonicMs(); nowMs - eventsMs >= kEventsEveryMs) {
                    keepResponsive(done, chosen.size(), nowMs - startMs);
                    eventsMs = MonotonicMs();
                }
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
