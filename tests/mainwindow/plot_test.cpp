// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractItemView>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTest>
#include <QToolButton>

#include "chart/elevationchart.h"
#include "dialogs/select.h"
#include "platform/localeformat.h"
#include "window_fixture.h"

using namespace mirado;

namespace {

const QByteArray kSite = "135\r\n35\r\n9\r\ncat.txt\r\n";
const QByteArray kCatalogue = "Test, 6:00:00, +30:00:00\r\n"
                              "South, 6:00:00, -10:30:00\r\n"
                              "Bad, 18 :36:56, +38:47:01\r\n"
                              "Vega, 18:36:56.3, +38:47:01\r\n";

} // namespace

class PlotTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(); }
    void init();
    void cleanup() { fixture_.reset(); }

    void oneObjectGivesNinetySixPoints();
    void titleNamesTheDate_data();
    void titleNamesTheDate();
    void curvesTakeThePaletteInOrder();
    void aMalformedLineEndsThePlot();
    void plottingAgainReplacesTheCurves();
    void emptySelectionLeavesTheChartEmpty();
    void selectionButtons();
    void selectionDialogGeometry();
    void doubleClickInvertsTheCurrentItem();
    void checkBoxClickMakesTheItemCurrent();
    void cancelKeepsTheMarksForTheNextPlot();
    void markerFollowsTheClock_data();
    void markerFollowsTheClock();
    void onOffOnLeavesOneMarkerPoint();
    void switchingOffReplotsForTheNewDate();
    void clockTexts_data();
    void clockTexts();
    void unusableTimeZoneIsReportedOnce();
    void failingSiderealTimeIsReportedOnce();
    void aPlotReportsItsAstronomyFailuresOnce();
    void longCataloguesKeepTheirOrder_data();
    void longCataloguesKeepTheirOrder();
    void pointerReadsOutTheCurve();

private:
    SeriesId curve(int index) { return chart()->attachedSeries().at(std::size_t(index)); }
    ElevationChart *chart() { return fixture_->main().chart(); }
    TfrmSelect &select() { return fixture_->windows().frmSelect(); }
    void tick() { fixture_->main().tmrNowTimer(); }

    std::unique_ptr<test::WindowFixture> fixture_;
};

void PlotTest::init()
{
    fixture_ = std::make_unique<test::WindowFixture>();
    fixture_->write(QStringLiteral("site.txt"), kSite);
    fixture_->write(QStringLiteral("cat.txt"), kCatalogue);
    fixture_->start();
    chart()->setAnimatedZoom(false);
    test::SetDate(fixture_->main(), {2001, 12, 31});
}

void PlotTest::oneObjectGivesNinetySixPoints()
{
    select().setChecked(0, true);
    select().btnOKClick();

    QCOMPARE(chart()->attachedSeries().size(), std::size_t(1));
    const SeriesId test = curve(0);
    QCOMPARE(chart()->seriesTitle(test), QStringLiteral("Test"));
    QCOMPARE(chart()->lineWidth(test), 2);
    QCOMPARE(chart()->seriesColour(test), QColor(255, 0, 0));
    const QList<QPointF> points = chart()->seriesPoints(test);
    QCOMPARE(points.size(), 96);
    QCOMPARE(points.front().x(), 17.0);
    QVERIFY(qAbs(points.front().y() - 12.631039) < 1e-6);
    QCOMPARE(points.back().x(), 31.0 + 50 / 60.0);
    // The evening's 24:00 to 24:50 and the morning's 00:00 to 00:50 stand in
    // equal pairs, the evening point first.
    for (int k = 0; k < 6; ++k) {
        const QPointF evening = points[42 + 2 * k];
        const QPointF morning = points[43 + 2 * k];
        QCOMPARE(evening.x(), 24.0 + k * 10 / 60.0);
        QCOMPARE(morning.x(), evening.x());
        QVERIFY(qAbs(morning.y() - evening.y()) < 1e-9);
    }
    const auto at21 =
        std::find_if(points.begin(), points.end(), [](const QPointF &p) { return p.x() == 21.0; });
    QVERIFY(qAbs(at21->y() - 59.797794) < 1e-6);
    QVERIFY(fixture_->messages.isEmpty());
}

