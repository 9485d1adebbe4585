// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QGraphicsItem>
#include <QList>
#include <QPointF>

#include <vector>

#include "seriesstore.h"
#include "zoom.h"

QT_FORWARD_DECLARE_CLASS(QChart)

namespace mirado {

// Draws the points of the attached point series as pointers: rectangles of
// the series colour with fixed half-extents in pixels around each point,
// clipped to the plot area. A pointer 1 px wide and 10000 px high thus shows as
// a vertical bar across the whole plot at the point's X, however the axes are
// zoomed. Lies on top of the chart's series, as a child item of the chart.
class PointerLayer : public QGraphicsItem
{
public:
    struct Pointers
    {
        QList<QPointF> points; // axis values
        QColor colour;
        PointerStyle style;
    };

    explicit PointerLayer(QChart *chart);

    // Replaces everything drawn, one entry per attached point series in
    // attach order. Nothing is redrawn when the pointers cover the same pixels
    // as before: the present-moment bar moves a pixel every minute or two.
    void setPointers(std::vector<Pointers> pointers);
    void setRanges(const AxisRanges &ranges);
    // Follows a new plot area of the chart.
    void updatePlotArea();

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    // One drawn rectangle.
    struct Drawn
    {
        QRectF rect;
        QRgb colour;
        bool outlined;

        friend bool operator==(const Drawn &, const Drawn &) = default;
    };

    // What `pointers` draw at the present plot area and ranges.
    std::vector<Drawn> drawn(const std::vector<Pointers> &pointers) const;

    QChart *chart_;
    QRectF plotArea_;
    AxisRanges ranges_;
    std::vector<Pointers> pointers_;
};

} // namespace mirado
