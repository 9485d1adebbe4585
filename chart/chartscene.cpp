// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartscene.h"

#include <QChart>
#include <QChartView>
#include <QFontMetricsF>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPainter>
#include <QResizeEvent>
#include <QScatterSeries>
#include <QTextDocumentFragment>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <functional>
#include <future>
#include <thread>
#include <utility>

#include "axislabel.h"
#include "curvelayer.h"
#include "marklayer.h"
#include "palette.h"
#include "platform/fonts.h"
#include "pointerlayer.h"
#include "twilightlayer.h"

namespace mirado {

namespace {

constexpr QRgb kPanelColour = qRgb(212, 208, 200);
// Margins between the chart's edge and its contents, as fractions of the
// chart's width (left, right) and height (top, bottom).
constexpr double kMarginFraction = 0.03;

constexpr int kTitleFontPx = 21;
constexpr int kAxisTitleFontPx = 21;
constexpr int kAxisLabelFontPx = 12;
constexpr int kLegendFontPx = 16;
constexpr int kTopRightAxisFontPx = 12;

constexpr double kBottomIncrementHours = 1.0;
constexpr double kLeftIncrementDeg = 10.0;
constexpr int kLeftMinorTicks = 5;
// Least distance between neighbouring labels of the left axis before the
// tick step grows.
constexpr double kMinLabelSpacingYPx = 16.0;
// The engine gives each bottom label the plot width over the number of labels,
// less this padding on either side, and elides a label that does not fit.
constexpr double kEngineLabelPaddingPx = 4.0;
constexpr double kLabelSlackPx = 2.0;
// The legend takes at most this share of the chart's width; longer titles are
// elided in it.
constexpr double kLegendWidthShare = 1.0 / 3.0;
// The colour sample and the paddings of a legend entry, in lines of its text.
constexpr double kLegendOverheadLines = 2.5;
constexpr const char *kBottomAxisTitle = "時間";
// How far a legend line may reach past the legend and still count as whole:
// rounding of the engine's layout.
constexpr double kFitSlackPx = 0.01;
// The legend's last line when not every series fits.
constexpr const char *kLegendMoreText = "ほか %1 件";
constexpr const char *kLeftAxisTitle = "天体高度";

// The chart view, which lays the chart out again whenever it is resized.
class ChartView : public QChartView
{
public:
    ChartView(QChart *chart, QWidget *parent, std::function<void(const QSize &)> layOut)
        : QChartView(chart, parent), layOut_(std::move(layOut))
    {}

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QChartView::resizeEvent(event);
        layOut_(event->size());
        // The base class pins the view to the chart's minimum size, which
        // follows the title, legend and labels; the window's own minimum size
        // is what should govern.
        setMinimumSize(0, 0);
    }

private:
    std::function<void(const QSize &)> layOut_;
};

void StyleAxis(QValueAxis *axis, const QFont &labelFont, const QFont &titleFont)
{
    axis->setLabelsFont(labelFont);
    axis->setLabelsBrush(Qt::black);
    axis->setTitleFont(titleFont);
    axis->setTitleBrush(Qt::black);
    axis->setLinePenColor(Qt::black);
    axis->setGridLineColor(Qt::black);
    // "#,##0.###": 17, 18, ... 31; 0, 10, ... 90; 1,000 when zoomed far out.
    axis->setLabelFormat(QString::fromLatin1(kEngineLabelFormat));
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setTickAnchor(0.0);
}

bool IsDrawable(const AxisRange &range)
{
    return range.min < range.max && std::isfinite(range.min) && std::isfinite(range.max);
}

// Engine text items read their text as HTML; titles are plain text.
QString PlainText(const QString &text)
{
    return text.toHtmlEscaped();
}

QColor SeriesColour(const SeriesData &data)
{
    return QColor(data.colour.value_or(kSeriesPalette.front()));
}

QPen CurvePen(const SeriesData &data)
{
    QPen pen(SeriesColour(data));
    pen.setWidth(data.lineWidthPx);
    pen.setStyle(data.lineStyle);
    return pen;
}

// An engine series for a legend entry. It holds no points: the curves and
// pointers are drawn by the layers.
QXYSeries *CreateEngineSeries(SeriesKind kind)
{
    if (kind == SeriesKind::Line) {
        auto *line = new QLineSeries;
        line->setPointsVisible(false);
        line->setPointLabelsVisible(false);
        return line;
    }
    auto *point = new QScatterSeries;
    point->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    return point;
}

void StyleEngineSeries(QXYSeries *series, const SeriesData &data, const QString &legendText)
{
    series->setName(PlainText(legendText));
    if (data.kind == SeriesKind::Line) {
        series->setPen(CurvePen(data));
    } else {
        series->setColor(SeriesColour(data));
        series->setPen(data.pointer.outlineVisible ? QPen(Qt::black) : QPen(Qt::NoPen));
    }
}

void SetLegendEntryVisible(QChart *chart, QXYSeries *series, bool visible)
{
    for (QLegendMarker *marker : chart->legend()->markers(series)) {
        marker->setVisible(visible);
    }
}

// The widest of the legend texts of series [first, last) of `ids`.
struct WidestTitle
{
    std::size_t index = 0; // the first of equals
    qreal px = 0.0;
};

// So many titles are measured half on another thread, with metrics of its
// own: the text engine gives every thread the same widths.
constexpr std::size_t kTitlesMeasuredOnTwoThreads = 1024;

std::optional<WidestTitle> WidestLegendText(const SeriesStore &store,
                                            const std::vector<SeriesId> &ids, std::size_t first,
                                            std::size_t last, const QFont &font, qreal maxWidthPx)
{
    const auto measure = [&](std::size_t from, std::size_t to) {
        std::optional<WidestTitle> widest;
        const QFontMetricsF metrics(font);
        for (std::size_t i = from; i < to; ++i) {
            const qreal px = LegendTextWidth(store.at(ids[i]).title, metrics, maxWidthPx);
            if (!widest || px > widest->px) {
                widest = WidestTitle{i, px};
            }
        }
        return widest;
    };
    if (last - first < kTitlesMeasuredOnTwoThreads || std::thread::hardware_concurrency() < 2) {
        return measure(first, last);
    }
    const std::size_t middle = first + (last - first) / 2;
    std::future<std::optional<WidestTitle>> secondHalf =
        std::async(std::launch::async | std::launch::deferred, measure, middle, last);
    const std::optional<WidestTitle> firstWidest = measure(first, middle);
    const std::optional<WidestTitle> secondWidest = secondHalf.get();
    return secondWidest && (!firstWidest || secondWidest->px > firstWidest->px) ? secondWidest
                                                                                : firstWidest;
}

} // namespace

