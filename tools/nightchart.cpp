// SPDX-License-Identifier: GPL-3.0-or-later
#include "nightchart.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPageSize>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <array>
#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

#include "chart/elevationchart.h"
#include "chart/nightplot.h"
#include "chart/seasonchart.h"
#include "data/replacefile.h"
#include "night/darkness.h"
#include "night/nightmarks.h"
#include "night/nowtexts.h"
#include "platform/fonts.h"
#include "platform/localeformat.h"

namespace mirado::tool {

namespace {

constexpr int kPdfResolution = 96;

// An application on the offscreen platform: charts are drawn without a
// display. QApplication keeps (and edits) its arguments, so they live here.
class OffscreenApplication
{
public:
    OffscreenApplication() : application_(argc_, argv_.data()) {}

private:
    char name_[19] = "mirado-night-chart";
    char platformOption_[10] = "-platform";
    char platform_[10] = "offscreen";
    int argc_ = 3;
    std::array<char *, 4> argv_{name_, platformOption_, platform_, nullptr};
    QApplication application_;
};

std::unique_ptr<OffscreenApplication> StartApplication()
{
    if (QCoreApplication::instance())
        return nullptr;
    return std::make_unique<OffscreenApplication>();
}

// Writes an image's bytes to `path`, or to standard output for "-". A file
// is replaced only once the whole image is written, so a failed write (a
// full disk) leaves the old image as it was; a device or a pipe is written
// in place.
void WriteImage(const std::string &path, const QByteArray &bytes, Output &standardOutput)
{
    const std::string_view data(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (path == kStandardStream) {
        standardOutput << data;
        return;
    }
    if (!IsSpecialFile(path)) {
        if (const std::error_code ec = ReplaceFile(path, data))
            throw WriteError("cannot write " + path + ": " + ec.message());
        return;
    }
    std::FILE *file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw WriteError("cannot write " + path + ": " + std::strerror(errno));
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> closer(file, std::fclose);
    Output output(file, path);
    output << data;
    output.finish();
    if (std::fclose(closer.release()) != 0)
        throw WriteError("cannot write " + path + ": " + std::strerror(errno));
}

// One image being drawn: its device and, once the curves start, the drawing
// they stream into.
struct ImageTarget
{
    virtual ~ImageTarget() = default;
    virtual QPaintDevice &device() = 0;
    // The image's bytes, once the drawing is finished.
    virtual QByteArray bytes() = 0;

    std::string path;
    std::unique_ptr<ElevationChart::CurveStream> stream;
};

struct PngTarget : ImageTarget
{
    explicit PngTarget(const QSize &size) : image(size, QImage::Format_ARGB32_Premultiplied)
    {
        image.fill(ElevationChart::kImageBackground);
    }
    QPaintDevice &device() override { return image; }
    QByteArray bytes() override
    {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        return bytes;
    }

    QImage image;
};

struct SvgTarget : ImageTarget
{
    SvgTarget(const QSize &size, const QString &title) : buffer(&data)
    {
        svg.setOutputDevice(&buffer);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setTitle(title);
    }
    QPaintDevice &device() override { return svg; }
    QByteArray bytes() override { return data; }

    QByteArray data;
    QBuffer buffer;
    QSvgGenerator svg;
};

struct PdfTarget : ImageTarget
{
    PdfTarget(const QSize &size, const QString &title) : buffer(&data)
    {
        buffer.open(QIODevice::WriteOnly);
        pdf = std::make_unique<QPdfWriter>(&buffer);
        pdf->setResolution(kPdfResolution);
        pdf->setPageSize(QPageSize(QSizeF(size), QPageSize::Point));
        pdf->setPageMargins(QMarginsF());
        pdf->setTitle(title);
    }
    QPaintDevice &device() override { return *pdf; }
    QByteArray bytes() override
    {
        pdf.reset();
        return data;
    }

    QByteArray data;
    QBuffer buffer;
    std::unique_ptr<QPdfWriter> pdf;
};

// Draws the planned night on a chart of the options' size in every format
// the options name. The legend's titles come first and stay; each curve is
// drawn into every image as it comes and is then forgotten, so an image of a
// million curves holds no more than their titles.
class ImageWriter : public CurveWriter
{
public:
    ImageWriter(const Options &options, Output &out)
        : options_(options), out_(out), application_(StartApplication())
    {
        InstallFontSubstitutions();
        chart_.setAnimatedZoom(false);
        chart_.resize(size());
    }

    void begin(const NightPlan &plan) override
    {
        plot_.start(plan);
        if (options_.twilight) {
            const SiteValues &site = plan.site();
            plot_.showDarkness(
                DarknessStretches(plan.date(), {site.longitude, site.latitude, site.timeZone}));
        }
        if (options_.moon) {
            const SiteValues &site = plan.site();
            plot_.showMoon(
                MoonOverNight(plan.date(), {site.longitude, site.latitude, site.timeZone}),
                plan.date());
        }
        plan_ = &plan;
    }
    bool wantsTitlesFirst() const override { return true; }
    void title(const std::string &legendTitle) override
    {
        series_.push_back(plot_.addTitle(legendTitle));
    }
    void curve(const PlannedCurve &curve) override
    {
        startDrawing();
        if (drawn_ >= series_.size())
            return;
        plot_.describe(drawn_, curve);
        SeriesPoints points;
        for (const NightPoint &point : curve.points)
            points.add(point.x, point.elevationDeg);
        for (const std::unique_ptr<ImageTarget> &target : targets_)
            target->stream->drawCurve(series_[drawn_], points);
        ++drawn_;
    }
    void end() override
    {
        if (options_.transits && plan_)
            plot_.showTransits(*plan_);
        startDrawing();
        for (const std::unique_ptr<ImageTarget> &target : targets_) {
            target->stream->finish();
            WriteImage(target->path, target->bytes(), out_);
        }
    }

private:
    QSize size() const { return {options_.width, options_.height}; }

    // Draws what lies under the curves into every image, once.
    void startDrawing()
    {
        if (started_)
            return;
        started_ = true;
        if (!options_.pngPath.empty())
            add(std::make_unique<PngTarget>(size()), options_.pngPath);
        if (!options_.svgPath.empty())
            add(std::make_unique<SvgTarget>(size(), chart_.chartTitle()), options_.svgPath);
        if (!options_.pdfPath.empty())
            add(std::make_unique<PdfTarget>(size(), chart_.chartTitle()), options_.pdfPath);
    }

    void add(std::unique_ptr<ImageTarget> target, const std::string &path)
    {
        target->path = path;
        target->stream =
            std::make_unique<ElevationChart::CurveStream>(chart_, target->device(), size());
        targets_.push_back(std::move(target));
    }

    const Options &options_;
    Output &out_;
    const NightPlan *plan_ = nullptr; // the run's plan, from begin to end
    std::unique_ptr<OffscreenApplication> application_;
    ElevationChart chart_;
    NightPlot plot_{chart_};
    std::vector<SeriesId> series_; // one per legend title, in order
    std::size_t drawn_ = 0;
    bool started_ = false;
    std::vector<std::unique_ptr<ImageTarget>> targets_;
};

// Draws the season chart into every image the options name. Without --size
// the chart is kDefaultWidthPx wide and as high as its rows need.
void WriteSeasonImages(const Season &season, const Options &options, Output &out)
{
    const std::unique_ptr<OffscreenApplication> application = StartApplication();
    InstallFontSubstitutions();
    const SeasonChart chart(season);
    const QSize size = options.sizeGiven
                           ? QSize(options.width, options.height)
                           : QSize(SeasonChart::kDefaultWidthPx, chart.naturalHeight());
    const std::pair<const std::string &, SeasonImageFormat> images[] = {
        {options.pngPath, SeasonImageFormat::Png},
        {options.svgPath, SeasonImageFormat::Svg},
        {options.pdfPath, SeasonImageFormat::Pdf},
    };
    for (const auto &[path, format] : images)
        if (!path.empty())
            WriteImage(path, SeasonImageBytes(chart, size, format), out);
}

void PrintNowTexts(const DateTimeValue &at, const SiteValues &site, Output &out,
                   const WarningReporter &warn)
{
    const LocaleFormats formats = LocaleFormatsOf(QLocale::system());
    std::string label = LocalTimeLabel(at, formats);
    if (const std::size_t lineBreak = label.find('\r'); lineBreak != std::string::npos)
        label.replace(lineBreak, 1, " / ");
    out << std::string_view(label) << '\n';
    out << std::string_view(UniversalTimeText(at, site.timeZone, formats)) << '\n';
    out << std::string_view(SiderealTimeText(at, site.longitude, site.timeZone, warn)) << '\n';
}

} // namespace

QtParts ChartParts()
{
    QtParts parts;
    parts.images = [](const Options &options, Output &out) -> std::unique_ptr<CurveWriter> {
        return std::make_unique<ImageWriter>(options, out);
    };
    parts.nowTexts = PrintNowTexts;
    parts.seasonImages = WriteSeasonImages;
    return parts;
}

} // namespace mirado::tool
