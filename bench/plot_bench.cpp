// SPDX-License-Identifier: GPL-3.0-or-later
// Times the plot through the real window, from the command to the painted
// chart, for catalogues of 10 to 10,000 checked objects, and the processor
// time the program takes while idling with the present-moment display on.
//
// The season dialog of 100 plotted objects, by each model: the time from a
// change of a field until the new season is computed and painted, against
// its bound of a second.
//
// With a second argument, also a plot of that many objects: its time, the
// longest the window waited for a pass of the event loop (a repaint or a
// tick) and the peak resident memory.
//
// Run: QT_QPA_PLATFORM=offscreen build/bench/plot_bench [max-objects [large-objects]]
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGraphicsView>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <random>

#include "chart/elevationchart.h"
#include "dialogs/messages.h"
#include "dialogs/season.h"
#include "dialogs/select.h"
#include "mainwindow/application.h"
#include "mainwindow/mirado.h"

using namespace mirado;

namespace {

QString WriteCatalogue(const QDir &dir, int count)
{
    std::mt19937 random(7);
    QFile file(dir.filePath(QStringLiteral("bench-%1.txt").arg(count)));
    file.open(QIODevice::WriteOnly);
    for (int i = 0; i < count; ++i)
        file.write(QStringLiteral("Object %1, %2:%3:%4, %5%6:%7:%8\r\n")
                       .arg(i)
                       .arg(random() % 24)
                       .arg(random() % 60)
                       .arg(random() % 60)
                       .arg(random() % 2 ? '+' : '-')
                       .arg(random() % 90)
                       .arg(random() % 60)
                       .arg(random() % 60)
                       .toLatin1());
    return file.fileName();
}

long long PeakResidentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

double ProcessSeconds()
{
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

// Runs the event loop for a while, so repaints the window has put off run
// before the next measurement instead of inside it.
void Settle()
{
    QEventLoop loop;
    QTimer::singleShot(100, &loop, &QEventLoop::quit);
    loop.exec();
}

// Milliseconds from the plot command until the chart has been painted. The
// chart's view is painted at once: a repaint of the chart widget alone leaves
// the view to the window's next update, after the measurement.
double TimePlot(MiradoWindows &windows)
{
    QWidget *view = windows.frmMirado().chart()->findChild<QGraphicsView *>()->viewport();
    QElapsedTimer timer;
    timer.start();
    windows.frmMirado().mnuPlotClick();
    QCoreApplication::processEvents();
    view->repaint();
    const double ms = timer.nsecsElapsed() / 1e6;
    Settle();
    return ms;
}

// A plot of `count` objects, timed with the longest wait between passes of
// the event loop while it runs.
void TimeLargePlot(MiradoWindows &windows, const QDir &dir, int count)
{
    TfrmMirado &main = windows.frmMirado();
    main.LoadCatalogue(WriteCatalogue(dir, count).toStdString());
    windows.frmSelect().btnSelectAllClick();
    Settle();
    const long long loadedKb = PeakResidentKilobytes();
    QElapsedTimer timer;
    qint64 lastPassNs = 0;
    qint64 longestWaitNs = 0;
    qint64 longestAtNs = 0;
    QTimer pass;
    pass.setInterval(0);
    QObject::connect(&pass, &QTimer::timeout, &pass, [&] {
        const qint64 now = timer.nsecsElapsed();
        if (now - lastPassNs > longestWaitNs) {
            longestWaitNs = now - lastPassNs;
            longestAtNs = lastPassNs;
        }
        lastPassNs = now;
    });
    timer.start();
    pass.start();
    main.mnuPlotClick();
    pass.stop();
    // Until the whole plot is painted, counted as a wait too.
    QWidget *view = main.chart()->findChild<QGraphicsView *>()->viewport();
    QCoreApplication::processEvents();
    view->repaint();
    if (timer.nsecsElapsed() - lastPassNs > longestWaitNs) {
        longestWaitNs = timer.nsecsElapsed() - lastPassNs;
        longestAtNs = lastPassNs;
    }
    const double seconds = timer.nsecsElapsed() / 1e9;
    std::printf("plot of %d objects: %.1f s, longest wait for the event loop %.0f ms (from "
                "%.2f s), peak %lld MB (%lld MB with the catalogue loaded)\n",
                count, seconds, longestWaitNs / 1e6, longestAtNs / 1e9,
                PeakResidentKilobytes() / 1024, loadedKb / 1024);
}

// The season dialog's redraw after a change of each field must take no
// longer than this.
constexpr double kSeasonRedrawMs = 1000.0;

// Milliseconds from a change of a field of the open season dialog until its
// new season is painted.
double TimeSeasonChange(TfrmSeason &dialog, const std::function<void()> &change)
{
    QElapsedTimer timer;
    timer.start();
    change();
    while (dialog.isComputing())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    dialog.chartView()->repaint();
    const double ms = timer.nsecsElapsed() / 1e6;
    Settle();
    return ms;
}

// Opens the season dialog on the last plot and times a change of each field.
void TimeSeasonDialog(TfrmMirado &main, const char *model)
{
    QTimer::singleShot(0, [&main, model] {
        TfrmSeason &dialog = *main.seasonDialog();
        while (dialog.isComputing())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        const struct
        {
            const char *field;
            std::function<void()> change;
        } changes[] = {
            {"最低高度",
             [&] { dialog.setMinAltitudeDeg(static_cast<int>(dialog.minAltitudeDeg()) + 1); }},
            {"月数", [&] { dialog.setMonths(dialog.months() - 1); }},
            {"開始日",
             [&] {
                 TDateRec start = dialog.startDate();
                 start.day = start.day % 28 + 1;
                 dialog.setStartDate(start);
             }},
        };
        for (const auto &[field, change] : changes) {
            const double ms = TimeSeasonChange(dialog, change);
            std::printf("season dialog, 100 objects, %s model, change of %s: %.1f ms against a "
                        "bound of %.0f ms: %s\n",
                        model, field, ms, kSeasonRedrawMs,
                        ms <= kSeasonRedrawMs ? "within" : "OVER");
        }
        dialog.reject();
    });
    main.mnuSeasonClick();
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int maxObjects = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int largeObjects = argc > 2 ? std::atoi(argv[2]) : 0;
    SetUpApplication();
    SetMessageHandlerForTesting([](const Message &m) {
        std::fprintf(stderr, "message: %s\n", m.text.toUtf8().constData());
    });
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    // The model switch is saved with the user's settings: in the scratch
    // folder, never the user's own.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());

    MiradoWindows windows;
    TfrmMirado &main = windows.frmMirado();
    main.show();
    main.chart()->setAnimatedZoom(false);
    QCoreApplication::processEvents();

    std::printf("objects  first plot ms  plot again ms\n");
    for (const int count : {10, 100, 1000, 10000}) {
        if (count > maxObjects)
            break;
        main.LoadCatalogue(WriteCatalogue(QDir(dir.path()), count).toStdString());
        windows.frmSelect().btnSelectAllClick();
        const double first = TimePlot(windows);
        const double again = TimePlot(windows);
        std::printf("%7d  %13.1f  %13.1f\n", count, first, again);
    }

    main.LoadCatalogue(WriteCatalogue(QDir(dir.path()), 100).toStdString());
    windows.frmSelect().btnSelectAllClick();
    main.mnuPlotClick();
    TimeSeasonDialog(main, "chart");
    main.mnuPreciseClick();
    main.mnuPlotClick();
    TimeSeasonDialog(main, "precise");
    main.mnuPreciseClick();

    if (largeObjects > 0)
        TimeLargePlot(windows, QDir(dir.path()), largeObjects);

    // Idle with the display on and 1,000 curves: one tick and redraw a second.
    main.LoadCatalogue(WriteCatalogue(QDir(dir.path()), 1000).toStdString());
    windows.frmSelect().btnSelectAllClick();
    main.mnuPlotClick();
    main.mnuNowClick();
    QCoreApplication::processEvents();
    constexpr int kIdleSeconds = 10;
    const double cpuBefore = ProcessSeconds();
    QTimer::singleShot(kIdleSeconds * 1000, &app, &QCoreApplication::quit);
    QApplication::exec();
    const double cpu = ProcessSeconds() - cpuBefore;
    std::printf("idle with the display on, 1000 curves: %.2f %% of one core over %d s\n",
                100.0 * cpu / kIdleSeconds, kIdleSeconds);
    return 0;
}
