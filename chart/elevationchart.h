// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QImage>
#include <QList>
#include <QPoint>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

#include "chartscene.h"
#include "marklayer.h"
#include "seriesstore.h"
#include "twilightlayer.h"
#include "zoom.h"

QT_FORWARD_DECLARE_CLASS(QPaintDevice)
QT_FORWARD_DECLARE_CLASS(QPainter)
QT_FORWARD_DECLARE_CLASS(QPrinter)
QT_FORWARD_DECLARE_CLASS(QRubberBand)

namespace mirado {

// The elevation chart `chtMirado`: the altitude of objects over one night,
// hours 17 to 31 across, degrees 0 to 90 up, one series per object and an
// optional present-moment marker. The rest of the program works on it only
// through the operations below and refers to series by SeriesId; the chart
// owns every series it creates.
//
// Changes are collected and handed to the drawing engine once per pass of the
// event loop (and before every zoom, render and print), so a plot of many
// curves costs one engine update, not one per point.
//
// Tooltips: over a curve, its read-out at the pointer; over a legend entry,
// the series' whole name; over the legend's "ほか N 件" line, the names of
// the series it counts (at most kMaxLeftOutNames, then "…").
//
// Keyboard, once the chart has the focus (by a click or Tab): + (also = and
// the keypad's +) zooms in and - zooms out about the centre, the arrow keys
// scroll by a tenth of the view, Home returns to the standard view.
//
// Mouse: a left-button drag of more than 16 pixels each way zooms to the
// rectangle when drawn from upper left to lower right and undoes the zoom when
// drawn in any other direction; a right-button drag scrolls the axes.
class ElevationChart : public QWidget
{
    Q_OBJECT

public:
    // The chart's size at the main window's design size; the default size of
    // a rendered chart.
    static constexpr QSize kDesignSize{632, 347};
    // Bottom axis in hours on the night axis, left axis in degrees.
    static constexpr AxisRanges kStandardRanges{{17.0, 31.0}, {0.0, 90.0}};
    // What a rendered image shows outside the chart's own panel.
    static constexpr QRgb kImageBackground = qRgb(255, 255, 255);
    // Frames drawn between the start and the end of an animated zoom.
    static constexpr int kZoomFrames = 4;
    // The zoom in and zoom out commands, in percent.
    static constexpr double kZoomInPercent = 115.0;
    static constexpr double kZoomOutPercent = 85.0;
    // The share of the view an arrow key scrolls.
    static constexpr double kKeyScrollShare = 0.1;
    // How far from a curve's line, beyond half its width, the pointer still
    // rests on it, in pixels.
    static constexpr double kCurveHitPx = 4.0;
    // The names listed in the tooltip of the legend's "ほか N 件" line.
    static constexpr int kMaxLeftOutNames = 30;

    // The texts of the tooltips: a series' whole name, and the read-out of a
    // curve at a point (hours on the night axis, degrees). Without them the
    // series' title serves for both.
    using SeriesNameText = std::function<QString(SeriesId)>;
    using CurveReadoutText = std::function<QString(SeriesId, double xHours, double elevationDeg)>;

    explicit ElevationChart(QWidget *parent = nullptr);
    ~ElevationChart() override;

