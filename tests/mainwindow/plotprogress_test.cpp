// SPDX-License-Identifier: GPL-3.0-or-later
// A long plot through the window: its progress dialog, its cancelling and a
// window closed while it runs. The monotonic clock is made to run fast, so a
// plot of a few curves takes "seconds".
#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

#include "chart/elevationchart.h"
#include "dialogs/select.h"
#include "mainwindow/elevationplot.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

constexpr int kLines = 40;

QByteArray Catalogue()
{
    QByteArray bytes;
    for (int i = 0; i < kLines; ++i)
        bytes += "Star " + QByteArray::number(i) + ", " + QByteArray::number(i % 24) +
                 ":00:00, +30:00:00\r\n";
    return bytes;
}

// What the dialog showed while the plot ran.
struct Seen
{
    int dialogs = 0; // event-loop passes that found it shown
    QString title;
    QString label;
    QStringList buttons;
    Qt::WindowModality modality = Qt::NonModal;
};

} // namespace

class PlotProgressTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void init();
    void cleanup();

    void longPlots_data();
    void longPlots();

private:
    std::unique_ptr<test::WindowFixture> fixture_;
};

void PlotProgressTest::init()
{
    fixture_ = std::make_unique<test::WindowFixture>();
    fixture_->write(QStringLiteral("site.txt"), "135\r\n35\r\n9\r\ncat.txt\r\n");
    fixture_->write(QStringLiteral("cat.txt"), Catalogue());
    fixture_->start();
    fixture_->main().chart()->setAnimatedZoom(false);
}

void PlotProgressTest::cleanup()
{
    SetMonotonicClockForTesting({});
    fixture_.reset();
}

// `stepMs`: how far the clock moves each time it is read. `action`: what
// the user does once the dialog has shown on `afterPasses` passes of the
// event loop. Want: whether the dialog shows, how many curves stay (-1: fewer
// than all, at least one) and whether the present-moment marker is attached.
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
    QTest::newRow("closing the window cancels first") << 150 << "close" << true << -1 << false;
}

void PlotProgressTest::longPlots()
{
    QFETCH(int, stepMs);
    QFETCH(QString, action);
    QFETCH(bool, wantDialog);
    QFETCH(int, wantCurves);
    QFETCH(bool, wantMarker);

    TfrmMirado &main = fixture_->main();
    main.mnuNowClick(); // the display is on: a finished plot attaches the marker
    std::int64_t nowMs = 0;
    SetMonotonicClockForTesting([&nowMs, stepMs] { return nowMs += stepMs; });

    Seen seen;
    QTimer watcher;
    watcher.setInterval(0);
    QObject::connect(&watcher, &QTimer::timeout, &watcher, [&] {
        QProgressDialog *dialog = main.elevationPlot().progressDialog();
        if (!dialog || !dialog->isVisible())
            return;
        ++seen.dialogs;
        seen.title = dialog->windowTitle();
        seen.label = dialog->labelText();
        seen.modality = dialog->windowModality();
        seen.buttons.clear();
        for (const QPushButton *button : dialog->findChildren<QPushButton *>())
            seen.buttons << button->text();
        if (seen.dialogs == 2 && action == u"cancel")
            dialog->findChild<QPushButton *>()->click();
        if (seen.dialogs == 2 && action == u"close")
            main.close();
    });
    watcher.start();
    fixture_->windows().frmSelect().btnSelectAllClick();
    fixture_->windows().frmSelect().btnOKClick();
    watcher.stop();

    QCOMPARE(seen.dialogs > 0, wantDialog);
    if (wantDialog) {
        QCOMPARE(seen.title, QStringLiteral("Mirado"));
        QVERIFY2(seen.label.startsWith(QStringLiteral("高度を計算しています (")) &&
                     seen.label.endsWith(QStringLiteral(" / %1)").arg(kLines)),
                 qPrintable(seen.label));
        QCOMPARE(seen.buttons, QStringList{QStringLiteral("ｷｬﾝｾﾙ")});
        QCOMPARE(seen.modality, Qt::ApplicationModal);
    }
    QCOMPARE(main.elevationPlot().progressDialog(), nullptr);
    QVERIFY(!main.elevationPlot().isRunning());

    std::size_t curves = 0;
    bool marker = false;
    for (const SeriesId series : main.chart()->attachedSeries()) {
        if (series == main.nowSeries())
            marker = true;
        else
            ++curves;
    }
    if (wantCurves >= 0)
        QCOMPARE(curves, std::size_t(wantCurves));
    else
        QVERIFY2(
            curves >= 1 && curves < std::size_t(kLines),
            qPrintable(QStringLiteral("want 1 to %1 curves, got %2").arg(kLines - 1).arg(curves)));
    QCOMPARE(marker, wantMarker);
    QVERIFY2(fixture_->messages.isEmpty(), qPrintable(fixture_->messages.value(0).text));
    QCOMPARE(main.isVisible(), action != u"close");
}

QTEST_MAIN(PlotProgressTest)
#include "plotprogress_test.moc"
