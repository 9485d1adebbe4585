// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>

#include <optional>

#include "seriesstore.h"
#include "zoom.h"

namespace mirado {

// The distance in pixels from `pixel` to the polyline through `points` (axis
// values, hours and degrees) as drawn in `plotArea` showing `ranges`; none
// for fewer than two points. The plot area must not be empty.
std::optional<double> DistanceToCurvePx(const SeriesPoints &points, const QRectF &plotArea,
                                        const AxisRanges &ranges, const QPointF &pixel);

// The curve's value at `x`: linear between the two neighbouring points that
// enclose it (a pair at one x, as at midnight, is passed over); none outside
// the points' range.
std::optional<double> CurveValueAt(const SeriesPoints &points, double x);

} // namespace mirado
