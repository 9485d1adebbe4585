// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// mirado-night links no Qt library, so a plain run starts in a few
// milliseconds. Images and the present-moment texts need Qt; such a run is
// handed over whole to the companion executable mirado-night-chart, which
// replaces the process with the same arguments, standard input, output and
// error, so "--catalogue -" and "--png -" work through it unchanged.

#include <string>
#include <vector>

namespace mirado::tool {

inline constexpr const char *kCompanionName = "mirado-night-chart";

// Where the companion is looked for, first found wins: beside the running
// program (the build tree) and in ../lib/mirado/ from it (an installation).
std::vector<std::string> CompanionCandidates(const std::string &programFolder);

// Replaces the process with the companion, run on `args` (the program's
// arguments without its name). Returns only on failure, after reporting it on
// standard error, with status 2.
int HandOverToCompanion(const std::vector<std::string> &args);

} // namespace mirado::tool
