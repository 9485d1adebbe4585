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