QString LegendText(const QString &title, const QFont &font, qreal maxWidthPx)
{
    return QFontMetricsF(font).elidedText(title.simplified(), Qt::ElideRight, maxWidthPx);
}

// A title that fits is measured once: elision leaves alone a text whose
// width, in the text engine's 1/64 pixel units, is at most the limit cut
// down to those units.
qreal LegendTextWidth(const QString &title, const QFontMetricsF &metrics, qreal maxWidthPx)
{
    constexpr qreal kEngineUnitsPerPx = 64.0;
    // Marks the text engine reads specially: one text of several variants.
    constexpr char16_t kVariantSeparator = u'\x9c';
    const QString simple = title.simplified();
    if (!simple.contains(QChar(kVariantSeparator))) {
        const qreal wholePx = metrics.horizontalAdvance(simple);
        if (wholePx * kEngineUnitsPerPx <= static_cast<int>(maxWidthPx * kEngineUnitsPerPx)) {
            return wholePx;
        }
    }
    return metrics.horizontalAdvance(metrics.elidedText(simple, Qt::ElideRight, maxWidthPx));
}

ChartScene::ChartScene(QWidget *parent, const SeriesStore &store)
    : store_(store), chart_(new QChart), bottomAxis_(new QValueAxis), leftAxis_(new QValueAxis),
      topAxis_(new QValueAxis), rightAxis_(new QValueAxis)
{
    view_ = new ChartView(chart_, parent, [this](const QSize &size) { layOut(size); });
    curves_ = new CurveLayer(chart_);
    pointers_ = new PointerLayer(chart_);
    shades_ = new TwilightLayer(chart_);
    marks_ = new MarkLayer(chart_);
    buildAppearance();
    // Every change of the plot area (legend, size, print page) sets the tick
    // step anew, so the hour labels always fit.
    QObject::connect(chart_, &QChart::plotAreaChanged, chart_, [this](const QRectF &) {
        updateTicks();
        curves_->updatePlotArea();
        pointers_->updatePlotArea();
        shades_->updatePlotArea();
        marks_->updatePlotArea();
    });
}

