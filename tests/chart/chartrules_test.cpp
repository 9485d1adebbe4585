// SPDX-License-Identifier: GPL-3.0-or-later
// The chart's rules without a display: palette, series list, points, zoom
// arithmetic, mouse-drag decisions and tick spacing.
#include <QtTest>

#include <cmath>
#include <vector>

#include "chart/axislabel.h"
#include "chart/marklayer.h"
#include "chart/palette.h"
#include "chart/seriesstore.h"
#include "chart/zoom.h"
#include "data/errors.h"

using namespace mirado;

namespace {

constexpr AxisRanges kStandard{{17.0, 31.0}, {0.0, 90.0}};

QList<double> Ys(const QList<QPointF> &points)
{
    QList<double> ys;
    for (const QPointF &p : points) {
        ys.append(p.y());
    }
    return ys;
}

void CompareRange(const AxisRange &got, const AxisRange &want, double tolerance)
{
    QVERIFY2(std::abs(got.min - want.min) <= tolerance && std::abs(got.max - want.max) <= tolerance,
             qPrintable(QString("got %1..%2, want %3..%4")
                            .arg(got.min, 0, 'g', 15)
                            .arg(got.max, 0, 'g', 15)
                            .arg(want.min, 0, 'g', 15)
                            .arg(want.max, 0, 'g', 15)));
}

} // namespace

class ChartRulesTest : public QObject
{
    Q_OBJECT

private slots:
    void pickAutomaticColour_data();
    void pickAutomaticColour();
    void attachHandsOutPaletteInOrder_data();
    void attachHandsOutPaletteInOrder();
    void reattachKeepsColour();
    void detachAllKeepsSeries();
    void addPoint_data();
    void addPoint();
    void setPointValueDoesNotSort();
    void badIndexAndHandleRaise();

    void zoomedRange_data();
    void zoomedRange();
    void undoPointTakenOnce();
    void zoomFrames_data();
    void zoomFrames();

    void classifyZoomDrag_data();
    void classifyZoomDrag();
    void tickInterval_data();
    void tickInterval();
    void curveLabelPlace_data();
    void curveLabelPlace();
    void axisLabelFormat_data();
    void axisLabelFormat();
};

void ChartRulesTest::pickAutomaticColour_data()
{
    QTest::addColumn<std::vector<QRgb>>("inUse");
    QTest::addColumn<QColor>("want");

    std::vector<QRgb> first15(kSeriesPalette.begin(), kSeriesPalette.end() - 1);
    std::vector<QRgb> all(kSeriesPalette.begin(), kSeriesPalette.end());
    QTest::newRow("nothing in use") << std::vector<QRgb>{} << QColor(255, 0, 0);
    QTest::newRow("red in use") << std::vector<QRgb>{qRgb(255, 0, 0)} << QColor(0, 128, 0);
    QTest::newRow("gap is filled first")
        << std::vector<QRgb>{qRgb(255, 0, 0), qRgb(255, 255, 0)} << QColor(0, 128, 0);
    QTest::newRow("only green in use") << std::vector<QRgb>{qRgb(0, 128, 0)} << QColor(255, 0, 0);
    QTest::newRow("alpha ignored") << std::vector<QRgb>{qRgba(255, 0, 0, 0)} << QColor(0, 128, 0);
    QTest::newRow("colour outside palette")
        << std::vector<QRgb>{qRgb(1, 2, 3)} << QColor(255, 0, 0);
    QTest::newRow("fifteen taken") << first15 << QColor(0, 0, 0);
    QTest::newRow("all sixteen taken") << all << QColor(255, 0, 0);
}

void ChartRulesTest::pickAutomaticColour()
{
    QFETCH(std::vector<QRgb>, inUse);
    QFETCH(QColor, want);
    QCOMPARE(QColor(PickAutomaticColour(inUse)), want);
}

