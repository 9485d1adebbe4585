// SPDX-License-Identifier: GPL-3.0-or-later
#include "nightcli.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <ctime>
#include <exception>
#include <filesystem>
#include <set>

#include "astro/clocktime.h"
#include "astro/sidereal.h"
#include "data/catalogue.h"
#include "data/convert.h"
#include "data/errors.h"
#include "data/lines.h"
#include "data/site.h"
#include "night/curve.h"
#include "night/nowtexts.h"
#include "nightchart.h"
#include "platform/localeformat.h"
#include "platform/textcodec.h"

namespace mirado::night {

namespace {

constexpr int kMinYear = 1900;
constexpr int kMaxYear = 2999;
constexpr std::size_t kFlushBytes = 1 << 16;

const char *const kUsage =
    "usage: mirado-night --catalogue FILE [--site FILE] [--longitude DEG] [--latitude DEG]\n"
    "                    [--timezone HOURS] [--date YYYY-MM-DD] [--objects LIST | --all]\n"
    "                    [--format csv|json | --png FILE | --svg FILE | --pdf FILE]\n"
    "                    [--size WxH]\n"
    "       mirado-night --times --date YYYY-MM-DD --time HH:MM:SS [site options]\n"
    "       mirado-night --now-texts --at YYYY-MM-DDTHH:MM:SS [site options]\n";
constexpr int kMinImageSide = 16;
constexpr int kMaxImageSide = 10000;

// Whole decimal number of exactly `digits` digits (any count when 0).
std::optional<int> ParseDigits(std::string_view text, std::size_t digits = 0)
{
    if (text.empty() || (digits != 0 && text.size() != digits) || text.size() > 9)
        return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

double ParseNumberOption(const std::string &name, const std::string &text)
{
    try {
        return StrToFloat(text, kDefaultDecimalSeparator);
    } catch (const Error &) {
        throw UsageError(name + " takes a number, not '" + text + "'");
    }
}

// The local date and time of the computer's clock, to the second.
DateTimeValue LocalNow()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return DateTimeValue::FromParts({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday},
                                    local.tm_hour, local.tm_min, local.tm_sec);
}

std::string FormatDateTime(const DateTimeValue &value)
{
    const TDateRec d = value.date();
    const THMSRec t = value.time();
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d", d.year, d.month, d.day,
                  t.hours, t.minutes, static_cast<int>(t.seconds));
    return buffer;
}

// Output gathered in memory and written in large pieces.
class Output
{
public:
    explicit Output(std::FILE *file) : file_(file) { text_.reserve(2 * kFlushBytes); }
    ~Output() { flush(); }
    Output(const Output &) = delete;
    Output &operator=(const Output &) = delete;

