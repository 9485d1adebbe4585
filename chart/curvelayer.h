// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QGraphicsItem>
#include <QImage>
#include <QLineF>
#include <QPainter>
#include <QRectF>
#include <QSizeF>
#include <QTransform>

#include <vector>

#include "plotlayer.h"
#include "seriesstore.h"

QT_FORWARD_DECLARE_CLASS(QChart)

namespace mirado {

// Draws the curves of the attached line series: straight segments between
// neighbouring points, each curve with its own pen, clipped to the plot area,
// later curves over earlier ones. It stands in for one engine line series per
// curve and draws exactly the pixels those would (the same point mapping, clip
// and one line per segment), but a plot of thousands of curves costs one scene
// item instead of thousands of series, axis bindings and path outlines.
//
// On screen the curves are kept as a picture of the view's size, drawn with
// the view's own transform, so a repaint copies pixels instead of drawing
// every curve again, and curves appended while a plot runs are drawn once,
// over the picture. The lines are drawn without antialiasing, so the picture
// holds exactly the pixels the direct drawing would. Images and print draw
// directly; there a repaint of part of the plot draws only the segments that
// reach into that part.
class CurveLayer : public PlotLayer
{
public:
    // How the layer paints on one device: the painter's state and the clip
    // and area its paint would use. Invalid when nothing can be drawn.
    struct Canvas
    {
        QTransform transform;
        QPainter::RenderHints hints;
        QRectF clip;
        QRectF area;
        bool valid = false;
    };

    struct Curve
    {
        SeriesPoints points; // axis values, in drawing order; shared, not copied
        QColor colour;
        int widthPx = 1;
        Qt::PenStyle style = Qt::SolidLine;
    };

    explicit CurveLayer(QChart *chart);

    // Replaces every curve, in drawing order.
    void setCurves(std::vector<Curve> curves);
    // Draws `curves` over those already there.
    void appendCurves(std::vector<Curve> curves);
    // Draws every curve over an outline kOutlinePx wider on each side, in the
    // colour OutlineColour gives, so that it stands out from a shaded
    // background; off by default. Each curve lies over its own outline, so a
    // curve drawn on its own (drawOn) looks as in the whole drawing.
    void setOutlined(bool outlined);
    static constexpr qreal kOutlinePx = 1.0;

    // While set, a paint draws nothing and records its canvas in `canvas`.
    void setCapture(Canvas *canvas) { capture_ = canvas; }
    // Draws `curve` on a painter whose canvas was captured, exactly as a
    // paint on that canvas would draw it over the curves before it.
    void drawOn(QPainter &painter, const Canvas &canvas, const Curve &curve) const;

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    // What the picture was drawn for; another one draws it anew.
    struct PictureKey
    {
        QTransform transform;
        QSize deviceSize;
        QRectF clip;
        AxisRanges ranges;
        qreal pixelRatio = 1.0;

        friend bool operator==(const PictureKey &, const PictureKey &) = default;
    };

    // Draws `curve` with the painter's transform and clip, skipping
    // segments that cannot reach `area`; as its outline when `outline`.
    // `lines` is room for its segments.
    void drawCurve(QPainter &painter, const Curve &curve, const QRectF &area,
                   std::vector<QLineF> &lines, bool outline = false) const;
    // Draws curves [first, last) with the painter's transform and clip,
    // skipping segments that cannot reach `area`.
    void drawCurves(QPainter &painter, std::size_t first, std::size_t last,
                    const QRectF &area) const;
    // Draws curves [first, last) into the picture (both halves at once when
    // it has two) with the picture's transform and `hints`, clipped to
    // `clip`.
    void drawIntoPictures(std::size_t first, std::size_t last, QPainter::RenderHints hints,
                          const QRectF &clip);
    // The picture's rows that come from picture_ and from lowerPicture_,
    // in device pixels.
    QRectF upperRows() const;
    QRectF lowerRows() const;

    std::vector<Curve> curves_;
    QImage picture_;
    // The lower half of the picture's rows, when the picture is drawn on two
    // threads; picture_ then holds the upper half.
    QImage lowerPicture_;
    // False once the curves or their outline changed: the pictures are
    // cleared and drawn anew at the next paint.
    bool pictureValid_ = false;
    PictureKey pictureKey_;
    std::size_t curvesInPicture_ = 0;
    Canvas *capture_ = nullptr;
    bool outlined_ = false;
};

} // namespace mirado