void ChartRulesTest::attachHandsOutPaletteInOrder_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QColor>("want");
    QTest::newRow("1st red") << 0 << QColor(255, 0, 0);
    QTest::newRow("2nd green") << 1 << QColor(0, 128, 0);
    QTest::newRow("5th white") << 4 << QColor(255, 255, 255);
    QTest::newRow("16th black") << 15 << QColor(0, 0, 0);
    QTest::newRow("17th red again") << 16 << QColor(255, 0, 0);
    QTest::newRow("18th red again") << 17 << QColor(255, 0, 0);
}

void ChartRulesTest::attachHandsOutPaletteInOrder()
{
    QFETCH(int, position);
    QFETCH(QColor, want);
    SeriesStore store;
    SeriesId last{};
    for (int i = 0; i <= position; ++i) {
        last = store.create(SeriesKind::Line);
        QVERIFY(store.attach(last));
    }
    QCOMPARE(QColor(*store.at(last).colour), want);
}

void ChartRulesTest::reattachKeepsColour()
{
    SeriesStore store;
    const SeriesId curve = store.create(SeriesKind::Line);
    const SeriesId marker = store.create(SeriesKind::Point);
    store.attach(curve);  // red
    store.attach(marker); // green
    store.detachAll();

    // A new curve now takes red; the marker keeps green, and an old red
    // series attached again stays red beside it.
    const SeriesId next = store.create(SeriesKind::Line);
    store.attach(next);
    store.attach(marker);
    store.attach(curve);
    QCOMPARE(QColor(*store.at(next).colour), QColor(255, 0, 0));
    QCOMPARE(QColor(*store.at(marker).colour), QColor(0, 128, 0));
    QCOMPARE(QColor(*store.at(curve).colour), QColor(255, 0, 0));
    QCOMPARE(store.attached(), (std::vector<SeriesId>{next, marker, curve}));
}

void ChartRulesTest::detachAllKeepsSeries()
{
    SeriesStore store;
    const SeriesId a = store.create(SeriesKind::Line);
    const SeriesId b = store.create(SeriesKind::Line);
    store.attach(a);
    store.attach(b);
    store.setTitle(a, "M31");
    store.addPoint(a, 17.0, 10.0);
    store.detachAll();

    QVERIFY(store.attached().empty());
    QVERIFY(!store.at(a).attached);
    QCOMPARE(store.at(a).title, QString("M31"));
    QCOMPARE(store.at(a).points.size(), 1);

    store.attach(b);
    store.attach(a);
    QCOMPARE(store.attached(), (std::vector<SeriesId>{b, a}));
    QCOMPARE(QColor(*store.at(a).colour), QColor(255, 0, 0));
}

void ChartRulesTest::addPoint_data()
{
    QTest::addColumn<QList<QPointF>>("existing");
    QTest::addColumn<QPointF>("added");
    QTest::addColumn<int>("wantIndex");
    QTest::addColumn<QList<double>>("wantYs");

    const QList<QPointF> sample = {{17, 1}, {18, 2}, {18, 3}, {19, 4}};
    QTest::newRow("into empty") << QList<QPointF>{} << QPointF(20, 9) << 0 << QList<double>{9};
    QTest::newRow("after the last")
        << sample << QPointF(20, 9) << 4 << QList<double>{1, 2, 3, 4, 9};
    QTest::newRow("equal X goes after existing")
        << sample << QPointF(18, 9) << 3 << QList<double>{1, 2, 3, 9, 4};
    QTest::newRow("equal to the last")
        << sample << QPointF(19, 9) << 4 << QList<double>{1, 2, 3, 4, 9};
    QTest::newRow("equal to the first")
        << sample << QPointF(17, 9) << 1 << QList<double>{1, 9, 2, 3, 4};
    QTest::newRow("before all") << sample << QPointF(16.5, 9) << 0 << QList<double>{9, 1, 2, 3, 4};
    QTest::newRow("between") << sample << QPointF(18.5, 9) << 3 << QList<double>{1, 2, 3, 9, 4};
}