    Output &operator<<(std::string_view piece)
    {
        text_ += piece;
        if (text_.size() >= kFlushBytes)
            flush();
        return *this;
    }
    Output &operator<<(double value)
    {
        char buffer[32];
        const auto [end, ec] =
            std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
        text_.append(buffer, end);
        return *this;
    }
    Output &operator<<(int value) { return *this << std::string_view(std::to_string(value)); }
    void flush()
    {
        std::fwrite(text_.data(), 1, text_.size(), file_);
        text_.clear();
    }

private:
    std::FILE *file_;
    std::string text_;
};

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

WarningReporter PrintTo(std::FILE *err)
{
    return [err](const std::string &text) { std::fprintf(err, "%s\n", text.c_str()); };
}

std::string ErrorText(const std::exception &e)
{
    if (const auto *error = dynamic_cast<const Error *>(&e); error && error->hasArgument())
        return ErrorTextForDisplay(error->format(), error->argument());
    return e.what();
}

int RunTimes(const Options &options, const SiteValues &site, std::FILE *out, std::FILE *err)
{
    if (!options.date || !options.time)
        throw UsageError("--times needs --date and --time");
    const WarningReporter warn = PrintTo(err);
    const TDateRec date = *options.date;
    const THMSRec time = *options.time;
    const DateTimeValue local =
        DateTimeValue::FromParts(date, time.hours, time.minutes, static_cast<int>(time.seconds));
    Output o(out);
    o << "gst0=" << GetSecGST(date, warn) << "\n";
    o << "lst=" << dblGetLSTSec(date, time, site.longitude, site.timeZone, warn) << "\n";
    o << "lst_now=" << dblGetLSTSecNow(date, time, site.longitude, site.timeZone, warn) << "\n";
    o << "ut=" << FormatDateTime(GetUTDateTime(local, site.timeZone)) << "\n";
    return 0;
}

int RunCurves(const Options &options, const SiteValues &site, std::FILE *out, std::FILE *err)
{
    const std::string path =
        options.cataloguePath.empty() ? site.cataloguePath : options.cataloguePath;
    if (path.empty())
        throw UsageError("no catalogue: give --catalogue FILE or a site file that names one");
    std::vector<std::string> lines;
    ReadLines(path, lines);
    const TextEncoding encoding = DetectDisplayEncoding(lines);
    const std::vector<int> chosen =
        ParseObjectList(options.objects, static_cast<int>(lines.size()));
    const TDateRec date = options.date.value_or(NightDateOf(LocalNow()));
    const WarningReporter warn = PrintTo(err);
    const bool json = options.format == Format::Json;

    const bool chart = options.drawsChart();
    std::vector<ChartCurve> curves;

    Output o(out);
    if (!chart)
        o << (json ? "[" : "line,name,x,elevation\n");
    bool first = true;
    int status = 0;
    for (const int index : chosen) {
        const int lineNumber = index + 1;
        ParsedObject object;
        try {
            object = ParseObjectLine(lines[static_cast<std::size_t>(index)]);
        } catch (const std::exception &e) {
            o.flush();
            std::fprintf(err, "%d: %s\n", lineNumber, ErrorText(e).c_str());
            status = 1;
            break;
        }
        const std::string name = DecodeToUtf8(object.name, encoding);
        const NightCurve curve = NightElevations(object.ra, object.dec, date, site.longitude,
                                                 site.latitude, site.timeZone, warn);
        if (chart) {
            curves.push_back({name, curve});
        } else if (json) {
            o << (first ? "\n" : ",\n") << "{\"line\":" << lineNumber << ",\"name\":\""
              << JsonEscape(name) << "\",\"points\":[";
            for (std::size_t i = 0; i < curve.size(); ++i)
                o << (i == 0 ? "[" : ",[") << curve[i].x << "," << curve[i].elevationDeg << "]";
            o << "]}";
        } else {
            const std::string prefix = std::to_string(lineNumber) + "," + CsvField(name) + ",";
            for (const NightPoint &point : curve)
                o << prefix << point.x << "," << point.elevationDeg << "\n";
        }
        first = false;
    }
    if (chart)
        WriteChartFiles(options, date, curves);
    else if (json)
        o << (first ? "]\n" : "\n]\n");
    return status;
}

int RunNowTexts(const Options &options, const SiteValues &site, std::FILE *out, std::FILE *err)
{
    if (!options.at)
        throw UsageError("--now-texts needs --at");
    const LocaleFormats formats = LocaleFormatsOf(QLocale::system());
    std::string label = LocalTimeLabel(*options.at, formats);
    label.replace(label.find('\r'), 1, " / ");
    const std::string ut = UniversalTimeText(*options.at, site.timeZone, formats);
    const std::string lst =
        SiderealTimeText(*options.at, site.longitude, site.timeZone, PrintTo(err));
    std::fprintf(out, "%s\n%s\n%s\n", label.c_str(), ut.c_str(), lst.c_str());
    return 0;
}

} // namespace

DateTimeValue ParseMoment(std::string_view text)
{
    if (text.size() != 19 || text[10] != 'T')
        throw UsageError("malformed moment '" + std::string(text) + "': want YYYY-MM-DDTHH:MM:SS");
    const TDateRec date = ParseDate(text.substr(0, 10));
    const THMSRec time = ParseTime(text.substr(11));
    return DateTimeValue::FromParts(date, time.hours, time.minutes,
                                    static_cast<std::int32_t>(time.seconds));
}

void ParseSize(std::string_view text, int &width, int &height)
{
    const std::size_t x = text.find('x');
    const auto w = x == std::string_view::npos ? std::nullopt : ParseDigits(text.substr(0, x));
    const auto h = x == std::string_view::npos ? std::nullopt : ParseDigits(text.substr(x + 1));
    if (!w || !h || *w < kMinImageSide || *h < kMinImageSide || *w > kMaxImageSide ||
        *h > kMaxImageSide)
        throw UsageError("malformed size '" + std::string(text) + "': want WxH, 16 to 10000");
    width = *w;
    height = *h;
}

namespace {

// Three whole numbers of fixed widths joined by `separator`, each within its
// bounds ("2001-12-31", "21:00:00"); empty when the text is not of that form.
std::optional<std::array<int, 3>> ParseTriple(std::string_view text, char separator,
                                              const std::array<std::size_t, 3> &widths,
                                              const std::array<int, 3> &low,
                                              const std::array<int, 3> &high)
{
    std::array<int, 3> values{};
    std::size_t at = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (i > 0 && (at >= text.size() || text[at++] != separator))
            return std::nullopt;
        const auto value = ParseDigits(text.substr(at, widths[i]), widths[i]);
        if (!value || *value < low[i] || *value > high[i])
            return std::nullopt;
        values[i] = *value;
        at += widths[i];
    }
    if (at != text.size())
        return std::nullopt;
    return values;
}

} // namespace

