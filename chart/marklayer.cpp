// SPDX-License-Identifier: GPL-3.0-or-later
#include "marklayer.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <array>

#include "curvelayer.h"
#include "platform/fonts.h"
#include "twilightlayer.h"

namespace mirado {

namespace {

// Over the curves (4), under the legend (5).
constexpr qreal kMarkZValue = 4.5;
constexpr int kLabelFontPx = 12;
constexpr qreal kTickWidthPx = 2.0;
constexpr qreal kAxisTickLengthPx = 10.0;
constexpr qreal kCurveTickHalfLengthPx = 5.0;
// Between a tick's end and its label.
constexpr qreal kLabelGapPx = 2.0;
// Behind each label, so it reads over the curves and grid lines: the chart's
// panel colour, a little see-through.
constexpr QRgb kLabelBackground = qRgba(212, 208, 200, 200);
constexpr qreal kLabelPaddingPx = 1.0;

void DrawLabel(QPainter &painter, const QRectF &rect, const QString &text, const QColor &colour)
{
    painter.fillRect(rect.adjusted(-kLabelPaddingPx, 0.0, kLabelPaddingPx, 0.0),
                     QColor::fromRgba(kLabelBackground));
    painter.setPen(colour);
    painter.drawText(rect, Qt::AlignCenter, text);
}

} // namespace

std::optional<QRectF> CurveLabelPlace(const QPointF &at, const QSizeF &text, const QRectF &area,
                                      const std::vector<QRectF> &placed)
{
    const qreal reach = kCurveTickHalfLengthPx + kLabelGapPx;
    const std::array<QRectF, 4> places{
        QRectF(QPointF(at.x() - text.width() / 2.0, at.y() - reach - text.height()), text),
        QRectF(QPointF(at.x() - text.width() / 2.0, at.y() + reach), text),
        QRectF(QPointF(at.x() + reach, at.y() - text.height() / 2.0), text),
        QRectF(QPointF(at.x() - reach - text.width(), at.y() - text.height() / 2.0), text),
    };
    for (const QRectF &place : places)
        if (area.contains(place) &&
            std::none_of(placed.begin(), placed.end(),
                         [&](const QRectF &other) { return other.intersects(place); }))
            return place;
    return std::nullopt;
}

MarkLayer::MarkLayer(QChart *chart)
    : PlotLayer(chart, kMarkZValue), font_(PixelFont(kMsGothic, kLabelFontPx))
{}

void MarkLayer::setAxisMarks(std::vector<AxisMark> marks)
{
    axisMarks_ = std::move(marks);
    update();
}

void MarkLayer::setCurveMarks(std::vector<CurveMark> marks)
{
    curveMarks_ = std::move(marks);
    update();
}

QRectF MarkLayer::boundingRect() const
{
    return QRectF(QPointF(0.0, 0.0), plotSize());
}

void MarkLayer::setOutlined(bool outlined)
{
    if (outlined != outlined_) {
        outlined_ = outlined;
        update();
    }
}

void MarkLayer::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QSizeF &size = plotSize();
    const AxisRanges &axes = ranges();
    const double spanX = axes.bottom.span();
    const double spanY = axes.left.span();
    if ((axisMarks_.empty() && curveMarks_.empty()) || size.isEmpty() || !(spanX > 0.0) ||
        !(spanY > 0.0))
        return;
    const QRectF area(QPointF(0.0, 0.0), size);
    const auto toX = [&](double x) { return (x - axes.bottom.min) * size.width() / spanX; };
    const auto toY = [&](double y) {
        return size.height() - (y - axes.left.min) * size.height() / spanY;
    };
    const QFontMetricsF metrics(font_);

    painter->save();
    painter->setClipRect(area);
    painter->setFont(font_);
    painter->setRenderHint(QPainter::TextAntialiasing);

    // A tick, over its outline while the curves have theirs.
    const auto drawTick = [&](const QPointF &from, const QPointF &to, const QColor &colour) {
        if (outlined_) {
            painter->setPen(QPen(OutlineColour(colour), kTickWidthPx + 2.0 * CurveLayer::kOutlinePx,
                                 Qt::SolidLine, Qt::FlatCap));
            painter->drawLine(from, to);
        }
        painter->setPen(QPen(colour, kTickWidthPx, Qt::SolidLine, Qt::FlatCap));
        painter->drawLine(from, to);
    };

    // Labels drawn so far: a later label never covers one of them.
    std::vector<QRectF> placed;

    // Moments on the time axis: the label centred over the tick, kept inside.
    for (const AxisMark &mark : axisMarks_) {
        const qreal x = toX(mark.x);
        if (x < 0.0 || x > size.width())
            continue;
        drawTick(QPointF(x, size.height()), QPointF(x, size.height() - kAxisTickLengthPx),
                 mark.colour);
        QRectF label = metrics.boundingRect(mark.label);
        label.moveBottom(size.height() - kAxisTickLengthPx - kLabelGapPx);
        label.moveLeft(
            std::clamp(x - label.width() / 2.0, 0.0, std::max(0.0, size.width() - label.width())));
        placed.push_back(label);
        DrawLabel(*painter, label, mark.label, mark.colour);
    }

    // Points on curves: the label above, below, right or left of the tick,
    // the first place inside the plot area that covers no other label; with
    // none, the tick stands alone (今夜の一覧 lists every transit time).
    for (const CurveMark &mark : curveMarks_) {
        const QPointF at(toX(mark.x), toY(mark.y));
        if (!area.adjusted(-kCurveTickHalfLengthPx, -kCurveTickHalfLengthPx, kCurveTickHalfLengthPx,
                           kCurveTickHalfLengthPx)
                 .contains(at))
            continue;
        drawTick(at - QPointF(0.0, kCurveTickHalfLengthPx),
                 at + QPointF(0.0, kCurveTickHalfLengthPx), mark.colour);

        const std::optional<QRectF> chosen =
            CurveLabelPlace(at, metrics.boundingRect(mark.label).size(), area, placed);
        if (!chosen)
            continue;
        placed.push_back(*chosen);
        DrawLabel(*painter, *chosen, mark.label, Qt::black);
    }
    painter->restore();
}

} // namespace mirado
