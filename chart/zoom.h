// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPoint>
#include <QPointF>
#include <QRectF>

#include <optional>
#include <vector>

namespace mirado {

// A value range of one axis, in the axis' own unit (hours or degrees).
struct AxisRange
{
    double min = 0.0;
    double max = 0.0;

    double span() const { return max - min; }
    friend bool operator==(const AxisRange &, const AxisRange &) = default;
};

// The ranges of the two scales the series are drawn against: bottom (the night
// axis, hours) and left (elevation, degrees). The top and right axes, drawn
// only while no series is attached, show the same ranges.
struct AxisRanges
{
    AxisRange bottom;
    AxisRange left;

    friend bool operator==(const AxisRanges &, const AxisRanges &) = default;
};

// Range after a zoom by `percent`: each end moves inwards by
// d = (max - min) * (percent - 100) * 0.01. So 115 keeps 70 % of the width
// around the same centre, 85 widens it to 130 % and 100 keeps it. Percentages
// of 200 and more give an empty or reversed range; the caller avoids them.
AxisRange ZoomedRange(const AxisRange &range, double percent);
AxisRanges ZoomedRanges(const AxisRanges &ranges, double percent);

// The intermediate frames of an animated zoom from `from` to `to`: in each of
// the `count` frames every bound moves one third of its remaining distance.
// The target itself is not among the frames.
std::vector<AxisRanges> ZoomFrames(const AxisRanges &from, const AxisRanges &to, int count);

// The zoom state of a chart. It is "restored" while it holds no undo point:
// at start and after every undo. The first zoom or scroll in the restored
// state saves the ranges in force as the undo point.
class ZoomState
{
public:
    explicit ZoomState(const AxisRanges &initial) : ranges_(initial) {}

    const AxisRanges &ranges() const { return ranges_; }
    bool isRestored() const { return !undoPoint_.has_value(); }
    bool isZoomed() const { return zoomed_; }

    // Saves the present ranges as the undo point when in the restored state.
    void takeUndoPoint();
    // Shows other ranges without touching the undo point or the zoomed mark:
    // animation frames and scrolling.
    void setRanges(const AxisRanges &ranges) { ranges_ = ranges; }
    // Ends a zoom: the target ranges, marked zoomed.
    void finishZoom(const AxisRanges &target);
    // Back to the undo point, if one is held; then restored and not zoomed.
    void undo();

private:
    AxisRanges ranges_;
    std::optional<AxisRanges> undoPoint_;
    bool zoomed_ = false;
};

// Conversions between pixels inside `plotArea` and axis values. Pixel y grows
// downwards, values upwards. The plot area must not be empty.
QPointF ValueAtPixel(const QRectF &plotArea, const AxisRanges &ranges, const QPointF &pixel);
QPointF PixelAtValue(const QRectF &plotArea, const AxisRanges &ranges, const QPointF &value);

// The ranges that show exactly the pixel rectangle `rect` of the plot area.
AxisRanges RangesForRectangle(const QRectF &plotArea, const AxisRanges &ranges, const QRectF &rect);

// The ranges after dragging the plot's contents by `deltaPx` pixels: the
// values under the mouse follow the mouse.
AxisRanges ScrolledRanges(const QRectF &plotArea, const AxisRanges &ranges, const QPointF &deltaPx);

// The ranges moved by `shareX` of the bottom range's width and `shareY` of
// the left range's height (positive: later hours, higher degrees).
AxisRanges ShiftedRanges(const AxisRanges &ranges, double shareX, double shareY);

// What a finished left-button drag from `pressed` to `released` does: nothing
// unless it covered more than kMinimumDragPixels both horizontally and
// vertically; then a zoom to the rectangle when it ran from upper left to lower
// right, an undo zoom in any other direction.
enum class DragAction
{
    None,
    ZoomToRectangle,
    UndoZoom,
};
inline constexpr int kMinimumDragPixels = 16;
DragAction ClassifyZoomDrag(const QPoint &pressed, const QPoint &released);

// Distance between labelled ticks: the smallest of increment x 1, 2, 3, 5,
// 10, 20, 30, 50, ... that keeps neighbouring labels at least `minSpacingPx` apart
// when `span` is drawn over `lengthPx` pixels. `increment` is the least step,
// used as it is when the labels fit.
double TickInterval(double span, double increment, double lengthPx, double minSpacingPx);

} // namespace mirado
