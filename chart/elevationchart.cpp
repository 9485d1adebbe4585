// SPDX-License-Identifier: GPL-3.0-or-later
#include "elevationchart.h"

#include <QChartView>
#include <QElapsedTimer>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPrinter>
#include <QRubberBand>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

#include "chartscene.h"
#include "curvehit.h"
#include "data/errors.h"
#include "palette.h"

namespace mirado {

namespace {

constexpr const char *kInitialTitle = "Mirado";
constexpr const char *kComponentName = "chtMirado";
// Share of the page's width (left and right) and height (top and bottom) left
// blank around a printed chart.
constexpr double kPrintMarginFraction = 0.15;
// Time after which an animated zoom skips its remaining frames.
constexpr qint64 kZoomAnimationBudgetMs = 120;
// The resolution the chart's pixel sizes (fonts, lines, margins) are meant at.
constexpr double kLayoutDpi = 96.0;

// Ends the list of names in the tooltip of the legend's "ほか N 件" line when
// it is cut short.
constexpr const char *kMoreNamesText = "…";
// How far the pointer moves before a tooltip goes, in pixels.
constexpr int kToolTipRadiusPx = 2;

constexpr const char *kPrintStartFailedText = "印刷を開始できません";
constexpr const char *kPrintFailedText = "印刷できませんでした";
constexpr const char *kRenderStartFailedText = "グラフを描画できません";

} // namespace

ElevationChart::ElevationChart(QWidget *parent)
    : QWidget(parent), title_(QString::fromUtf8(kInitialTitle)),
      scene_(std::make_unique<ChartScene>(this, store_))
{
    setObjectName(kComponentName);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scene_->view());

    // The title and the ranges before the one layout at the design size,
    // where the widget stays until it is first shown: the engine lays the
    // axes' labels out anew at every change once the axes have their place.
    // No series is attached yet, which the scene shows from the start.
    scene_->setTitle(title_);
    scene_->setRanges(zoom_.ranges());
    scene_->layOut(kDesignSize);

    // The chart itself takes the focus, by a click on the view or by Tab.
    setFocusPolicy(Qt::StrongFocus);
    scene_->view()->setFocusPolicy(Qt::NoFocus);
    QWidget *viewport = scene_->view()->viewport();
    viewport->installEventFilter(this);
    rubberBand_ = new QRubberBand(QRubberBand::Rectangle, viewport);
}

ElevationChart::~ElevationChart()
{
    scene_->view()->viewport()->removeEventFilter(this);
}

SeriesId ElevationChart::createLineSeries()
{
    return store_.create(SeriesKind::Line);
}

SeriesId ElevationChart::createPointSeries()
{
    return store_.create(SeriesKind::Point);
}

void ElevationChart::attachSeries(SeriesId series)
{
    if (store_.attach(series)) {
        scheduleUpdate();
    }
}

void ElevationChart::detachAllSeries()
{
    store_.detachAll();
    scheduleUpdate();
}

void ElevationChart::releaseSeries(SeriesId series)
{
    store_.release(series);
}

void ElevationChart::setSeriesTitle(SeriesId series, const QString &title)
{
    store_.setTitle(series, title);
    scheduleUpdate();
}

void ElevationChart::setLineWidth(SeriesId series, int widthPx)
{
    store_.setLineWidth(series, widthPx);
    scheduleUpdate();
}

void ElevationChart::setLineStyle(SeriesId series, Qt::PenStyle style)
{
    store_.setLineStyle(series, style);
    scheduleUpdate();
}

void ElevationChart::setSeriesColour(SeriesId series, QRgb colour)
{
    store_.setColour(series, colour);
    scheduleUpdate();
}

int ElevationChart::addPoint(SeriesId series, double x, double y)
{
    const int index = store_.addPoint(series, x, y);
    scheduleUpdate();
    return index;
}

void ElevationChart::addPoints(SeriesId series, std::span<const QPointF> points)
{
    store_.addPoints(series, points);
    scheduleUpdate();
}

void ElevationChart::clearSeries(SeriesId series)
{
    store_.clear(series);
    scheduleUpdate();
}

void ElevationChart::setPointValue(SeriesId series, ValueList list, int index, double value)
{
    store_.setPointValue(series, list, index, value);
    scheduleUpdate();
}

