// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

namespace mirado {

// An axis label in the number format "#,##0.###": the value rounded to three
// decimals (halves away from zero), its whole part grouped by threes with
// commas, then a full stop and the decimals without their trailing zeros; no
// full stop for a whole number, never an exponent. So 1000 reads 1,000,
// 1e6 reads 1,000,000, 0.5 reads 0.5, 1.23456 reads 1.235 and -0.0001 reads 0.
// A value that is not a number reads NAN, an infinite one INF or -INF.
QString FormatAxisLabel(double value);

// The locale whose number formatting FormatAxisLabel uses: commas between
// groups, a full stop before the decimals, whatever the user's locale.
QLocale AxisLabelLocale();

// The chart engine's label format with AxisLabelLocale: whole numbers, grouped.
// It writes FormatAxisLabel's text for every whole number, and the engine
// labels only whole numbers: its ticks are multiples, counted from 0, of the
// whole tick intervals that TickInterval gives for whole increments.
inline constexpr const char *kEngineLabelFormat = "%.0f";

} // namespace mirado
