// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// mirado-night's command line: what it asks for, read from the arguments by
// one table of options that also writes the help text.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "astro/clocktime.h"
#include "astro/types.h"
#include "night/session.h"

namespace mirado::tool {

// A command line that cannot be carried out: unknown option, malformed value,
// missing or unreadable file. Ends the program with status 2.
class UsageError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

enum class Mode
{
    Curves,
    Times,
    NowTexts,
    Events,
    Season,
    Help,
    Version,
};

enum class Format
{
    Csv,
    Json,
};

inline constexpr const char *kStandardStream = "-";

// The bounds of the site's values on the command line, which also apply to
// the values the tool takes from a site file.
inline constexpr double kMaxLatitude = 90.0;
inline constexpr double kMaxLongitude = 360.0;
inline constexpr double kMaxTimeZoneHours = 24.0;

struct Options
{
    Mode mode = Mode::Curves;
    std::string modeOption;    // the option that chose `mode`; empty for the curves
    std::string cataloguePath; // empty: the site file's catalogue; "-": standard input
    std::string sitePath;      // empty: the default site
    std::optional<double> longitude;
    std::optional<double> latitude;
    std::optional<double> timeZone;
    std::optional<TDateRec> date; // empty: the night of the site's present moment
    std::optional<THMSRec> time;
    std::optional<DateTimeValue> at; // the site-local moment of --now-texts
    std::vector<LineRange> objects;  // 1-based; empty: every line
    bool all = false;
    Format format = Format::Csv;
    bool unique = false; // drop the second point of each equal pair
    // --events: the nights from `from` to `to` (both or neither; else the
    // night of `date`), and the altitude limit of the dark hours. --season:
    // the same span (neither: kSeasonDefaultMonths months from `date`) and
    // limit.
    std::optional<TDateRec> from;
    std::optional<TDateRec> to;
    double minAltitudeDeg = 30.0;
    bool keepGoing = false; // report a bad line and go on with the next
    // The chart drawn as the window shows it, instead of the numbers; "-" is
    // standard output.
    std::string pngPath;
    std::string svgPath;
    std::string pdfPath;
    int width = 632;
    int height = 347;
    bool sizeGiven = false;      // --size; else the season chart takes its own size
    bool twilight = false;       // images shade the sky's darkness as the window can
    bool moon = false;           // images draw the Moon, its rise and its set
    bool transits = false;       // images mark each curve's transit and its time
    std::string model = "chart"; // the elevation model of curves, events and images

    bool drawsChart() const { return !pngPath.empty() || !svgPath.empty() || !pdfPath.empty(); }
    // Images and the present-moment texts need Qt; the numbers do not.
    bool needsQt() const
    {
        return mode == Mode::NowTexts ||
               ((mode == Mode::Curves || mode == Mode::Season) && drawsChart());
    }
};

// Parses the arguments after the program name; "--option value" and
// "--option=value" alike. Raises UsageError naming the option at fault.
Options ParseArguments(const std::vector<std::string> &args);

// "1,3,5-7" as ranges. Raises UsageError for an empty list, an empty item, a
// reversed range or a line number below 1.
std::vector<LineRange> ParseLineRanges(std::string_view list);

// The lines of `ranges` (every line when `ranges` is empty). Raises
// UsageError when a range passes the last of `lineCount` lines.
LineSelection ChosenLines(const std::vector<LineRange> &ranges, int lineCount);

// "YYYY-MM-DD", a date of the calendar from 1900 to 2999; "HH:MM:SS";
// "YYYY-MM-DDTHH:MM:SS"; "WxH" (each 16 to 10000 pixels). Raise UsageError.
TDateRec ParseDate(std::string_view text);
THMSRec ParseTime(std::string_view text);
DateTimeValue ParseMoment(std::string_view text);
std::pair<int, int> ParseSize(std::string_view text);

// "mirado-night 0.8.1".
std::string VersionText();
// The synopsis, printed with a usage error.
std::string UsageText();
// The synopsis, every option, the exit statuses and an example.
std::string HelpText();

} // namespace mirado::tool
