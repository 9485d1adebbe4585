// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// mirado-night: the night's elevation curves and the sidereal times of a
// moment, computed by the same code as the window, printed for scripts.

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "astro/clocktime.h"
#include "astro/types.h"

namespace mirado::night {

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
};

enum class Format
{
    Csv,
    Json,
};

struct Options
{
    Mode mode = Mode::Curves;
    std::string cataloguePath; // empty: the site file's catalogue
    std::string sitePath;      // empty: the default site
    std::optional<double> longitude;
    std::optional<double> latitude;
    std::optional<double> timeZone;
    std::optional<TDateRec> date; // empty: tonight by the 7:00 rule
    std::optional<THMSRec> time;
    std::optional<DateTimeValue> at; // the local moment of --now-texts
    std::string objects;             // 1-based line list; empty: every line
    Format format = Format::Csv;
    // The chart drawn as the window shows it, instead of the numbers.
    std::string pngPath;
    std::string svgPath;
    std::string pdfPath;
    int width = 632;
    int height = 347;

    bool drawsChart() const { return !pngPath.empty() || !svgPath.empty() || !pdfPath.empty(); }
};

// Parses the arguments after the program name. Raises UsageError.
Options ParseArguments(const std::vector<std::string> &args);

// "1,3,5-7" as 0-based indexes in catalogue order without repeats, each below
// `lineCount`. Raises UsageError.
std::vector<int> ParseObjectList(std::string_view list, int lineCount);

// Parses "YYYY-MM-DD" (year 1900 to 2999, month 1 to 12, day 1 to 31) and
// "HH:MM:SS". Raise UsageError.
TDateRec ParseDate(std::string_view text);
THMSRec ParseTime(std::string_view text);

// Parses "YYYY-MM-DDTHH:MM:SS". Raises UsageError.
DateTimeValue ParseMoment(std::string_view text);

// Parses "WxH" (each 16 to 10000 pixels). Raises UsageError.
void ParseSize(std::string_view text, int &width, int &height);

// Formats a double so that it reads back as the same double.
std::string FormatExact(double value);

// Quotes a CSV field when it holds a comma, a quote, a line break or
// surrounding blanks.
std::string CsvField(std::string_view text);

// Escapes a JSON string (without the surrounding quotes).
std::string JsonEscape(std::string_view text);

// Carries out the command line. `today` is the local moment that names
// tonight when no date is given. Returns the exit status: 0 done, 1 a
// catalogue line did not parse, 2 the command could not be carried out.
int Run(const Options &options, std::FILE *out, std::FILE *err);

// Parses and runs; the program's main.
int Main(const std::vector<std::string> &args, std::FILE *out, std::FILE *err);

} // namespace mirado::night