ChartScene::~ChartScene()
{
    // The view, and with it the chart and the engine series, goes first, while
    // the callbacks into this object are still safe.
    QObject::disconnect(chart_, &QChart::plotAreaChanged, nullptr, nullptr);
    delete view_;
}

void ChartScene::buildAppearance()
{
    const QColor panel(kPanelColour);
    chart_->setBackgroundBrush(panel);
    chart_->setBackgroundPen(Qt::NoPen);
    chart_->setBackgroundRoundness(0.0);
    chart_->setDropShadowEnabled(false);
    chart_->setPlotAreaBackgroundVisible(false);
    chart_->layout()->setContentsMargins(0, 0, 0, 0);
    chart_->setAnimationOptions(QChart::NoAnimation);
    chart_->setTitleFont(PixelFont(kMsGothic, kTitleFontPx, true));
    chart_->setTitleBrush(Qt::black);
    chart_->setLocale(AxisLabelLocale());
    chart_->setLocalizeNumbers(true);

    view_->setFrameShape(QFrame::NoFrame);
    view_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view_->setBackgroundBrush(panel);
    view_->setRubberBand(QChartView::NoRubberBand);
    // Files dropped on the chart are the window's: the view takes no drops
    // of its own, so they pass on to the widgets it lies on.
    view_->setAcceptDrops(false);
    view_->viewport()->setAcceptDrops(false);
    // One rectangle around everything that changed is redrawn: the many small
    // changes of a new plot (title, labels, legend entries) cost one simple
    // clip instead of a clip of dozens of pieces.
    view_->setViewportUpdateMode(QGraphicsView::BoundingRectViewportUpdate);

    const QFont labelFont = PixelFont(kSystemFont, kAxisLabelFontPx);
    const QFont titleFont = PixelFont(kMsGothic, kAxisTitleFontPx, true);
    const QFont topRightFont = PixelFont(kMsPMincho, kTopRightAxisFontPx);
    StyleAxis(bottomAxis_, labelFont, titleFont);
    StyleAxis(leftAxis_, labelFont, titleFont);
    StyleAxis(topAxis_, topRightFont, topRightFont);
    StyleAxis(rightAxis_, topRightFont, topRightFont);
    bottomAxis_->setTitleText(QString::fromUtf8(kBottomAxisTitle));
    leftAxis_->setTitleText(QString::fromUtf8(kLeftAxisTitle));
    leftAxis_->setMinorTickCount(kLeftMinorTicks);
    leftAxis_->setMinorGridLineVisible(false);
    // Their grid lines would lie on those of the bottom and left axes.
    topAxis_->setGridLineVisible(false);
    rightAxis_->setGridLineVisible(false);
    chart_->addAxis(bottomAxis_, Qt::AlignBottom);
    chart_->addAxis(leftAxis_, Qt::AlignLeft);
    chart_->addAxis(topAxis_, Qt::AlignTop);
    chart_->addAxis(rightAxis_, Qt::AlignRight);

    QLegend *legend = chart_->legend();
    legend->setAlignment(Qt::AlignRight);
    legend->setFont(PixelFont(kMsGothic, kLegendFontPx));
    legend->setLabelColor(Qt::black);
    legend->setVisible(false);
}

void ChartScene::setTitle(const QString &title)
{
    chart_->setTitle(PlainText(title));
}

QString ChartScene::title() const
{
    return chart_->title();
}

void ChartScene::showSeries()
{
    updateCurves();
    updateLegend();
    const bool any = !store_.attached().empty();
    chart_->legend()->setVisible(any);
    topAxis_->setVisible(!any);
    rightAxis_->setVisible(!any);
    updatePointers();
    // Lay the legend out now rather than on a later pass of the event loop,
    // so the next paint shows it.
    chart_->layout()->activate();
    fitLegend();
}

void ChartScene::updateCurves()
{
    std::vector<Source> sources;
    sources.reserve(store_.attached().size());
    for (SeriesId id : store_.attached()) {
        const SeriesData &data = store_.at(id);
        if (data.kind == SeriesKind::Line) {
            sources.push_back({id, data.pointsRevision, data.styleRevision});
        }
    }
    // Unchanged curves keep their cached picture; curves added behind them,
    // as a running plot adds them, are drawn over it.
    if (sources == curveSources_) {
        return;
    }
    const bool appended = !curveSources_.empty() && sources.size() > curveSources_.size() &&
                          std::equal(curveSources_.begin(), curveSources_.end(), sources.begin());
    std::vector<CurveLayer::Curve> curves;
    curves.reserve(sources.size() - (appended ? curveSources_.size() : 0));
    for (std::size_t i = appended ? curveSources_.size() : 0; i < sources.size(); ++i) {
        // A series of fewer than two points draws nothing (an image's legend
        // entries hold none).
        const SeriesData &data = store_.at(sources[i].id);
        if (data.points.size() >= 2) {
            curves.push_back({data.points, SeriesColour(data), data.lineWidthPx, data.lineStyle});
        }
    }
    if (appended) {
        curves_->appendCurves(std::move(curves));
    } else {
        curves_->setCurves(std::move(curves));
    }
    curveSources_ = std::move(sources);
}

