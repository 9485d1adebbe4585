// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "curvelayer.h"
#include "seriesstore.h"
#include "zoom.h"

QT_FORWARD_DECLARE_CLASS(QChart)
QT_FORWARD_DECLARE_CLASS(QFont)
QT_FORWARD_DECLARE_CLASS(QFontMetricsF)
QT_FORWARD_DECLARE_CLASS(QChartView)
QT_FORWARD_DECLARE_CLASS(QGraphicsItem)
QT_FORWARD_DECLARE_CLASS(QPainter)
QT_FORWARD_DECLARE_CLASS(QValueAxis)
QT_FORWARD_DECLARE_CLASS(QWidget)
QT_FORWARD_DECLARE_CLASS(QXYSeries)

namespace mirado {

class CurveLayer;
class MarkLayer;
class PointerLayer;
class TwilightLayer;
struct AxisMark;
struct CurveMark;
struct ShadeBand;

// A label of an axis as drawn: its text and its place.
struct AxisLabel
{
    QString text;
    QRectF rect;
};

// A series title as a legend entry of `font` shows it: whitespace collapsed
// as markup collapses it, elided at the right to `maxWidthPx`.
QString LegendText(const QString &title, const QFont &font, qreal maxWidthPx);
// The width in pixels of LegendText(title, the font of `metrics`,
// maxWidthPx), measured with `metrics`.
qreal LegendTextWidth(const QString &title, const QFontMetricsF &metrics, qreal maxWidthPx);

// What the pointer rests on in the legend: the entry of `series`, or, when
// `more` is set, the last line standing for the series left out.
struct LegendHit
{
    SeriesId series{};
    bool more = false;
};

// The Qt Charts side of the elevation chart: a chart view with the chart's
// fixed appearance showing the attached series of a SeriesStore.
//
// The engine draws the frame, axes, title and legend; the curves and pointers
// are drawn by two layers of our own over the plot area. Engine series exist
// only as legend entries, and only for the entries the legend can show whole.
// When not every series fits, the last line reads "ほか N 件" for the N left
// out, and one hidden entry holds the widest title of the rest, which sets the
// legend's width as the full list would. Adding an engine series is the
// costly step (legend entry, theme, layout), so a plot of thousands of curves
// would otherwise cost seconds; this way it costs the same few dozen entries
// whatever the number of curves.
class ChartScene
{
public:
    // Builds the chart view as a child of `parent`, showing `store`, which
    // must outlive this object.
    ChartScene(QWidget *parent, const SeriesStore &store);
    ~ChartScene();
    ChartScene(const ChartScene &) = delete;
    ChartScene &operator=(const ChartScene &) = delete;

    QChartView *view() const { return view_; }

    void setTitle(const QString &title);
    QString title() const;

    // Makes the chart show exactly the attached series of the store, in
    // attach order, touching only what changed. Shows the legend while at
    // least one series is attached and the top and right axes while none is.
    void showSeries();
    void setRanges(const AxisRanges &ranges);
    // The darkness of the sky behind the plot; none by default.
    void setShadeBands(std::vector<ShadeBand> bands);
    // Marks over the curves: moments on the time axis, points on curves.
    void setAxisMarks(std::vector<AxisMark> marks);
    void setCurveMarks(std::vector<CurveMark> marks);

    // Lays the chart out to fill `size` pixels.
    void layOut(const QSize &size);
    QSize layoutSize() const;
    // The plot area in the chart's own coordinates: pixels from the chart's
    // top left corner at its present layout.
    QRectF plotArea() const;
    // A point of the view's viewport in the chart's coordinates.
    QPointF toChart(const QPoint &viewportPos) const;
    bool isLegendVisible() const;
    // The legend entry at `chartPos`, in the chart's coordinates.
    std::optional<LegendHit> legendEntryAt(const QPointF &chartPos) const;
    // The attached series the legend leaves out, in attach order.
    std::vector<SeriesId> leftOutOfLegend() const;
    // The legend's lines as shown at `layoutSize`, top to bottom.
    QStringList legendLines(const QSize &layoutSize);
    // The labels of the axis on `edge` of the plot as the engine draws them
    // at `layoutSize`, left to right or top to bottom, in the chart's
    // coordinates; and the legend's area there.
    std::vector<AxisLabel> axisLabels(Qt::Edge edge, const QSize &layoutSize);
    QRectF legendArea(const QSize &layoutSize);
    bool areTopAndRightAxesVisible() const;