void ChartRulesTest::addPoint()
{
    QFETCH(QList<QPointF>, existing);
    QFETCH(QPointF, added);
    QFETCH(int, wantIndex);
    QFETCH(QList<double>, wantYs);

    SeriesStore store;
    const SeriesId s = store.create(SeriesKind::Line);
    for (const QPointF &p : existing) {
        store.addPoint(s, p.x(), p.y());
    }
    QCOMPARE(store.addPoint(s, added.x(), added.y()), wantIndex);
    QCOMPARE(Ys(store.at(s).points.toList()), wantYs);
}

void ChartRulesTest::setPointValueDoesNotSort()
{
    SeriesStore store;
    const SeriesId s = store.create(SeriesKind::Point);
    store.addPoint(s, 17.0, 1.0);
    store.addPoint(s, 18.0, 2.0);
    store.setPointValue(s, ValueList::X, 0, 30.0);
    store.setPointValue(s, ValueList::Y, 0, 45.0);
    const QList<QPointF> want = {{30.0, 45.0}, {18.0, 2.0}};
    QCOMPARE(store.at(s).points.toList(), want);
}

void ChartRulesTest::badIndexAndHandleRaise()
{
    SeriesStore store;
    const SeriesId s = store.create(SeriesKind::Point);
    store.addPoint(s, 0.0, 0.0);
    try {
        store.setPointValue(s, ValueList::X, 1, 24.0);
        QFAIL("setting point 1 of a one-point series did not raise");
    } catch (const Error &e) {
        QCOMPARE(QString::fromStdString(e.what()),
                 QString::fromUtf8("リストのインデックスが範囲を超えています (1)"));
    }
    QVERIFY_THROWS_EXCEPTION(Error, store.setPointValue(s, ValueList::Y, -1, 0.0));
    QVERIFY_THROWS_EXCEPTION(Error, store.attach(static_cast<SeriesId>(7)));
    QVERIFY_THROWS_EXCEPTION(Error, store.at(static_cast<SeriesId>(-1)));
}

void ChartRulesTest::zoomedRange_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("percent");
    QTest::addColumn<double>("wantMin");
    QTest::addColumn<double>("wantMax");

    QTest::newRow("hours in") << 17.0 << 31.0 << 115.0 << 19.1 << 28.9;
    QTest::newRow("hours out") << 17.0 << 31.0 << 85.0 << 14.9 << 33.1;
    QTest::newRow("hours in then out") << 19.1 << 28.9 << 85.0 << 17.63 << 30.37;
    QTest::newRow("degrees in") << 0.0 << 90.0 << 115.0 << 13.5 << 76.5;
    QTest::newRow("degrees out") << 0.0 << 90.0 << 85.0 << -13.5 << 103.5;
    QTest::newRow("100 keeps") << 17.0 << 31.0 << 100.0 << 17.0 << 31.0;
    QTest::newRow("fraction") << 0.0 << 10.0 << 100.5 << 0.05 << 9.95;
}

void ChartRulesTest::zoomedRange()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, percent);
    QFETCH(double, wantMin);
    QFETCH(double, wantMax);
    CompareRange(ZoomedRange({min, max}, percent), {wantMin, wantMax}, 1e-12);
}

void ChartRulesTest::undoPointTakenOnce()
{
    ZoomState zoom(kStandard);
    for (int i = 0; i < 2; ++i) {
        zoom.takeUndoPoint();
        zoom.finishZoom(ZoomedRanges(zoom.ranges(), 115.0));
    }
    CompareRange(zoom.ranges().bottom, {20.57, 27.43}, 1e-12);
    zoom.undo();
    QCOMPARE(zoom.ranges(), kStandard);
}

