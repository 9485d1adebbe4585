// SPDX-License-Identifier: GPL-3.0-or-later
#include "twilightlayer.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace mirado {

namespace {

// Above the plot area's background (0), below the engine's shades, grid,
// axes and series (1 to 4).
constexpr qreal kShadeZValue = 0.5;

constexpr QRgb kPanel = qRgb(212, 208, 200);
constexpr QRgb kNightSky = qRgb(92, 104, 132);
// The share of the way from the panel colour to the night sky at the darkest
// level.
constexpr double kDarkestShare = 0.8;

// The relative luminance of an sRGB colour, 0 (black) to 1 (white).
double RelativeLuminance(const QColor &colour)
{
    const auto linear = [](int channel) {
        const double c = channel / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.red()) + 0.7152 * linear(colour.green()) +
           0.0722 * linear(colour.blue());
}

} // namespace

double ContrastRatio(const QColor &a, const QColor &b)
{
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor OutlineColour(const QColor &curve)
{
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return ContrastRatio(curve, black) >= ContrastRatio(curve, white) ? black : white;
}

QColor ShadeColour(int level)
{
    const double share = kDarkestShare * std::clamp(level, 0, kShadeLevels) / kShadeLevels;
    const auto mix = [share](int from, int to) {
        return static_cast<int>(from + (to - from) * share + 0.5);
    };
    return QColor(mix(qRed(kPanel), qRed(kNightSky)), mix(qGreen(kPanel), qGreen(kNightSky)),
                  mix(qBlue(kPanel), qBlue(kNightSky)));
}

TwilightLayer::TwilightLayer(QChart *chart) : PlotLayer(chart, kShadeZValue) {}

void TwilightLayer::setBands(std::vector<ShadeBand> bands)
{
    bands_ = std::move(bands);
    update();
}

QRectF TwilightLayer::boundingRect() const
{
    return QRectF(QPointF(0.0, 0.0), plotSize());
}

void TwilightLayer::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QSizeF &size = plotSize();
    const double spanX = ranges().bottom.span();
    if (bands_.empty() || size.isEmpty() || !(spanX > 0.0))
        return;
    const double scaleX = size.width() / spanX;
    painter->save();
    painter->setClipRect(boundingRect());
    painter->setPen(Qt::NoPen);
    for (const ShadeBand &band : bands_) {
        const double left = (band.fromX - ranges().bottom.min) * scaleX;
        const double right = (band.toX - ranges().bottom.min) * scaleX;
        if (right <= 0.0 || left >= size.width() || right <= left)
            continue;
        painter->setBrush(ShadeColour(band.level));
        painter->drawRect(QRectF(QPointF(left, 0.0), QPointF(right, size.height())));
    }
    painter->restore();
}

} // namespace mirado
