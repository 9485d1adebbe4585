// SPDX-License-Identifier: GPL-3.0-or-later
// The elevation chart widget on the offscreen platform: what it draws, how it
// zooms from calls and from the mouse, and how it prints and renders.
#include <QtTest>

#include <QFontInfo>
#include <QGraphicsView>
#include <QImage>
#include <QPdfWriter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <cmath>

#include "chart/elevationchart.h"
#include "data/errors.h"
#include "night/curve.h"
#include "platform/fonts.h"

using namespace mirado;

namespace {

const QColor kPanel(212, 208, 200);

void CompareRange(const AxisRange &got, double wantMin, double wantMax, double tolerance)
{
    QVERIFY2(std::abs(got.min - wantMin) <= tolerance && std::abs(got.max - wantMax) <= tolerance,
             qPrintable(QString("got %1..%2, want %3..%4 (tolerance %5)")
                            .arg(got.min, 0, 'g', 15)
                            .arg(got.max, 0, 'g', 15)
                            .arg(wantMin, 0, 'g', 15)
                            .arg(wantMax, 0, 'g', 15)
                            .arg(tolerance)));
}

// The pixel of `value` in a plot area showing the standard ranges.
QPoint PixelOf(const QRectF &plot, double hours, double degrees)
{
    const double x = plot.left() + (hours - 17.0) / 14.0 * plot.width();
    const double y = plot.bottom() - degrees / 90.0 * plot.height();
    return QPointF(x, y).toPoint();
}

QWidget *Viewport(ElevationChart &chart)
{
    return chart.findChild<QGraphicsView *>()->viewport();
}

void Drag(ElevationChart &chart, Qt::MouseButton button, const QPoint &from, const QPoint &to)
{
    QWidget *viewport = Viewport(chart);
    const QPoint start = viewport->mapFrom(&chart, from);
    const QPoint end = viewport->mapFrom(&chart, to);
    QTest::mousePress(viewport, button, Qt::NoModifier, start);
    QTest::mouseMove(viewport, (start + end) / 2);
    QTest::mouseMove(viewport, end);
    QTest::mouseRelease(viewport, button, Qt::NoModifier, end);
}

SeriesId AddCurve(ElevationChart &chart, const QString &title, double elevationDeg)
{
    const SeriesId s = chart.createLineSeries();
    chart.attachSeries(s);
    chart.setSeriesTitle(s, title);
    chart.setLineWidth(s, 2);
    for (int i = 0; i < 96; ++i) {
        chart.addPoint(s, 17.0 + i / 6.0, elevationDeg);
    }
    return s;
}

// Whether `colour` is found within `radius` pixels of `at`: the engine may
// place a line half a pixel either way.
bool ColourNear(const QImage &image, const QPoint &at, const QColor &colour, int radius)
{
    for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
            const QPoint p = at + QPoint(dx, dy);
            if (image.rect().contains(p) && image.pixelColor(p) == colour) {
                return true;
            }
        }
    }
    return false;
}

int CountPdfPages(const QByteArray &pdf)
{
    static const QRegularExpression page(R"(/Type\s*/Page(?![a-zA-Z]))");
    int count = 0;
    for (auto it = page.globalMatch(QString::fromLatin1(pdf)); it.hasNext(); it.next()) {
        ++count;
    }
    return count;
}

} // namespace

class ElevationChartTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void fontSubstitution_data();
    void fontSubstitution();
    void initialState();
    void legendOnlyWhileSeriesAttached();
    void zoomSequence_data();
    void zoomSequence();
    void zoom100KeepsRangesAndMarksZoomed();
    void undoWithoutZoomChangesNothing();
    void mouseZoom_data();
    void mouseZoom();
    void rightDragScrolls();
    void markerBarSpansPlotOnly();
    void replotShowsOnlyNewSeries();
    void legendWidthFollowsTheWidestTitle();
    void screenAfterMarkerMovesMatchesAFreshPaint();
    void curvesDrawnInStepsMatchOneDrawing_data();
    void curvesDrawnInStepsMatchOneDrawing();
    void printsOnePageToPdf();
    void printFailureRaises();
    void printKeepsLetters_data();
    void printKeepsLetters();
    void rendersDesignSizeOffscreen();
    void renderKeepsScreenLayout();
    void axisLabelsUseTheNumberFormat_data();
    void axisLabelsUseTheNumberFormat();
};

