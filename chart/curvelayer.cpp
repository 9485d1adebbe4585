// SPDX-License-Identifier: GPL-3.0-or-later
#include "curvelayer.h"

#include <QChart>
#include <QElapsedTimer>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QStyleOptionGraphicsItem>

#include <algorithm>
#include <future>
#include <thread>

#include "twilightlayer.h"

namespace mirado {

namespace {

// The stacking level of the engine's own series: above the grid and the axis
// lines, below the legend.
constexpr qreal kSeriesZValue = 4.0;
// Curves drawn into the picture in one step; a paint draws at least one
// step, and more while it has taken less than kPaintBudgetMs.
constexpr std::size_t kCurvesPerPaint = 500;
constexpr qint64 kPaintBudgetMs = 40;

// Whether the segment from `a` to `b`, drawn `reach` pixels wide around its
// line (caps included), can touch `area`.
bool SegmentReaches(const QPointF &a, const QPointF &b, qreal reach, const QRectF &area)
{
    return std::max(a.x(), b.x()) + reach >= area.left() &&
           std::min(a.x(), b.x()) - reach <= area.right() &&
           std::max(a.y(), b.y()) + reach >= area.top() &&
           std::min(a.y(), b.y()) - reach <= area.bottom();
}

} // namespace

CurveLayer::CurveLayer(QChart *chart) : PlotLayer(chart, kSeriesZValue)
{
    // Paint is told which part of the item is being redrawn.
    setFlag(ItemUsesExtendedStyleOption);
}

void CurveLayer::setCurves(std::vector<Curve> curves)
{
    curves_ = std::move(curves);
    curvesInPicture_ = 0;
    pictureValid_ = false;
    update();
}

void CurveLayer::appendCurves(std::vector<Curve> curves)
{
    if (curves.empty()) {
        return;
    }
    curves_.insert(curves_.end(), std::make_move_iterator(curves.begin()),
                   std::make_move_iterator(curves.end()));
    update();
}

void CurveLayer::setOutlined(bool outlined)
{
    if (outlined != outlined_) {
        outlined_ = outlined;
        curvesInPicture_ = 0;
        pictureValid_ = false;
        update();
    }
}

QRectF CurveLayer::boundingRect() const
{
    // The clip below reaches at most one pixel past the plot area.
    return QRectF(QPointF(-1.0, -1.0), plotSize() + QSizeF(2.0, 2.0));
}

void CurveLayer::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget)
{
    const QSizeF &size = plotSize();
    const AxisRanges &axes = ranges();
    if (capture_) {
        *capture_ = Canvas();
    }
    if ((curves_.empty() && !capture_) || size.isEmpty() || !(axes.bottom.span() > 0.0) ||
        !(axes.left.span() > 0.0)) {
        return;
    }

    // The clip reaches half a pixel further where the plot area's edges fall
    // between pixels, so a curve along an edge still shows, but never so far
    // that a curve shows outside the plot area.
    QRectF clip(QPointF(0.0, 0.0), size);
    const qreal x1 = pos().x() - int(pos().x());
    const qreal y1 = pos().y() - int(pos().y());
    const qreal x2 = (clip.width() + 0.5) - int(clip.width() + 0.5);
    const qreal y2 = (clip.height() + 0.5) - int(clip.height() + 0.5);
    clip.adjust(-x1, -y1, std::max(x1, x2), std::max(y1, y2));
    const QRectF area = clip.intersected(option->exposedRect);
    if (area.isEmpty()) {
        return;
    }
    if (capture_) {
        *capture_ = {painter->worldTransform(), painter->renderHints(), clip, area, true};
        return;
    }

    // Images and print: drawn directly.
    QPaintDevice *device = painter->device();
    if (!widget || !device || painter->renderHints().testFlag(QPainter::Antialiasing)) {
        painter->save();
        painter->setClipRect(clip);
        drawCurves(*painter, 0, curves_.size(), area);
        painter->restore();
        return;
    }

    // On screen: the picture, brought up to date first.
    const qreal ratio = device->devicePixelRatioF();
    const PictureKey key{painter->worldTransform(), QSize(device->width(), device->height()), clip,
                         axes, ratio};
    if (!pictureValid_ || !(key == pictureKey_)) {
        // The pictures' memory is kept from plot to plot while the size holds.
        const auto clear = [&key, ratio](QImage &picture) {
            if (picture.size() != key.deviceSize * ratio || picture.devicePixelRatio() != ratio) {
                picture = QImage(key.deviceSize * ratio, QImage::Format_ARGB32_Premultiplied);
                picture.setDevicePixelRatio(ratio);
            }
            picture.fill(Qt::transparent);
        };
        clear(picture_);
        // The lower rows come from a picture of their own, drawn at the same
        // time on another thread, where the pixels stay as they are.
        const bool halves =
            ratio == 1.0 && picture_.height() > 1 && std::thread::hardware_concurrency() > 1;
        if (halves) {
            clear(lowerPicture_);
        } else {
            lowerPicture_ = QImage();
        }
        pictureValid_ = true;
        pictureKey_ = key;
        curvesInPicture_ = 0;
    }
    if (curvesInPicture_ < curves_.size()) {
        // A picture of very many curves is drawn over several paints, so the
        // window goes on repainting (and the rest of the event loop runs)
        // while it grows.
        QElapsedTimer timer;
        timer.start();
        std::size_t drawn = 0;
        while (curvesInPicture_ < curves_.size() &&
               (drawn < kCurvesPerPaint || timer.elapsed() < kPaintBudgetMs)) {
            const std::size_t last = std::min(curves_.size(), curvesInPicture_ + kCurvesPerPaint);
            drawIntoPictures(curvesInPicture_, last, painter->renderHints(), clip);
            drawn += last - curvesInPicture_;
            curvesInPicture_ = last;
        }
        if (curvesInPicture_ < curves_.size()) {
            update();
        }
    }
    const QRectF exposed = QRectF(key.transform.mapRect(area).toAlignedRect())
                               .intersected(QRectF(QPointF(0.0, 0.0), key.deviceSize));
    painter->save();
    painter->setWorldTransform(QTransform());
    if (lowerPicture_.isNull()) {
        painter->drawImage(exposed, picture_,
                           QRectF(exposed.topLeft() * ratio, exposed.size() * ratio));
    } else {
        // Pixel for pixel, so the two halves make the same pixels as one
        // picture would.
        const QRectF upper = exposed.intersected(upperRows());
        const QRectF lower = exposed.intersected(lowerRows());
        if (!upper.isEmpty()) {
            painter->drawImage(upper, picture_, upper);
        }
        if (!lower.isEmpty()) {
            painter->drawImage(lower, lowerPicture_, lower);
        }
    }
    painter->restore();
}

