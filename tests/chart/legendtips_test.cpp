// SPDX-License-Identifier: GPL-3.0-or-later
// What the chart tells beyond its curves: the legend's count of the series it
// leaves out, the tooltips over curves and legend lines, and the keyboard.
#include <QtTest>

#include <QRegularExpression>

#include "chart/elevationchart.h"
#include "platform/fonts.h"

using namespace mirado;

Q_DECLARE_METATYPE(mirado::AxisRanges)

namespace {

SeriesId AddFlatCurve(ElevationChart &chart, const QString &title, double elevationDeg)
{
    const SeriesId s = chart.createLineSeries();
    chart.attachSeries(s);
    chart.setSeriesTitle(s, title);
    chart.setLineWidth(s, 2);
    for (int i = 0; i < 96; ++i)
        chart.addPoint(s, 17.0 + i / 6.0, elevationDeg);
    return s;
}

QPointF PixelOf(const QRectF &plot, const AxisRanges &ranges, double hours, double degrees)
{
    return PixelAtValue(plot, ranges, QPointF(hours, degrees));
}

// The tooltips met going down the middle of the legend, each once per run of
// equal texts, with the height of that run in pixels.
QList<QPair<QString, int>> LegendToolTips(ElevationChart &chart)
{
    const QRectF legend = chart.legendArea();
    QList<QPair<QString, int>> runs;
    for (double y = legend.top(); y < legend.bottom(); y += 1.0) {
        const QString text = chart.toolTipAt(QPointF(legend.left() + 30.0, y));
        if (text.isEmpty())
            continue;
        if (!runs.isEmpty() && runs.last().first == text)
            ++runs.last().second;
        else
            runs.append({text, 1});
    }
    return runs;
}

} // namespace

class LegendTipsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }
    void legendCountsWhatItLeavesOut_data();
    void legendCountsWhatItLeavesOut();
    void curveToolTip_data();
    void curveToolTip();
    void keyboard_data();
    void keyboard();
};

void LegendTipsTest::legendCountsWhatItLeavesOut_data()
{
    QTest::addColumn<int>("curves");
    QTest::addColumn<QSize>("size");
    QTest::newRow("5 fit at design size") << 5 << ElevationChart::kDesignSize;
    QTest::newRow("42 at design size") << 42 << ElevationChart::kDesignSize;
    QTest::newRow("42 at 1280x700") << 42 << QSize(1280, 700);
    QTest::newRow("300 at design size") << 300 << ElevationChart::kDesignSize;
}

void LegendTipsTest::legendCountsWhatItLeavesOut()
{
    QFETCH(int, curves);
    QFETCH(QSize, size);
    ElevationChart chart;
    chart.resize(size);
    for (int i = 0; i < curves; ++i)
        AddFlatCurve(chart, QStringLiteral("Object %1").arg(i + 1), i % 90);
    // Whole names that differ from the titles.
    chart.setToolTipTexts(
        [&](SeriesId s) { return chart.seriesTitle(s) + QStringLiteral(" (whole)"); }, {});

    const QStringList lines = chart.legendLines();
    const QList<QPair<QString, int>> tips = LegendToolTips(chart);
    QCOMPARE(tips.size(), lines.size());
    static const QRegularExpression more(QStringLiteral("^ほか (\\d+) 件$"));
    const QRegularExpressionMatch match = more.match(lines.last());
    if (lines.size() == curves) {
        QVERIFY2(!match.hasMatch(), qPrintable(lines.join(u'|')));
        return;
    }
    // The shown entries, then the count of the rest.
    QVERIFY2(match.hasMatch(), qPrintable(lines.join(u'|')));
    const int shown = static_cast<int>(lines.size()) - 1;
    QCOMPARE(match.captured(1).toInt() + shown, curves);
    for (int i = 0; i < shown; ++i)
        QCOMPARE(tips[i].first, QStringLiteral("Object %1 (whole)").arg(i + 1));
    // The last line is whole: as high as the others.
    QVERIFY2(tips.last().second >= tips.first().second - 1,
             qPrintable(QStringLiteral("last line %1 px, first %2 px")
                            .arg(tips.last().second)
                            .arg(tips.first().second)));
    // Its tooltip names the rest, at most 30 of them, then "…".
    const QStringList names = tips.last().first.split(u'\n');
    const int leftOut = curves - shown;
    QCOMPARE(names.size(), leftOut > 30 ? 31 : leftOut);
    QCOMPARE(names.first(), QStringLiteral("Object %1 (whole)").arg(shown + 1));
    if (leftOut > 30)
        QCOMPARE(names.last(), QStringLiteral("…"));
}

void LegendTipsTest::curveToolTip_data()
{
    QTest::addColumn<double>("hours");
    QTest::addColumn<double>("degrees");
    QTest::addColumn<QString>("wantTitle"); // empty: no tooltip
    QTest::addColumn<double>("wantElevationDeg");
    QTest::newRow("on the lower curve") << 20.0 << 30.0 << "A" << 30.0;
    // The pointer a little off the line reads the curve's elevation.
    QTest::newRow("just above the upper curve") << 25.0 << 61.0 << "B" << 60.0;
    QTest::newRow("on the rising curve") << 24.0 << 49.0 << "C" << 49.0;
    QTest::newRow("between the curves") << 20.0 << 45.0 << "" << 0.0;
}