void ElevationChartTest::initTestCase()
{
    InstallFontSubstitutions();
}

void ElevationChartTest::fontSubstitution_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<QString>("wantFamily");
    QTest::addColumn<bool>("mustBeFixedPitch");
    // The Japanese fonts the program depends on are installed with it. (Qt
    // does not report the CJK gothic as fixed pitch, so its pitch is not
    // checked.)
    QTest::newRow("gothic") << QString::fromUtf8(kMsGothic) << "IPAGothic" << false;
    QTest::newRow("proportional gothic") << QString::fromUtf8(kMsPGothic) << "IPAPGothic" << false;
    QTest::newRow("proportional mincho") << QString::fromUtf8(kMsPMincho) << "IPAPMincho" << false;
    // The Latin ones draw in one font each, the same on every machine.
    QTest::newRow("System") << QString(kSystemFont) << "DejaVu Sans" << false;
    QTest::newRow("FixedSys") << QString(kFixedSysFont) << "DejaVu Sans Mono" << true;
    QTest::newRow("Century") << QString(kCenturyFont) << "Liberation Serif" << false;
    QTest::newRow("Arial") << QString(kArialFont) << "Liberation Sans" << false;
}

void ElevationChartTest::fontSubstitution()
{
    QFETCH(QString, family);
    QFETCH(QString, wantFamily);
    QFETCH(bool, mustBeFixedPitch);
    const QFontInfo info(QFont(family, 12));
    if (wantFamily.isEmpty()) {
        QVERIFY2(QFont::substitutes(family).contains(info.family(), Qt::CaseInsensitive),
                 qPrintable(family + " drew in " + info.family()));
    } else {
        QCOMPARE(info.family(), wantFamily);
    }
    if (mustBeFixedPitch) {
        QVERIFY2(info.fixedPitch(), qPrintable(family + " drew in " + info.family()));
    }
}

void ElevationChartTest::initialState()
{
    ElevationChart chart;
    QCOMPARE(chart.objectName(), QString("chtMirado"));
    QCOMPARE(chart.chartTitle(), QString("Mirado"));
    CompareRange(chart.bottomRange(), 17.0, 31.0, 0.0);
    CompareRange(chart.leftRange(), 0.0, 90.0, 0.0);
    QVERIFY(chart.isRestored());
    QVERIFY(!chart.isZoomed());
    QVERIFY(!chart.isLegendVisible());
    QVERIFY(chart.areTopAndRightAxesVisible());
}

void ElevationChartTest::legendOnlyWhileSeriesAttached()
{
    ElevationChart chart;
    const SeriesId marker = chart.createPointSeries();
    chart.attachSeries(marker);
    QVERIFY(chart.isLegendVisible());
    QVERIFY(!chart.areTopAndRightAxesVisible());

    chart.detachAllSeries();
    QVERIFY(!chart.isLegendVisible());
    QVERIFY(chart.areTopAndRightAxesVisible());
    QVERIFY(!chart.isAttached(marker));

    chart.attachSeries(marker);
    QVERIFY(chart.isLegendVisible());
}

void ElevationChartTest::zoomSequence_data()
{
    QTest::addColumn<bool>("shown");
    QTest::newRow("hidden") << false;
    QTest::newRow("shown, animated") << true;
}

void ElevationChartTest::zoomSequence()
{
    QFETCH(bool, shown);
    ElevationChart chart;
    AddCurve(chart, "M31", 40.0);
    if (shown) {
        chart.show();
        QVERIFY(QTest::qWaitForWindowExposed(&chart));
    }
    constexpr double kTolerance = 1e-9;
    chart.zoomByPercent(115.0);
    CompareRange(chart.bottomRange(), 19.1, 28.9, kTolerance);
    CompareRange(chart.leftRange(), 13.5, 76.5, kTolerance);
    QVERIFY(!chart.isRestored());
    QVERIFY(chart.isZoomed());

    chart.zoomByPercent(85.0);
    CompareRange(chart.bottomRange(), 17.63, 30.37, kTolerance);
    CompareRange(chart.leftRange(), 4.05, 85.95, kTolerance);

    chart.undoZoom();
    CompareRange(chart.bottomRange(), 17.0, 31.0, 0.0);
    CompareRange(chart.leftRange(), 0.0, 90.0, 0.0);
    QVERIFY(chart.isRestored());
    QVERIFY(!chart.isZoomed());
}