    // Draws the whole chart, laid out at `layoutSize` pixels, stretched into
    // `target` of the painter's device. The on-screen layout is restored
    // afterwards.
    void render(QPainter &painter, const QRectF &target, const QSize &layoutSize);
    // The same drawing around the curves, for more curves than can be kept:
    // renderUnderCurves draws what lies under the curve layer (the attached
    // series' curves included) and returns how the layer paints there;
    // drawCurve draws one curve more over those; renderOverCurves draws what
    // lies over the curves. The layout stays at `layoutSize` until every
    // render begun this way is over.
    CurveLayer::Canvas renderUnderCurves(QPainter &painter, const QRectF &target,
                                         const QSize &layoutSize);
    void drawCurve(QPainter &painter, const CurveLayer::Canvas &canvas,
                   const CurveLayer::Curve &curve) const
    {
        curves_->drawOn(painter, canvas, curve);
    }
    void renderOverCurves(QPainter &painter, const QRectF &target);
    // Redraws the view at once, when it is on screen.
    void repaintNow();

private:
    // What a legend entry stands for.
    enum class EntryRole
    {
        Shown,     // an attached series, shown
        WidthOnly, // hidden: the widest title left out, for the legend's width
        More,      // the line counting the series left out
        Filler,    // a blank line after it, which keeps the lines at the top
    };
    // An engine series standing for one line of the legend.
    struct LegendEntry
    {
        SeriesId id;
        SeriesKind kind;
        QXYSeries *series;
        quint64 styleRevision;
        EntryRole role;
        std::size_t leftOut; // for the More line: how many it counts
    };
    // What a drawn curve or a legend entry was made from, to tell changes.
    struct Source
    {
        SeriesId id;
        quint64 pointsRevision;
        quint64 styleRevision;

        friend bool operator==(const Source &, const Source &) = default;
    };

    void buildAppearance();
    // Draws the scene items under the curve layer (the layer included), or
    // those over it.
    void renderPart(QPainter &painter, const QRectF &target, bool underCurves);
    void updateTicks();
    void updateCurves();
    void updateLegend();
    void addLegendEntry(const LegendEntry &wanted);
    void refreshLegendEntry(LegendEntry &entry, const LegendEntry &wanted);
    void styleLegendEntry(const LegendEntry &entry);
    // The number of entries the legend shows whole at its present layout;
    // the legend is filled again when it changed.
    void fitLegend();
    std::optional<std::size_t> measuredLegendFit() const;
    // The engine's items of the shown legend lines, top to bottom.
    std::vector<QGraphicsItem *> legendItems() const;
    void updatePointers();
    std::size_t legendCapacity(int heightPx) const;
    // A series title as its legend entry shows it: elided to the legend's
    // width.
    QString legendText(const QString &title) const;
    // The legend's largest width for a chart `chartWidthPx` wide; the entries
    // follow it.
    void setLegendWidth(int chartWidthPx);
    // The room one bottom label needs so the engine draws it whole.
    double bottomLabelSpacingPx() const;

    const SeriesStore &store_;
    QChartView *view_;
    QChart *chart_;
    QValueAxis *bottomAxis_;
    QValueAxis *leftAxis_;
    QValueAxis *topAxis_;
    QValueAxis *rightAxis_;
    CurveLayer *curves_;
    PointerLayer *pointers_;
    TwilightLayer *shades_;
    MarkLayer *marks_;
    std::vector<LegendEntry> legend_;
    // The number of entries the legend shows whole at the present layout.
    std::size_t legendFit_ = 0;
    bool legendMeasured_ = false;
    // The width a legend title may take before it is elided.
    qreal legendTextWidthPx_ = 1e9;
    // The widest legend text of the attached series from `from` on that the
    // legend cannot show, measured up to `measuredTo`, at `textWidthPx`.
    struct WidestRest
    {
        std::size_t from = 0;
        std::size_t measuredTo = 0;
        SeriesId id{};
        qreal px = -1.0;
        qreal textWidthPx = 0.0;
    };
    WidestRest widestRest_;
    std::vector<Source> curveSources_;
    std::vector<Source> legendSources_;
    AxisRanges ranges_;
    // The ranges the engine draws with: the last non-empty ones given.
    AxisRanges engineRanges_;
    bool rangesShown_ = false;
    int layeredRenders_ = 0;
    QSize layoutBeforeLayered_;
};

} // namespace mirado
