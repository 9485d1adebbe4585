// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGraphicsItem>
#include <QSizeF>

#include "zoom.h"

QT_FORWARD_DECLARE_CLASS(QChart)

namespace mirado {

// A scene item of our own over the chart's plot area: its origin at the plot
// area's top left corner, like the engine's series, and the axis ranges its
// contents are mapped with.
class PlotLayer : public QGraphicsItem
{
public:
    PlotLayer(QChart *chart, qreal zValue);

    // The axis ranges the contents are mapped with; a change redraws.
    void setRanges(const AxisRanges &ranges);
    // Follows a new plot area of the chart.
    void updatePlotArea();

protected:
    const QSizeF &plotSize() const { return size_; }
    const AxisRanges &ranges() const { return ranges_; }

private:
    QChart *chart_;
    QSizeF size_;
    AxisRanges ranges_;
};

} // namespace mirado
