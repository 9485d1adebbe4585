// SPDX-License-Identifier: GPL-3.0-or-later
#include "textformat.h"

#include <algorithm>
#include <charconv>

namespace mirado {

std::string FormatNumber(double value)
{
    char text[32];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return std::string(text, end);
}

std::string CsvField(std::string_view text)
{
    const auto special = [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; };
    const bool needsQuotes = std::any_of(text.begin(), text.end(), special) ||
                             (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!needsQuotes)
        return std::string(text);
    std::string quoted = "\"";
    quoted.reserve(text.size() + 2);
    for (const char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + "\"";
}

} // namespace mirado