void ElevationChartTest::zoom100KeepsRangesAndMarksZoomed()
{
    ElevationChart chart;
    chart.zoomByPercent(100.0);
    CompareRange(chart.bottomRange(), 17.0, 31.0, 0.0);
    CompareRange(chart.leftRange(), 0.0, 90.0, 0.0);
    QVERIFY(!chart.isRestored());
    QVERIFY(chart.isZoomed());
}

void ElevationChartTest::undoWithoutZoomChangesNothing()
{
    ElevationChart chart;
    chart.undoZoom();
    CompareRange(chart.bottomRange(), 17.0, 31.0, 0.0);
    CompareRange(chart.leftRange(), 0.0, 90.0, 0.0);
    QVERIFY(chart.isRestored());
}

void ElevationChartTest::mouseZoom_data()
{
    QTest::addColumn<QPointF>("fromValue");
    QTest::addColumn<QPointF>("toValue");
    QTest::addColumn<bool>("wantZoomed");

    QTest::newRow("upper left to lower right zooms")
        << QPointF(20.0, 80.0) << QPointF(26.0, 20.0) << true;
    QTest::newRow("lower right to upper left does not")
        << QPointF(26.0, 20.0) << QPointF(20.0, 80.0) << false;
    QTest::newRow("a few pixels do nothing") << QPointF(20.0, 80.0) << QPointF(20.2, 78.0) << false;
}

void ElevationChartTest::mouseZoom()
{
    QFETCH(QPointF, fromValue);
    QFETCH(QPointF, toValue);
    QFETCH(bool, wantZoomed);

    ElevationChart chart;
    chart.setAnimatedZoom(false);
    AddCurve(chart, "M31", 40.0);
    chart.resize(ElevationChart::kDesignSize);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    const QRectF plot = chart.plotArea();
    QVERIFY(!plot.isEmpty());

    Drag(chart, Qt::LeftButton, PixelOf(plot, fromValue.x(), fromValue.y()),
         PixelOf(plot, toValue.x(), toValue.y()));
    QCOMPARE(chart.isZoomed(), wantZoomed);
    if (wantZoomed) {
        // Within about a pixel of the values dragged over.
        CompareRange(chart.bottomRange(), fromValue.x(), toValue.x(), 1.5 * 14.0 / plot.width());
        CompareRange(chart.leftRange(), toValue.y(), fromValue.y(), 1.5 * 90.0 / plot.height());

        // Dragging back the other way undoes the zoom.
        Drag(chart, Qt::LeftButton, chart.plotArea().center().toPoint() + QPoint(40, 40),
             chart.plotArea().center().toPoint());
        QVERIFY(chart.isRestored());
    }
    CompareRange(chart.bottomRange(), 17.0, 31.0, 0.0);
    CompareRange(chart.leftRange(), 0.0, 90.0, 0.0);
}

void ElevationChartTest::rightDragScrolls()
{
    ElevationChart chart;
    AddCurve(chart, "M31", 40.0);
    chart.resize(ElevationChart::kDesignSize);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    const QRectF plot = chart.plotArea();

    // One hour to the right and five degrees down (labels keep their width,
    // so the plot area stays put while scrolling).
    Drag(chart, Qt::RightButton, PixelOf(plot, 20.0, 50.0), PixelOf(plot, 21.0, 45.0));
    CompareRange(chart.bottomRange(), 16.0, 30.0, 1.5 * 14.0 / plot.width());
    CompareRange(chart.leftRange(), 5.0, 95.0, 1.5 * 90.0 / plot.height());
    QVERIFY(!chart.isRestored());
    QVERIFY(!chart.isZoomed());

    chart.undoZoom();
    CompareRange(chart.bottomRange(), 17.0, 31.0, 0.0);
}

