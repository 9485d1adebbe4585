// SPDX-License-Identifier: GPL-3.0-or-later
// The Moon and the transits on the main window's chart: off at the first
// start, kept in the user's settings, showing the last plot's night, site,
// model and objects, and leaving the curves as they were.
#include <QAction>
#include <QSettings>
#include <QTest>

#include "chart/curvehit.h"
#include "chart/elevationchart.h"
#include "chart/nightplot.h"
#include "chart/palette.h"
#include "dialogs/select.h"
#include "night/events.h"
#include "night/horizontal.h"
#include "night/precisemodel.h"
#include "night/sunmoon.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

const QByteArray kSite = "139.7\r\n35.7\r\n9\r\ncat.txt\r\n";
const QByteArray kCatalogue = "Vega, 18:36:56.3, +38:47:01\r\n"
                              "Sirius, 6:45:08.9, -16:42:58\r\n"
                              "Arcturus, 14:15:39.7, +19:10:57\r\n";
const NightSite kTokyo{139.7, 35.7, 9.0};
const TDateRec kMoonNight{2027, 6, 21};

int CountPixels(const QImage &image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += (image.pixel(x, y) & RGB_MASK) == (colour & RGB_MASK) ? 1 : 0;
    return count;
}

} // namespace

class NightMarksTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void init();
    void cleanup() { fixture_.reset(); }
    void itemsStartOffAndAreKept_data();
    void itemsStartOffAndAreKept();
    void moonJoinsTheLastPlotWithoutTouchingItsCurves();
    void transitsFollowTheModelOfTheCurves();
    void readoutTellsTheDistanceToTheMoon();

private:
    TfrmMirado &main() { return fixture_->main(); }
    ElevationChart &chart() { return *main().chart(); }
    QAction *item(const char *name)
    {
        return main().findChild<QAction *>(QString::fromLatin1(name));
    }
    void plot()
    {
        for (int i = 0; i < 3; ++i)
            fixture_->windows().frmSelect().setChecked(i, true);
        main().mnuPlotClick();
    }

    std::unique_ptr<test::WindowFixture> fixture_;
};

void NightMarksTest::init()
{
    fixture_ = std::make_unique<test::WindowFixture>();
    fixture_->write(QStringLiteral("site.txt"), kSite);
    fixture_->write(QStringLiteral("cat.txt"), kCatalogue);
    fixture_->start();
    chart().setAnimatedZoom(false);
}

void NightMarksTest::itemsStartOffAndAreKept_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("key");
    QTest::newRow("moon") << "mnuMoon"
                          << "月の表示(&M)"
                          << "view/moon";
    QTest::newRow("transits") << "mnuTransits"
                              << "南中の表示(&C)"
                              << "view/transits";
}

void NightMarksTest::itemsStartOffAndAreKept()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, key);
    const QByteArray latin = name.toLatin1();
    QVERIFY(item(latin));
    QCOMPARE(item(latin)->text(), caption);
    QVERIFY(item(latin)->isCheckable());
    QVERIFY(!item(latin)->isChecked());

    // On before a first plot: kept, and nothing to show yet.
    item(latin)->trigger();
    QVERIFY(item(latin)->isChecked());
    QCOMPARE(QSettings(QSettings::IniFormat, QSettings::UserScope, "mirado", "mirado")
                 .value(key)
                 .toBool(),
             true);
    fixture_->start();
    QVERIFY(item(latin)->isChecked());
    QVERIFY(chart().attachedSeries().empty());
    QVERIFY(chart().axisMarks().empty());
    QVERIFY(chart().curveMarks().empty());

    item(latin)->trigger();
    fixture_->start();
    QVERIFY(!item(latin)->isChecked());
    QVERIFY(fixture_->messages.isEmpty());
}

