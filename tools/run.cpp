// SPDX-License-Identifier: GPL-3.0-or-later
#include "run.h"

#include <exception>
#include <filesystem>

#include "astro/sidereal.h"
#include "data/errors.h"
#include "data/lines.h"
#include "data/site.h"
#include "night/clock.h"
#include "night/plan.h"
#include "textwriters.h"

namespace mirado::night {

namespace {

constexpr const char *kProgram = "mirado-night: ";
constexpr const char *kStandardOutputName = "standard output";

std::string ErrorText(const std::exception &e)
{
    if (const auto *error = dynamic_cast<const Error *>(&e); error && error->hasArgument())
        return ErrorTextForDisplay(error->format(), error->argument());
    return e.what();
}

SiteValues ResolveSite(const Options &options)
{
    SiteValues site = DefaultSite();
    if (!options.sitePath.empty()) {
        if (!std::filesystem::exists(options.sitePath))
            ThrowCannotOpenFile(options.sitePath);
        ReadSiteFile(options.sitePath, site, kDefaultDecimalSeparator);
    }
    site.longitude = options.longitude.value_or(site.longitude);
    site.latitude = options.latitude.value_or(site.latitude);
    site.timeZone = options.timeZone.value_or(site.timeZone);
    return site;
}

std::vector<std::string> ReadStandardInput()
{
    std::string bytes;
    char buffer[1 << 16];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
        bytes.append(buffer, got);
    if (std::ferror(stdin))
        ThrowCannotOpenFile(kStandardStream);
    return SplitLines(bytes);
}

WarningReporter PrintTo(std::FILE *err)
{
    return [err](const std::string &text) { std::fprintf(err, "%s\n", text.c_str()); };
}

int RunTimes(const Options &options, const SiteValues &site, Output &out, std::FILE *err)
{
    const WarningReporter warn = PrintTo(err);
    const TDateRec date = *options.date;
    const THMSRec time = *options.time;
    const DateTimeValue local =
        DateTimeValue::FromParts(date, time.hours, time.minutes, static_cast<int>(time.seconds));
    out << "gst0=" << GetSecGST(date, warn) << "\n";
    out << "lst=" << dblGetLSTSec(date, time, site.longitude, site.timeZone, warn) << "\n";
    out << "lst_now=" << dblGetLSTSecNow(date, time, site.longitude, site.timeZone, warn) << "\n";
    out << "ut=" << std::string_view(IsoDateTime(GetUTDateTime(local, site.timeZone))) << "\n";
    return 0;
}

std::unique_ptr<CurveWriter> TextWriter(const Options &options, Output &out)
{
    if (options.format == Format::Json)
        return std::make_unique<JsonWriter>(out, options.unique);
    return std::make_unique<CsvWriter>(out, options.unique);
}

int RunCurves(const Options &options, const SiteValues &site, Output &out, std::FILE *err,
              const QtParts &qt)
{
    const std::string path =
        options.cataloguePath.empty() ? site.cataloguePath : options.cataloguePath;
    if (path.empty())
        throw UsageError("no catalogue: give --catalogue FILE or a site file that names one");
    std::vector<std::string> lines;
    if (path == kStandardStream)
        lines = ReadStandardInput();
    else
        ReadLines(path, lines);
    const std::vector<int> chosen = ChosenLines(options.objects, static_cast<int>(lines.size()));
    const TDateRec date = options.date.value_or(NightDateOf(SiteLocalNow(site.timeZone)));
    const NightPlan plan(date, site, DetectDisplayEncoding(lines), kDefaultDecimalSeparator);

    const std::unique_ptr<CurveWriter> writer =
        options.drawsChart() ? qt.images(options, out) : TextWriter(options, out);
    // A line's trouble, after the file and the line: "catalogue.txt:2: text".
    const auto report = [&](int lineNumber, const std::string &text) {
        out.flush();
        std::fprintf(err, "%s:%d: %s\n", path.c_str(), lineNumber, text.c_str());
    };

    writer->begin(plan);
    int status = 0;
    for (const int index : chosen) {
        std::string firstWarning;
        const WarningReporter warn = [&](const std::string &text) {
            if (firstWarning.empty())
                firstWarning = text;
        };
        try {
            writer->curve(plan.curve(index, lines[static_cast<std::size_t>(index)], warn));
        } catch (const Error &e) {
            report(index + 1, ErrorText(e));
            status = 1;
            if (!options.keepGoing)
                break;
            continue;
        }
        if (!firstWarning.empty()) {
            report(index + 1, firstWarning);
            status = 1;
        }
    }
    writer->end();
    return status;
}

int RunNowTexts(const Options &options, const SiteValues &site, Output &out, std::FILE *err,
                const QtParts &qt)
{
    const DateTimeValue at = options.at.value_or(SiteLocalNow(site.timeZone));
    qt.nowTexts(at, site, out, PrintTo(err));
    return 0;
}

} // namespace

int Run(const Options &options, std::FILE *out, std::FILE *err, const QtParts &qt)
{
    Output output(out, kStandardOutputName);
    int status = 0;
    switch (options.mode) {
    case Mode::Help:
        output << std::string_view(HelpText());
        break;
    case Mode::Version:
        output << std::string_view(VersionText()) << '\n';
        break;
    default:
        if (options.needsQt() && !qt.images)
            return qt.handOver();
        const SiteValues site = ResolveSite(options);
        if (options.mode == Mode::Times)
            status = RunTimes(options, site, output, err);
        else if (options.mode == Mode::NowTexts)
            status = RunNowTexts(options, site, output, err, qt);
        else
            status = RunCurves(options, site, output, err, qt);
    }
    output.finish();
    return status;
}

int Main(const std::vector<std::string> &args, std::FILE *out, std::FILE *err, const QtParts &qt)
{
    try {
        return Run(ParseArguments(args), out, err, qt);
    } catch (const ClosedPipe &) {
        return 0;
    } catch (const UsageError &e) {
        std::fprintf(err, "%s%s\n%s", kProgram, e.what(), UsageText().c_str());
    } catch (const std::exception &e) {
        std::fprintf(err, "%s%s\n", kProgram, ErrorText(e).c_str());
    }
    return 2;
}

} // namespace mirado::night
