// SPDX-License-Identifier: GPL-3.0-or-later
// The choice of the precise model in the main window: off at the first start,
// kept in the user's settings, taking effect with the next plot, named in the
// chart's title.
#include <QAction>
#include <QMenu>
#include <QSettings>
#include <QTest>

#include "chart/elevationchart.h"
#include "dialogs/select.h"
#include "night/elevationmodel.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

const QByteArray kSite = "139.7\r\n35.7\r\n9\r\ncat.txt\r\n";
const QByteArray kCatalogue = "Vega, 18:36:56.3, +38:47:01\r\n";
const TDateRec kNight{2026, 12, 8};

} // namespace

class ModelTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void init();
    void cleanup() { fixture_.reset(); }
    void menuItemEndsTheSettingsMenuAndStartsOff();
    void choiceTakesEffectWithTheNextPlot();
    void choiceIsKeptForTheNextStart();

private:
    TfrmMirado &main() { return fixture_->main(); }
    QAction *item() { return main().findChild<QAction *>(QStringLiteral("mnuPrecise")); }
    ElevationChart &chart() { return *main().chart(); }
    QList<QPointF> plotted() { return chart().seriesPoints(chart().attachedSeries().at(0)); }
    void plot()
    {
        fixture_->windows().frmSelect().setChecked(0, true);
        main().mnuPlotClick();
    }

    std::unique_ptr<test::WindowFixture> fixture_;
};

void ModelTest::init()
{
    fixture_ = std::make_unique<test::WindowFixture>();
    fixture_->write(QStringLiteral("site.txt"), kSite);
    fixture_->write(QStringLiteral("cat.txt"), kCatalogue);
    fixture_->start();
    test::SetDate(main(), kNight);
}

void ModelTest::menuItemEndsTheSettingsMenuAndStartsOff()
{
    QAction *precise = item();
    QVERIFY(precise);
    QCOMPARE(precise->text(), QStringLiteral("精密計算(&A)"));
    QVERIFY(precise->isCheckable());
    QVERIFY(!precise->isChecked());
    const QList<QAction *> actions = main().findChild<QMenu *>(QStringLiteral("mnuSet"))->actions();
    QCOMPARE(actions.last(), precise);
    QVERIFY(actions.at(actions.size() - 2)->isSeparator());
}

void ModelTest::choiceTakesEffectWithTheNextPlot()
{
    plot();
    QCOMPARE(chart().chartTitle(), QStringLiteral("Mirado 2026.12.8"));
    const QList<QPointF> byChart = plotted();

    // Turned on, it changes nothing shown until the next plot.
    item()->trigger();
    QVERIFY(item()->isChecked());
    QCOMPARE(chart().chartTitle(), QStringLiteral("Mirado 2026.12.8"));
    QCOMPARE(plotted(), byChart);

    plot();
    QCOMPARE(chart().chartTitle(), QStringLiteral("Mirado 2026.12.8 (精密)"));
    const WarningReporter none;
    const NightCurve want = ElevationModelNamed(kPreciseModelName)
                                ->night(kNight, {139.7, 35.7, 9.0})
                                ->object({18, 36, 56.3}, {1, 38, 47, 1.0}, none)
                                ->curve();
    const QList<QPointF> precise = plotted();
    QCOMPARE(precise.size(), qsizetype(want.size()));
    // The chart keeps its points in x order, so each computed point is looked
    // up rather than compared by place.
    for (const NightPoint &point : want)
        QVERIFY2(precise.contains(QPointF(point.x, point.elevationDeg)),
                 qPrintable(QStringLiteral("%1, %2").arg(point.x).arg(point.elevationDeg)));
    double largestDifferenceDeg = 0.0;
    for (qsizetype i = 0; i < precise.size(); ++i)
        largestDifferenceDeg =
            std::max(largestDifferenceDeg, std::abs(precise[i].y() - byChart[i].y()));
    // The two models differ, by well under two degrees.
    QVERIFY2(largestDifferenceDeg > 0.01 && largestDifferenceDeg < 2.0,
             qPrintable(QString::number(largestDifferenceDeg)));

    // Off again: the next plot is the chart model's, exactly as before.
    item()->trigger();
    plot();
    QCOMPARE(chart().chartTitle(), QStringLiteral("Mirado 2026.12.8"));
    QCOMPARE(plotted(), byChart);
    QVERIFY(fixture_->messages.isEmpty());
}

void ModelTest::choiceIsKeptForTheNextStart()
{
    item()->trigger();
    QCOMPARE(QSettings(QSettings::IniFormat, QSettings::UserScope, "mirado", "mirado")
                 .value("compute/precise")
                 .toBool(),
             true);
    fixture_->start();
    QVERIFY(item()->isChecked());
    item()->trigger();
    fixture_->start();
    QVERIFY(!item()->isChecked());
}

QTEST_MAIN(ModelTest)
#include "model_test.moc"
