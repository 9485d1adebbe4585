// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Numbers and fields as the program's text outputs write them.

#include <string>
#include <string_view>

namespace mirado {

// The shortest text that reads back as the same double ("17", "12.5").
std::string FormatNumber(double value);

// Quotes a CSV field when it holds a comma, a quote, a line break or
// surrounding blanks.
std::string CsvField(std::string_view text);

} // namespace mirado
