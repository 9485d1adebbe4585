// SPDX-License-Identifier: GPL-3.0-or-later
#include "options.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "data/convert.h"
#include "data/errors.h"
#include "night/elevationmodel.h"
#include "night/season.h"

#ifndef MIRADO_VERSION_TEXT
#error "MIRADO_VERSION_TEXT must be defined by the build"
#endif

namespace mirado::tool {

namespace {

constexpr int kMinYear = 1900;
constexpr int kMaxYear = 2999;
constexpr int kMinImageSide = 16;
constexpr int kMaxImageSide = 10000;

// Whole decimal number of exactly `digits` digits (any count up to 9 when 0).
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

// The largest line number a list takes: nine digits.
constexpr int kMaxLineNumber = 999'999'999;

bool AllDigits(std::string_view text)
{
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

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

int DaysInMonth(int year, int month)
{
    constexpr std::array<int, 12> kDays{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[static_cast<std::size_t>(month - 1)];
}

std::string Quoted(std::string_view text)
{
    return "'" + std::string(text) + "'";
}

// A number in [-limit, limit], written with a full stop.
double ParseBoundedNumber(std::string_view option, std::string_view text, double limit)
{
    double value = 0.0;
    try {
        value = StrToFloat(std::string(text), kDefaultDecimalSeparator);
    } catch (const Error &) {
        throw UsageError(std::string(option) + " takes a number, not " + Quoted(text));
    }
    if (!(value >= -limit && value <= limit)) {
        char bound[16];
        std::snprintf(bound, sizeof bound, "%g", limit);
        throw UsageError(std::string(option) + " takes a number from -" + bound + " to " + bound +
                         ", not " + Quoted(text));
    }
    return value;
}

// Rethrows a value's UsageError with the option's name in front.
template <typename Parse> auto ForOption(std::string_view option, Parse parse)
{
    try {
        return parse();
    } catch (const UsageError &e) {
        throw UsageError(std::string(option) + ": " + e.what());
    }
}

// Chooses the mode `option` names; two options that name different modes
// exclude each other.
void ChooseMode(Options &options, Mode mode, std::string_view option)
{
    if (!options.modeOption.empty() && options.modeOption != option)
        throw UsageError(options.modeOption + " and " + std::string(option) +
                         " exclude each other");
    options.mode = mode;
    options.modeOption = option;
}

// One option of the table: its names, the placeholder of its value (none for
// a switch), its line of help, and what it sets.
struct OptionSpec
{
    std::string_view name;
    char shortName;
    std::string_view valueName;
    std::string_view help;
    void (*apply)(Options &, std::string_view option, std::string_view value);
};

constexpr OptionSpec kOptions[] = {
    {"--catalogue", 0, "FILE", "catalogue to read; - is standard input",
     [](Options &o, std::string_view, std::string_view v) { o.cataloguePath = v; }},
    {"--site", 0, "FILE", "site file: longitude, latitude, time zone, catalogue",
     [](Options &o, std::string_view, std::string_view v) { o.sitePath = v; }},
    {"--longitude", 0, "DEG", "longitude, east positive, -360 to 360",
     [](Options &o, std::string_view n, std::string_view v) {
         o.longitude = ParseBoundedNumber(n, v, kMaxLongitude);
     }},
    {"--latitude", 0, "DEG", "latitude, north positive, -90 to 90",
     [](Options &o, std::string_view n, std::string_view v) {
         o.latitude = ParseBoundedNumber(n, v, kMaxLatitude);
     }},
    {"--timezone", 0, "HOURS", "hours ahead of universal time, -24 to 24",
     [](Options &o, std::string_view n, std::string_view v) {
         o.timeZone = ParseBoundedNumber(n, v, kMaxTimeZoneHours);
     }},
    {"--date", 0, "YYYY-MM-DD", "the night's date (default: tonight at the site)",
     [](Options &o, std::string_view n, std::string_view v) {
         o.date = ForOption(n, [&] { return ParseDate(v); });
     }},
    {"--objects", 0, "LIST", "catalogue lines, e.g. 1,3,5-7 (default: every line)",
     [](Options &o, std::string_view n, std::string_view v) {
         o.objects = ForOption(n, [&] { return ParseLineRanges(v); });
     }},
    {"--all", 0, "", "every line of the catalogue (the default)",
     [](Options &o, std::string_view, std::string_view) { o.all = true; }},
    {"--format", 0, "csv|json", "text output (default: csv)",
     [](Options &o, std::string_view n, std::string_view v) {
         if (v == "csv")
             o.format = Format::Csv;
         else if (v == "json")
             o.format = Format::Json;
         else
             throw UsageError(std::string(n) + " takes csv or json, not " + Quoted(v));
     }},
    {"--model", 0, "chart|precise", "elevation model of curves, events and images (default: chart)",
     [](Options &o, std::string_view n, std::string_view v) {
         if (!ElevationModelNamed(v))
             throw UsageError(std::string(n) + " takes chart or precise, not " + Quoted(v));
         o.model = v;
     }},
    {"--unique", 0, "", "leave out the second point of the pairs drawn at 24:00-24:50",
     [](Options &o, std::string_view, std::string_view) { o.unique = true; }},
    {"--keep-going", 0, "", "report every bad catalogue line and print every good one",
     [](Options &o, std::string_view, std::string_view) { o.keepGoing = true; }},
    {"--twilight", 0, "", "images: shade the background for twilight and darkness",
     [](Options &o, std::string_view, std::string_view) { o.twilight = true; }},
    {"--moon", 0, "", "images: draw the Moon's altitude, its rise and set, its phase",
     [](Options &o, std::string_view, std::string_view) { o.moon = true; }},
    {"--transits", 0, "", "images: mark each curve's transit and its time",
     [](Options &o, std::string_view, std::string_view) { o.transits = true; }},
    {"--events", 0, "", "print the nights' Sun, Moon and object events instead",
     [](Options &o, std::string_view n, std::string_view) { ChooseMode(o, Mode::Events, n); }},
    {"--season", 0, "", "print each object's dark, moon-free hours per night instead",
     [](Options &o, std::string_view n, std::string_view) { ChooseMode(o, Mode::Season, n); }},
    {"--min-altitude", 0, "DEG", "events, season: altitude limit of dark_hours_above (default: 30)",
     [](Options &o, std::string_view n, std::string_view v) {
         o.minAltitudeDeg = ParseBoundedNumber(n, v, kMaxLatitude);
     }},
    {"--from", 0, "YYYY-MM-DD", "events, season: the first night of a span (with --to)",
     [](Options &o, std::string_view n, std::string_view v) {
         o.from = ForOption(n, [&] { return ParseDate(v); });
     }},
    {"--to", 0, "YYYY-MM-DD", "events, season: the last night of a span (with --from)",
     [](Options &o, std::string_view n, std::string_view v) {
         o.to = ForOption(n, [&] { return ParseDate(v); });
     }},
    {"--png", 0, "FILE", "draw the chart as PNG instead; - is standard output",
     [](Options &o, std::string_view, std::string_view v) { o.pngPath = v; }},
    {"--svg", 0, "FILE", "draw the chart as SVG instead; - is standard output",
     [](Options &o, std::string_view, std::string_view v) { o.svgPath = v; }},
    {"--pdf", 0, "FILE", "draw the chart as PDF instead; - is standard output",
     [](Options &o, std::string_view, std::string_view v) { o.pdfPath = v; }},
    {"--size", 0, "WxH",
     "image size in pixels (default: 632x347; a season: 960 wide, as high as its rows)",
     [](Options &o, std::string_view n, std::string_view v) {
         std::tie(o.width, o.height) = ForOption(n, [&] { return ParseSize(v); });
         o.sizeGiven = true;
     }},
    {"--times", 0, "", "print the sidereal times and universal time of --date --time",
     [](Options &o, std::string_view n, std::string_view) { ChooseMode(o, Mode::Times, n); }},
    {"--time", 0, "HH:MM:SS", "the site-local time of --times",
     [](Options &o, std::string_view n, std::string_view v) {
         o.time = ForOption(n, [&] { return ParseTime(v); });
     }},
    {"--now-texts", 0, "", "print the window's time texts (default: the present moment)",
     [](Options &o, std::string_view n, std::string_view) { ChooseMode(o, Mode::NowTexts, n); }},
    {"--at", 0, "YYYY-MM-DDTHH:MM:SS", "the site-local moment of --now-texts",
     [](Options &o, std::string_view n, std::string_view v) {
         o.at = ForOption(n, [&] { return ParseMoment(v); });
     }},
    {"--help", 'h', "", "print this help and exit",
     [](Options &o, std::string_view, std::string_view) { o.mode = Mode::Help; }},
    {"--version", 'V', "", "print the version and exit",
     [](Options &o, std::string_view, std::string_view) { o.mode = Mode::Version; }},
};

const OptionSpec *FindOption(std::string_view name)
{
    for (const OptionSpec &spec : kOptions) {
        if (spec.name == name || (spec.shortName != 0 && name.size() == 2 && name[0] == '-' &&
                                  name[1] == spec.shortName))
            return &spec;
    }
    return nullptr;
}

void CheckCombination(const Options &options)
{
    if (options.all && !options.objects.empty())
        throw UsageError("--objects and --all exclude each other");
    if (options.mode == Mode::Times && (!options.date || !options.time))
        throw UsageError("--times needs --date and --time");
    if (options.from.has_value() != options.to.has_value())
        throw UsageError("--from and --to go together");
    if (options.from && options.mode != Mode::Events && options.mode != Mode::Season)
        throw UsageError("--from and --to go with --events or --season");
    if (options.from && options.date)
        throw UsageError("--date and --from/--to exclude each other");
    if (options.from && DateTimeValue::FromParts(*options.from, 0, 0, 0).seconds() >
                            DateTimeValue::FromParts(*options.to, 0, 0, 0).seconds())
        throw UsageError("--from comes after --to");
    if (options.mode == Mode::Season && options.from) {
        try {
            SeasonDates(*options.from, *options.to);
        } catch (const Error &e) {
            throw UsageError(std::string("--from/--to: ") + e.what());
        }
    }
    if (options.mode == Mode::Events && options.drawsChart())
        throw UsageError("--events prints text, not images");
    int toStandardOutput = 0;
    for (const std::string *path : {&options.pngPath, &options.svgPath, &options.pdfPath})
        toStandardOutput += *path == kStandardStream ? 1 : 0;
    if (toStandardOutput > 1)
        throw UsageError("only one image can go to standard output");
}

} // namespace

Options ParseArguments(const std::vector<std::string> &args)
{
    if (args.empty())
        throw UsageError("nothing to do");
    Options options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const std::size_t equals = arg.rfind("--", 0) == 0 ? arg.find('=') : std::string_view::npos;
        const std::string_view name = arg.substr(0, equals);
        const OptionSpec *spec = FindOption(name);
        if (!spec)
            throw UsageError("unknown option " + Quoted(arg));
        std::string_view value;
        if (equals != std::string_view::npos) {
            if (spec->valueName.empty())
                throw UsageError(std::string(spec->name) + " takes no value");
            value = arg.substr(equals + 1);
        } else if (!spec->valueName.empty()) {
            if (i + 1 >= args.size())
                throw UsageError(std::string(spec->name) + " needs a value");
            value = args[++i];
        }
        spec->apply(options, spec->name, value);
        if (options.mode == Mode::Help || options.mode == Mode::Version)
            return options;
    }
    CheckCombination(options);
    return options;
}

std::vector<LineRange> ParseLineRanges(std::string_view list)
{
    const auto fail = [&](const std::string &why) -> void {
        throw UsageError("bad list " + Quoted(list) + ": " + why);
    };
    if (list.empty())
        fail("want line numbers such as 1,3,5-7");
    std::vector<LineRange> ranges;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        const std::string_view item = list.substr(start, comma - start);
        const std::size_t dash = item.find('-');
        const auto first = ParseDigits(item.substr(0, dash));
        const auto last =
            dash == std::string_view::npos ? first : ParseDigits(item.substr(dash + 1));
        // Digits that make too large a number are named as such.
        const std::string_view lastText =
            dash == std::string_view::npos ? item : item.substr(dash + 1);
        if ((!first && AllDigits(item.substr(0, dash))) || (!last && AllDigits(lastText)))
            fail("line numbers go up to " + std::to_string(kMaxLineNumber));
        if (!first || !last || *first < 1)
            fail("want line numbers such as 1,3,5-7");
        if (*last < *first)
            fail("the range " + Quoted(item) + " is reversed");
        ranges.emplace_back(*first, *last);
        start = comma + 1;
    }
    return ranges;
}

LineSelection ChosenLines(const std::vector<LineRange> &ranges, int lineCount)
{
    if (ranges.empty()) {
        if (lineCount <= 0)
            return LineSelection();
        return LineSelection({{0, lineCount - 1}});
    }
    std::vector<LineRange> sorted;
    for (const auto &[first, last] : ranges) {
        if (last > lineCount)
            throw UsageError("--objects: the catalogue has " + std::to_string(lineCount) +
                             " lines");
        sorted.emplace_back(first - 1, last - 1);
    }
    // Sorted and merged where they overlap or touch.
    std::sort(sorted.begin(), sorted.end());
    std::vector<LineRange> merged;
    for (const LineRange &range : sorted) {
        if (!merged.empty() && range.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, range.second);
        else
            merged.push_back(range);
    }
    return LineSelection(std::move(merged));
}

TDateRec ParseDate(std::string_view text)
{
    const auto date = ParseTriple(text, '-', {4, 2, 2}, {kMinYear, 1, 1}, {kMaxYear, 12, 31});
    if (!date || (*date)[2] > DaysInMonth((*date)[0], (*date)[1]))
        throw UsageError("not a calendar date YYYY-MM-DD from 1900 to 2999: " + Quoted(text));
    return {(*date)[0], (*date)[1], (*date)[2]};
}

THMSRec ParseTime(std::string_view text)
{
    const auto time = ParseTriple(text, ':', {2, 2, 2}, {0, 0, 0}, {23, 59, 59});
    if (!time)
        throw UsageError("not a time HH:MM:SS: " + Quoted(text));
    return {(*time)[0], (*time)[1], static_cast<double>((*time)[2])};
}

DateTimeValue ParseMoment(std::string_view text)
{
    if (text.size() != 19 || text[10] != 'T')
        throw UsageError("not a moment YYYY-MM-DDTHH:MM:SS: " + Quoted(text));
    const TDateRec date = ParseDate(text.substr(0, 10));
    const THMSRec time = ParseTime(text.substr(11));
    return DateTimeValue::FromParts(date, time.hours, time.minutes,
                                    static_cast<std::int32_t>(time.seconds));
}

std::pair<int, int> ParseSize(std::string_view text)
{
    const std::size_t x = text.find('x');
    const auto w = x == std::string_view::npos ? std::nullopt : ParseDigits(text.substr(0, x));
    const auto h = x == std::string_view::npos ? std::nullopt : ParseDigits(text.substr(x + 1));
    if (!w || !h || *w < kMinImageSide || *h < kMinImageSide || *w > kMaxImageSide ||
        *h > kMaxImageSide)
        throw UsageError("not a size WxH of 16 to 10000 pixels: " + Quoted(text));
    return {*w, *h};
}

std::string VersionText()
{
    return std::string("mirado-night ") + MIRADO_VERSION_TEXT;
}

std::string UsageText()
{
    return "Usage: mirado-night [--catalogue FILE] [OPTION]...\n"
           "  or:  mirado-night --events [--from YYYY-MM-DD --to YYYY-MM-DD] [OPTION]...\n"
           "  or:  mirado-night --season [--from YYYY-MM-DD --to YYYY-MM-DD] [OPTION]...\n"
           "  or:  mirado-night --times --date YYYY-MM-DD --time HH:MM:SS [OPTION]...\n"
           "  or:  mirado-night --now-texts [--at YYYY-MM-DDTHH:MM:SS] [OPTION]...\n";
}

std::string HelpText()
{
    std::string text = UsageText();
    text += "\nThe elevations of a catalogue's objects over one night, every 10 minutes from\n"
            "17:00 to 07:50, computed as the Mirado window plots them; or the sidereal times\n"
            "of a moment. Values from --site are read as the window reads them, held to\n"
            "the bounds of --longitude, --latitude and --timezone (a value outside is\n"
            "refused naming the file and its line); the options override them. The\n"
            "present moment (the default date, --now-texts without --at) is the system\n"
            "clock's universal time plus the site's time zone in whole minutes: the site's\n"
            "standard time. Output cut short by a closed pipe ends the run quietly.\n"
            "\nOptions:\n";
    for (const OptionSpec &spec : kOptions) {
        std::string left = "  ";
        if (spec.shortName != 0)
            left += std::string("-") + spec.shortName + ", ";
        else
            left += "    ";
        left += spec.name;
        if (!spec.valueName.empty())
            left += std::string(" ") + std::string(spec.valueName);
        constexpr std::size_t kHelpColumn = 36;
        left += left.size() < kHelpColumn ? std::string(kHelpColumn - left.size(), ' ')
                                          : "\n" + std::string(kHelpColumn, ' ');
        text += left + std::string(spec.help) + "\n";
    }
    text += "\nOutput:\n"
            "  CSV has the columns line,name,x,elevation,local,ut,airmass: the catalogue\n"
            "  line, the whole name in UTF-8, x on the night axis in hours (24 is midnight),\n"
            "  the elevation in degrees, the site-local date-time of x (the morning's, from\n"
            "  x = 24, on the next day), its universal time and the air mass (Kasten and\n"
            "  Young 1989; empty at or below the horizon). JSON is one object: date, site,\n"
            "  model (what the numbers are, by --model) and the objects with their points.\n"
            "  --events prints, night by night, the Sun's set, civil, nautical and\n"
            "  astronomical dusk and dawn and rise, the Moon's rise, set and illuminated\n"
            "  fraction, and each chosen object's rise, transit (time and elevation), set\n"
            "  and dark_hours_above: the hours with the Sun below -18 degrees and the\n"
            "  object at or above --min-altitude, and moon_separation (the last CSV\n"
            "  column): the degrees between the object's precise apparent place (ERFA,\n"
            "  whatever the model) and the Moon's centre, both seen from the site, at\n"
            "  the object's transit. Times are site-local YYYY-MM-DDTHH:MM:SS,\n"
            "  empty (CSV) or null (JSON) when the event does not occur between 12:00 on\n"
            "  the date and 12:00 the next day. The catalogue is optional there.\n"
            "  --season prints, for each chosen object and each night from --from to --to\n"
            "  (at most 731 nights; without them, the 12 months from --date), the columns\n"
            "  line,name,date,dark_hours_above,moonfree_hours_above,moon_illumination,\n"
            "  dark_hours,best: dark_hours_above as --events gives it; moonfree_hours_above\n"
            "  the part of it with the Moon's centre below -0.8333 degrees, or all of it\n"
            "  when the Moon is less than 0.25 lit; the Moon's illuminated fraction; the\n"
            "  night's hours with the Sun below -18 degrees (0 where it never gets that\n"
            "  dark); and best = 1 on the object's night with the most moon-free hours\n"
            "  (the earliest of those within a second of the most; none when it has no\n"
            "  such hour). JSON gives the nights once and each object's nights with\n"
            "  best_night (a date or null). With --png, --svg or --pdf it draws instead\n"
            "  the window's season chart: a row per object, each night shaded by its\n"
            "  dark_hours_above, the Moon and the darkness above, nights that never get\n"
            "  dark hatched, each best night marked with a triangle.\n"
            "\nModels:\n"
            "  chart    the Mirado chart's own model, the default: the catalogue's\n"
            "           coordinates as given, sidereal time at the solar rate, the morning\n"
            "           computed with the evening's date. Against astropy (2026, four\n"
            "           sites) its altitudes are off by up to 1.01 degrees (95% of them by\n"
            "           0.65 or less), its rise, transit and set by 5 minutes or less in\n"
            "           95% of cases and by over half an hour for objects that graze the\n"
            "           horizon.\n"
            "  precise  ERFA (IAU 2006/2000A): coordinates taken as ICRS (J2000), apparent\n"
            "           topocentric places, UT1 = UTC, no polar motion, height 0 m; every\n"
            "           moment at its own date. Geometric (airless) altitudes, no\n"
            "           refraction: near the horizon the sky shows an object up to about\n"
            "           0.6 degrees higher, and rises earlier and sets later by minutes\n"
            "           (more at high latitudes).\n"
            "           Against astropy under the same conventions, 1950 to 2099 at\n"
            "           latitudes 0 to 78 degrees north and south: altitudes within 0.04\n"
            "           arcseconds, rise and set within 0.01 s, transit within 0.4 s (times\n"
            "           are printed to the second). Other years from 1900 to 2999 rest on\n"
            "           ERFA's leap seconds, time scales and Earth ephemeris alone.\n"
            "\nExit status:\n"
            "  0  done\n"
            "  1  a catalogue line did not parse, an astronomy routine failed on it, a\n"
            "     line of a UTF-8 catalogue is not valid UTF-8, or the text ends at a NUL\n"
            "     byte with more after it (reported as FILE:LINE: text on standard error)\n"
            "  2  the command line cannot be carried out, a file cannot be read or holds\n"
            "     more than 4 GiB of text, or the output cannot be written\n"
            "\nExample:\n"
            "  mirado-night --site site.txt --date 2026-12-07 --objects 1-3 --format json\n"
            "  mirado-night --site site.txt --events --from 2027-01-01 --to 2027-12-31\n"
            "  mirado-night --site site.txt --season --date 2027-01-01 --min-altitude 40\n";
    return text;
}

} // namespace mirado::tool