void ElevationChartTest::markerBarSpansPlotOnly()
{
    ElevationChart chart;
    const SeriesId marker = chart.createPointSeries();
    chart.attachSeries(marker);
    chart.setSeriesTitle(marker, "Now");
    chart.setPointer(marker, false, 1, 10000);
    chart.addPoint(marker, 0.0, 0.0);
    chart.setPointValue(marker, ValueList::X, 0, 24.0);
    chart.setPointValue(marker, ValueList::Y, 0, 45.0);

    const QImage image = chart.renderImage();
    const QRectF plot = chart.plotArea();
    const int x = PixelOf(plot, 24.0, 45.0).x();
    const QColor red(255, 0, 0);
    const int top = qRound(plot.top());
    const int bottom = qRound(plot.bottom());
    QVERIFY(ColourNear(image, {x, top + 2}, red, 1));
    QVERIFY(ColourNear(image, {x, qRound(plot.center().y())}, red, 1));
    QVERIFY(ColourNear(image, {x, bottom - 2}, red, 1));
    // Clipped to the plot area, and narrow.
    QVERIFY(!ColourNear(image, {x, top - 4}, red, 1));
    QVERIFY(!ColourNear(image, {x, bottom + 4}, red, 1));
    QVERIFY(!ColourNear(image, {x + 4, top + 2}, red, 1));
    QVERIFY(!ColourNear(image, {x - 4, top + 2}, red, 1));
}

void ElevationChartTest::replotShowsOnlyNewSeries()
{
    const QColor red(255, 0, 0);
    const QColor green(0, 128, 0);
    ElevationChart chart;
    AddCurve(chart, "A", 20.0);
    AddCurve(chart, "B", 60.0);
    AddCurve(chart, "C", 80.0);
    QCoreApplication::processEvents();

    // The next plot: a curve and the marker, fewer series than before and of
    // another kind in the second place.
    chart.detachAllSeries();
    AddCurve(chart, "D", 30.0);
    const SeriesId marker = chart.createPointSeries();
    chart.attachSeries(marker);
    chart.setPointer(marker, false, 1, 10000);
    chart.addPoint(marker, 24.0, 45.0);

    const QImage image = chart.renderImage();
    const QRectF plot = chart.plotArea();
    QVERIFY(ColourNear(image, PixelOf(plot, 20.5, 30.0), red, 1));
    QVERIFY(!ColourNear(image, PixelOf(plot, 20.5, 20.0), red, 1));
    QVERIFY(!ColourNear(image, PixelOf(plot, 20.5, 60.0), green, 1));
    QVERIFY(!ColourNear(image, PixelOf(plot, 20.5, 80.0), QColor(255, 255, 0), 1));
    QVERIFY(ColourNear(image, PixelOf(plot, 24.0, 70.0), green, 1));
}

void ElevationChartTest::legendWidthFollowsTheWidestTitle()
{
    // Only the legend entries that fit are real; the plot still narrows for
    // the widest title, wherever it stands in the list.
    const QString longTitle = QStringLiteral("A very long object name for the legend");
    const auto plotWidth = [&](int longAt) {
        ElevationChart chart;
        chart.resize(ElevationChart::kDesignSize);
        for (int i = 0; i < 300; ++i)
            AddCurve(chart, i == longAt ? longTitle : QStringLiteral("S%1").arg(i), i % 90);
        return chart.plotArea().width();
    };
    const double longFirst = plotWidth(0);
    QCOMPARE(plotWidth(250), longFirst);
    QVERIFY(plotWidth(-1) > longFirst);
}

void ElevationChartTest::screenAfterMarkerMovesMatchesAFreshPaint()
{
    const auto build = [](ElevationChart &chart, double markerX) {
        chart.setAnimatedZoom(false);
        chart.resize(ElevationChart::kDesignSize);
        for (int i = 0; i < 300; ++i) {
            const SeriesId s = chart.createLineSeries();
            chart.attachSeries(s);
            chart.setLineWidth(s, 2);
            for (int k = 0; k < 96; ++k)
                chart.addPoint(s, 17.0 + k / 6.0, std::fmod(i * 7.0 + k * 3.0, 90.0));
        }
        const SeriesId marker = chart.createPointSeries();
        chart.attachSeries(marker);
        chart.setSeriesTitle(marker, "Now");
        chart.setPointer(marker, false, 1, 10000);
        chart.addPoint(marker, markerX, 45.0);
        return marker;
    };

    // The marker walks across the plot, one tick at a time.
    ElevationChart moving;
    const SeriesId marker = build(moving, 18.0);
    moving.show();
    QVERIFY(QTest::qWaitForWindowExposed(&moving));
    for (double x = 18.0; x < 26.0; x += 0.37) {
        moving.setPointValue(marker, ValueList::X, 0, x);
        moving.zoomByPercent(100.0);
        QCoreApplication::processEvents();
    }
    const double lastX = 18.0 + 0.37 * std::ceil((26.0 - 18.0) / 0.37 - 1);
    QCoreApplication::processEvents();

    ElevationChart fresh;
    build(fresh, moving.seriesPoints(marker).front().x());
    fresh.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fresh));
    QCoreApplication::processEvents();
    QVERIFY(qAbs(moving.seriesPoints(marker).front().x() - lastX) < 1e-9);
    // What the window shows (its backing store), against a full paint.
    const QImage shown = moving.screen()->grabWindow(moving.winId()).toImage();
    QCOMPARE(shown.size(), fresh.size());
    QCOMPARE(shown.convertToFormat(QImage::Format_RGB32),
             fresh.grab().toImage().convertToFormat(QImage::Format_RGB32));
}

