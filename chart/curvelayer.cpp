// SPDX-License-Identifier: GPL-3.0-or-later
#include "curvelayer.h"

#include <QChart>
#include <QPainter>
#include <QPolygonF>
#include <QStyleOptionGraphicsItem>

#include <algorithm>

#include "twilightlayer.h"

namespace mirado {

namespace {

// The stacking level of the engine's own series: above the grid and the axis
// lines, below the legend.
constexpr qreal kSeriesZValue = 4.0;

// Whether the segment from `a` to `b`, drawn `reach` pixels wide around its
// line (caps included), can touch `area`.
bool SegmentReaches(const QPointF &a, const QPointF &b, qreal reach, const QRectF &area)
{
    return std::max(a.x(), b.x()) + reach >= area.left() &&
           std::min(a.x(), b.x()) - reach <= area.right() &&
           std::max(a.y(), b.y()) + reach >= area.top() &&
           std::min(a.y(), b.y()) - reach <= area.bottom();
}

} // namespace

CurveLayer::CurveLayer(QChart *chart) : PlotLayer(chart, kSeriesZValue)
{
    // Paint is told which part of the item is being redrawn.
    setFlag(ItemUsesExtendedStyleOption);
}

void CurveLayer::setCurves(std::vector<Curve> curves)
{
    curves_ = std::move(curves);
    update();
}

void CurveLayer::setOutlined(bool outlined)
{
    if (outlined != outlined_) {
        outlined_ = outlined;
        update();
    }
}

QRectF CurveLayer::boundingRect() const
{
    // The clip below reaches at most one pixel past the plot area.
    return QRectF(QPointF(-1.0, -1.0), plotSize() + QSizeF(2.0, 2.0));
}

void CurveLayer::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    const QSizeF &size = plotSize();
    const AxisRanges &axes = ranges();
    const double spanX = axes.bottom.span();
    const double spanY = axes.left.span();
    if (curves_.empty() || size.isEmpty() || !(spanX > 0.0) || !(spanY > 0.0)) {
        return;
    }

    // The clip reaches half a pixel further where the plot area's edges fall
    // between pixels, so a curve along an edge still shows, but never so far
    // that a curve shows outside the plot area.
    QRectF clip(QPointF(0.0, 0.0), size);
    const qreal x1 = pos().x() - int(pos().x());
    const qreal y1 = pos().y() - int(pos().y());
    const qreal x2 = (clip.width() + 0.5) - int(clip.width() + 0.5);
    const qreal y2 = (clip.height() + 0.5) - int(clip.height() + 0.5);
    clip.adjust(-x1, -y1, std::max(x1, x2), std::max(y1, y2));
    const QRectF area = clip.intersected(option->exposedRect);
    if (area.isEmpty()) {
        return;
    }

    painter->save();
    painter->setClipRect(clip);
    const double scaleX = size.width() / spanX;
    const double scaleY = size.height() / spanY;
    const auto toPixel = [&](const QPointF &value) {
        const double x = (value.x() - axes.bottom.min) * scaleX;
        const double y = (value.y() - axes.left.min) * scaleY;
        return QPointF(x, size.height() - y);
    };
    const auto drawCurve = [&](const Curve &curve, const QPen &pen) {
        painter->setPen(pen);
        // A dashed line is one polyline, so its pattern runs on from one
        // segment to the next.
        if (pen.style() != Qt::SolidLine) {
            QPolygonF line;
            line.reserve(curve.points.size());
            for (const QPointF &point : curve.points)
                line << toPixel(point);
            painter->drawPolyline(line);
            return;
        }
        // Each segment is a line of its own, as the engine draws it: the
        // segments meet without joins, and one skipped outside the area
        // leaves the pixels inside exactly as they would be. A square cap
        // reaches half the width past the end, diagonally up to 0.71 of the
        // width; one pixel more for rounding.
        const qreal reach = std::max(1.0, pen.widthF()) + 1.0;
        QPointF from = toPixel(curve.points.front());
        for (qsizetype i = 1; i < curve.points.size(); ++i) {
            const QPointF to = toPixel(curve.points[i]);
            if (SegmentReaches(from, to, reach, area)) {
                painter->drawLine(from, to);
            }
            from = to;
        }
    };
    if (outlined_) {
        for (const Curve &curve : curves_) {
            if (curve.points.size() >= 2) {
                QPen outline = curve.pen;
                outline.setWidthF(std::max(1.0, curve.pen.widthF()) + 2.0 * kOutlinePx);
                outline.setColor(OutlineColour(curve.pen.color()));
                drawCurve(curve, outline);
            }
        }
    }
    for (const Curve &curve : curves_) {
        if (curve.points.size() >= 2) {
            drawCurve(curve, curve.pen);
        }
    }
    painter->restore();
}

} // namespace mirado