void PlotTest::titleNamesTheDate_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<int>("month");
    QTest::addColumn<int>("day");
    QTest::addColumn<QString>("want");
    QTest::newRow("New Year's Eve") << 2001 << 12 << 31 << "Mirado 2001.12.31";
    QTest::newRow("no leading zeros") << 2002 << 1 << 5 << "Mirado 2002.1.5";
    QTest::newRow("a day the month lacks") << 2002 << 2 << 31 << "Mirado 2002.2.31";
}

void PlotTest::titleNamesTheDate()
{
    QFETCH(int, year);
    QFETCH(int, month);
    QFETCH(int, day);
    QFETCH(QString, want);
    test::SetDate(fixture_->main(), {year, month, day});
    fixture_->main().mnuPlotClick();
    QCOMPARE(chart()->chartTitle(), want);
}

void PlotTest::curvesTakeThePaletteInOrder()
{
    select().setChecked(0, true);
    select().setChecked(1, true);
    select().setChecked(3, true);
    fixture_->main().findChild<QToolButton *>("tbPlot")->click();
    QCOMPARE(chart()->attachedSeries().size(), std::size_t(3));
    QCOMPARE(chart()->seriesColour(curve(0)), QColor(255, 0, 0));
    QCOMPARE(chart()->seriesColour(curve(1)), QColor(0, 128, 0));
    QCOMPARE(chart()->seriesColour(curve(2)), QColor(255, 255, 0));
    QCOMPARE(chart()->seriesTitle(curve(2)), QStringLiteral("Vega"));
    const QList<QPointF> south = chart()->seriesPoints(curve(1));
    const auto at21 =
        std::find_if(south.begin(), south.end(), [](const QPointF &p) { return p.x() == 21.0; });
    QVERIFY(qAbs(at21->y() - 33.443200) < 1e-6);
}

void PlotTest::aMalformedLineEndsThePlot()
{
    fixture_->main().mnuNowClick(); // the display is on
    select().btnSelectAllClick();
    fixture_->main().findChild<QAction *>("mnuPlot")->trigger();

    // Two curves, no marker, one error box.
    QCOMPARE(chart()->attachedSeries().size(), std::size_t(2));
    QCOMPARE(chart()->seriesTitle(curve(1)), QStringLiteral("South"));
    QVERIFY(!chart()->isAttached(fixture_->main().nowSeries()));
    QCOMPARE(fixture_->messages.size(), 1);
    QCOMPARE(fixture_->messages[0].caption, QStringLiteral("Mirado"));
    QCOMPARE(fixture_->messages[0].icon, MessageIcon::Error);
    QCOMPARE(fixture_->messages[0].text, QStringLiteral("'18 ' is not a valid integer value."));
    QCOMPARE(chart()->chartTitle(), QStringLiteral("Mirado 2001.12.31"));
    QVERIFY(fixture_->main().isNowDisplayOn());
}

void PlotTest::plottingAgainReplacesTheCurves()
{
    select().setChecked(0, true);
    select().setChecked(3, true);
    fixture_->main().mnuPlotClick();
    const QList<QPointF> first = chart()->seriesPoints(curve(1));
    fixture_->main().mnuPlotClick();
    QCOMPARE(chart()->attachedSeries().size(), std::size_t(2));
    QCOMPARE(chart()->seriesPoints(curve(1)), first);
    QCOMPARE(chart()->seriesColour(curve(0)), QColor(255, 0, 0));
    QCOMPARE(chart()->seriesColour(curve(1)), QColor(0, 128, 0));
}

void PlotTest::emptySelectionLeavesTheChartEmpty()
{
    select().setChecked(0, true);
    fixture_->main().mnuPlotClick();
    select().btnClearClick();
    fixture_->main().mnuPlotClick();
    QVERIFY(chart()->attachedSeries().empty());
    QVERIFY(!chart()->isLegendVisible());
    QCOMPARE(chart()->chartTitle(), QStringLiteral("Mirado 2001.12.31"));
}

