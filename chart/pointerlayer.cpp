// SPDX-License-Identifier: GPL-3.0-or-later
#include "pointerlayer.h"

#include <QChart>
#include <QPainter>

#include <cmath>

namespace mirado {

namespace {

// Above the chart's series, below nothing else that lies in the plot area.
constexpr qreal kPointerZValue = 100.0;

} // namespace

PointerLayer::PointerLayer(QChart *chart) : QGraphicsItem(chart), chart_(chart)
{
    setZValue(kPointerZValue);
    setAcceptedMouseButtons(Qt::NoButton);
    updatePlotArea();
}

void PointerLayer::setPointers(std::vector<Pointers> pointers)
{
    pointers_ = std::move(pointers);
    update();
}

void PointerLayer::setRanges(const AxisRanges &ranges)
{
    ranges_ = ranges;
    update();
}

void PointerLayer::updatePlotArea()
{
    prepareGeometryChange();
    plotArea_ = chart_->plotArea();
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
        const double h = series.style.horizSizePx;
        const double v = series.style.vertSizePx;
        for (const QPointF &value : series.points) {
            // Whole pixels, so a narrow bar stays sharp.
            const QPointF at = PixelAtValue(plotArea_, ranges_, value);
            if (!std::isfinite(at.x()) || !std::isfinite(at.y())) {
                continue;
            }
            const QPointF centre(std::round(at.x()), std::round(at.y()));
            painter->drawRect(QRectF(centre.x() - h, centre.y() - v, 2.0 * h, 2.0 * v));
        }
    }
    painter->restore();
}

} // namespace mirado