void ChartRulesTest::zoomFrames_data()
{
    QTest::addColumn<int>("frame");
    QTest::addColumn<double>("wantMin");
    QTest::addColumn<double>("wantMax");
    // From 17-31 to 19.1-28.9 each frame covers a third of what is left:
    // 2.1 * (2/3)^k remains after frame k.
    for (int k = 1; k <= 4; ++k) {
        const double left = 2.1 * std::pow(2.0 / 3.0, k);
        QTest::addRow("frame %d", k) << k << 19.1 - left << 28.9 + left;
    }
}

void ChartRulesTest::zoomFrames()
{
    QFETCH(int, frame);
    QFETCH(double, wantMin);
    QFETCH(double, wantMax);
    const std::vector<AxisRanges> frames = ZoomFrames(kStandard, ZoomedRanges(kStandard, 115.0), 4);
    QCOMPARE(frames.size(), std::size_t(4));
    CompareRange(frames[frame - 1].bottom, {wantMin, wantMax}, 1e-12);
}

void ChartRulesTest::classifyZoomDrag_data()
{
    QTest::addColumn<QPoint>("pressed");
    QTest::addColumn<QPoint>("released");
    QTest::addColumn<DragAction>("want");

    const QPoint from(100, 100);
    QTest::newRow("down right, 17 each way")
        << from << QPoint(117, 117) << DragAction::ZoomToRectangle;
    QTest::newRow("down right, large") << from << QPoint(400, 250) << DragAction::ZoomToRectangle;
    QTest::newRow("16 wide is too short") << from << QPoint(116, 200) << DragAction::None;
    QTest::newRow("16 high is too short") << from << QPoint(200, 116) << DragAction::None;
    QTest::newRow("flat but long") << from << QPoint(400, 100) << DragAction::None;
    QTest::newRow("no movement") << from << from << DragAction::None;
    QTest::newRow("up left") << from << QPoint(83, 83) << DragAction::UndoZoom;
    QTest::newRow("up right") << from << QPoint(200, 50) << DragAction::UndoZoom;
    QTest::newRow("down left") << from << QPoint(50, 200) << DragAction::UndoZoom;
    QTest::newRow("up left, 16 high") << from << QPoint(50, 84) << DragAction::None;
}

void ChartRulesTest::classifyZoomDrag()
{
    QFETCH(QPoint, pressed);
    QFETCH(QPoint, released);
    QFETCH(DragAction, want);
    QCOMPARE(ClassifyZoomDrag(pressed, released), want);
}

void ChartRulesTest::tickInterval_data()
{
    QTest::addColumn<double>("span");
    QTest::addColumn<double>("increment");
    QTest::addColumn<double>("lengthPx");
    QTest::addColumn<double>("want");

    QTest::newRow("night fits at 1 h") << 14.0 << 1.0 << 480.0 << 1.0;
    QTest::newRow("zoomed out, 2 h") << 18.2 << 1.0 << 300.0 << 2.0;
    QTest::newRow("narrow night, 3 h") << 14.0 << 1.0 << 120.0 << 3.0;
    QTest::newRow("degrees fit at 10") << 90.0 << 10.0 << 250.0 << 10.0;
    QTest::newRow("far out, 500 h") << 10000.0 << 1.0 << 500.0 << 500.0;
    QTest::newRow("narrow plot, 20 deg") << 117.0 << 10.0 << 150.0 << 20.0;
    QTest::newRow("zoomed in keeps increment") << 0.5 << 1.0 << 480.0 << 1.0;
    QTest::newRow("no plot yet") << 14.0 << 1.0 << 0.0 << 1.0;
    QTest::newRow("empty range") << 0.0 << 1.0 << 480.0 << 1.0;
}

void ChartRulesTest::tickInterval()
{
    QFETCH(double, span);
    QFETCH(double, increment);
    QFETCH(double, lengthPx);
    QFETCH(double, want);
    constexpr double kSpacingPx = 22.0;
    QCOMPARE(TickInterval(span, increment, lengthPx, kSpacingPx), want);
}