    // A new, empty, detached curve: a polyline without point markers, line
    // width 1 until set, colour automatic.
    SeriesId createLineSeries();
    // A new, empty, detached point series, colour automatic.
    SeriesId createPointSeries();
    // Appends the series to the chart, giving it the first free palette colour
    // if its colour is still automatic. Nothing happens when it is attached.
    void attachSeries(SeriesId series);
    // Detaches every series; they keep their points, title and colour.
    void detachAllSeries();
    // Frees a detached series the program will not use again (the curves of
    // an earlier plot); its handle is invalid afterwards.
    void releaseSeries(SeriesId series);
    void setSeriesTitle(SeriesId series, const QString &title);
    void setLineWidth(SeriesId series, int widthPx);
    void setLineStyle(SeriesId series, Qt::PenStyle style);
    // A colour of the series' own, never a palette colour it takes or holds.
    void setSeriesColour(SeriesId series, QRgb colour);
    // Inserts the point after every point whose X is <= x; returns its index.
    int addPoint(SeriesId series, double x, double y);
    // Inserts each of `points` in turn as addPoint does.
    void addPoints(SeriesId series, std::span<const QPointF> points);
    void clearSeries(SeriesId series);
    // The series gets no more points for now: it is stored in as little room
    // as its points allow (a night's curve in under 1 KB).
    void compactSeries(SeriesId series) { store_.compact(series); }
    // Replaces the X or the Y of point `index` in place, without re-sorting.
    void setPointValue(SeriesId series, ValueList list, int index, double value);
    // How a point series draws its points: half-extents in pixels (at least
    // 1) and whether the black outline shows.
    void setPointer(SeriesId series, bool outlineVisible, int horizSizePx, int vertSizePx);

    void setChartTitle(const QString &title);
    // Shades the plot's background for the darkness of the sky (twilight),
    // under the grid and the curves; an empty list shows the plain
    // background. Shown on screen, in print and in images alike.
    void setShadeBands(std::vector<ShadeBand> bands);
    const std::vector<ShadeBand> &shadeBands() const { return shadeBands_; }
    // Marks over the curves, whatever series are attached: moments on the
    // time axis and points on curves; empty lists take them away.
    void setAxisMarks(std::vector<AxisMark> marks);
    void setCurveMarks(std::vector<CurveMark> marks);
    const std::vector<AxisMark> &axisMarks() const { return axisMarks_; }
    const std::vector<CurveMark> &curveMarks() const { return curveMarks_; }
    // Narrows (percent > 100) or widens (percent < 100) every axis about its
    // centre by (percent - 100) % of its width at each end.
    void zoomByPercent(double percent);
    // Returns to the ranges in force before the first zoom or scroll since
    // start or since the last undo.
    void undoZoom();
    // Prints the chart on one page of `printer`, filling the page less 15 %
    // of its width left and right and 15 % of its height top and bottom, in a
    // job named after this widget (chtMirado). The chart is laid out for that
    // rectangle at the printer's resolution, so its text keeps its shape.
    // Raises mirado::Error when the job cannot be started or drawing fails;
    // the job is then aborted.
    void printChart(QPrinter &printer);
    // Where a printed chart lies on `page` (device pixels): the page less the
    // margins. And the size, in pixels at 96 per inch, it is laid out at to
    // fill that rectangle at the page's resolution.
    static QRectF PrintRect(const QPaintDevice &page);
    static QSize PrintLayoutSize(const QPaintDevice &page);

    // Draws the chart as laid out at `layoutSize` pixels, stretched into
    // `target`; works without a window.
    void renderChart(QPainter &painter, const QRectF &target, const QSize &layoutSize);
    // Draws the chart at `layoutSize` over the whole of `device` (an image, an
    // SVG generator, a PDF writer). Raises mirado::Error when the device
    // cannot be painted on.
    void renderChart(QPaintDevice &device, const QSize &layoutSize = kDesignSize);
    QImage renderImage(const QSize &size = kDesignSize);

    // A drawing of the chart for more curves than can be kept at once, the
    // same pixels as renderChart: the curves are given one at a time, each
    // drawn as the curve of an attached series and then forgotten. The
    // attached series (their titles make the legend) must stay as they are
    // until finish.
    class CurveStream
    {
    public:
        // Draws what lies under the curves over the whole of `device`, laid
        // out at `layoutSize`. Raises mirado::Error when the device cannot
        // be painted on.
        CurveStream(ElevationChart &chart, QPaintDevice &device, const QSize &layoutSize);
        ~CurveStream();
        CurveStream(const CurveStream &) = delete;
        CurveStream &operator=(const CurveStream &) = delete;