void NightMarksTest::moonJoinsTheLastPlotWithoutTouchingItsCurves()
{
    test::SetDate(main(), kMoonNight);
    plot();
    const std::vector<SeriesId> curves = chart().attachedSeries();
    std::vector<QColor> colours;
    for (const SeriesId id : curves)
        colours.push_back(chart().seriesColour(id));
    const QImage plain = chart().renderImage();
    QCOMPARE(CountPixels(plain, kMoonColour), 0);

    // Another date in the fields changes nothing until the next plot, which
    // keeps the Moon first and the curves in their colours.
    test::SetDate(main(), {2026, 12, 7});
    item("mnuMoon")->trigger();
    for (int run = 0; run < 2; ++run) {
        const std::vector<SeriesId> shown = chart().attachedSeries();
        QCOMPARE(shown.size(), curves.size() + 1);
        QCOMPARE(chart().seriesTitle(shown.front()), QStringLiteral("月 (94%)"));
        QCOMPARE(chart().lineStyle(shown.front()), Qt::DashLine);
        QCOMPARE(chart().seriesColour(shown.front()).rgb(), kMoonColour);
        for (std::size_t i = 0; i < curves.size(); ++i)
            QCOMPARE(chart().seriesColour(shown[i + 1]), colours[i]);
        QVERIFY(!chart().axisMarks().empty());
        QCOMPARE(chart().axisMarks().front().label, QStringLiteral("月出 20:48"));
        test::SetDate(main(), kMoonNight);
        plot();
    }
    QVERIFY(std::find(kSeriesPalette.begin(), kSeriesPalette.end(), kMoonColour) ==
            kSeriesPalette.end());
    // The dashed curve shows in its grey; off, the chart is as it was.
    const int moonPixels = CountPixels(chart().renderImage(), kMoonColour);
    QVERIFY2(moonPixels > 200, qPrintable(QString::number(moonPixels)));
    item("mnuMoon")->trigger();
    QVERIFY(chart().axisMarks().empty());
    QCOMPARE(chart().renderImage(), plain);
    QVERIFY(fixture_->messages.isEmpty());
}

void NightMarksTest::transitsFollowTheModelOfTheCurves()
{
    const TDateRec date{2026, 12, 7};
    test::SetDate(main(), date);
    plot();
    item("mnuTransits")->trigger();

    // Vega and Arcturus transit in the day, Sirius at about 01:00.
    const auto check = [&](const char *model) {
        const auto night = ElevationModelNamed(model)->night(date, kTokyo);
        const ObjectEvents want =
            ObjectNightEvents(*night->object({6, 45, 8.9}, {-1, 16, 42, 58.0}, nullptr), {}, 30.0);
        QCOMPARE(chart().curveMarks().size(), std::size_t(1));
        const CurveMark &got = chart().curveMarks().front();
        QVERIFY2(std::abs(got.x - want.transit) < 1e-9 &&
                     std::abs(got.y - want.transitElevationDeg) < 1e-9,
                 qPrintable(QStringLiteral("%1: want %2, %3 got %4, %5")
                                .arg(model)
                                .arg(want.transit)
                                .arg(want.transitElevationDeg)
                                .arg(got.x)
                                .arg(got.y)));
        QCOMPARE(got.label, QString::fromStdString(NightClockText(date, want.transit)));
        QCOMPARE(got.colour, chart().seriesColour(chart().attachedSeries()[1]));
    };
    check("chart");
    // The model of the next plot does not move the marks of these curves.
    item("mnuPrecise")->trigger();
    item("mnuTransits")->trigger();
    item("mnuTransits")->trigger();
    check("chart");
    plot();
    check("precise");

    item("mnuTransits")->trigger();
    QVERIFY(chart().curveMarks().empty());
    QVERIFY(fixture_->messages.isEmpty());
}

void NightMarksTest::readoutTellsTheDistanceToTheMoon()
{
    test::SetDate(main(), kMoonNight);
    plot();
    // Two pixels above Vega's curve at 24:00: the read-out's last line is
    // the distance to the Moon while the Moon is shown, and only then.
    const auto readout = [&] {
        const std::vector<SeriesId> shown = chart().attachedSeries();
        const SeriesId vega = shown.at(shown.size() - 3);
        const QList<QPointF> points = chart().seriesPoints(vega);
        const QPointF value = points.at(42); // 24:00
        const AxisRanges ranges{chart().bottomRange(), chart().leftRange()};
        return chart()
            .toolTipAt(PixelAtValue(chart().plotArea(), ranges, value) + QPointF(0.0, -2.0))
            .split(u'\n');
    };
    QCOMPARE(readout().size(), 4);
    item("mnuMoon")->trigger();
    const QStringList lines = readout();
    QCOMPARE(lines.size(), 5);
    QCOMPARE(lines.front(), QStringLiteral("Vega"));
    const SunMoonNight sunMoon(kMoonNight, kTokyo);
    const PrecisePlaces places(kMoonNight, kTokyo);
    const double wantDeg = SeparationDeg(places.place({18, 36, 56.3}, {1, 38, 47, 1.0}, 24.0),
                                         sunMoon.MoonPlace(24.0));
    QCOMPARE(lines.back(), QStringLiteral("月との離角 %1°").arg(wantDeg, 0, 'f', 1));
    item("mnuMoon")->trigger();
    QCOMPARE(readout().size(), 4);
}

QTEST_MAIN(NightMarksTest)
#include "nightmarks_test.moc"
