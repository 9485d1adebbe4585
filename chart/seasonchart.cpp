// SPDX-License-Identifier: GPL-3.0-or-later
#include "seasonchart.h"

#include <QBuffer>
#include <QFontMetricsF>
#include <QImage>
#include <QLinearGradient>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QPrinter>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>
#include <memory>

#include "data/errors.h"
#include "elevationchart.h"
#include "night/elevationmodel.h"
#include "night/nighttime.h"
#include "platform/fonts.h"

namespace mirado {

namespace {

constexpr QRgb kPanelColour = qRgb(212, 208, 200);
constexpr QRgb kNightSkyColour = qRgb(92, 104, 132);
constexpr QRgb kMoonColour = qRgb(255, 236, 150);
constexpr QRgb kTextColour = qRgb(0, 0, 0);
constexpr QRgb kGridColour = qRgb(128, 128, 128);

constexpr int kTitleFontPx = 13;
constexpr int kTextFontPx = 12;
constexpr double kTitleHeightPx = 20.0;
constexpr double kLegendHeightPx = 20.0;
constexpr double kStripHeightPx = 14.0;
constexpr double kGapPx = 3.0;
constexpr double kMonthAxisHeightPx = 20.0;
constexpr double kTickLengthPx = 4.0;
constexpr double kNameShare = 0.2; // of the width, between the two name limits
constexpr double kNamePaddingPx = 4.0;
constexpr double kLegendScaleWidthPx = 100.0;
constexpr double kLegendSwatchPx = 12.0;
constexpr double kLegendSpacingPx = 14.0;
// The best-night marker's height as a share of the row, and its limits.
constexpr double kMarkerShare = 0.7;
constexpr double kMarkerMinPx = 5.0;
constexpr double kMarkerMaxPx = 11.0;
constexpr int kPdfResolution = 96;
constexpr int kJanuary = 1;

constexpr const char *kMoonLabel = "月の輝面比";
constexpr const char *kDarkLabel = "暗夜の長さ";
constexpr const char *kNoDarknessLabel = "天文薄明が終わらない夜";
constexpr const char *kBestLabel = "月明かりのない暗夜が最も長い夜";
constexpr const char *kRenderFailedText = "季節の見通しを描画できません";
constexpr const char *kPrintStartFailedText = "印刷を開始できません";
constexpr const char *kPrintFailedText = "印刷できませんでした";

QColor Mix(QRgb from, QRgb to, double share)
{
    share = std::clamp(share, 0.0, 1.0);
    const auto mix = [share](int a, int b) { return static_cast<int>(a + (b - a) * share + 0.5); };
    return QColor(mix(qRed(from), qRed(to)), mix(qGreen(from), qGreen(to)),
                  mix(qBlue(from), qBlue(to)));
}

void FillNoDarkness(QPainter &painter, const QRectF &rect)
{
    painter.fillRect(rect, QColor(SeasonChart::kNoDarknessColour));
    painter.fillRect(rect, QBrush(QColor(SeasonChart::kNoDarknessHatch), Qt::BDiagPattern));
}

QString MonthLabel(const TDateRec &date, bool withYear)
{
    if (withYear)
        return QStringLiteral("%1年%2月").arg(date.year).arg(date.month);
    return QStringLiteral("%1月").arg(date.month);
}

QString NumberText(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

SeasonChart::SeasonChart(const Season &season) : season_(season)
{
    double most = 0.0;
    for (const SeasonObject &object : season_.objects)
        for (const SeasonObject::Cell &cell : object.cells)
            most = std::max(most, cell.darkHoursAbove);
    scaleHours_ = std::max(1.0, std::ceil(most));
    double darkest = 0.0;
    for (const SeasonNight &night : season_.nights)
        darkest = std::max(darkest, night.darkHours);
    darkScaleHours_ = std::max(1.0, std::ceil(darkest));
}

int SeasonChart::naturalHeight() const
{
    const double header =
        kMarginPx + kTitleHeightPx + kLegendHeightPx + 2 * kStripHeightPx + 3 * kGapPx;
    const double rows =
        static_cast<double>(std::max<std::size_t>(season_.objects.size(), 1)) * kRowHeightPx;
    return static_cast<int>(std::ceil(header + rows + kMonthAxisHeightPx + kMarginPx));
}

SeasonChart::Layout SeasonChart::layout(const QSizeF &size) const
{
    Layout layout;
    const double left = kMarginPx;
    const double right = size.width() - kMarginPx;
    const double nameWidth =
        std::clamp(size.width() * kNameShare, double(kMinNameWidthPx), double(kMaxNameWidthPx));
    const double cellsLeft = left + nameWidth;
    const double cellsWidth = std::max(1.0, right - cellsLeft);
    double y = kMarginPx;
    layout.title = QRectF(left, y, right - left, kTitleHeightPx);
    y += kTitleHeightPx;
    layout.legend = QRectF(left, y, right - left, kLegendHeightPx);
    y += kLegendHeightPx;
    layout.moonStrip = QRectF(cellsLeft, y, cellsWidth, kStripHeightPx);
    y += kStripHeightPx + kGapPx;
    layout.darkStrip = QRectF(cellsLeft, y, cellsWidth, kStripHeightPx);
    y += kStripHeightPx + 2 * kGapPx;
    const double bottom = std::max(y, size.height() - kMarginPx - kMonthAxisHeightPx);
    const auto rows = static_cast<double>(season_.objects.size());
    layout.rowHeightPx =
        rows > 0 ? std::min<double>(kRowHeightPx, (bottom - y) / rows) : double(kRowHeightPx);
    const double rowsHeight = layout.rowHeightPx * rows;
    layout.names = QRectF(left, y, nameWidth, rowsHeight);
    layout.rows = QRectF(cellsLeft, y, cellsWidth, rowsHeight);
    layout.months = QRectF(cellsLeft, y + rowsHeight, cellsWidth, kMonthAxisHeightPx);
    return layout;
}

double SeasonChart::nightLeft(const Layout &layout, std::size_t night) const
{
    const auto nights = static_cast<double>(std::max<std::size_t>(season_.nights.size(), 1));
    return layout.rows.left() + layout.rows.width() * static_cast<double>(night) / nights;
}

QRectF SeasonChart::cellRect(std::size_t row, std::size_t night, const QSizeF &size) const
{
    const Layout at = layout(size);
    const double left = nightLeft(at, night);
    return QRectF(left, at.rows.top() + at.rowHeightPx * static_cast<double>(row),
                  nightLeft(at, night + 1) - left, at.rowHeightPx);
}

QRectF SeasonChart::nameRect(std::size_t row, const QSizeF &size) const
{
    const Layout at = layout(size);
    return QRectF(at.names.left(), at.names.top() + at.rowHeightPx * static_cast<double>(row),
                  at.names.width(), at.rowHeightPx);
}

std::optional<QPointF> SeasonChart::bestMarkerCentre(std::size_t row, const QSizeF &size) const
{
    if (row >= season_.objects.size() || !season_.objects[row].bestNight)
        return std::nullopt;
    return cellRect(row, *season_.objects[row].bestNight, size).center();
}

std::optional<SeasonChart::Hit> SeasonChart::hitAt(const QPointF &point, const QSizeF &size) const
{
    const Layout at = layout(size);
    if (season_.objects.empty() || point.y() < at.rows.top() || point.y() >= at.rows.bottom() ||
        point.x() < at.names.left() || point.x() >= at.rows.right())
        return std::nullopt;
    Hit hit;
    hit.row = std::min(static_cast<std::size_t>((point.y() - at.rows.top()) / at.rowHeightPx),
                       season_.objects.size() - 1);
    if (point.x() >= at.rows.left() && !season_.nights.empty()) {
        const double share = (point.x() - at.rows.left()) / at.rows.width();
        hit.night =
            std::min(static_cast<std::size_t>(share * static_cast<double>(season_.nights.size())),
                     season_.nights.size() - 1);
    }
    return hit;
}

QColor SeasonChart::cellColour(double hours) const
{
    return Mix(kNoHoursColour, kFullHoursColour, hours / scaleHours_);
}

QString SeasonChart::objectName(std::size_t row) const
{
    return QString::fromStdString(season_.objects.at(row).object.name);
}

QString SeasonChart::title() const
{
    QString span;
    if (!season_.nights.empty())
        span = QStringLiteral("%1 〜 %2")
                   .arg(QString::fromStdString(FormatIsoDate(season_.nights.front().date)),
                        QString::fromStdString(FormatIsoDate(season_.nights.back().date)));
    std::string mark;
    try {
        mark = ElevationModelNamed(season_.modelName)->titleMark();
    } catch (const std::exception &) {
    }
    return QStringLiteral("季節の見通し　%1　経度 %2°　緯度 %3°　最低高度 %4°%5")
        .arg(span, NumberText(season_.site.longitude), NumberText(season_.site.latitude),
             NumberText(season_.minAltitudeDeg), QString::fromStdString(mark));
}

void SeasonChart::paint(QPainter &painter, const QSizeF &size) const
{
    const Layout at = layout(size);
    const std::size_t nights = season_.nights.size();
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRectF(QPointF(0, 0), size), Qt::white);

    const QFont titleFont = PixelFont(kMsGothic, kTitleFontPx, true);
    const QFont textFont = PixelFont(kMsGothic, kTextFontPx);
    painter.setPen(QColor(kTextColour));

    // Title.
    painter.setFont(titleFont);
    painter.drawText(
        at.title, Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetricsF(titleFont).elidedText(title(), Qt::ElideRight, at.title.width()));

    // Legend: the scale of hours, the hatching, the marker.
    painter.setFont(textFont);
    const QFontMetricsF metrics(textFont);
    double x = at.legend.left();
    const double swatchTop = at.legend.center().y() - kLegendSwatchPx / 2;
    const auto legendText = [&](const QString &text) {
        painter.drawText(
            QRectF(x, at.legend.top(), metrics.horizontalAdvance(text) + 1, at.legend.height()),
            Qt::AlignLeft | Qt::AlignVCenter, text);
        x += metrics.horizontalAdvance(text);
    };
    legendText(QStringLiteral("%1° 以上の暗夜 0 ").arg(NumberText(season_.minAltitudeDeg)));
    const QRectF scale(x, swatchTop, kLegendScaleWidthPx, kLegendSwatchPx);
    QLinearGradient gradient(scale.topLeft(), scale.topRight());
    gradient.setColorAt(0.0, QColor(kNoHoursColour));
    gradient.setColorAt(1.0, QColor(kFullHoursColour));
    painter.fillRect(scale, gradient);
    painter.setPen(QColor(kGridColour));
    painter.drawRect(scale);
    painter.setPen(QColor(kTextColour));
    x += kLegendScaleWidthPx;
    legendText(QStringLiteral(" %1 時間").arg(NumberText(scaleHours_)));
    x += kLegendSpacingPx;
    const QRectF hatch(x, swatchTop, kLegendSwatchPx, kLegendSwatchPx);
    FillNoDarkness(painter, hatch);
    x += kLegendSwatchPx;
    legendText(QStringLiteral(" ") + QString::fromUtf8(kNoDarknessLabel));
    x += kLegendSpacingPx;
    const auto drawMarker = [&painter](const QPointF &centre, double heightPx) {
        const double half = heightPx / 2;
        QPainterPath triangle;
        triangle.moveTo(centre.x(), centre.y() - half);
        triangle.lineTo(centre.x() + half, centre.y() + half);
        triangle.lineTo(centre.x() - half, centre.y() + half);
        triangle.closeSubpath();
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(QPen(QColor(kBestOutline), 1.0));
        painter.setBrush(QColor(kBestFill));
        painter.drawPath(triangle);
        painter.restore();
    };
    drawMarker(QPointF(x + kLegendSwatchPx / 2, at.legend.center().y()), kLegendSwatchPx - 2);
    x += kLegendSwatchPx;
    legendText(QStringLiteral(" ") + QString::fromUtf8(kBestLabel));

    // The Moon's strip and the darkness strip, labelled in the name column.
    const auto stripLabel = [&](const QRectF &strip, const char *label) {
        painter.drawText(
            QRectF(at.names.left(), strip.top(), at.names.width() - kNamePaddingPx, strip.height()),
            Qt::AlignRight | Qt::AlignVCenter, QString::fromUtf8(label));
    };
    stripLabel(at.moonStrip, kMoonLabel);
    stripLabel(at.darkStrip, kDarkLabel);
    painter.fillRect(at.moonStrip, QColor(kNightSkyColour));
    painter.fillRect(at.darkStrip, QColor(kPanelColour));
    for (std::size_t n = 0; n < nights; ++n) {
        const SeasonNight &night = season_.nights[n];
        const double left = nightLeft(at, n);
        const double width = nightLeft(at, n + 1) - left;
        const double moonHeight =
            at.moonStrip.height() * std::clamp(night.moonIllumination, 0.0, 1.0);
        painter.fillRect(QRectF(left, at.moonStrip.bottom() - moonHeight, width, moonHeight),
                         QColor(kMoonColour));
        if (night.darkHours <= 0.0) {
            FillNoDarkness(painter, QRectF(left, at.darkStrip.top(), width, at.darkStrip.height()));
            continue;
        }
        const double darkHeight = at.darkStrip.height() * night.darkHours / darkScaleHours_;
        painter.fillRect(QRectF(left, at.darkStrip.bottom() - darkHeight, width, darkHeight),
                         QColor(kNightSkyColour));
    }

    // The rows: names, cells, best nights.
    for (std::size_t row = 0; row < season_.objects.size(); ++row) {
        const SeasonObject &object = season_.objects[row];
        const double top = at.rows.top() + at.rowHeightPx * static_cast<double>(row);
        const QRectF name(at.names.left(), top, at.names.width() - kNamePaddingPx, at.rowHeightPx);
        painter.drawText(name, Qt::AlignLeft | Qt::AlignVCenter,
                         metrics.elidedText(objectName(row), Qt::ElideRight, name.width()));
        // Nights of one look in a row are drawn as one rectangle, which
        // keeps SVG and PDF files small.
        const std::size_t cells = std::min(nights, object.cells.size());
        const auto look = [&](std::size_t n) -> std::optional<QRgb> {
            if (season_.nights[n].darkHours <= 0.0)
                return std::nullopt;
            return cellColour(object.cells[n].darkHoursAbove).rgb();
        };
        for (std::size_t n = 0; n < cells;) {
            const std::optional<QRgb> colour = look(n);
            std::size_t end = n + 1;
            while (end < cells && look(end) == colour)
                ++end;
            const double left = nightLeft(at, n);
            const QRectF run(left, top, nightLeft(at, end) - left, at.rowHeightPx);
            if (colour)
                painter.fillRect(run, QColor(*colour));
            else
                FillNoDarkness(painter, run);
            n = end;
        }
    }
    painter.setPen(QColor(kGridColour));
    painter.drawRect(at.rows.adjusted(0, 0, -1, 0));
    for (std::size_t row = 0; row < season_.objects.size(); ++row) {
        if (const std::optional<QPointF> centre = bestMarkerCentre(row, size))
            drawMarker(*centre,
                       std::clamp(at.rowHeightPx * kMarkerShare, kMarkerMinPx, kMarkerMaxPx));
    }

    // Month ticks and labels.
    painter.setPen(QColor(kTextColour));
    double labelEnd = at.months.left() - 1;
    bool yearShown = false;
    for (std::size_t n = 0; n < nights; ++n) {
        const TDateRec &date = season_.nights[n].date;
        if (date.day != 1)
            continue;
        const double tick = nightLeft(at, n);
        painter.drawLine(QPointF(tick, at.months.top()),
                         QPointF(tick, at.months.top() + kTickLengthPx));
        const QString label = MonthLabel(date, date.month == kJanuary || !yearShown);
        const double width = metrics.horizontalAdvance(label);
        if (tick <= labelEnd || tick + width > size.width())
            continue;
        painter.drawText(QRectF(tick + 1, at.months.top() + kTickLengthPx, width + 1,
                                at.months.height() - kTickLengthPx),
                         Qt::AlignLeft | Qt::AlignVCenter, label);
        labelEnd = tick + width + metrics.horizontalAdvance(QLatin1Char(' '));
        yearShown = true;
    }
    painter.restore();
}

QByteArray SeasonImageBytes(const SeasonChart &chart, const QSize &size, SeasonImageFormat format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPainter painter;
    switch (format) {
    case SeasonImageFormat::Png: {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        if (!painter.begin(&image))
            throw Error(kRenderFailedText);
        chart.paint(painter, size);
        painter.end();
        image.save(&buffer, "PNG");
        break;
    }
    case SeasonImageFormat::Svg: {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(chart.title());
        if (!painter.begin(&svg))
            throw Error(kRenderFailedText);
        chart.paint(painter, size);
        painter.end();
        break;
    }
    case SeasonImageFormat::Pdf: {
        QPdfWriter pdf(&buffer);
        pdf.setResolution(kPdfResolution);
        pdf.setPageSize(QPageSize(QSizeF(size), QPageSize::Point));
        pdf.setPageMargins(QMarginsF());
        pdf.setTitle(chart.title());
        if (!painter.begin(&pdf))
            throw Error(kRenderFailedText);
        chart.paint(painter, size);
        painter.end();
        break;
    }
    }
    return bytes;
}

void PrintSeasonChart(const SeasonChart &chart, QPrinter &printer)
{
    printer.setDocName(QStringLiteral("season"));
    QPainter painter;
    if (!painter.begin(&printer)) {
        printer.abort();
        throw Error(kPrintStartFailedText);
    }
    // The chart laid out at the elevation chart's print size, scaled onto
    // the page.
    const QRectF target = ElevationChart::PrintRect(printer);
    const QSize layoutSize = ElevationChart::PrintLayoutSize(printer);
    painter.translate(target.topLeft());
    painter.scale(target.width() / layoutSize.width(), target.height() / layoutSize.height());
    chart.paint(painter, layoutSize);
    if (printer.printerState() == QPrinter::Error) {
        printer.abort();
        painter.end();
        throw Error(kPrintFailedText);
    }
    if (!painter.end())
        throw Error(kPrintFailedText);
}

} // namespace mirado