void ElevationChart::setPointer(SeriesId series, bool outlineVisible, int horizSizePx,
                                int vertSizePx)
{
    store_.setPointer(series, {outlineVisible, horizSizePx, vertSizePx});
    scheduleUpdate();
}

void ElevationChart::setChartTitle(const QString &title)
{
    title_ = title;
    scene_->setTitle(title);
}

void ElevationChart::setShadeBands(std::vector<ShadeBand> bands)
{
    shadeBands_ = bands;
    scene_->setShadeBands(std::move(bands));
    update();
}

void ElevationChart::setAxisMarks(std::vector<AxisMark> marks)
{
    axisMarks_ = marks;
    scene_->setAxisMarks(std::move(marks));
    update();
}

void ElevationChart::setCurveMarks(std::vector<CurveMark> marks)
{
    curveMarks_ = marks;
    scene_->setCurveMarks(std::move(marks));
    update();
}

void ElevationChart::zoomByPercent(double percent)
{
    zoomTo(ZoomedRanges(zoom_.ranges(), percent));
}

void ElevationChart::undoZoom()
{
    zoom_.undo();
    showRanges();
}

void ElevationChart::zoomTo(const AxisRanges &target)
{
    updateEngine();
    zoom_.takeUndoPoint();
    // Frames are only worth drawing where someone can see them. On a chart
    // so full that drawing them drags, the remaining frames are left out.
    if (animatedZoom_ && isVisible() && target != zoom_.ranges()) {
        QElapsedTimer clock;
        clock.start();
        for (const AxisRanges &frame : ZoomFrames(zoom_.ranges(), target, kZoomFrames)) {
            if (clock.elapsed() > kZoomAnimationBudgetMs) {
                break;
            }
            zoom_.setRanges(frame);
            showRanges();
            scene_->repaintNow();
        }
    }
    zoom_.finishZoom(target);
    showRanges();
}

void ElevationChart::showRanges()
{
    scene_->setRanges(zoom_.ranges());
}

void ElevationChart::printChart(QPrinter &printer)
{
    updateEngine();
    printer.setDocName(objectName());
    QPainter painter;
    if (!painter.begin(&printer)) {
        printer.abort();
        throw Error(kPrintStartFailedText);
    }
    const QRectF target = PrintRect(printer);
    const QSize layoutSize = PrintLayoutSize(printer);
    try {
        scene_->render(painter, target, layoutSize);
    } catch (...) {
        printer.abort();
        painter.end();
        throw;
    }
    if (printer.printerState() == QPrinter::Error) {
        printer.abort();
        painter.end();
        throw Error(kPrintFailedText);
    }
    if (!painter.end()) {
        throw Error(kPrintFailedText);
    }
}

QRectF ElevationChart::PrintRect(const QPaintDevice &page)
{
    const double width = page.width();
    const double height = page.height();
    return QRectF(width * kPrintMarginFraction, height * kPrintMarginFraction,
                  width * (1.0 - 2.0 * kPrintMarginFraction),
                  height * (1.0 - 2.0 * kPrintMarginFraction));
}

QSize ElevationChart::PrintLayoutSize(const QPaintDevice &page)
{
    const QRectF target = PrintRect(page);
    return QSize(std::max(1, qRound(target.width() * kLayoutDpi / page.logicalDpiX())),
                 std::max(1, qRound(target.height() * kLayoutDpi / page.logicalDpiY())));
}

void ElevationChart::renderChart(QPainter &painter, const QRectF &target, const QSize &layoutSize)
{
    updateEngine();
    scene_->render(painter, target, layoutSize);
}

void ElevationChart::renderChart(QPaintDevice &device, const QSize &layoutSize)
{
    QPainter painter;
    if (!painter.begin(&device)) {
        throw Error(kRenderStartFailedText);
    }
    renderChart(painter, QRectF(0, 0, device.width(), device.height()), layoutSize);
}

std::vector<AxisLabel> ElevationChart::axisLabels(Qt::Edge edge, const QSize &layoutSize)
{
    updateEngine();
    return scene_->axisLabels(edge, layoutSize.isEmpty() ? scene_->layoutSize() : layoutSize);
}

QRectF ElevationChart::legendArea(const QSize &layoutSize)
{
    updateEngine();
    return scene_->legendArea(layoutSize.isEmpty() ? scene_->layoutSize() : layoutSize);
}

QImage ElevationChart::renderImage(const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(kImageBackground);
    renderChart(image, size);
    return image;
}

