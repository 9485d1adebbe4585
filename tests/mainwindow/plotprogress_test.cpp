// SPDX-License-Identifier: GPL-3.0-or-later
// A long plot through the window: its progress dialog, its cancelling and a
// window closed while it runs. The monotonic clock is made to run fast, so a
// plot of a few curves takes "seconds".
#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "chart/elevationchart.h"
#include "dialogs/select.h"
#include "mainwindow/elevationplot.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

constexpr int kLines = 40;

} // namespace

class PlotProgressTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void longPlots_data();
    void longPlots();
};

// `stepMs`: how far the clock moves each time it is read. `action`: what the
// user does on the dialog's second pass of the event loop. Want: whether the
// dialog shows, how many curves stay (-1: fewer than all, at least one) and
// whether the present-moment marker is attached. Every plot lets the event
// loop run while it works.
void PlotProgressTest::longPlots_data()
{
    QTest::addColumn<int>("stepMs");
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("wantDialog");
    QTest::addColumn<int>("wantCurves");
    QTest::addColumn<bool>("wantMarker");

    QTest::newRow("under a second: no dialog") << 10 << "" << false << kLines << true;
    QTest::newRow("over a second: the dialog, then the marker")
        << 150 << "" << true << kLines << true;
    QTest::newRow("cancel keeps the curves so far, no marker")
        << 150 << "cancel" << true << -1 << false;
    QTest::newRow("Escape cancels too") << 150 << "escape" << true << -1 << false;
    QTest::newRow("closing the window cancels first") << 150 << "close" << true << -1 << false;
    QTest::newRow("a catalogue opened meanwhile cancels, then loads")
        << 150 << "load" << true << -1 << false;
}

void PlotProgressTest::longPlots()
{
    QFETCH(int, stepMs);
    QFETCH(QString, action);
    QFETCH(bool, wantDialog);
    QFETCH(int, wantCurves);
    QFETCH(bool, wantMarker);

    test::WindowFixture fixture;
    QByteArray catalogue;
    for (int i = 0; i < kLines; ++i)
        catalogue += "Star " + QByteArray::number(i) + ", " + QByteArray::number(i % 24) +
                     ":00:00, +30:00:00\r\n";
    fixture.write(QStringLiteral("site.txt"), "135\r\n35\r\n9\r\ncat.txt\r\n");
    fixture.write(QStringLiteral("cat.txt"), catalogue);
    fixture.write(QStringLiteral("other.txt"), "Vega, 18:36:56, +38:47:01\r\n");
    TfrmMirado &main = fixture.start();
    main.chart()->setAnimatedZoom(false);
    main.mnuNowClick(); // the display is on: a finished plot attaches the marker
    std::int64_t nowMs = 0;
    SetMonotonicClockForTesting([&nowMs, stepMs] { return nowMs += stepMs; });
    const auto restoreClock = qScopeGuard([] { SetMonotonicClockForTesting({}); });

    // What the dialog shows, at each pass of the event loop while it is shown.
    int loopPasses = 0;
    int passes = 0;
    QStringList shown;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, &watcher, [&] {
        ++loopPasses;
        QProgressDialog *dialog = main.elevationPlot().progressDialog();
        if (!dialog || !dialog->isVisible())
            return;
        QStringList buttons;
        for (const QPushButton *button : dialog->findChildren<QPushButton *>())
            buttons << button->text();
        shown = {dialog->windowTitle(), dialog->labelText(), buttons.join('|'),
                 dialog->windowModality() == Qt::ApplicationModal ? "modal" : "modeless"};
        if (++passes == 2 && action == u"cancel")
            dialog->findChild<QPushButton *>()->click();
        if (passes == 2 && action == u"escape")
            QTest::keyClick(dialog, Qt::Key_Escape);
        if (passes == 2 && action == u"close")
            main.close();
        if (passes == 2 && action == u"load") {
            main.loadCatalogue(fixture.dir().filePath(QStringLiteral("other.txt")).toStdString());
            // The plotted catalogue stands until the plot has returned.
            QCOMPARE(main.session().catalogue().size(), std::size_t(kLines));
        }
    });
    watcher.start(0);
    fixture.windows().frmSelect().btnSelectAllClick();
    fixture.windows().frmSelect().btnOKClick();
    watcher.stop();

    QVERIFY(loopPasses > 0);
    QCOMPARE(passes > 0, wantDialog);
    if (wantDialog) {
        QCOMPARE(shown.size(), 4);
        QCOMPARE(shown[0], QStringLiteral("Mirado"));
        QVERIFY2(
            QRegularExpression(QStringLiteral("^高度を計算しています \\(\\d+ / %1\\)$").arg(kLines))
                .match(shown[1])
                .hasMatch(),
            qPrintable(shown[1]));
        QCOMPARE(shown[2], QStringLiteral("ｷｬﾝｾﾙ"));
        QCOMPARE(shown[3], QStringLiteral("modal"));
    }
    QCOMPARE(main.elevationPlot().progressDialog(), nullptr);
    QVERIFY(!main.elevationPlot().isRunning());

    const std::vector<SeriesId> &attached = main.chart()->attachedSeries();
    const bool marker = std::count(attached.begin(), attached.end(), main.nowSeries()) > 0;
    const std::size_t curves = attached.size() - (marker ? 1 : 0);
    if (wantCurves >= 0)
        QCOMPARE(curves, std::size_t(wantCurves));
    else
        QVERIFY2(
            curves >= 1 && curves < std::size_t(kLines),
            qPrintable(QStringLiteral("want 1 to %1 curves, got %2").arg(kLines - 1).arg(curves)));
    QCOMPARE(marker, wantMarker);
    QVERIFY2(fixture.messages.isEmpty(), qPrintable(fixture.messages.value(0).text));
    QCOMPARE(main.isVisible(), action != u"close");
    if (action == u"load")
        QTRY_COMPARE(main.session().catalogue().size(), std::size_t(1));
}

QTEST_MAIN(PlotProgressTest)
#include "plotprogress_test.moc"