void PlotTest::selectionButtons()
{
    select().btnSelectAllClick();
    for (int i = 0; i < 4; ++i)
        QVERIFY(select().isChecked(i));
    select().btnClearClick();
    for (int i = 0; i < 4; ++i)
        QVERIFY(!select().isChecked(i));

    // An empty list: the buttons change nothing and OK still plots.
    fixture_->main().LoadCatalogue(fixture_->write("empty.txt", "").toStdString());
    select().btnSelectAllClick();
    select().btnClearClick();
    select().clbObjectDblClick();
    select().btnOKClick();
    QCOMPARE(chart()->chartTitle(), QStringLiteral("Mirado 2001.12.31"));
    QVERIFY(fixture_->messages.isEmpty());
}

void PlotTest::selectionDialogGeometry()
{
    select().show();
    QVERIFY(QTest::qWaitForWindowExposed(&select()));
    // Outside sizes: the window manager's frame where it draws one (a frame
    // may come after the showing), the inside where none is drawn.
    QTRY_COMPARE(select().frameGeometry().size(), QSize(472, 338));
    const QSize frame = select().frameGeometry().size() - select().size();
    QCOMPARE(select().minimumSize() + frame, QSize(367, 100));

    // The buttons at their places, keeping their distance from the right edge.
    const auto lefts = [this] {
        QList<int> lefts;
        for (const char *name : {"btnSelectAll", "btnClear", "btnOK", "btnCancel"})
            lefts << select().findChild<QPushButton *>(name)->x();
        return lefts;
    };
    QCOMPARE(lefts(), (QList<int>{109, 189, 305, 385}));
    select().resize(select().size() + QSize(40, 0));
    QCOMPARE(lefts(), (QList<int>{149, 229, 345, 425}));

    auto *view = select().findChild<QAbstractItemView *>("clbObject");
    const QRect first = view->visualRect(view->model()->index(0, 0));
    const QRect second = view->visualRect(view->model()->index(1, 0));
    QCOMPARE(second.top() - first.top(), 16);
    QCOMPARE(first.height(), 16);
}

void PlotTest::doubleClickInvertsTheCurrentItem()
{
    select().show();
    auto *view = select().findChild<QAbstractItemView *>("clbObject");
    QVERIFY(QTest::qWaitForWindowExposed(&select()));

    const QPoint blank(100, view->viewport()->height() - 5);

    // On an item's text it makes the item current, then inverts its mark.
    const QRect second = view->visualRect(view->model()->index(1, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, second.center() + QPoint(40, 0));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, second.center() + QPoint(40, 0));
    QVERIFY(select().isChecked(1));
    // Below the last item it inverts the current item again.
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, blank);
    QVERIFY(!select().isChecked(1));
    QVERIFY(fixture_->messages.isEmpty());
}

void PlotTest::checkBoxClickMakesTheItemCurrent()
{
    select().show();
    auto *view = select().findChild<QAbstractItemView *>("clbObject");
    QVERIFY(QTest::qWaitForWindowExposed(&select()));
    const auto checkBox = [view](int row) {
        const QRect item = view->visualRect(view->model()->index(row, 0));
        const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view);
        const int indicator = view->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, view);
        return QPoint(item.left() + margin + 1 + indicator / 2, item.center().y());
    };

    // The first item is current; a click on the third one's check box
    // toggles it and makes it current.
    const QRect first = view->visualRect(view->model()->index(0, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, first.center() + QPoint(40, 0));
    QCOMPARE(view->currentIndex().row(), 0);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, checkBox(2));
    QVERIFY(select().isChecked(2));
    QCOMPARE(view->currentIndex().row(), 2);
    // Space and a double-click below the items act on the item touched.
    QTest::keyClick(view, Qt::Key_Space);
    QVERIFY(!select().isChecked(2));
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {},
                       QPoint(100, view->viewport()->height() - 5));
    QVERIFY(select().isChecked(2));
    QVERIFY(!select().isChecked(0));
    QVERIFY(fixture_->messages.isEmpty());
}

void PlotTest::cancelKeepsTheMarksForTheNextPlot()
{
    select().setChecked(0, true);
    select().setChecked(1, true);
    select().setChecked(3, true);
    select().btnCancelClick();
    QCOMPARE(chart()->chartTitle(), QStringLiteral("Mirado"));
    fixture_->main().mnuPlotClick();
    QCOMPARE(chart()->attachedSeries().size(), std::size_t(3));
}