void LegendTipsTest::curveToolTip()
{
    QFETCH(double, hours);
    QFETCH(double, degrees);
    QFETCH(QString, wantTitle);
    QFETCH(double, wantElevationDeg);
    ElevationChart chart;
    chart.resize(ElevationChart::kDesignSize);
    AddFlatCurve(chart, "A", 30.0);
    AddFlatCurve(chart, "B", 60.0);
    const SeriesId rising = chart.createLineSeries();
    chart.attachSeries(rising);
    chart.setSeriesTitle(rising, "C");
    chart.addPoint(rising, 23.0, 40.0);
    chart.addPoint(rising, 25.0, 58.0);
    chart.setToolTipTexts({}, [&](SeriesId s, double x, double elevationDeg) {
        return QStringLiteral("%1|%2|%3").arg(chart.seriesTitle(s)).arg(x).arg(elevationDeg);
    });

    const AxisRanges ranges{chart.bottomRange(), chart.leftRange()};
    const QString text = chart.toolTipAt(PixelOf(chart.plotArea(), ranges, hours, degrees));
    if (wantTitle.isEmpty()) {
        QVERIFY2(text.isEmpty(), qPrintable(text));
        return;
    }
    const QStringList parts = text.split(u'|');
    QCOMPARE(parts.size(), 3);
    QCOMPARE(parts[0], wantTitle);
    // Tolerances: the hour of one pixel; the elevation as the curve has it.
    QVERIFY2(std::abs(parts[1].toDouble() - hours) < 0.05, qPrintable("got " + parts[1]));
    QVERIFY2(std::abs(parts[2].toDouble() - wantElevationDeg) < 0.05,
             qPrintable(QStringLiteral("want %1, got %2").arg(wantElevationDeg).arg(parts[2])));
}

void LegendTipsTest::keyboard_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<bool>("keypad");
    QTest::addColumn<AxisRanges>("want");
    const AxisRanges zoomedIn{{19.1, 28.9}, {13.5, 76.5}};
    QTest::newRow("+") << QList<int>{Qt::Key_Plus} << false << zoomedIn;
    QTest::newRow("=") << QList<int>{Qt::Key_Equal} << false << zoomedIn;
    QTest::newRow("keypad +") << QList<int>{Qt::Key_Plus} << true << zoomedIn;
    QTest::newRow("-") << QList<int>{Qt::Key_Minus} << false
                       << AxisRanges{{14.9, 33.1}, {-13.5, 103.5}};
    QTest::newRow("right") << QList<int>{Qt::Key_Right} << false
                           << AxisRanges{{18.4, 32.4}, {0.0, 90.0}};
    QTest::newRow("left after +") << QList<int>{Qt::Key_Plus, Qt::Key_Left} << false
                                  << AxisRanges{{18.12, 27.92}, {13.5, 76.5}};
    QTest::newRow("up") << QList<int>{Qt::Key_Up} << false << AxisRanges{{17.0, 31.0}, {9.0, 99.0}};
    QTest::newRow("down") << QList<int>{Qt::Key_Down} << false
                          << AxisRanges{{17.0, 31.0}, {-9.0, 81.0}};
    QTest::newRow("home after +, right") << QList<int>{Qt::Key_Plus, Qt::Key_Right, Qt::Key_Home}
                                         << false << AxisRanges{{17.0, 31.0}, {0.0, 90.0}};
}

void LegendTipsTest::keyboard()
{
    QFETCH(QList<int>, keys);
    QFETCH(bool, keypad);
    QFETCH(AxisRanges, want);
    ElevationChart chart;
    chart.setAnimatedZoom(false);
    AddFlatCurve(chart, "A", 30.0);
    QCOMPARE(chart.focusPolicy(), Qt::StrongFocus);
    for (const int key : keys)
        QTest::keyClick(&chart, Qt::Key(key), keypad ? Qt::KeypadModifier : Qt::NoModifier);
    const auto near = [](double got, double wantValue) { return std::abs(got - wantValue) < 1e-9; };
    QVERIFY2(near(chart.bottomRange().min, want.bottom.min) &&
                 near(chart.bottomRange().max, want.bottom.max) &&
                 near(chart.leftRange().min, want.left.min) &&
                 near(chart.leftRange().max, want.left.max),
             qPrintable(QStringLiteral("want %1..%2 / %3..%4, got %5..%6 / %7..%8")
                            .arg(want.bottom.min)
                            .arg(want.bottom.max)
                            .arg(want.left.min)
                            .arg(want.left.max)
                            .arg(chart.bottomRange().min)
                            .arg(chart.bottomRange().max)
                            .arg(chart.leftRange().min)
                            .arg(chart.leftRange().max)));
}

QTEST_MAIN(LegendTipsTest)
#include "legendtips_test.moc"
