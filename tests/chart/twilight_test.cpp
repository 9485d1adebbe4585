// SPDX-License-Identifier: GPL-3.0-or-later
// The darkness shading behind the plot: where it lies, how dark it gets, and
// that the curves and the grid stay on top of it.
#include <QtTest>

#include <QImage>

#include "chart/elevationchart.h"

using namespace mirado;

namespace {

// The pixel of a point on the axes (night-axis hours, degrees).
QPoint PixelOf(const QRectF &plot, double x, double y, const AxisRanges &ranges)
{
    const double px = plot.left() + (x - ranges.bottom.min) / ranges.bottom.span() * plot.width();
    const double py = plot.bottom() - (y - ranges.left.min) / ranges.left.span() * plot.height();
    return QPoint(qFloor(px), qFloor(py));
}

// Contrast in luminance between two colours, 0 to 255.
int LuminanceGap(const QColor &a, const QColor &b)
{
    const auto luminance = [](const QColor &c) {
        return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue();
    };
    return qRound(std::abs(luminance(a) - luminance(b)));
}

} // namespace

class TwilightTest : public QObject
{
    Q_OBJECT

private slots:
    void bandsShadeTheirStretchOnly();
    void curvesStayOnTop();
    void darkestTintKeepsEveryCurveColourVisible_data();
    void darkestTintKeepsEveryCurveColourVisible();
    void tintsDeepenLevelByLevel();
    void outlinesKeepEveryCurveVisibleOnEveryTint();
};

void TwilightTest::bandsShadeTheirStretchOnly()
{
    ElevationChart chart;
    chart.setAnimatedZoom(false);
    const QImage plain = chart.renderImage();
    chart.setShadeBands({{19.0, 20.0, 1}, {20.0, 29.0, 4}});
    const QImage shaded = chart.renderImage();
    const QRectF plot = chart.plotArea();
    const AxisRanges ranges{{17.0, 31.0}, {0.0, 90.0}};

    // Between grid lines (every hour, every 10 degrees): 19.5 h and 24.5 h at
    // 45 degrees, and outside the bands at 17.5 h and 30.5 h.
    QCOMPARE(QColor(shaded.pixel(PixelOf(plot, 19.5, 45.0, ranges))), ShadeColour(1));
    QCOMPARE(QColor(shaded.pixel(PixelOf(plot, 24.5, 45.0, ranges))), ShadeColour(4));
    QCOMPARE(shaded.pixel(PixelOf(plot, 17.5, 45.0, ranges)),
             plain.pixel(PixelOf(plot, 17.5, 45.0, ranges)));
    QCOMPARE(shaded.pixel(PixelOf(plot, 30.5, 45.0, ranges)),
             plain.pixel(PixelOf(plot, 30.5, 45.0, ranges)));
    // Nothing outside the plot area changes: the title row and the axis
    // labels' row.
    for (int x = 0; x < shaded.width(); x += 3) {
        QCOMPARE(shaded.pixel(x, 2), plain.pixel(x, 2));
        QCOMPARE(shaded.pixel(x, shaded.height() - 2), plain.pixel(x, shaded.height() - 2));
    }

    // Taken away again, the chart is exactly as before.
    chart.setShadeBands({});
    QCOMPARE(chart.renderImage(), plain);
}

void TwilightTest::curvesStayOnTop()
{
    ElevationChart chart;
    chart.setAnimatedZoom(false);
    const SeriesId curve = chart.createLineSeries();
    chart.attachSeries(curve);
    chart.setSeriesTitle(curve, QStringLiteral("A"));
    chart.setLineWidth(curve, 2);
    chart.addPoint(curve, 17.0, 45.0);
    chart.addPoint(curve, 31.0, 45.0);
    chart.setShadeBands({{17.0, 31.0, 4}});
    const QImage image = chart.renderImage();
    const QRectF plot = chart.plotArea();
    const AxisRanges ranges{{17.0, 31.0}, {0.0, 90.0}};
    const QPoint on = PixelOf(plot, 22.5, 45.0, ranges);
    QCOMPARE(QColor(image.pixel(on)), chart.seriesColour(curve));
    // The grid line at 40 degrees is drawn over the shade.
    const QPoint grid = PixelOf(plot, 22.5, 40.0, ranges);
    bool gridFound = false;
    for (int dy = -1; dy <= 1; ++dy)
        gridFound = gridFound || QColor(image.pixel(grid + QPoint(0, dy))) == QColor(Qt::black);
    QVERIFY(gridFound);
}