void PlotTest::markerFollowsTheClock_data()
{
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<double>("x");
    QTest::newRow("06:59") << QDateTime(QDate(2027, 1, 1), QTime(6, 59, 30)) << 30 + 59 / 60.0;
    QTest::newRow("07:00") << QDateTime(QDate(2027, 1, 1), QTime(7, 0)) << 7.0;
    QTest::newRow("17:00") << QDateTime(QDate(2027, 1, 1), QTime(17, 0)) << 17.0;
    QTest::newRow("00:30:05") << QDateTime(QDate(2027, 1, 1), QTime(0, 30, 5)) << 24.5;
}

void PlotTest::markerFollowsTheClock()
{
    QFETCH(QDateTime, now);
    QFETCH(double, x);
    select().setChecked(0, true);
    fixture_->main().mnuNowClick();
    fixture_->setNow(now);
    fixture_->main().mnuPlotClick();
    // The plot puts the marker back and runs one tick at once.
    const SeriesId marker = fixture_->main().nowSeries();
    QCOMPARE(chart()->attachedSeries().back(), marker);
    QCOMPARE(chart()->seriesPoints(marker), QList<QPointF>{QPointF(x, 45.0)});
    QCOMPARE(chart()->seriesTitle(marker), QStringLiteral("Now"));
    QCOMPARE(chart()->pointer(marker).vertSizePx, 10000);
    QVERIFY(!chart()->pointer(marker).outlineVisible);
}

void PlotTest::onOffOnLeavesOneMarkerPoint()
{
    TfrmMirado &main = fixture_->main();
    main.mnuNowClick();
    // Before any tick the point waits at x = 0.
    QCOMPARE(chart()->seriesPoints(main.nowSeries()), QList<QPointF>{QPointF(0.0, 0.0)});
    tick();
    main.findChild<QToolButton *>("tbNow")->click(); // off: re-plots without the marker
    QVERIFY(!chart()->isAttached(main.nowSeries()));
    main.findChild<QAction *>("mnuNow")->trigger(); // on again
    tick();
    QCOMPARE(chart()->attachedSeries(), std::vector<SeriesId>{main.nowSeries()});
    QCOMPARE(chart()->seriesPoints(main.nowSeries()).size(), 1);
    QVERIFY(chart()->isLegendVisible());
    // The marker keeps its first colour.
    QCOMPARE(chart()->seriesColour(main.nowSeries()), QColor(255, 0, 0));
}

void PlotTest::switchingOffReplotsForTheNewDate()
{
    TfrmMirado &main = fixture_->main();
    select().setChecked(0, true);
    main.mnuPlotClick();
    main.mnuNowClick();
    test::SetDate(main, {2002, 1, 5});
    main.mnuNowClick();
    QCOMPARE(chart()->chartTitle(), QStringLiteral("Mirado 2002.1.5"));
    QCOMPARE(chart()->attachedSeries().size(), std::size_t(1));
}

void PlotTest::clockTexts_data()
{
    // The label's second line is the given text, or the locale's time of the
    // moment when none is given.
    QTest::addColumn<QDateTime>("now");
    QTest::addColumn<QDate>("labelDate");
    QTest::addColumn<QString>("labelTime");
    QTest::addColumn<QString>("utDate");
    QTest::addColumn<QTime>("utTime");
    QTest::newRow("08:59:59") << QDateTime(QDate(2002, 1, 1), QTime(8, 59, 59))
                              << QDate(2001, 12, 31) << "32:59:59"
                              << "2001.12.31" << QTime(23, 59, 59);
    QTest::newRow("09:00:00") << QDateTime(QDate(2002, 1, 1), QTime(9, 0)) << QDate(2002, 1, 1)
                              << QString() << "2002.1.1" << QTime(0, 0, 0);
    QTest::newRow("00:30:05") << QDateTime(QDate(2024, 3, 1), QTime(0, 30, 5)) << QDate(2024, 2, 29)
                              << "24:30:05"
                              << "2024.2.29" << QTime(15, 30, 5);
    QTest::newRow("03:00 on New Year's day")
        << QDateTime(QDate(2002, 1, 1), QTime(3, 0)) << QDate(2001, 12, 31) << "27:00:00"
        << "2001.12.31" << QTime(18, 0, 0);
}

