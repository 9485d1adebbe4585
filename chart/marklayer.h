// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QString>

#include <optional>
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

// Where the label of a curve mark at `at` (plot pixels), `text` in size, goes
// inside `area`: above the tick, or, where that would leave the area or
// cover one of `placed`, below, right or left of it, in that order; none
// where every place is taken, so labels never hide one another.
std::optional<QRectF> CurveLabelPlace(const QPointF &at, const QSizeF &text, const QRectF &area,
                                      const std::vector<QRectF> &placed);

// Draws the marks over the curves, clipped to the plot area, following its
// axis ranges; each label on a box of the panel's colour. The time axis's
// labels go first; a curve mark's label where CurveLabelPlace puts it among
// the labels drawn before it, or not at all.
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
