// SPDX-License-Identifier: GPL-3.0-or-later
#include "curvehit.h"

#include <QLineF>

#include <algorithm>
#include <cmath>

namespace mirado {

std::optional<double> DistanceToCurvePx(const SeriesPoints &points, const QRectF &plotArea,
                                        const AxisRanges &ranges, const QPointF &pixel)
{
    if (points.size() < 2) {
        return std::nullopt;
    }
    double best = INFINITY;
    QPointF from = PixelAtValue(plotArea, ranges, points.front());
    for (qsizetype i = 1; i < points.size(); ++i) {
        const QPointF to = PixelAtValue(plotArea, ranges, points[i]);
        // To the nearest point of the segment.
        const QPointF d = to - from;
        const double lengthSq = QPointF::dotProduct(d, d);
        const double t = lengthSq > 0.0
                             ? std::clamp(QPointF::dotProduct(pixel - from, d) / lengthSq, 0.0, 1.0)
                             : 0.0;
        best = std::min(best, QLineF(pixel, from + t * d).length());
        from = to;
    }
    return best;
}

std::optional<double> CurveValueAt(const SeriesPoints &points, double x)
{
    for (qsizetype i = 1; i < points.size(); ++i) {
        const QPointF a = points[i - 1];
        const QPointF b = points[i];
        if (a.x() < b.x() && a.x() <= x && x <= b.x()) {
            return a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x());
        }
    }
    return std::nullopt;
}

} // namespace mirado