void PlotTest::clockTexts()
{
    QFETCH(QDateTime, now);
    QFETCH(QDate, labelDate);
    QFETCH(QString, labelTime);
    QFETCH(QString, utDate);
    QFETCH(QTime, utTime);
    fixture_->setNow(now);
    tick();
    TfrmMirado &main = fixture_->main();
    const LocaleFormats &formats = main.localeFormats();
    const auto longTime = [&formats](const QTime &t) {
        return QString::fromStdString(formats.longTime(t.hour(), t.minute(), t.second()));
    };
    const QString label = QString::fromStdString(formats.shortDate(
                              {labelDate.year(), labelDate.month(), labelDate.day()})) +
                          "\n" + (labelTime.isEmpty() ? longTime(now.time()) : labelTime);
    QCOMPARE(main.findChild<QLabel *>("lblLocalTime")->text(), label);
    QCOMPARE(main.findChild<QLabel *>("StatusBarPanel0")->text(),
             " UT " + utDate + " " + longTime(utTime));
    QVERIFY(main.findChild<QLabel *>("StatusBarPanel1")->text().startsWith(" LST "));
    QVERIFY(fixture_->messages.isEmpty());
}

void PlotTest::unusableTimeZoneIsReportedOnce()
{
    TfrmMirado &main = fixture_->main();
    main.site().timeZone = 1e10;
    // As the timer runs it: every error goes to the default report.
    const auto timerTick = [&main] { RunGuarded(&main, [&main] { main.tmrNowTimer(); }); };
    for (int i = 0; i < 5; ++i)
        timerTick();
    QCOMPARE(fixture_->messages.size(), 1);
    QCOMPARE(fixture_->messages[0].text, QStringLiteral("Range check error."));
    // A new site value that fails again is reported again.
    main.site().timeZone = -1e10;
    timerTick();
    timerTick();
    QCOMPARE(fixture_->messages.size(), 2);
}

void PlotTest::failingSiderealTimeIsReportedOnce()
{
    // A longitude typed without its decimal point (13969170 for 139.69170):
    // the sidereal time fails on every tick, and is reported on the first.
    TfrmMirado &main = fixture_->main();
    main.site().longitude = 13969170;
    const auto timerTick = [&main] { RunGuarded(&main, [&main] { main.tmrNowTimer(); }); };
    for (int i = 0; i < 10; ++i)
        timerTick();
    QCOMPARE(fixture_->messages.size(), 1);
    const QString text = fixture_->messages[0].text;
    QVERIFY2(text.contains(QStringLiteral("Integer overflow")), qPrintable(text));
    // The clock goes on: the local time follows the next ticks.
    fixture_->setNow(QDateTime(QDate(2026, 12, 7), QTime(22, 30)));
    timerTick();
    QVERIFY(main.findChild<QLabel *>("lblLocalTime")->text().contains(QStringLiteral("22:30")));
    QCOMPARE(fixture_->messages.size(), 1);

    // Other site values: reported once again; a usable longitude: no report.
    main.site().latitude = 36.0;
    timerTick();
    timerTick();
    QCOMPARE(fixture_->messages.size(), 2);
    QCOMPARE(fixture_->messages[1].text, text);
    main.site().longitude = 139.6917;
    timerTick();
    QCOMPARE(fixture_->messages.size(), 2);
    QVERIFY(main.findChild<QLabel *>("StatusBarPanel1")->text().startsWith(" LST "));
}

void PlotTest::aPlotReportsItsAstronomyFailuresOnce()
{
    // An absurd right ascension fails at every point of its curve, and more
    // such lines fail again: one box for the whole plot, with the first
    // failure's text, and every curve drawn as computed.
    fixture_->main().HandleDroppedFiles(
        {fixture_->write(QStringLiteral("absurd.txt"), "Vega, 18:36:56, +38:47:01\n"
                                                       "Absurd, 600000:00:00, +30:00:00\n"
                                                       "Worse, 900000:00:00, -30:00:00\n"
                                                       "Deneb, 20:41:26, +45:16:49\n")});
    select().btnSelectAllClick();
    select().btnOKClick();
    QCOMPARE(chart()->attachedSeries().size(), std::size_t(4));
    for (int i = 0; i < 4; ++i)
        QCOMPARE(chart()->seriesPoints(curve(i)).size(), 96);
    QCOMPARE(fixture_->messages.size(), 1);
    QVERIFY2(fixture_->messages[0].text.contains(QStringLiteral("Integer overflow")),
             qPrintable(fixture_->messages[0].text));

    // A plot without failures shows none; the next failing plot one again.
    select().setChecked(1, false);
    select().setChecked(2, false);
    fixture_->main().mnuPlotClick();
    QCOMPARE(fixture_->messages.size(), 1);
    select().setChecked(2, true);
    fixture_->main().mnuPlotClick();
    QCOMPARE(fixture_->messages.size(), 2);
}

