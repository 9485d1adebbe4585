// SPDX-License-Identifier: GPL-3.0-or-later
#include "fields.h"

#include "errors.h"

namespace mirado {

namespace {

bool IsQuote(char c)
{
    return c == '\'' || c == '"';
}
bool IsLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

// Length in bytes of the character at `pos`: 2 for a lead byte with a byte
// after it, else 1.
std::size_t CharLength(std::string_view text, std::size_t pos)
{
    return IsShiftJisLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2
                                                                                              : 1;
}

bool IsSingleByteIn(std::string_view text, std::size_t pos, std::string_view set)
{
    return CharLength(text, pos) == 1 && set.find(text[pos]) != std::string_view::npos;
}

} // namespace

std::vector<std::string> SplitFields(std::string_view separators, std::string_view blanks,
                                     std::string_view text)
{
    std::vector<std::string> fields;
    std::size_t pos = 0;
    while (pos < text.size()) {
        // Skip blanks and line breaks before the field.
        while (pos < text.size() && (IsSingleByteIn(text, pos, blanks) || IsLineBreak(text[pos])))
            pos += CharLength(text, pos);
        const std::size_t start = pos;

        // Scan to the end of the field.
        char openQuote = 0;
        while (pos < text.size()) {
            const std::size_t length = CharLength(text, pos);
            const char c = text[pos];
            if (length == 1) {
                if (openQuote != 0) {
                    if (c == openQuote)
                        openQuote = 0;
                } else if (IsQuote(c)) {
                    openQuote = c;
                } else if (separators.find(c) != std::string_view::npos || IsLineBreak(c)) {
                    break;
                }
            }
            pos += length;
        }

        if (pos > start)
            fields.emplace_back(text.substr(start, pos - start));
        if (pos >= text.size())
            break;
        ++pos; // past the separator or line break
    }
    return fields;
}

const std::string &ListItem(const std::vector<std::string> &list, std::size_t index)
{
    if (index >= list.size())
        ThrowListIndex(static_cast<long long>(index));
    return list[index];
}

} // namespace mirado