void TwilightTest::darkestTintKeepsEveryCurveColourVisible_data()
{
    QTest::addColumn<QColor>("curve");
    QTest::newRow("navy") << QColor(0, 0, 128);
    QTest::newRow("black") << QColor(0, 0, 0);
    QTest::newRow("white") << QColor(255, 255, 255);
    QTest::newRow("silver") << QColor(192, 192, 192);
}

void TwilightTest::darkestTintKeepsEveryCurveColourVisible()
{
    QFETCH(QColor, curve);
    // A curve is lost where its luminance comes within a fifth of the range
    // of the background's.
    const int gap = LuminanceGap(curve, ShadeColour(kShadeLevels));
    QVERIFY2(gap >= 50, qPrintable(QStringLiteral("luminance gap %1").arg(gap)));
}

void TwilightTest::tintsDeepenLevelByLevel()
{
    for (int level = 1; level <= kShadeLevels; ++level) {
        const QColor lighter = ShadeColour(level - 1);
        const QColor darker = ShadeColour(level);
        QVERIFY2(darker.lightness() < lighter.lightness(), qPrintable(QString::number(level)));
    }
    QCOMPARE(ShadeColour(0), QColor(212, 208, 200));
}

void TwilightTest::outlinesKeepEveryCurveVisibleOnEveryTint()
{
    // The sixteen palette colours, flat between the 10-degree grid lines,
    // over the four tints; measured between the hour grid lines.
    ElevationChart chart;
    std::vector<SeriesId> curves;
    for (int i = 0; i < 16; ++i) {
        curves.push_back(chart.createLineSeries());
        chart.attachSeries(curves.back());
        chart.setLineWidth(curves.back(), 2);
        for (int k = 0; k < 96; ++k)
            chart.addPoint(curves.back(), 17.0 + k / 6.0, 3.0 + 5.0 * i);
    }
    const QImage plain = chart.renderImage();
    chart.setShadeBands({{17.0, 20.0, 1}, {20.0, 23.0, 2}, {23.0, 26.0, 3}, {26.0, 31.0, 4}});
    const QImage image = chart.renderImage();
    const AxisRanges ranges{{17.0, 31.0}, {0.0, 90.0}};
    const double middles[] = {18.5, 21.5, 24.5, 28.5};
    for (std::size_t i = 0; i < curves.size(); ++i) {
        const QColor colour = chart.seriesColour(curves[i]);
        for (int level = 1; level <= kShadeLevels; ++level) {
            const QPoint at = PixelOf(chart.plotArea(), middles[level - 1], 3.0 + 5.0 * i, ranges);
            // The curve's rows in this column; the outline lies just outside.
            int top = INT_MAX, bottom = INT_MIN;
            for (int y = at.y() - 4; y <= at.y() + 4; ++y)
                if (QColor(image.pixel(at.x(), y)) == colour)
                    top = std::min(top, y), bottom = std::max(bottom, y);
            QVERIFY2(top <= bottom, qPrintable(colour.name() + " not found"));
            const double curveContrast = ContrastRatio(colour, ShadeColour(level));
            for (const int y : {top - 1, bottom + 1}) {
                const QColor outline(image.pixel(at.x(), y));
                const double outlineContrast = ContrastRatio(outline, ShadeColour(level));
                QVERIFY2(outlineContrast >= 3.0 || curveContrast >= 1.5,
                         qPrintable(QString("%1 on tint %2: outline %3 at %4:1, curve at %5:1")
                                        .arg(colour.name())
                                        .arg(level)
                                        .arg(outline.name())
                                        .arg(outlineContrast)
                                        .arg(curveContrast)));
            }
        }
    }
    // Without the shading, no outline.
    chart.setShadeBands({});
    QCOMPARE(chart.renderImage(), plain);
}

QTEST_MAIN(TwilightTest)
#include "twilight_test.moc"
