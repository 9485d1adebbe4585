// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QString>

#include <vector>

#include "plotlayer.h"

namespace mirado {

// A moment marked on the time axis: a short tick rising from the plot's
// bottom edge at `x` (hours on the night axis), labelled above it.
struct AxisMark
{
    double x = 0.0;
    QString label;
    QColor colour;
};

// A point marked on a curve: a short vertical tick through (`x`, `y`) (hours,
// degrees) in the curve's colour, labelled beside it in black.
struct CurveMark
{
    double x = 0.0;
    double y = 0.0;
    QString label;
    QColor colour;
};

// Draws the marks over the curves, clipped to the plot area, following its
// axis ranges; each label on a box of the panel's colour. A curve mark's label goes above its tick,
// or, where that would leave the plot or cover a label already placed, below, right or left of it,
// in that order; where every place is taken it goes above all the same.
class MarkLayer : public PlotLayer
{
public:
    explicit MarkLayer(QChart *chart);

    void setAxisMarks(std::vector<AxisMark> marks);
    void setCurveMarks(std::vector<CurveMark> marks);
    // Draws every tick over a contrasting outline, as the curves are drawn
    // while the sky's darkness is shaded; off by default.
    void setOutlined(bool outlined);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    std::vector<AxisMark> axisMarks_;
    std::vector<CurveMark> curveMarks_;
    bool outlined_ = false;
    QFont font_;
};

} // namespace mirado
