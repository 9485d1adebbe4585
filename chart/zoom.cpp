// SPDX-License-Identifier: GPL-3.0-or-later
#include "zoom.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace mirado {

namespace {

constexpr double kPercent = 0.01;
constexpr double kFrameFraction = 1.0 / 3.0;

double StepTowards(double from, double to)
{
    return from + (to - from) * kFrameFraction;
}

} // namespace

AxisRange ZoomedRange(const AxisRange &range, double percent)
{
    const double d = range.span() * (percent - 100.0) * kPercent;
    return {range.min + d, range.max - d};
}

AxisRanges ZoomedRanges(const AxisRanges &ranges, double percent)
{
    return {ZoomedRange(ranges.bottom, percent), ZoomedRange(ranges.left, percent)};
}

std::vector<AxisRanges> ZoomFrames(const AxisRanges &from, const AxisRanges &to, int count)
{
    std::vector<AxisRanges> frames;
    AxisRanges frame = from;
    for (int i = 0; i < count; ++i) {
        frame.bottom = {StepTowards(frame.bottom.min, to.bottom.min),
                        StepTowards(frame.bottom.max, to.bottom.max)};
        frame.left = {StepTowards(frame.left.min, to.left.min),
                      StepTowards(frame.left.max, to.left.max)};
        frames.push_back(frame);
    }
    return frames;
}

void ZoomState::takeUndoPoint()
{
    if (isRestored()) {
        undoPoint_ = ranges_;
    }
}

void ZoomState::finishZoom(const AxisRanges &target)
{
    ranges_ = target;
    zoomed_ = true;
}

void ZoomState::undo()
{
    if (undoPoint_) {
        ranges_ = *undoPoint_;
        undoPoint_.reset();
    }
    zoomed_ = false;
}

QPointF ValueAtPixel(const QRectF &plotArea, const AxisRanges &ranges, const QPointF &pixel)
{
    const double fx = (pixel.x() - plotArea.left()) / plotArea.width();
    const double fy = (plotArea.bottom() - pixel.y()) / plotArea.height();
    return {ranges.bottom.min + fx * ranges.bottom.span(),
            ranges.left.min + fy * ranges.left.span()};
}

QPointF PixelAtValue(const QRectF &plotArea, const AxisRanges &ranges, const QPointF &value)
{
    const double fx = (value.x() - ranges.bottom.min) / ranges.bottom.span();
    const double fy = (value.y() - ranges.left.min) / ranges.left.span();
    return {plotArea.left() + fx * plotArea.width(), plotArea.bottom() - fy * plotArea.height()};
}

AxisRanges RangesForRectangle(const QRectF &plotArea, const AxisRanges &ranges, const QRectF &rect)
{
    const QPointF lowerLeft = ValueAtPixel(plotArea, ranges, rect.bottomLeft());
    const QPointF upperRight = ValueAtPixel(plotArea, ranges, rect.topRight());
    return {{lowerLeft.x(), upperRight.x()}, {lowerLeft.y(), upperRight.y()}};
}

AxisRanges ScrolledRanges(const QRectF &plotArea, const AxisRanges &ranges, const QPointF &deltaPx)
{
    const double dx = -deltaPx.x() / plotArea.width() * ranges.bottom.span();
    const double dy = deltaPx.y() / plotArea.height() * ranges.left.span();
    return {{ranges.bottom.min + dx, ranges.bottom.max + dx},
            {ranges.left.min + dy, ranges.left.max + dy}};
}

AxisRanges ShiftedRanges(const AxisRanges &ranges, double shareX, double shareY)
{
    const double dx = shareX * ranges.bottom.span();
    const double dy = shareY * ranges.left.span();
    return {{ranges.bottom.min + dx, ranges.bottom.max + dx},
            {ranges.left.min + dy, ranges.left.max + dy}};
}

DragAction ClassifyZoomDrag(const QPoint &pressed, const QPoint &released)
{
    const int dx = released.x() - pressed.x();
    const int dy = released.y() - pressed.y();
    if (std::abs(dx) <= kMinimumDragPixels || std::abs(dy) <= kMinimumDragPixels) {
        return DragAction::None;
    }
    return dx > 0 && dy > 0 ? DragAction::ZoomToRectangle : DragAction::UndoZoom;
}

double TickInterval(double span, double increment, double lengthPx, double minSpacingPx)
{
    constexpr double kSteps[] = {1.0, 2.0, 3.0, 5.0};
    if (!(span > 0.0) || !std::isfinite(span) || !(lengthPx > 0.0) || !(increment > 0.0)) {
        return increment;
    }
    const double maxLabels = std::max(1.0, lengthPx / minSpacingPx);
    for (double decade = 1.0;; decade *= 10.0) {
        for (double step : kSteps) {
            const double interval = increment * step * decade;
            if (span / interval <= maxLabels) {
                return interval;
            }
        }
    }
}

} // namespace mirado