namespace {

// Curve `i` of a synthetic night on the night's grid, the six points from
// 24 h given twice, as a plot gives them.
SeriesPoints SyntheticCurve(int i)
{
    SeriesPoints points;
    for (std::size_t k = 0; k < std::size_t(kNightPointCount); ++k)
        points.add(NightPointX(k), std::fmod(i * 7.3 + double(k) * 2.9, 100.0) - 5.0);
    return points;
}

QImage Shown(ElevationChart &chart)
{
    return chart.screen()
        ->grabWindow(chart.winId())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

} // namespace

// Curves given in steps (streamed into an image one at a time without being
// kept, or added while the chart is on screen) against the chart drawn at
// once with every curve: the same pixels.
void ElevationChartTest::curvesDrawnInStepsMatchOneDrawing_data()
{
    QTest::addColumn<bool>("streamed");
    QTest::addColumn<int>("curves");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<double>("zoomPercent");

    const QSize design = ElevationChart::kDesignSize;
    QTest::newRow("streamed, one curve") << true << 1 << design << 100.0;
    QTest::newRow("streamed, palette wraps, legend cut") << true << 40 << design << 100.0;
    QTest::newRow("streamed, large image") << true << 25 << QSize(1600, 1000) << 100.0;
    QTest::newRow("streamed, zoomed out") << true << 12 << design << 85.0;
    QTest::newRow("on screen, added in steps") << false << 40 << design << 100.0;
    QTest::newRow("on screen, zoomed in") << false << 30 << design << 115.0;
}

void ElevationChartTest::curvesDrawnInStepsMatchOneDrawing()
{
    QFETCH(bool, streamed);
    QFETCH(int, curves);
    QFETCH(QSize, size);
    QFETCH(double, zoomPercent);

    const auto prepare = [&](ElevationChart &chart) {
        chart.setAnimatedZoom(false);
        chart.resize(size);
        chart.setShadeBands({{17.0, 18.5, 1}, {18.5, 29.5, 3}, {29.5, 31.0, 1}});
        chart.zoomByPercent(zoomPercent);
    };
    // A titled curve, its points added unless only its legend entry is wanted.
    const auto addCurve = [](ElevationChart &chart, int i, bool withPoints) {
        const SeriesId s = chart.createLineSeries();
        chart.attachSeries(s);
        chart.setSeriesTitle(s, QString("Object %1").arg(i, 3 * (i % 4 + 1), 10, QChar('x')));
        chart.setLineWidth(s, 2);
        const SeriesPoints points = SyntheticCurve(i);
        for (qsizetype k = 0; withPoints && k < points.size(); ++k)
            chart.addPoint(s, points[k].x(), points[k].y());
        return s;
    };

    ElevationChart whole;
    prepare(whole);
    for (int i = 0; i < curves; ++i)
        addCurve(whole, i, true);
    ElevationChart steps;
    prepare(steps);
    QImage got;
    QImage want;
    if (streamed) {
        std::vector<SeriesId> series;
        for (int i = 0; i < curves; ++i)
            series.push_back(addCurve(steps, i, false));
        got = QImage(size, QImage::Format_ARGB32_Premultiplied);
        got.fill(ElevationChart::kImageBackground);
        ElevationChart::CurveStream stream(steps, got, size);
        for (int i = 0; i < curves; ++i)
            stream.drawCurve(series[std::size_t(i)], SyntheticCurve(i));
        stream.finish();
        want = whole.renderImage(size);
    } else {
        steps.show();
        QVERIFY(QTest::qWaitForWindowExposed(&steps));
        for (int i = 0; i < curves; ++i) {
            addCurve(steps, i, true);
            if (i % 7 == 0)
                QCoreApplication::processEvents();
        }
        QCoreApplication::processEvents();
        whole.show();
        QVERIFY(QTest::qWaitForWindowExposed(&whole));
        QCoreApplication::processEvents();
        got = Shown(steps);
        want = Shown(whole);
    }
    QVERIFY2(got == want, "the images differ");
}

void ElevationChartTest::printsOnePageToPdf()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath("chart.pdf");
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);

    ElevationChart chart;
    AddCurve(chart, "M31", 40.0);
    chart.printChart(printer);

    QCOMPARE(printer.docName(), QString("chtMirado"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    QCOMPARE(CountPdfPages(pdf), 1);
    // The document title is stored as UTF-16.
    QByteArray utf16Title;
    for (char c : QByteArray("chtMirado")) {
        utf16Title.append('\0').append(c);
    }
    QVERIFY(pdf.contains(utf16Title));
}

void ElevationChartTest::printFailureRaises()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("no such folder/chart.pdf"));

    ElevationChart chart;
    QVERIFY_THROWS_EXCEPTION(Error, chart.printChart(printer));
    QVERIFY(!QFile::exists(dir.filePath("no such folder/chart.pdf")));
}

