// SPDX-License-Identifier: GPL-3.0-or-later
#include "pointerlayer.h"

#include <QChart>
#include <QPainter>

#include <cmath>

namespace mirado {

namespace {

// Above the chart's series, below nothing else that lies in the plot area.
constexpr qreal kPointerZValue = 100.0;

// The rectangle a pointer fills around the pixel of `value`, in whole pixels
// so a narrow bar stays sharp; empty when the value has no finite pixel.
QRectF PointerRect(const QRectF &plotArea, const AxisRanges &ranges, const QPointF &value,
                   const PointerStyle &style)
{
    const QPointF at = PixelAtValue(plotArea, ranges, value);
    if (!std::isfinite(at.x()) || !std::isfinite(at.y())) {
        return QRectF();
    }
    const QPointF centre(std::round(at.x()), std::round(at.y()));
    const double h = style.horizSizePx;
    const double v = style.vertSizePx;
    return QRectF(centre.x() - h, centre.y() - v, 2.0 * h, 2.0 * v);
}

} // namespace

PointerLayer::PointerLayer(QChart *chart) : QGraphicsItem(chart), chart_(chart)
{
    setZValue(kPointerZValue);
    setAcceptedMouseButtons(Qt::NoButton);
    updatePlotArea();
}

void PointerLayer::setPointers(std::vector<Pointers> pointers)
{
    const bool changed = drawn(pointers) != drawn(pointers_);
    pointers_ = std::move(pointers);
    // The whole plot area, not just the strips the pointers leave and reach:
    // the engine clips a wide line where it crosses the edge of the redrawn
    // part, which can move a pixel of a curve there.
    if (changed) {
        update();
    }
}

void PointerLayer::setRanges(const AxisRanges &ranges)
{
    if (ranges == ranges_) {
        return;
    }
    ranges_ = ranges;
    update();
}

void PointerLayer::updatePlotArea()
{
    prepareGeometryChange();
    plotArea_ = chart_->plotArea();
}

std::vector<PointerLayer::Drawn> PointerLayer::drawn(const std::vector<Pointers> &pointers) const
{
    std::vector<Drawn> rects;
    if (plotArea_.isEmpty() || ranges_.bottom.span() <= 0.0 || ranges_.left.span() <= 0.0) {
        return rects;
    }
    for (const Pointers &series : pointers) {
        for (const QPointF &value : series.points) {
            const QRectF rect = PointerRect(plotArea_, ranges_, value, series.style);
            if (!rect.isNull()) {
                rects.push_back({rect, series.colour.rgba(), series.style.outlineVisible});
            }
        }
    }
    return rects;
}

QRectF PointerLayer::boundingRect() const
{
    return plotArea_;
}

void PointerLayer::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (pointers_.empty() || plotArea_.isEmpty() || ranges_.bottom.span() <= 0.0 ||
        ranges_.left.span() <= 0.0) {
        return;
    }
    painter->save();
    painter->setClipRect(plotArea_);
    for (const Pointers &series : pointers_) {
        painter->setPen(series.style.outlineVisible ? QPen(Qt::black) : QPen(Qt::NoPen));
        painter->setBrush(series.colour);
        for (const QPointF &value : series.points) {
            const QRectF rect = PointerRect(plotArea_, ranges_, value, series.style);
            if (!rect.isNull()) {
                painter->drawRect(rect);
            }
        }
    }
    painter->restore();
}

} // namespace mirado
