// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGraphicsItem>
#include <QList>
#include <QPen>
#include <QPointF>
#include <QSizeF>

#include <vector>

#include "plotlayer.h"

QT_FORWARD_DECLARE_CLASS(QChart)

namespace mirado {

// Draws the curves of the attached line series: straight segments between
// neighbouring points, each curve with its own pen, clipped to the plot area,
// later curves over earlier ones. It stands in for one engine line series per
// curve and draws exactly the pixels those would (the same point mapping, clip
// and one line per segment), but a plot of thousands of curves costs one scene
// item instead of thousands of series, axis bindings and path outlines.
//
// A repaint of part of the plot (a window or menu uncovering it) draws only
// the segments that reach into that part, so it costs a few segments per
// curve rather than every curve. The curves are not kept as a picture: one
// drawn at another offset can differ from the direct drawing by a pixel where
// a line edge falls exactly between pixels.
class CurveLayer : public PlotLayer
{
public:
    struct Curve
    {
        QList<QPointF> points; // axis values, in drawing order
        QPen pen;
    };

    explicit CurveLayer(QChart *chart);

    // Replaces every curve, in drawing order.
    void setCurves(std::vector<Curve> curves);
    // Draws every curve over an outline kOutlinePx wider on each side, in the
    // colour OutlineColour gives, so that it stands out from a shaded
    // background; off by default. The outlines lie under all the curves.
    void setOutlined(bool outlined);
    static constexpr qreal kOutlinePx = 1.0;

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    std::vector<Curve> curves_;
    bool outlined_ = false;
};

} // namespace mirado