        // Draws `points` as the curve of `series`, in its colour and width,
        // over every curve drawn before.
        void drawCurve(SeriesId series, const SeriesPoints &points);
        // Draws what lies over the curves (the legend) and ends the drawing.
        void finish();

    private:
        ElevationChart &chart_;
        QPainter *painter_;
        QRectF target_;
        CurveLayer::Canvas canvas_;
        bool finished_ = false;
    };

    // Zoom animation, on by default; tests and benchmarks switch it off.
    void setAnimatedZoom(bool animated) { animatedZoom_ = animated; }
    bool isAnimatedZoom() const { return animatedZoom_; }

    AxisRange bottomRange() const { return zoom_.ranges().bottom; }
    AxisRange leftRange() const { return zoom_.ranges().left; }
    bool isRestored() const { return zoom_.isRestored(); }
    bool isZoomed() const { return zoom_.isZoomed(); }

    QString chartTitle() const { return title_; }
    const std::vector<SeriesId> &attachedSeries() const { return store_.attached(); }
    bool isAttached(SeriesId series) const { return store_.at(series).attached; }
    QString seriesTitle(SeriesId series) const { return store_.at(series).title; }
    QList<QPointF> seriesPoints(SeriesId series) const { return store_.at(series).points.toList(); }
    // Invalid while the colour is still automatic.
    QColor seriesColour(SeriesId series) const;
    int lineWidth(SeriesId series) const { return store_.at(series).lineWidthPx; }
    Qt::PenStyle lineStyle(SeriesId series) const { return store_.at(series).lineStyle; }
    PointerStyle pointer(SeriesId series) const { return store_.at(series).pointer; }

    QSize sizeHint() const override { return kDesignSize; }

    void setToolTipTexts(SeriesNameText name, CurveReadoutText readout);
    // The tooltip for the pointer at `chartPos`, in the chart's own pixels
    // (as plotArea); empty where there is none.
    QString toolTipAt(const QPointF &chartPos);

    // What is drawn at the moment, for tests.
    bool isLegendVisible();
    // The legend's lines as shown when laid out at `layoutSize` (the present
    // layout when empty), top to bottom.
    QStringList legendLines(const QSize &layoutSize = QSize());
    bool areTopAndRightAxesVisible();
    // The plot area in the chart's own pixels, counted from its top left
    // corner: this widget's coordinates once shown, a rendered image's when
    // rendered at the same size.
    QRectF plotArea();
    // The labels of the axis on `edge` of the plot as drawn when laid out at
    // `layoutSize` (the present layout when empty), left to right or top to
    // bottom; the top and right axes show while no series is attached. And
    // the legend's area.
    std::vector<AxisLabel> axisLabels(Qt::Edge edge, const QSize &layoutSize = QSize());
    std::vector<AxisLabel> bottomAxisLabels(const QSize &layoutSize = QSize())
    {
        return axisLabels(Qt::BottomEdge, layoutSize);
    }
    QRectF legendArea(const QSize &layoutSize = QSize());

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void scheduleUpdate();
    void updateEngine();
    void showRanges();
    void zoomTo(const AxisRanges &target);

    void startRubberBand(const QPoint &at);
    void finishRubberBand(const QPoint &at);
    void scrollBy(const QPoint &at);
    void shiftView(double shareX, double shareY);
    QString wholeName(SeriesId series) const;
    QString curveToolTipAt(const QPointF &chartPos);

    SeriesStore store_;
    ZoomState zoom_{kStandardRanges};
    QString title_;
    std::vector<ShadeBand> shadeBands_;
    std::vector<AxisMark> axisMarks_;
    std::vector<CurveMark> curveMarks_;
    bool animatedZoom_ = true;
    bool updatePending_ = false;

    SeriesNameText nameText_;
    CurveReadoutText readoutText_;

    std::unique_ptr<ChartScene> scene_;
    QRubberBand *rubberBand_ = nullptr;
    QPoint dragStart_;
    QPoint lastScrollPos_;
    Qt::MouseButton dragButton_ = Qt::NoButton;
};

} // namespace mirado
