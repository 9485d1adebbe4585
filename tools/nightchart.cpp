// SPDX-License-Identifier: GPL-3.0-or-later
#include "nightchart.h"

#include <QApplication>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <array>
#include <memory>

#include "chart/elevationchart.h"
#include "platform/fonts.h"

namespace mirado::night {

namespace {

constexpr int kCurveWidthPx = 2;
constexpr int kPdfResolution = 96;

// An application on the offscreen platform: charts are drawn without a
// display. QApplication keeps (and edits) its arguments, so they live here.
class OffscreenApplication
{
public:
    OffscreenApplication() : application_(argc_, argv_.data()) {}

private:
    char name_[13] = "mirado-night";
    char platformOption_[10] = "-platform";
    char platform_[10] = "offscreen";
    int argc_ = 3;
    std::array<char *, 4> argv_{name_, platformOption_, platform_, nullptr};
    QApplication application_;
};

} // namespace

void WriteChartFiles(const Options &options, const TDateRec &date,
                     const std::vector<ChartCurve> &curves)
{
    std::unique_ptr<OffscreenApplication> application;
    if (!QCoreApplication::instance())
        application = std::make_unique<OffscreenApplication>();
    InstallFontSubstitutions();
    const QSize size(options.width, options.height);

    ElevationChart chart;
    chart.setAnimatedZoom(false);
    chart.resize(size);
    chart.setChartTitle(
        QStringLiteral("Mirado %1.%2.%3").arg(date.year).arg(date.month).arg(date.day));
    for (const ChartCurve &curve : curves) {
        const SeriesId series = chart.createLineSeries();
        chart.attachSeries(series);
        chart.setSeriesTitle(series, QString::fromStdString(curve.name));
        chart.setLineWidth(series, kCurveWidthPx);
        for (const NightPoint &point : curve.points)
            chart.addPoint(series, point.x, point.elevationDeg);
    }

    if (!options.pngPath.empty() &&
        !chart.renderImage(size).save(QString::fromStdString(options.pngPath), "PNG"))
        throw UsageError("cannot write " + options.pngPath);
    if (!options.svgPath.empty()) {
        QSvgGenerator svg;
        svg.setFileName(QString::fromStdString(options.svgPath));
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(chart.chartTitle());
        try {
            chart.renderChart(svg, size);
        } catch (const std::exception &) {
            throw UsageError("cannot write " + options.svgPath);
        }
    }
    if (!options.pdfPath.empty()) {
        QPdfWriter pdf(QString::fromStdString(options.pdfPath));
        pdf.setResolution(kPdfResolution);
        pdf.setPageSize(QPageSize(QSizeF(size), QPageSize::Point));
        pdf.setPageMargins(QMarginsF());
        pdf.setTitle(chart.chartTitle());
        try {
            chart.renderChart(pdf, size);
        } catch (const std::exception &) {
            throw UsageError("cannot write " + options.pdfPath);
        }
    }
}

} // namespace mirado::night
