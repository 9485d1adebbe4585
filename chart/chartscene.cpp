// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartscene.h"

#include <QChart>
#include <QChartView>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QLegend>
#include <QLineSeries>
#include <QPainter>
#include <QResizeEvent>
#include <QScatterSeries>
#include <QValueAxis>

#include <cmath>
#include <functional>
#include <utility>

#include "fonts.h"
#include "palette.h"
#include "pointerlayer.h"

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
// Least distance between neighbouring labels before the tick step grows.
constexpr double kMinLabelSpacingXPx = 22.0;
constexpr double kMinLabelSpacingYPx = 16.0;
// Labels as whole numbers where the value is one: 17, 18, ... 31; 0, 10, ... 90.
constexpr const char *kAxisLabelFormat = "%g";

constexpr const char *kBottomAxisTitle = "時間";
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
    axis->setLabelFormat(kAxisLabelFormat);
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

QXYSeries *CreateEngineSeries(SeriesKind kind)
{
    if (kind == SeriesKind::Line) {
        auto *line = new QLineSeries;
        line->setPointsVisible(false);
        line->setPointLabelsVisible(false);
        return line;
    }
    // Only the legend entry and the axis binding come from the engine; the
    // pointers themselves are drawn by the pointer layer.
    auto *point = new QScatterSeries;
    point->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    return point;
}

void StyleEngineSeries(QXYSeries *series, const SeriesData &data)
{
    const QColor colour(data.colour.value_or(kSeriesPalette.front()));
    series->setName(PlainText(data.title));
    if (data.kind == SeriesKind::Line) {
        QPen pen(colour);
        pen.setWidth(data.lineWidthPx);
        series->setPen(pen);
    } else {
        series->setColor(colour);
        series->setPen(data.pointer.outlineVisible ? QPen(Qt::black) : QPen(Qt::NoPen));
    }
}

} // namespace

ChartScene::ChartScene(QWidget *parent)
    : chart_(new QChart), bottomAxis_(new QValueAxis), leftAxis_(new QValueAxis),
      topAxis_(new QValueAxis), rightAxis_(new QValueAxis)
{
    view_ = new ChartView(chart_, parent, [this](const QSize &size) { layOut(size); });
    pointers_ = new PointerLayer(chart_);
    buildAppearance();
    QObject::connect(chart_, &QChart::plotAreaChanged, chart_,
                     [this](const QRectF &) { pointers_->updatePlotArea(); });
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

    view_->setFrameShape(QFrame::NoFrame);
    view_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    view_->setBackgroundBrush(panel);
    view_->setRubberBand(QChartView::NoRubberBand);

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

void ChartScene::showSeries(const SeriesStore &store)
{
    const std::vector<SeriesId> &attached = store.attached();

    // Engine series are reused in place while the kinds line up; from the
    // first mismatch on they are made anew, so the legend keeps attach order.
    std::size_t keep = 0;
    while (keep < slots_.size() && keep < attached.size() &&
           slots_[keep].kind == store.at(attached[keep]).kind) {
        ++keep;
    }
    while (slots_.size() > keep) {
        chart_->removeSeries(slots_.back().series);
        delete slots_.back().series;
        slots_.pop_back();
    }
    for (std::size_t i = 0; i < keep; ++i) {
        refreshSlot(slots_[i], attached[i], store.at(attached[i]));
    }
    for (std::size_t i = keep; i < attached.size(); ++i) {
        addSlot(attached[i], store.at(attached[i]));
    }

    const bool any = !attached.empty();
    chart_->legend()->setVisible(any);
    topAxis_->setVisible(!any);
    rightAxis_->setVisible(!any);
    updatePointers(store);
    // Lay the legend out now rather than on a later pass of the event loop,
    // so the next paint shows it.
    chart_->layout()->activate();
}

void ChartScene::addSlot(SeriesId id, const SeriesData &data)
{
    QXYSeries *series = CreateEngineSeries(data.kind);
    StyleEngineSeries(series, data);
    // Binding an empty series and filling it afterwards computes its geometry
    // once instead of once per step.
    chart_->addSeries(series);
    series->attachAxis(bottomAxis_);
    series->attachAxis(leftAxis_);
    if (data.kind == SeriesKind::Line) {
        series->replace(data.points);
    }
    slots_.push_back({id, data.kind, series, data.pointsRevision, data.styleRevision});
}

void ChartScene::refreshSlot(Slot &slot, SeriesId id, const SeriesData &data)
{
    const bool rebound = slot.id != id;
    if (rebound || slot.styleRevision != data.styleRevision) {
        StyleEngineSeries(slot.series, data);
    }
    if ((rebound || slot.pointsRevision != data.pointsRevision) && data.kind == SeriesKind::Line) {
        slot.series->replace(data.points);
    }
    slot = {id, data.kind, slot.series, data.pointsRevision, data.styleRevision};
}

void ChartScene::updatePointers(const SeriesStore &store)
{
    std::vector<PointerLayer::Pointers> pointers;
    for (const Slot &slot : slots_) {
        if (slot.kind == SeriesKind::Point) {
            const SeriesData &data = store.at(slot.id);
            pointers.push_back(
                {data.points, QColor(data.colour.value_or(kSeriesPalette.front())), data.pointer});
        }
    }
    pointers_->setPointers(std::move(pointers));
}

void ChartScene::setRanges(const AxisRanges &ranges)
{
    ranges_ = ranges;
    // The engine keeps its last proper range when given an empty or reversed
    // one.
    if (IsDrawable(ranges.bottom)) {
        bottomAxis_->setRange(ranges.bottom.min, ranges.bottom.max);
        topAxis_->setRange(ranges.bottom.min, ranges.bottom.max);
    }
    if (IsDrawable(ranges.left)) {
        leftAxis_->setRange(ranges.left.min, ranges.left.max);
        rightAxis_->setRange(ranges.left.min, ranges.left.max);
    }
    updateTicks();
    pointers_->setRanges(ranges);
}

void ChartScene::updateTicks()
{
    const QRectF plot = chart_->plotArea();
    const double bottomInterval = TickInterval(ranges_.bottom.span(), kBottomIncrementHours,
                                               plot.width(), kMinLabelSpacingXPx);
    const double leftInterval =
        TickInterval(ranges_.left.span(), kLeftIncrementDeg, plot.height(), kMinLabelSpacingYPx);
    bottomAxis_->setTickInterval(bottomInterval);
    topAxis_->setTickInterval(bottomInterval);
    leftAxis_->setTickInterval(leftInterval);
    rightAxis_->setTickInterval(leftInterval);
}

void ChartScene::layOut(const QSize &size)
{
    const int marginX = static_cast<int>(std::lround(size.width() * kMarginFraction));
    const int marginY = static_cast<int>(std::lround(size.height() * kMarginFraction));
    chart_->setMargins(QMargins(marginX, marginY, marginX, marginY));
    chart_->resize(QSizeF(size));
    chart_->layout()->activate();
    // The chart's own coordinates are the view's, shown or not.
    view_->setSceneRect(QRectF(QPointF(0, 0), QSizeF(size)));
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

void ChartScene::repaintNow()
{
    if (view_->isVisible()) {
        chart_->layout()->activate();
        view_->viewport()->repaint();
    }
}

} // namespace mirado
