// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Numbers and fields as the program's text outputs write them.

#include <cstddef>
#include <string>
#include <string_view>

namespace mirado {

// The shortest text that reads back as the same double ("17", "12.5").
std::string FormatNumber(double value);

// Room enough for any text of WriteNumber.
inline constexpr std::size_t kMaxNumberChars = 32;

// Writes FormatNumber's text of `value` at `first`, which has room for
// kMaxNumberChars characters, and returns its end. Byte for byte what
// std::to_chars(first, last, value) writes; several times faster for
// 2^-9 <= |value| < 2^7, the elevations and hours of the text outputs.
char *WriteNumber(char *first, double value);

// Quotes a CSV field when it holds a comma, a quote, a line break or
// surrounding blanks.
std::string CsvField(std::string_view text);

} // namespace mirado