void ChartScene::updateLegend()
{
    const std::vector<SeriesId> &attached = store_.attached();
    std::vector<Source> sources;
    sources.reserve(attached.size());
    for (SeriesId id : attached) {
        sources.push_back({id, 0, store_.at(id).styleRevision});
    }
    if (sources == legendSources_) {
        return;
    }
    const std::size_t measured = legendSources_.size();
    const bool appended = measured > 0 && sources.size() > measured &&
                          std::equal(legendSources_.begin(), legendSources_.end(), sources.begin());
    legendSources_ = std::move(sources);

    // The entries that fit whole; when some are left out, the last place
    // counts them and a hidden entry holds the widest of their titles: the
    // legend is as wide as its widest entry, shown or not.
    std::vector<LegendEntry> wanted;
    const bool allFit = attached.size() <= legendFit_;
    const std::size_t shownCount =
        allFit ? attached.size() : legendFit_ - std::min<std::size_t>(legendFit_, 1);
    wanted.reserve(shownCount + 2);
    for (std::size_t i = 0; i < shownCount; ++i) {
        const SeriesData &data = store_.at(attached[i]);
        wanted.push_back(
            {attached[i], data.kind, nullptr, data.styleRevision, EntryRole::Shown, 0});
    }
    if (!allFit) {
        if (legendFit_ > 0) {
            wanted.push_back({SeriesId{}, SeriesKind::Line, nullptr, 0, EntryRole::More,
                              attached.size() - shownCount});
        }
        // The legend centres lines that fit and stacks from the top those that
        // do not: a blank line past the bottom keeps the shown ones where the
        // full list would put them.
        wanted.push_back({SeriesId{}, SeriesKind::Line, nullptr, 0, EntryRole::Filler, 0});
        // Only titles attached since the last measure are measured, so a
        // running plot does not measure its earlier titles again.
        if (!appended || widestRest_.from != shownCount || widestRest_.measuredTo != measured ||
            widestRest_.textWidthPx != legendTextWidthPx_) {
            widestRest_ = {shownCount, shownCount, attached[shownCount], -1.0, legendTextWidthPx_};
        }
        const std::optional<WidestTitle> widest =
            WidestLegendText(store_, attached, widestRest_.measuredTo, attached.size(),
                             chart_->legend()->font(), legendTextWidthPx_);
        if (widest && widest->px > widestRest_.px) {
            widestRest_.px = widest->px;
            widestRest_.id = attached[widest->index];
        }
        widestRest_.measuredTo = attached.size();
        const SeriesData &data = store_.at(widestRest_.id);
        wanted.push_back(
            {widestRest_.id, data.kind, nullptr, data.styleRevision, EntryRole::WidthOnly, 0});
    }

    // Engine series are reused in place while the kinds line up; from the
    // first mismatch on they are made anew, so the legend keeps attach order.
    std::size_t keep = 0;
    // The line that counts the rest has a blank colour sample of its own and
    // is never reused for a series.
    const auto isText = [](const LegendEntry &e) {
        return e.role == EntryRole::More || e.role == EntryRole::Filler;
    };
    const auto sameKind = [&](const LegendEntry &a, const LegendEntry &b) {
        return a.kind == b.kind && isText(a) == isText(b);
    };
    while (keep < legend_.size() && keep < wanted.size() && sameKind(legend_[keep], wanted[keep])) {
        ++keep;
    }
    while (legend_.size() > keep) {
        chart_->removeSeries(legend_.back().series);
        delete legend_.back().series;
        legend_.pop_back();
    }
    for (std::size_t i = 0; i < keep; ++i) {
        refreshLegendEntry(legend_[i], wanted[i]);
    }
    for (std::size_t i = keep; i < wanted.size(); ++i) {
        addLegendEntry(wanted[i]);
    }
}