QRectF CurveLayer::upperRows() const
{
    return QRectF(0.0, 0.0, picture_.width(), picture_.height() / 2);
}

QRectF CurveLayer::lowerRows() const
{
    const int middle = picture_.height() / 2;
    return QRectF(0.0, middle, picture_.width(), picture_.height() - middle);
}

void CurveLayer::drawIntoPictures(std::size_t first, std::size_t last, QPainter::RenderHints hints,
                                  const QRectF &clip)
{
    const auto draw = [&](QImage &picture, const QRectF &area) {
        QPainter painter(&picture);
        painter.setRenderHints(hints);
        painter.setWorldTransform(pictureKey_.transform);
        painter.setClipRect(clip);
        drawCurves(painter, first, last, area);
    };
    if (lowerPicture_.isNull()) {
        draw(picture_, clip);
        return;
    }
    // Each picture gets every segment that can reach its rows, drawn as the
    // whole picture would draw it: its rows come out the same.
    const QTransform toItem = pictureKey_.transform.inverted();
    const QRectF upper = clip.intersected(toItem.mapRect(upperRows()));
    const QRectF lower = clip.intersected(toItem.mapRect(lowerRows()));
    std::future<void> lowerDrawn =
        std::async(std::launch::async | std::launch::deferred, [&] { draw(lowerPicture_, lower); });
    draw(picture_, upper);
    lowerDrawn.get();
}

void CurveLayer::drawOn(QPainter &painter, const Canvas &canvas, const Curve &curve) const
{
    if (!canvas.valid) {
        return;
    }
    painter.save();
    painter.setWorldTransform(canvas.transform);
    painter.setRenderHints(painter.renderHints(), false);
    painter.setRenderHints(canvas.hints, true);
    painter.setClipRect(canvas.clip);
    std::vector<QLineF> lines;
    if (outlined_) {
        drawCurve(painter, curve, canvas.area, lines, true);
    }
    drawCurve(painter, curve, canvas.area, lines);
    painter.restore();
}

void CurveLayer::drawCurves(QPainter &painter, std::size_t first, std::size_t last,
                            const QRectF &area) const
{
    std::vector<QLineF> lines;
    for (std::size_t c = first; c < last; ++c) {
        if (outlined_) {
            drawCurve(painter, curves_[c], area, lines, true);
        }
        drawCurve(painter, curves_[c], area, lines);
    }
}

void CurveLayer::drawCurve(QPainter &painter, const Curve &curve, const QRectF &area,
                           std::vector<QLineF> &lines, bool outline) const
{
    if (curve.points.size() < 2) {
        return;
    }
    const QSizeF &size = plotSize();
    const AxisRanges &axes = ranges();
    const double scaleX = size.width() / axes.bottom.span();
    const double scaleY = size.height() / axes.left.span();
    const auto toPixel = [&](const QPointF &value) {
        const double x = (value.x() - axes.bottom.min) * scaleX;
        const double y = (value.y() - axes.left.min) * scaleY;
        return QPointF(x, size.height() - y);
    };
    QPen pen(curve.colour);
    pen.setWidth(curve.widthPx);
    pen.setStyle(curve.style);
    if (outline) {
        pen.setWidthF(std::max(1.0, pen.widthF()) + 2.0 * kOutlinePx);
        pen.setColor(OutlineColour(curve.colour));
    }
    painter.setPen(pen);
    // A dashed line is one polyline, so its pattern runs on from one segment
    // to the next.
    if (curve.style != Qt::SolidLine) {
        QPolygonF line;
        line.reserve(curve.points.size());
        for (qsizetype i = 0; i < curve.points.size(); ++i) {
            line << toPixel(curve.points[i]);
        }
        painter.drawPolyline(line);
        return;
    }
    // A square cap reaches half the width past the end, diagonally up
    // to 0.71 of the width; one pixel more for rounding.
    const qreal reach = std::max(1.0, pen.widthF()) + 1.0;
    // Each segment is a line of its own, as the engine draws it: the
    // segments meet without joins, and one skipped outside the area
    // leaves the pixels inside exactly as they would be. The painter strokes
    // every line of a list on its own, so one call draws them all.
    lines.clear();
    QPointF from = toPixel(curve.points.front());
    for (qsizetype i = 1; i < curve.points.size(); ++i) {
        const QPointF to = toPixel(curve.points[i]);
        if (SegmentReaches(from, to, reach, area)) {
            lines.emplace_back(from, to);
        }
        from = to;
    }
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
}

} // namespace mirado
