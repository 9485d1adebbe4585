// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QString>

#include <cstddef>
#include <optional>

#include "night/season.h"

QT_FORWARD_DECLARE_CLASS(QPainter)
QT_FORWARD_DECLARE_CLASS(QPrinter)

namespace mirado {

// The season chart: one row per object, one column per night. At the top a
// title, a legend and two strips, the Moon's illuminated fraction and the
// length of astronomical darkness per night; below them each object's name
// and, for each night, a cell shaded by the dark hours it spends above the
// altitude limit, its best night marked with a triangle; along the bottom the
// months. Nights whose Sun never reaches -18 degrees are hatched, in the
// strip and in every row.
//
// Drawn with QPainter on any device at any size in logical pixels, so the
// window, the print and the images of mirado-night share one drawing. The
// rows shrink to fit the height; naturalHeight gives the height at which
// they keep their full kRowHeightPx. The chart holds a reference to the
// season, which must outlive it.
class SeasonChart
{
public:
    static constexpr int kRowHeightPx = 16;
    static constexpr int kMarginPx = 8;
    static constexpr int kDefaultWidthPx = 960;
    // The least width the name column takes, and its most.
    static constexpr int kMinNameWidthPx = 60;
    static constexpr int kMaxNameWidthPx = 180;

    // The colours of a cell: no hours, the most hours of the scale, a night
    // without astronomical darkness and its hatching, and the best-night
    // marker's fill and outline.
    static constexpr QRgb kNoHoursColour = qRgb(246, 246, 240);
    static constexpr QRgb kFullHoursColour = qRgb(24, 40, 104);
    static constexpr QRgb kNoDarknessColour = qRgb(250, 226, 180);
    static constexpr QRgb kNoDarknessHatch = qRgb(196, 132, 52);
    static constexpr QRgb kBestFill = qRgb(255, 255, 255);
    static constexpr QRgb kBestOutline = qRgb(0, 0, 0);

    // Where the chart is split up at one size.
    struct Layout
    {
        QRectF title;
        QRectF legend;
        QRectF moonStrip;
        QRectF darkStrip;
        QRectF names; // the name column beside the rows
        QRectF rows;  // the cells of every row
        QRectF months;
        double rowHeightPx = kRowHeightPx;
    };

    // What lies under a point: a row (an index into Season::objects), and the
    // night when the point is over a cell rather than the row's name.
    struct Hit
    {
        std::size_t row = 0;
        std::optional<std::size_t> night;
    };

    explicit SeasonChart(const Season &season);

    const Season &season() const { return season_; }

    // The height (logical pixels) at which every row has kRowHeightPx.
    int naturalHeight() const;
    Layout layout(const QSizeF &size) const;

    // Draws the chart into the rectangle (0, 0) to `size` of the painter's
    // coordinates.
    void paint(QPainter &painter, const QSizeF &size) const;

    // The cell of `row` and `night` at `size`; the row's name at the left.
    QRectF cellRect(std::size_t row, std::size_t night, const QSizeF &size) const;
    QRectF nameRect(std::size_t row, const QSizeF &size) const;
    // The centre of the row's best-night marker; none without a best night.
    std::optional<QPointF> bestMarkerCentre(std::size_t row, const QSizeF &size) const;
    // The row and the night under `point`; none outside the rows.
    std::optional<Hit> hitAt(const QPointF &point, const QSizeF &size) const;

    // The hours at which the cell shade is darkest: the most dark hours any
    // cell has, rounded up to a whole hour, at least 1.
    double scaleHours() const { return scaleHours_; }
    // The colour of a cell with `hours` dark hours above the limit.
    QColor cellColour(double hours) const;

    // The object's name whole.
    QString objectName(std::size_t row) const;
    // The chart's title: the span, the site, the limit and the model.
    QString title() const;

private:
    double nightLeft(const Layout &layout, std::size_t night) const;

    const Season &season_;
    double scaleHours_ = 1.0;
    double darkScaleHours_ = 1.0;
};

// The image formats the chart is saved in.
enum class SeasonImageFormat
{
    Png,
    Svg,
    Pdf,
};

// The chart drawn at `size` as the bytes of an image file. Raises the
// program's Error when the image cannot be drawn.
QByteArray SeasonImageBytes(const SeasonChart &chart, const QSize &size, SeasonImageFormat format);

// The chart on one page of `printer`, within the margins the elevation chart
// prints with. Raises the program's Error when the print fails.
void PrintSeasonChart(const SeasonChart &chart, QPrinter &printer);

} // namespace mirado