void ChartScene::styleLegendEntry(const LegendEntry &entry)
{
    if (entry.role == EntryRole::More || entry.role == EntryRole::Filler) {
        // A line of text only: its colour sample is the panel's.
        entry.series->setName(entry.role == EntryRole::More
                                  ? PlainText(QString::fromUtf8(kLegendMoreText).arg(entry.leftOut))
                                  : QStringLiteral(" "));
        entry.series->setPen(QPen(QColor(kPanelColour)));
        for (QLegendMarker *marker : chart_->legend()->markers(entry.series)) {
            marker->setPen(QPen(QColor(kPanelColour)));
            marker->setBrush(QColor(kPanelColour));
        }
    } else {
        const SeriesData &data = store_.at(entry.id);
        StyleEngineSeries(entry.series, data, legendText(data.title));
    }
    SetLegendEntryVisible(chart_, entry.series, entry.role != EntryRole::WidthOnly);
}

void ChartScene::addLegendEntry(const LegendEntry &wanted)
{
    LegendEntry entry = wanted;
    entry.series = CreateEngineSeries(wanted.kind);
    if (wanted.role != EntryRole::More) {
        StyleEngineSeries(entry.series, store_.at(wanted.id),
                          legendText(store_.at(wanted.id).title));
    }
    chart_->addSeries(entry.series);
    if (wanted.role != EntryRole::Shown) {
        styleLegendEntry(entry);
    }
    legend_.push_back(entry);
}

void ChartScene::refreshLegendEntry(LegendEntry &entry, const LegendEntry &wanted)
{
    const bool changed = entry.id != wanted.id || entry.styleRevision != wanted.styleRevision ||
                         entry.role != wanted.role || entry.leftOut != wanted.leftOut;
    QXYSeries *series = entry.series;
    entry = wanted;
    entry.series = series;
    if (changed) {
        styleLegendEntry(entry);
    }
}

std::vector<QGraphicsItem *> ChartScene::legendItems() const
{
    // The engine's item of a legend line, found by its class: the legend
    // offers no other way to its place.
    std::vector<QGraphicsItem *> items;
    std::vector<QGraphicsItem *> pending{chart_->legend()};
    while (!pending.empty()) {
        QGraphicsItem *item = pending.back();
        pending.pop_back();
        const QGraphicsObject *object = item->toGraphicsObject();
        if (object && item != chart_->legend() &&
            qstrcmp(object->metaObject()->className(), "LegendMarkerItem") == 0) {
            // Hidden lines are hidden themselves; the legend may hide them
            // all, as a group, until it is laid out.
            if (item->isVisibleTo(item->parentItem())) {
                items.push_back(item);
            }
            continue;
        }
        const QList<QGraphicsItem *> children = item->childItems();
        pending.insert(pending.end(), children.begin(), children.end());
    }
    std::sort(items.begin(), items.end(), [](QGraphicsItem *a, QGraphicsItem *b) {
        return a->scenePos().y() < b->scenePos().y();
    });
    return items;
}

std::optional<std::size_t> ChartScene::measuredLegendFit() const
{
    // The lines, all of one height, that fit inside the legend's contents.
    // The legend then centres them and cuts none: when they overflow, it
    // stacks them from the top and cuts off, in part, what reaches below.
    const std::vector<QGraphicsItem *> items = legendItems();
    const qreal lineHeight = items.empty() ? 0.0 : items.front()->boundingRect().height();
    if (lineHeight <= 0.0) {
        return std::nullopt;
    }
    qreal left = 0.0, top = 0.0, right = 0.0, bottom = 0.0;
    if (chart_->legend()->layout()) {
        chart_->legend()->layout()->getContentsMargins(&left, &top, &right, &bottom);
    }
    const qreal roomPx = chart_->legend()->geometry().height() - top - bottom + kFitSlackPx;
    return static_cast<std::size_t>(std::max(0.0, std::floor(roomPx / lineHeight)));
}

void ChartScene::fitLegend()
{
    if (store_.attached().empty()) {
        return;
    }
    chart_->layout()->activate();
    const std::optional<std::size_t> fit = measuredLegendFit();
    if (!fit) {
        return;
    }
    legendMeasured_ = true;
    if (*fit != legendFit_) {
        legendFit_ = *fit;
        legendSources_.clear();
        updateLegend();
        // The legend places its new lines when its own layout runs; the
        // chart's does not run it when the legend keeps its place.
        chart_->layout()->activate();
        chart_->legend()->layout()->activate();
    }
}

