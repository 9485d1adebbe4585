// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// mirado-night's run: the night's curves through one writer, the sidereal
// times of a moment, and the texts of the present moment.

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "curvewriter.h"
#include "night/season.h"
#include "options.h"
#include "output.h"

namespace mirado::tool {

// The parts of a run that need Qt. mirado-night itself links no Qt library
// and leaves them empty: a run that needs them is handed over whole to its
// companion mirado-night-chart, which fills them in.
struct QtParts
{
    // The writer of the images the options name; `out` is standard output
    // for an image written to "-".
    std::function<std::unique_ptr<CurveWriter>(const Options &, Output &out)> images;
    // Prints the window's three time texts of the site-local moment `at`.
    std::function<void(const DateTimeValue &at, const SiteValues &site, Output &out,
                       const WarningReporter &warn)>
        nowTexts;
    // Draws the season as the images the options name (--season with --png,
    // --svg or --pdf); `out` is standard output for an image written to "-".
    // Empty where no season chart is built: such a run is refused.
    std::function<void(const Season &season, const Options &, Output &out)> seasonImages;
    // Called instead when `images` and `nowTexts` are empty; returns the exit
    // status.
    std::function<int()> handOver;
};

// Carries out the command line. Returns the exit status: 0 done, 1 a catalogue
// line did not parse or an astronomy routine failed on it, a line of a UTF-8
// catalogue was not valid UTF-8 or its text was cut off at a NUL byte, 2 the
// command could not be carried out or its output not written. Raises
// UsageError, the program's Error, WriteError and ClosedPipe.
int Run(const Options &options, std::FILE *out, std::FILE *err, const QtParts &qt);

// Parses and runs, reporting every failure on `err`; the program's main.
// `out` is standard output.
int Main(const std::vector<std::string> &args, std::FILE *out, std::FILE *err,
         const QtParts &qt = {});

} // namespace mirado::tool