TDateRec ParseDate(std::string_view text)
{
    const auto date = ParseTriple(text, '-', {4, 2, 2}, {kMinYear, 1, 1}, {kMaxYear, 12, 31});
    if (!date)
        throw UsageError("malformed date '" + std::string(text) + "': want YYYY-MM-DD");
    return {(*date)[0], (*date)[1], (*date)[2]};
}

THMSRec ParseTime(std::string_view text)
{
    const auto time = ParseTriple(text, ':', {2, 2, 2}, {0, 0, 0}, {23, 59, 59});
    if (!time)
        throw UsageError("malformed time '" + std::string(text) + "': want HH:MM:SS");
    return {(*time)[0], (*time)[1], static_cast<double>((*time)[2])};
}

std::vector<int> ParseObjectList(std::string_view list, int lineCount)
{
    std::set<int> chosen;
    if (list.empty()) {
        for (int i = 0; i < lineCount; ++i)
            chosen.insert(i);
        return {chosen.begin(), chosen.end()};
    }
    const auto fail = [&](const std::string &why) {
        throw UsageError("bad --objects '" + std::string(list) + "': " + why);
    };
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string_view item = list.substr(start, comma - start);
        const std::size_t dash = item.find('-');
        const auto first = ParseDigits(item.substr(0, dash));
        const auto last =
            dash == std::string_view::npos ? first : ParseDigits(item.substr(dash + 1));
        if (!first || !last || *first < 1 || *last < *first)
            fail("want line numbers such as 1,3,5-7");
        if (*last > lineCount)
            fail("the catalogue has " + std::to_string(lineCount) + " lines");
        for (int n = *first; n <= *last; ++n)
            chosen.insert(n - 1);
        start = comma + 1;
    }
    return {chosen.begin(), chosen.end()};
}

std::string FormatExact(double value)
{
    char buffer[32];
    const auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, end);
}

std::string CsvField(std::string_view text)
{
    const bool needsQuotes = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                             (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!needsQuotes)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

std::string JsonEscape(std::string_view text)
{
    std::string escaped;
    for (const char c : text) {
        switch (c) {
        case '"':
            escaped += "\\\"";
            break;
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\t':
            escaped += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                escaped += buffer;
            } else {
                escaped += c;
            }
        }
    }
    return escaped;
}

Options ParseArguments(const std::vector<std::string> &args)
{
    Options options;
    bool all = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        const auto value = [&]() -> const std::string & {
            if (i + 1 >= args.size())
                throw UsageError(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--catalogue")
            options.cataloguePath = value();
        else if (arg == "--site")
            options.sitePath = value();
        else if (arg == "--longitude")
            options.longitude = ParseNumberOption(arg, value());
        else if (arg == "--latitude")
            options.latitude = ParseNumberOption(arg, value());
        else if (arg == "--timezone")
            options.timeZone = ParseNumberOption(arg, value());
        else if (arg == "--date")
            options.date = ParseDate(value());
        else if (arg == "--time")
            options.time = ParseTime(value());
        else if (arg == "--objects")
            options.objects = value();
        else if (arg == "--all")
            all = true;
        else if (arg == "--times")
            options.mode = Mode::Times;
        else if (arg == "--now-texts")
            options.mode = Mode::NowTexts;
        else if (arg == "--at")
            options.at = ParseMoment(value());
        else if (arg == "--png")
            options.pngPath = value();
        else if (arg == "--svg")
            options.svgPath = value();
        else if (arg == "--pdf")
            options.pdfPath = value();
        else if (arg == "--size")
            ParseSize(value(), options.width, options.height);
        else if (arg == "--format") {
            const std::string &format = value();
            if (format == "csv")
                options.format = Format::Csv;
            else if (format == "json")
                options.format = Format::Json;
            else
                throw UsageError("--format takes csv or json, not '" + format + "'");
        } else
            throw UsageError("unknown option '" + arg + "'");
    }
    if (all && !options.objects.empty())
        throw UsageError("--objects and --all exclude each other");
    if (options.objects.empty() && args.empty())
        throw UsageError("nothing to do");
    return options;
}

int Run(const Options &options, std::FILE *out, std::FILE *err)
{
    const SiteValues site = ResolveSite(options);
    switch (options.mode) {
    case Mode::Times:
        return RunTimes(options, site, out, err);
    case Mode::NowTexts:
        return RunNowTexts(options, site, out, err);
    case Mode::Curves:
        break;
    }
    return RunCurves(options, site, out, err);
}

int Main(const std::vector<std::string> &args, std::FILE *out, std::FILE *err)
{
    try {
        return Run(ParseArguments(args), out, err);
    } catch (const UsageError &e) {
        std::fprintf(err, "mirado-night: %s\n%s", e.what(), kUsage);
    } catch (const std::exception &e) {
        std::fprintf(err, "mirado-night: %s\n", ErrorText(e).c_str());
    }
    return 2;
}

} // namespace mirado::night