ElevationChart::CurveStream::CurveStream(ElevationChart &chart, QPaintDevice &device,
                                         const QSize &layoutSize)
    : chart_(chart), painter_(new QPainter), target_(0, 0, device.width(), device.height())
{
    if (!painter_->begin(&device)) {
        delete painter_;
        throw Error(kRenderStartFailedText);
    }
    chart_.updateEngine();
    canvas_ = chart_.scene_->renderUnderCurves(*painter_, target_, layoutSize);
}

ElevationChart::CurveStream::~CurveStream()
{
    if (!finished_) {
        chart_.scene_->renderOverCurves(*painter_, target_);
    }
    delete painter_;
}

void ElevationChart::CurveStream::drawCurve(SeriesId series, const SeriesPoints &points)
{
    const SeriesData &data = chart_.store_.at(series);
    chart_.scene_->drawCurve(
        *painter_, canvas_,
        {points, QColor(data.colour.value_or(kSeriesPalette.front())), data.lineWidthPx});
}

void ElevationChart::CurveStream::finish()
{
    if (finished_) {
        return;
    }
    finished_ = true;
    chart_.scene_->renderOverCurves(*painter_, target_);
    painter_->end();
}

QColor ElevationChart::seriesColour(SeriesId series) const
{
    const std::optional<QRgb> colour = store_.at(series).colour;
    return colour ? QColor(*colour) : QColor();
}

void ElevationChart::setToolTipTexts(SeriesNameText name, CurveReadoutText readout)
{
    nameText_ = std::move(name);
    readoutText_ = std::move(readout);
}

QString ElevationChart::wholeName(SeriesId series) const
{
    return nameText_ ? nameText_(series) : store_.at(series).title;
}

QString ElevationChart::toolTipAt(const QPointF &chartPos)
{
    updateEngine();
    const std::optional<LegendHit> entry = scene_->legendEntryAt(chartPos);
    if (!entry) {
        return curveToolTipAt(chartPos);
    }
    if (!entry->more) {
        return wholeName(entry->series);
    }
    const std::vector<SeriesId> leftOut = scene_->leftOutOfLegend();
    QStringList names;
    for (std::size_t i = 0; i < leftOut.size() && i < std::size_t{kMaxLeftOutNames}; ++i) {
        names << wholeName(leftOut[i]);
    }
    if (leftOut.size() > std::size_t{kMaxLeftOutNames}) {
        names << QString::fromUtf8(kMoreNamesText);
    }
    return names.join(u'\n');
}

QString ElevationChart::curveToolTipAt(const QPointF &chartPos)
{
    const QRectF plot = scene_->plotArea();
    const AxisRanges &ranges = zoom_.ranges();
    if (plot.isEmpty() || !plot.contains(chartPos) || !(ranges.bottom.span() > 0.0) ||
        !(ranges.left.span() > 0.0)) {
        return {};
    }
    // The nearest curve within reach; of equals, the one drawn on top.
    std::optional<SeriesId> nearest;
    double nearestPx = INFINITY;
    const std::vector<SeriesId> &attached = store_.attached();
    for (auto it = attached.rbegin(); it != attached.rend(); ++it) {
        const SeriesData &data = store_.at(*it);
        if (data.kind != SeriesKind::Line) {
            continue;
        }
        const std::optional<double> px = DistanceToCurvePx(data.points, plot, ranges, chartPos);
        if (px && *px <= kCurveHitPx + data.lineWidthPx / 2.0 && *px < nearestPx) {
            nearestPx = *px;
            nearest = *it;
        }
    }
    if (!nearest) {
        return {};
    }
    const QPointF value = ValueAtPixel(plot, ranges, chartPos);
    const double elevationDeg =
        CurveValueAt(store_.at(*nearest).points, value.x()).value_or(value.y());
    return readoutText_ ? readoutText_(*nearest, value.x(), elevationDeg) : wholeName(*nearest);
}

QStringList ElevationChart::legendLines(const QSize &layoutSize)
{
    updateEngine();
    return scene_->legendLines(layoutSize.isEmpty() ? scene_->layoutSize() : layoutSize);
}

bool ElevationChart::isLegendVisible()
{
    updateEngine();
    return scene_->isLegendVisible();
}

bool ElevationChart::areTopAndRightAxesVisible()
{
    updateEngine();
    return scene_->areTopAndRightAxesVisible();
}

