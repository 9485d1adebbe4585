// SPDX-License-Identifier: GPL-3.0-or-later
#include "plotlayer.h"

#include <QChart>

namespace mirado {

PlotLayer::PlotLayer(QChart *chart, qreal zValue) : QGraphicsItem(chart), chart_(chart)
{
    setZValue(zValue);
    setAcceptedMouseButtons(Qt::NoButton);
    updatePlotArea();
}

void PlotLayer::setRanges(const AxisRanges &ranges)
{
    if (ranges == ranges_)
        return;
    ranges_ = ranges;
    update();
}

void PlotLayer::updatePlotArea()
{
    const QRectF plot = chart_->plotArea();
    if (plot.size() != size_) {
        prepareGeometryChange();
        size_ = plot.size();
    }
    setPos(plot.topLeft());
}

} // namespace mirado