// The words of a PDF with their boxes in points, from pdftotext -bbox.
QList<QPair<QString, QRectF>> PdfWords(const QString &pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    static const QRegularExpression word(
        R"re(xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)<)re");
    QList<QPair<QString, QRectF>> words;
    const QString xhtml = QString::fromUtf8(process.readAllStandardOutput());
    for (auto it = word.globalMatch(xhtml); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        words.append(
            {m.captured(5), QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                   QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return words;
}

void ElevationChartTest::printKeepsLetters_data()
{
    QTest::addColumn<int>("orientation");
    QTest::newRow("A4 portrait") << int(QPageLayout::Portrait);
    QTest::newRow("A4 landscape") << int(QPageLayout::Landscape);
}

void ElevationChartTest::printKeepsLetters()
{
    const auto titleRatio = [](const QList<QPair<QString, QRectF>> &words) {
        for (const auto &[text, box] : words)
            if (text == QStringLiteral("Mirado"))
                return box.width() / box.height();
        return 0.0;
    };
    QFETCH(int, orientation);
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        QSKIP("pdftotext is not installed");
    QTemporaryDir dir;
    ElevationChart chart;
    chart.setChartTitle("Mirado 2027.6.21");
    for (int i = 0; i < 42; ++i)
        AddCurve(chart, QStringLiteral("Star%1").arg(i + 1), i * 2.0);

    // The screen's title, drawn one point a pixel.
    QPdfWriter writer(dir.filePath("screen.pdf"));
    writer.setResolution(72);
    writer.setPageSize(QPageSize(QSizeF(ElevationChart::kDesignSize), QPageSize::Point));
    writer.setPageMargins(QMarginsF());
    chart.renderChart(writer);
    const double screenRatio = titleRatio(PdfWords(dir.filePath("screen.pdf")));

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath("print.pdf"));
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Orientation(orientation));
    printer.setPageMargins(QMarginsF());
    const QSize layout = ElevationChart::PrintLayoutSize(printer);
    const QRectF rect = ElevationChart::PrintRect(printer);
    const QRectF legend = chart.legendArea(layout);
    const QStringList lines = chart.legendLines(layout);
    chart.printChart(printer);
    const QList<QPair<QString, QRectF>> words = PdfWords(dir.filePath("print.pdf"));

    // Tolerance: a tenth of the screen's width over height.
    const double ratio = titleRatio(words);
    QVERIFY2(
        screenRatio > 0.0 && std::abs(ratio / screenRatio - 1.0) <= 0.1,
        qPrintable(QString("title width/height: want %1, got %2").arg(screenRatio).arg(ratio)));
    // Every legend line on the page lies whole inside the legend (1 pt of
    // tolerance), and they are the lines the legend shows.
    const double points = 72.0 / printer.resolution();
    const double scale = rect.width() / layout.width();
    const QRectF legendOnPage((rect.topLeft() + legend.topLeft() * scale) * points,
                              legend.size() * scale * points);
    int printed = 0;
    for (const auto &[text, box] : words) {
        if (!text.startsWith(QStringLiteral("Star")) && text != QStringLiteral("ほか"))
            continue;
        ++printed;
        QVERIFY2(legendOnPage.adjusted(-1, -1, 1, 1).contains(box),
                 qPrintable(QString("%1 reaches %2, the legend %3")
                                .arg(text)
                                .arg(box.bottom())
                                .arg(legendOnPage.bottom())));
    }
    QCOMPARE(printed, lines.size());
}

void ElevationChartTest::rendersDesignSizeOffscreen()
{
    ElevationChart chart;
    chart.setChartTitle("Mirado 2001.12.31");
    AddCurve(chart, "M31", 45.0);
    const QImage image = chart.renderImage();
    QCOMPARE(image.size(), QSize(632, 347));
    QCOMPARE(image.pixelColor(2, 2), kPanel);

    // The curve, red and 2 px wide, runs across the plot at 45 degrees.
    const QRectF plot = chart.plotArea();
    const QPoint onCurve = PixelOf(plot, 20.5, 45.0);
    QVERIFY(ColourNear(image, onCurve, QColor(255, 0, 0), 1));
    QVERIFY(!ColourNear(image, onCurve + QPoint(0, 5), QColor(255, 0, 0), 1));
    // Something dark (the title text) lies above the plot area.
    bool titleDrawn = false;
    for (int y = 0; y < plot.top() && !titleDrawn; ++y) {
        for (int x = 0; x < image.width() && !titleDrawn; ++x) {
            titleDrawn = image.pixelColor(x, y).lightness() < 60;
        }
    }
    QVERIFY(titleDrawn);
}

void ElevationChartTest::renderKeepsScreenLayout()
{
    ElevationChart chart;
    AddCurve(chart, "M31", 45.0);
    chart.resize(800, 500);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    const QRectF before = chart.plotArea();
    const QImage image = chart.renderImage(QSize(300, 200));
    QCOMPARE(image.size(), QSize(300, 200));
    QCOMPARE(chart.plotArea(), before);
}

void ElevationChartTest::axisLabelsUseTheNumberFormat_data()
{
    QTest::addColumn<int>("zoomOuts");
    QTest::addColumn<bool>("withSeries");
    QTest::addColumn<QString>("wantBottom");
    QTest::addColumn<QString>("wantLeft");

    QTest::newRow("standard view") << 0 << true << "17 18 19 20 21 22 23 24 25 26 27 28 29 30 31"
                                   << "90 80 70 60 50 40 30 20 10 0";
    QTest::newRow("12 zoom outs: thousands grouped")
        << 12 << true << "-120 -90 -60 -30 0 30 60 90 120 150 180"
        << "1,000 800 600 400 200 0 -200 -400 -600 -800 -1,000";
    QTest::newRow("60 zoom outs: no exponent")
        << 60 << true << "-30,000,000 0 30,000,000"
        << "300,000,000 250,000,000 200,000,000 150,000,000 100,000,000 50,000,000 0 "
           "-50,000,000 -100,000,000 -150,000,000 -200,000,000 -250,000,000 -300,000,000";
    // Without series the top and right axes show too, labelled alike.
    QTest::newRow("30 zoom outs, no series") << 30 << false << "-10,000 0 10,000"
                                             << "100,000 80,000 60,000 40,000 20,000 0 -20,000 "
                                                "-40,000 -60,000 -80,000 -100,000";
}

void ElevationChartTest::axisLabelsUseTheNumberFormat()
{
    QFETCH(int, zoomOuts);
    QFETCH(bool, withSeries);
    QFETCH(QString, wantBottom);
    QFETCH(QString, wantLeft);
    ElevationChart chart;
    chart.setAnimatedZoom(false);
    if (withSeries) {
        AddCurve(chart, "M31", 40.0);
    }
    chart.resize(ElevationChart::kDesignSize);
    chart.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chart));
    for (int i = 0; i < zoomOuts; ++i) {
        chart.zoomByPercent(85.0);
    }
    const auto texts = [&chart](Qt::Edge edge) {
        QStringList texts;
        for (const AxisLabel &label : chart.axisLabels(edge)) {
            texts << label.text;
        }
        return texts.join(u' ');
    };
    QCOMPARE(texts(Qt::BottomEdge), wantBottom);
    QCOMPARE(texts(Qt::LeftEdge), wantLeft);
    QCOMPARE(texts(Qt::TopEdge), withSeries ? QString() : wantBottom);
    QCOMPARE(texts(Qt::RightEdge), withSeries ? QString() : wantLeft);
}

QTEST_MAIN(ElevationChartTest)
#include "elevationchart_test.moc"
