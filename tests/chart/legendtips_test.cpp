// SPDX-License-Identifier: GPL-3.0-or-later
// The legend's count of the series it leaves out, and its tooltips.
#include <QtTest>

#include <QRegularExpression>

#include <future>

#include "chart/chartscene.h"
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
    void titleWidthIsThatOfTheShownText_data();
    void titleWidthIsThatOfTheShownText();
};

// LegendTextWidth measures a title that fits once; it must give the width of
// LegendText's elided text at every limit, also where the limit falls between
// the text engine's 1/64 pixel units, and on another thread.
void LegendTipsTest::titleWidthIsThatOfTheShownText_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<double>("slackPx"); // limit = the whole title's width + slack
    QTest::addColumn<bool>("otherThread");
    const QString vega = QStringLiteral("ベガ（織女星）  Vega\tα Lyr");
    QTest::newRow("fits with room") << vega << 10.0 << false;
    QTest::newRow("fits exactly") << vega << 0.0 << false;
    QTest::newRow("a hair over, below the engine's unit") << vega << -1.0 / 256 << false;
    QTest::newRow("half the engine's unit over") << vega << -1.0 / 128 << false;
    QTest::newRow("one unit over") << vega << -1.0 / 64 << false;
    QTest::newRow("far too wide") << vega << -60.0 << false;
    QTest::newRow("a text of variants") << QStringLiteral("Long name\u009cShort") << 0.0 << false;
    QTest::newRow("on another thread, fits") << vega << 10.0 << true;
    QTest::newRow("on another thread, elided") << vega << -30.0 << true;
}

void LegendTipsTest::titleWidthIsThatOfTheShownText()
{
    QFETCH(QString, title);
    QFETCH(double, slackPx);
    QFETCH(bool, otherThread);
    const QFont font = PixelFont(kMsGothic, 16);
    const QFontMetricsF metrics(font);
    const qreal limitPx = metrics.horizontalAdvance(title.simplified()) + slackPx;
    const qreal want = metrics.horizontalAdvance(LegendText(title, font, limitPx));
    const qreal got =
        otherThread
            ? std::async(std::launch::async,
                         [&] { return LegendTextWidth(title, QFontMetricsF(font), limitPx); })
                  .get()
            : LegendTextWidth(title, metrics, limitPx);
    QVERIFY2(got == want, qPrintable(QStringLiteral("limit %1 px: want %2 px, got %3 px")
                                         .arg(limitPx, 0, 'f', 6)
                                         .arg(want, 0, 'f', 6)
                                         .arg(got, 0, 'f', 6)));
}

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