void ChartRulesTest::axisLabelFormat_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("want");

    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("an hour") << 17.0 << "17";
    QTest::newRow("thousand") << 1000.0 << "1,000";
    QTest::newRow("million") << 1e6 << "1,000,000";
    QTest::newRow("negative thousands") << -13500.0 << "-13,500";
    QTest::newRow("no exponent") << 1e20 << "100,000,000,000,000,000,000";
    QTest::newRow("one decimal") << 1.5 << "1.5";
    QTest::newRow("three decimals") << 0.125 << "0.125";
    QTest::newRow("rounded to three") << 1.23456 << "1.235";
    QTest::newRow("half away from zero") << 2.0625 << "2.063";
    QTest::newRow("negative half away from zero") << -2.0625 << "-2.063";
    QTest::newRow("rounds into the next group") << 999.9996 << "1,000";
    QTest::newRow("grouped with decimals") << 12345.6789 << "12,345.679";
    QTest::newRow("too small to show") << 1e-7 << "0";
    QTest::newRow("negative, too small to show") << -0.0001 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("not a number") << std::nan("") << "NAN";
    QTest::newRow("infinite") << -HUGE_VAL << "-INF";
}

void ChartRulesTest::axisLabelFormat()
{
    QFETCH(double, value);
    QFETCH(QString, want);
    const QString got = FormatAxisLabel(value);
    QVERIFY2(got == want,
             qPrintable(QString("%1: got %2, want %3").arg(value, 0, 'g', 17).arg(got, want)));
}

// A 30 x 12 label of a mark in a 400 x 300 plot; its tick reaches 5 px
// either way and the label keeps 2 px from it. Want: the place, or none.
void ChartRulesTest::curveLabelPlace_data()
{
    QTest::addColumn<QPointF>("at");
    QTest::addColumn<QList<QRectF>>("placed");
    QTest::addColumn<bool>("wantPlace");
    QTest::addColumn<QRectF>("want");

    const QRectF aboveCentre(180, 125, 40, 10);
    const QRectF belowCentre(180, 160, 40, 10);
    QTest::newRow("free: above") << QPointF(200, 150) << QList<QRectF>{} << true
                                 << QRectF(185, 131, 30, 12);
    QTest::newRow("at the top edge: below")
        << QPointF(200, 10) << QList<QRectF>{} << true << QRectF(185, 17, 30, 12);
    QTest::newRow("above taken: below")
        << QPointF(200, 150) << QList<QRectF>{aboveCentre} << true << QRectF(185, 157, 30, 12);
    QTest::newRow("above and below taken: right")
        << QPointF(200, 150) << QList<QRectF>{aboveCentre, belowCentre} << true
        << QRectF(207, 144, 30, 12);
    QTest::newRow("at the right edge, above and below taken: left")
        << QPointF(390, 150) << QList<QRectF>{QRectF(370, 125, 30, 10), QRectF(370, 160, 30, 10)}
        << true << QRectF(353, 144, 30, 12);
    QTest::newRow("every place taken: none")
        << QPointF(200, 150) << QList<QRectF>{QRectF(0, 0, 400, 300)} << false << QRectF();
    QTest::newRow("in the corner, no place inside: none")
        << QPointF(2, 2) << QList<QRectF>{} << false << QRectF();
}

void ChartRulesTest::curveLabelPlace()
{
    QFETCH(QPointF, at);
    QFETCH(QList<QRectF>, placed);
    QFETCH(bool, wantPlace);
    QFETCH(QRectF, want);

    const std::optional<QRectF> got =
        CurveLabelPlace(at, QSizeF(30, 12), QRectF(0, 0, 400, 300),
                        std::vector<QRectF>(placed.begin(), placed.end()));
    QCOMPARE(got.has_value(), wantPlace);
    if (got)
        QCOMPARE(*got, want);
}

QTEST_GUILESS_MAIN(ChartRulesTest)
#include "chartrules_test.moc"
