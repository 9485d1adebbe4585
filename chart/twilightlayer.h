// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

#include <vector>

#include "plotlayer.h"

namespace mirado {

// A stretch of the night axis shaded for the sky's darkness: `level` 1 from
// sunset to civil dusk, 2 to nautical dusk, 3 to astronomical dusk, 4 for the
// astronomical night, and back down at dawn.
struct ShadeBand
{
    double fromX = 0.0; // hours on the night axis
    double toX = 0.0;
    int level = 0; // 1 to kShadeLevels
};

inline constexpr int kShadeLevels = 4;

// The tint of darkness `level`: the plot's panel colour taken a quarter of
// the way further towards a dark blue-grey at each level, so that even the
// darkest leaves navy and black curves dark on it and white and silver ones
// light.
QColor ShadeColour(int level);

// The contrast ratio of two colours, 1 to 21: (L1 + 0.05) / (L2 + 0.05) with
// L1 the larger of their relative luminances (sRGB, as WCAG 2 defines them).
double ContrastRatio(const QColor &a, const QColor &b);

// The outline drawn around a curve of colour `curve` while the shading is
// on: black or white, whichever stands out more from the curve. Black keeps
// at least 5:1 against every tint, white at least 3:1 against the two
// darkest; on the lighter tints the dark curves that get white stand out by
// themselves.
QColor OutlineColour(const QColor &curve);

// Draws the bands over the plot area's background, under the grid, the axes
// and the curves; clipped to the plot area, following its axis ranges.
class TwilightLayer : public PlotLayer
{
public:
    explicit TwilightLayer(QChart *chart);

    void setBands(std::vector<ShadeBand> bands);
    const std::vector<ShadeBand> &bands() const { return bands_; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    std::vector<ShadeBand> bands_;
};

} // namespace mirado
