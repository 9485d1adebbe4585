// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "astro/types.h"
#include "chart/nightplot.h"
#include "data/site.h"
#include "night/eventrows.h"

QT_FORWARD_DECLARE_CLASS(QProgressDialog)
QT_FORWARD_DECLARE_CLASS(QWidget)

namespace mirado {

class ElevationChart;
class Session;

// The plot command's work on the chart: the night of a session drawn as one
// curve per chosen catalogue line, and the darkness of the sky shaded behind
// the night last plotted.
class ElevationPlot
{
public:
    // A plot running longer than this shows its progress.
    static constexpr std::int64_t kProgressDelayMs = 1000;
    // A running plot lets the event loop run at least this often, so the
    // window repaints and the clock ticks.
    static constexpr std::int64_t kEventsEveryMs = 50;

    // `warningBox` shows the astronomy routines' failures; the progress
    // dialog belongs to `window`.
    ElevationPlot(ElevationChart &chart, WarningReporter warningBox, QWidget *window);
    ~ElevationPlot();
    ElevationPlot(const ElevationPlot &) = delete;
    ElevationPlot &operator=(const ElevationPlot &) = delete;

    // Plots the session's chosen night at its site: every series detached,
    // the title set, then the chosen lines' curves in catalogue order, each
    // shown as soon as it is computed. A line that does not parse ends the
    // plot there and raises its error. The astronomy routines' failures do
    // not stop a curve: the first of them is shown once, after the curves
    // (also when a line ended the plot), so a catalogue of absurd coordinates
    // raises one box instead of one per point.
    //
    // While it runs, the event loop runs every kEventsEveryMs without user
    // input, so the window repaints and the clock ticks. After
    // kProgressDelayMs an application-modal dialog titled "Mirado" shows
    // "高度を計算しています (N / M)" and a button "ｷｬﾝｾﾙ"; it is then the one
    // thing that takes input. Cancelling (the button, or cancel()) ends the
    // plot after the curve being drawn, keeping the curves drawn so far and
    // showing no box. Returns false when the plot was cancelled.
    bool plot(const Session &session);
    // Asks a running plot to stop; nothing happens when none runs.
    void cancel() { cancelRequested_ = true; }
    bool isRunning() const { return running_; }
    // The progress dialog of the running plot, or null while it is not shown.
    QProgressDialog *progressDialog() const { return progress_; }

    // Whether the darkness of the sky is shaded; the shading changes with the
    // next showDarkness or plot.
    void setDarknessOn(bool on) { darknessOn_ = on; }
    bool isDarknessOn() const { return darknessOn_; }
    // Shades the darkness of the last plot's night, or before the first plot
    // that of the session's night; when it is off, takes the shading away.
    void showDarkness(const Session &session);

    // Whether the Moon and the curves' transits are shown: each shows the
    // night, site, model and objects of the last plot (nothing before the
    // first), and is drawn again at once by showMoon or showTransits without
    // touching the curves.
    void setMoonOn(bool on) { moonOn_ = on; }
    bool isMoonOn() const { return moonOn_; }
    void showMoon();
    void setTransitsOn(bool on) { transitsOn_ = on; }
    bool isTransitsOn() const { return transitsOn_; }
    void showTransits();

    NightPlot &nightPlot() { return plot_; }

    // The night, site, model and objects of the last plot; none before the
    // first. A plot that a bad line ended holds the objects before it.
    const std::optional<PlottedNight> &plotted() const { return plotted_; }

private:
    // Lets the event loop run once, showing the progress dialog when the
    // plot has run `elapsedMs`, after `done` curves of `total`.
    void keepResponsive(std::size_t done, std::size_t total, std::int64_t elapsedMs);

    NightPlot plot_;
    WarningReporter warningBox_;
    QWidget *window_;
    QProgressDialog *progress_ = nullptr;
    bool running_ = false;
    bool cancelRequested_ = false;
    bool darknessOn_ = false;
    bool moonOn_ = false;
    bool transitsOn_ = false;
    std::unique_ptr<NightPlan> lastPlan_;
    std::optional<TDateRec> plottedDate_;
    std::optional<SiteValues> plottedSite_;
    std::optional<PlottedNight> plotted_;
};

} // namespace mirado
