// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "night/curve.h"
#include "nightcli.h"

namespace mirado::night {

struct ChartCurve
{
    std::string name; // UTF-8
    NightCurve points;
};

// Draws the chart as the window shows it after a plot of `curves` (title
// "Mirado " and the date, one curve per object in palette order, legend) and
// writes it to the PNG, SVG and PDF files the options name. Needs no display.
// Raises UsageError when a file cannot be written.
void WriteChartFiles(const Options &options, const TDateRec &date,
                     const std::vector<ChartCurve> &curves);

} // namespace mirado::night