// Catalogues longer than the batches the curves are computed in: the curves
// in catalogue order up to a bad line, and one box for the astronomy failures
// before the bad line's own. `bad` and `absurd` are 0-based lines, -1: none.
void PlotTest::longCataloguesKeepTheirOrder_data()
{
    QTest::addColumn<int>("bad");
    QTest::addColumn<int>("absurd");
    QTest::addColumn<QStringList>("boxes");
    const QString failure = QStringLiteral("Integer overflow");
    const QString error = QStringLiteral("'18 ' is not a valid integer value.");
    QTest::newRow("a bad line in a later batch") << 150 << -1 << QStringList{error};
    QTest::newRow("a failure in the last batch") << -1 << 290 << QStringList{failure};
    QTest::newRow("a failure, a bad line two batches on")
        << 200 << 70 << QStringList{failure, error};
    QTest::newRow("a bad line before a failure") << 70 << 200 << QStringList{error};
}

void PlotTest::longCataloguesKeepTheirOrder()
{
    QFETCH(int, bad);
    QFETCH(int, absurd);
    QFETCH(QStringList, boxes);
    constexpr int kLines = 300;
    QByteArray catalogue;
    for (int i = 0; i < kLines; ++i)
        catalogue += i == bad      ? QByteArray("Bad, 18 :36:56, +38:47:01\n")
                     : i == absurd ? QByteArray("Absurd, 600000:00:00, +30:00:00\n")
                                   : "Star " + QByteArray::number(i) + ", 6:00:00, +30:00:00\n";
    fixture_->main().HandleDroppedFiles({fixture_->write(QStringLiteral("long.txt"), catalogue)});
    select().btnSelectAllClick();
    select().btnOKClick();

    QCOMPARE(chart()->attachedSeries().size(), std::size_t(bad >= 0 ? bad : kLines));
    for (int i = 0; i < int(chart()->attachedSeries().size()); ++i)
        QCOMPARE(chart()->seriesTitle(curve(i)),
                 i == absurd ? QStringLiteral("Absurd") : QStringLiteral("Star %1").arg(i));
    QCOMPARE(fixture_->messages.size(), boxes.size());
    for (int i = 0; i < boxes.size(); ++i)
        QVERIFY2(
            fixture_->messages[i].text.contains(boxes[i]),
            qPrintable("want \"" + boxes[i] + "\", got \"" + fixture_->messages[i].text + "\""));
}

void PlotTest::pointerReadsOutTheCurve()
{
    select().setChecked(0, true);
    select().setChecked(3, true);
    select().btnOKClick();
    // Two pixels above Vega's curve at 18:00 (point 6 of 96): its name and
    // catalogue line, the moment, and the curve's elevation there.
    const QPointF value = chart()->seriesPoints(curve(1)).at(6);
    QCOMPARE(value.x(), 18.0);
    const AxisRanges ranges{chart()->bottomRange(), chart()->leftRange()};
    const QStringList lines =
        chart()
            ->toolTipAt(PixelAtValue(chart()->plotArea(), ranges, value) + QPointF(0.0, -2.0))
            .split(u'\n');
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines.mid(0, 2), (QStringList{"Vega", "行 4"}));
    QVERIFY2(lines[2].startsWith(QStringLiteral("時刻 18:00  恒星時 ")), qPrintable(lines[2]));
    QCOMPARE(lines[3].section(u' ', 0, 1), QStringLiteral("高度 %1°").arg(value.y(), 0, 'f', 1));
}

QTEST_MAIN(PlotTest)
#include "plot_test.moc"