std::optional<LegendHit> ChartScene::legendEntryAt(const QPointF &chartPos) const
{
    if (!chart_->legend()->isVisible()) {
        return std::nullopt;
    }
    const std::vector<QGraphicsItem *> items = legendItems();
    std::vector<const LegendEntry *> lines;
    for (const LegendEntry &entry : legend_) {
        if (entry.role != EntryRole::WidthOnly) {
            lines.push_back(&entry);
        }
    }
    if (items.size() != lines.size()) {
        return std::nullopt;
    }
    const QRectF shown = chart_->legend()->sceneBoundingRect();
    for (std::size_t i = 0; i < items.size(); ++i) {
        const QRectF rect = items[i]->sceneBoundingRect().intersected(shown);
        if (rect.contains(chartPos) && lines[i]->role != EntryRole::Filler) {
            return LegendHit{lines[i]->id, lines[i]->role == EntryRole::More};
        }
    }
    return std::nullopt;
}

std::vector<SeriesId> ChartScene::leftOutOfLegend() const
{
    std::size_t shown = 0;
    for (const LegendEntry &entry : legend_) {
        shown += entry.role == EntryRole::Shown ? 1 : 0;
    }
    const std::vector<SeriesId> &attached = store_.attached();
    return {attached.begin() + static_cast<std::ptrdiff_t>(std::min(shown, attached.size())),
            attached.end()};
}

QStringList ChartScene::legendLines(const QSize &layoutSize)
{
    const QSize shown = this->layoutSize();
    if (layoutSize != shown) {
        layOut(layoutSize);
    }
    QStringList lines;
    for (const LegendEntry &entry : legend_) {
        if (entry.role != EntryRole::WidthOnly && entry.role != EntryRole::Filler) {
            lines << QTextDocumentFragment::fromHtml(entry.series->name()).toPlainText();
        }
    }
    if (layoutSize != shown) {
        layOut(shown);
    }
    return lines;
}

void ChartScene::updatePointers()
{
    std::vector<PointerLayer::Pointers> pointers;
    for (SeriesId id : store_.attached()) {
        const SeriesData &data = store_.at(id);
        if (data.kind == SeriesKind::Point) {
            pointers.push_back({data.points.toList(), SeriesColour(data), data.pointer});
        }
    }
    pointers_->setPointers(std::move(pointers));
}

std::size_t ChartScene::legendCapacity(int heightPx) const
{
    // No entry is lower than a line of the legend's text: an estimate from
    // above, until the legend is laid out and measured.
    const qreal lineHeight = QFontMetricsF(chart_->legend()->font()).height();
    if (heightPx <= 0 || lineHeight <= 0.0) {
        return 1;
    }
    return static_cast<std::size_t>(std::ceil(heightPx / lineHeight));
}

void ChartScene::setRanges(const AxisRanges &ranges)
{
    // The same ranges again (the clock's once-a-second zoom by 100 %) change
    // nothing and redraw nothing.
    if (rangesShown_ && ranges == ranges_) {
        return;
    }
    rangesShown_ = true;
    ranges_ = ranges;
    // The axes keep their last proper range when given an empty or reversed
    // one, and the curves follow the axes.
    if (IsDrawable(ranges.bottom)) {
        bottomAxis_->setRange(ranges.bottom.min, ranges.bottom.max);
        topAxis_->setRange(ranges.bottom.min, ranges.bottom.max);
        engineRanges_.bottom = ranges.bottom;
    }
    if (IsDrawable(ranges.left)) {
        leftAxis_->setRange(ranges.left.min, ranges.left.max);
        rightAxis_->setRange(ranges.left.min, ranges.left.max);
        engineRanges_.left = ranges.left;
    }
    updateTicks();
    curves_->setRanges(engineRanges_);
    shades_->setRanges(engineRanges_);
    marks_->setRanges(engineRanges_);
    pointers_->setRanges(ranges);
}

QString ChartScene::legendText(const QString &title) const
{
    return LegendText(title, chart_->legend()->font(), legendTextWidthPx_);
}

void ChartScene::setLegendWidth(int chartWidthPx)
{
    // The colour sample and the engine's paddings take their share of the
    // legend's width; the title has the rest.
    const QFontMetricsF metrics(chart_->legend()->font());
    const qreal widthPx = std::floor(chartWidthPx * kLegendWidthShare);
    const qreal textPx =
        std::max(metrics.height(), widthPx - kLegendOverheadLines * metrics.height());
    chart_->legend()->setMaximumWidth(widthPx);
    if (textPx == legendTextWidthPx_) {
        return;
    }
    legendTextWidthPx_ = textPx;
    // Every entry is named again for the new width.
    legendSources_.clear();
    for (LegendEntry &entry : legend_) {
        styleLegendEntry(entry);
    }
    updateLegend();
}