QRectF ElevationChart::plotArea()
{
    updateEngine();
    return scene_->plotArea();
}

void ElevationChart::scheduleUpdate()
{
    if (!updatePending_) {
        updatePending_ = true;
        QMetaObject::invokeMethod(this, &ElevationChart::updateEngine, Qt::QueuedConnection);
    }
}

void ElevationChart::updateEngine()
{
    if (updatePending_) {
        updatePending_ = false;
        scene_->showSeries();
    }
}

bool ElevationChart::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != scene_->view()->viewport()) {
        return QWidget::eventFilter(watched, event);
    }
    switch (event->type()) {
    case QEvent::ToolTip: {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString text = toolTipAt(scene_->toChart(help->pos()));
        if (text.isEmpty()) {
            QToolTip::hideText();
        } else {
            // It goes when the pointer moves on, so the next one reads anew.
            const QRect near(help->pos() - QPoint(kToolTipRadiusPx, kToolTipRadiusPx),
                             QSize(2 * kToolTipRadiusPx + 1, 2 * kToolTipRadiusPx + 1));
            QToolTip::showText(help->globalPos(), text, scene_->view()->viewport(), near);
        }
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (dragButton_ != Qt::NoButton) {
            return true;
        }
        const QPoint at = mouse->position().toPoint();
        if (mouse->button() == Qt::LeftButton) {
            dragButton_ = Qt::LeftButton;
            startRubberBand(at);
        } else if (mouse->button() == Qt::RightButton) {
            dragButton_ = Qt::RightButton;
            lastScrollPos_ = at;
        }
        return true;
    }
    case QEvent::MouseMove: {
        const QPoint at = static_cast<QMouseEvent *>(event)->position().toPoint();
        if (dragButton_ == Qt::LeftButton) {
            rubberBand_->setGeometry(QRect(dragStart_, at).normalized());
        } else if (dragButton_ == Qt::RightButton) {
            scrollBy(at);
        }
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != dragButton_) {
            return true;
        }
        const QPoint at = mouse->position().toPoint();
        if (dragButton_ == Qt::LeftButton) {
            finishRubberBand(at);
        } else {
            scrollBy(at);
        }
        dragButton_ = Qt::NoButton;
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void ElevationChart::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        zoomByPercent(kZoomInPercent);
        break;
    case Qt::Key_Minus:
        zoomByPercent(kZoomOutPercent);
        break;
    case Qt::Key_Left:
        shiftView(-kKeyScrollShare, 0.0);
        break;
    case Qt::Key_Right:
        shiftView(kKeyScrollShare, 0.0);
        break;
    case Qt::Key_Up:
        shiftView(0.0, kKeyScrollShare);
        break;
    case Qt::Key_Down:
        shiftView(0.0, -kKeyScrollShare);
        break;
    case Qt::Key_Home:
        undoZoom();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void ElevationChart::shiftView(double shareX, double shareY)
{
    updateEngine();
    zoom_.takeUndoPoint();
    zoom_.setRanges(ShiftedRanges(zoom_.ranges(), shareX, shareY));
    showRanges();
}

void ElevationChart::startRubberBand(const QPoint &at)
{
    dragStart_ = at;
    rubberBand_->setGeometry(QRect(at, QSize()));
    rubberBand_->show();
}

void ElevationChart::finishRubberBand(const QPoint &at)
{
    rubberBand_->hide();
    switch (ClassifyZoomDrag(dragStart_, at)) {
    case DragAction::ZoomToRectangle: {
        const QRectF plot = plotArea();
        if (!plot.isEmpty()) {
            const QRectF dragged(scene_->toChart(dragStart_), scene_->toChart(at));
            zoomTo(RangesForRectangle(plot, zoom_.ranges(), dragged));
        }
        break;
    }
    case DragAction::UndoZoom:
        undoZoom();
        break;
    case DragAction::None:
        break;
    }
}

void ElevationChart::scrollBy(const QPoint &at)
{
    const QPoint delta = at - lastScrollPos_;
    lastScrollPos_ = at;
    const QRectF plot = plotArea();
    if (delta.isNull() || plot.isEmpty()) {
        return;
    }
    zoom_.takeUndoPoint();
    zoom_.setRanges(ScrolledRanges(plot, zoom_.ranges(), QPointF(delta)));
    showRanges();
}

} // namespace mirado
