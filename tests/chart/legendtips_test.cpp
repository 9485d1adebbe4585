// SPDX-License-Identifier: GPL-3.0-or-later
// The legend's count of the series it leaves out, and its tooltips.
#include <QtTest>

#include <QRegularExpression>

#include "chart/elevationchart.h"
#include "platform/fonts.h"

using namespace mirado;

namespace {

void AddFlatCurve(ElevationChart &chart, const QString &title, double elevationDeg)
{
    const SeriesId s = chart.createLineSeries();
    chart.attachSeries(s);
    chart.setSeriesTitle(s, title);
    chart.setLineWidth(s, 2);
    for (int i = 0; i < 96; ++i)
        chart.addPoint(s, 17.0 + i / 6.0, elevationDeg);
}

} // namespace

class LegendTipsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { InstallFontSubstitutions(); }
    void legendCountsWhatItLeavesOut_data();
    void legendCountsWhatItLeavesOut();
};

void LegendTipsTest::legendCountsWhatItLeavesOut_data()
{
    QTest::addColumn<int>("curves");
    QTest::addColumn<QSize>("size");
    QTest::newRow("5 fit") << 5 << ElevationChart::kDesignSize;
    QTest::newRow("42 at design size") << 42 << ElevationChart::kDesignSize;
    QTest::newRow("42 at 1280x700") << 42 << QSize(1280, 700);
    QTest::newRow("300, more than 30 left out") << 300 << ElevationChart::kDesignSize;
}

void LegendTipsTest::legendCountsWhatItLeavesOut()
{
    QFETCH(int, curves);
    QFETCH(QSize, size);
    ElevationChart chart;
    chart.resize(size);
    for (int i = 1; i <= curves; ++i)
        AddFlatCurve(chart, QStringLiteral("Object %1").arg(i), i % 90);
    chart.setToolTipTexts([&](SeriesId s) { return chart.seriesTitle(s) + " (whole)"; }, {});

    // The tooltips down the legend, one per line, with each line's height.
    QList<QPair<QString, int>> tips;
    const QRectF legend = chart.legendArea();
    for (double y = legend.top(); y < legend.bottom(); y += 1.0) {
        const QString tip = chart.toolTipAt(QPointF(legend.left() + 30.0, y));
        if (!tip.isEmpty() && !tips.isEmpty() && tips.last().first == tip)
            ++tips.last().second;
        else if (!tip.isEmpty())
            tips.append({tip, 1});
    }
    const QStringList lines = chart.legendLines();
    QCOMPARE(tips.size(), lines.size());
    const int shown = lines.size() == curves ? curves : int(lines.size()) - 1;
    for (int i = 0; i < shown; ++i)
        QCOMPARE(tips[i].first, QStringLiteral("Object %1 (whole)").arg(i + 1));
    if (shown == curves)
        return;
    // The last line counts the rest, is whole (as high as the first), and
    // names at most 30 of them, then "…".
    QCOMPARE(lines.last(), QStringLiteral("ほか %1 件").arg(curves - shown));
    QCOMPARE_GE(tips.last().second, tips.first().second - 1);
    const QStringList names = tips.last().first.split(u'\n');
    QCOMPARE(names.size(), std::min(curves - shown, 30) + (curves - shown > 30 ? 1 : 0));
    QCOMPARE(names.first(), QStringLiteral("Object %1 (whole)").arg(shown + 1));
    QCOMPARE(names.last() == QStringLiteral("…"), curves - shown > 30);
}

QTEST_MAIN(LegendTipsTest)
#include "legendtips_test.moc"