double ChartScene::bottomLabelSpacingPx() const
{
    // The widest label the range can show, with the engine's padding.
    const QFontMetricsF metrics(bottomAxis_->labelsFont());
    qreal widest = 0.0;
    for (const double value : {std::floor(ranges_.bottom.min), std::ceil(ranges_.bottom.max)}) {
        if (std::isfinite(value)) {
            widest = std::max(widest, metrics.boundingRect(FormatAxisLabel(value)).width());
        }
    }
    return widest + 2.0 * kEngineLabelPaddingPx + kLabelSlackPx;
}

void ChartScene::updateTicks()
{
    const QRectF plot = chart_->plotArea();
    // One label more than steps: the engine shares the width among labels.
    const double spacing = bottomLabelSpacingPx();
    const double bottomInterval =
        TickInterval(ranges_.bottom.span(), kBottomIncrementHours, plot.width() - spacing, spacing);
    const double leftInterval =
        TickInterval(ranges_.left.span(), kLeftIncrementDeg, plot.height(), kMinLabelSpacingYPx);
    bottomAxis_->setTickInterval(bottomInterval);
    topAxis_->setTickInterval(bottomInterval);
    leftAxis_->setTickInterval(leftInterval);
    rightAxis_->setTickInterval(leftInterval);
}

void ChartScene::layOut(const QSize &size)
{
    // Before the legend is measured, as many entries as could fit; then
    // exactly those that fit whole.
    if (!legendMeasured_ && legendCapacity(size.height()) > legendFit_) {
        legendFit_ = legendCapacity(size.height());
        legendSources_.clear();
        updateLegend();
    }
    setLegendWidth(size.width());
    const int marginX = static_cast<int>(std::lround(size.width() * kMarginFraction));
    const int marginY = static_cast<int>(std::lround(size.height() * kMarginFraction));
    chart_->setMargins(QMargins(marginX, marginY, marginX, marginY));
    chart_->resize(QSizeF(size));
    chart_->layout()->activate();
    // The chart's own coordinates are the view's, shown or not.
    view_->setSceneRect(QRectF(QPointF(0, 0), QSizeF(size)));
    fitLegend();
    updateTicks();
}

QSize ChartScene::layoutSize() const
{
    return chart_->size().toSize();
}

QRectF ChartScene::plotArea() const
{
    chart_->layout()->activate();
    return chart_->mapRectToScene(chart_->plotArea());
}

QPointF ChartScene::toChart(const QPoint &viewportPos) const
{
    return view_->mapToScene(viewportPos);
}

bool ChartScene::isLegendVisible() const
{
    return chart_->legend()->isVisible();
}

bool ChartScene::areTopAndRightAxesVisible() const
{
    return topAxis_->isVisible() && rightAxis_->isVisible();
}

std::vector<AxisLabel> ChartScene::axisLabels(Qt::Edge edge, const QSize &layoutSize)
{
    const QSize shown = this->layoutSize();
    if (layoutSize != shown) {
        layOut(layoutSize);
    }
    chart_->layout()->activate();
    const QRectF plot = plotArea();
    const QStringList titles{chart_->title(), bottomAxis_->titleText(), leftAxis_->titleText()};
    // Beside the plot on that side, along its length: the labels, not the
    // titles.
    const auto isLabel = [&](const QRectF &rect) {
        const QPointF centre = rect.center();
        const bool alongX = centre.x() >= plot.left() - 1.0 && centre.x() <= plot.right() + 1.0;
        const bool alongY = centre.y() >= plot.top() - 1.0 && centre.y() <= plot.bottom() + 1.0;
        switch (edge) {
        case Qt::BottomEdge:
            return alongX && centre.y() > plot.bottom() &&
                   rect.top() <= plot.bottom() + rect.height();
        case Qt::TopEdge:
            return alongX && centre.y() < plot.top() && rect.bottom() >= plot.top() - rect.height();
        case Qt::LeftEdge:
            return alongY && centre.x() < plot.left() &&
                   rect.right() >= plot.left() - rect.height();
        case Qt::RightEdge:
            return alongY && centre.x() > plot.right() &&
                   rect.left() <= plot.right() + rect.height();
        }
        return false;
    };
    std::vector<AxisLabel> labels;
    for (QGraphicsItem *item : chart_->scene()->items()) {
        const auto *text = dynamic_cast<QGraphicsTextItem *>(item);
        if (!text || !text->isVisible()) {
            continue;
        }
        const QRectF rect = text->sceneBoundingRect();
        const QString plain = text->toPlainText();
        if (plain.isEmpty() || titles.contains(plain) || !isLabel(rect)) {
            continue;
        }
        labels.push_back({plain, rect});
    }
    const bool across = edge == Qt::BottomEdge || edge == Qt::TopEdge;
    std::sort(labels.begin(), labels.end(), [across](const AxisLabel &a, const AxisLabel &b) {
        return across ? a.rect.left() < b.rect.left() : a.rect.top() < b.rect.top();
    });
    if (layoutSize != shown) {
        layOut(shown);
    }
    return labels;
}

QRectF ChartScene::legendArea(const QSize &layoutSize)
{
    const QSize shown = this->layoutSize();
    if (layoutSize != shown) {
        layOut(layoutSize);
    }
    chart_->layout()->activate();
    const QRectF area = chart_->legend()->sceneBoundingRect();
    if (layoutSize != shown) {
        layOut(shown);
    }
    return area;
}

void ChartScene::render(QPainter &painter, const QRectF &target, const QSize &layoutSize)
{
    const QSize shown = this->layoutSize();
    const bool relayout = layoutSize != shown;
    if (relayout) {
        layOut(layoutSize);
    } else {
        // Title, legend and axis changes are laid out lazily; settle them.
        chart_->layout()->activate();
    }
    chart_->scene()->render(&painter, target, chart_->mapRectToScene(chart_->rect()),
                            Qt::IgnoreAspectRatio);
    if (relayout) {
        layOut(shown);
    }
}

CurveLayer::Canvas ChartScene::renderUnderCurves(QPainter &painter, const QRectF &target,
                                                 const QSize &layoutSize)
{
    if (layeredRenders_++ == 0) {
        layoutBeforeLayered_ = this->layoutSize();
    }
    if (layoutSize != this->layoutSize()) {
        layOut(layoutSize);
    } else {
        chart_->layout()->activate();
    }
    CurveLayer::Canvas canvas;
    curves_->setCapture(&canvas);
    renderPart(painter, target, true);
    curves_->setCapture(nullptr);
    return canvas;
}

void ChartScene::renderOverCurves(QPainter &painter, const QRectF &target)
{
    renderPart(painter, target, false);
    if (--layeredRenders_ == 0 && layoutBeforeLayered_ != layoutSize()) {
        layOut(layoutBeforeLayered_);
    }
}

void ChartScene::renderPart(QPainter &painter, const QRectF &target, bool underCurves)
{
    // Items of the other part keep their place and their children but paint
    // nothing; the curve layer's ancestors paint with the part under it.
    const QList<QGraphicsItem *> order = chart_->scene()->items(Qt::AscendingOrder);
    const qsizetype curvesAt = order.indexOf(curves_);
    std::vector<QGraphicsItem *> silenced;
    for (qsizetype i = 0; i < order.size(); ++i) {
        QGraphicsItem *item = order[i];
        const bool under = i <= curvesAt || item->isAncestorOf(curves_);
        if (under != underCurves && !(item->flags() & QGraphicsItem::ItemHasNoContents)) {
            item->setFlag(QGraphicsItem::ItemHasNoContents, true);
            silenced.push_back(item);
        }
    }
    chart_->scene()->render(&painter, target, chart_->mapRectToScene(chart_->rect()),
                            Qt::IgnoreAspectRatio);
    for (QGraphicsItem *item : silenced) {
        item->setFlag(QGraphicsItem::ItemHasNoContents, false);
    }
}

void ChartScene::repaintNow()
{
    if (view_->isVisible()) {
        chart_->layout()->activate();
        view_->viewport()->repaint();
    }
}

void ChartScene::setShadeBands(std::vector<ShadeBand> bands)
{
    curves_->setOutlined(!bands.empty());
    marks_->setOutlined(!bands.empty());
    shades_->setBands(std::move(bands));
}

void ChartScene::setAxisMarks(std::vector<AxisMark> marks)
{
    marks_->setAxisMarks(std::move(marks));
}

void ChartScene::setCurveMarks(std::vector<CurveMark> marks)
{
    marks_->setCurveMarks(std::move(marks));
}

} // namespace mirado
