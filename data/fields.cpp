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

} // namespace

std::size_t FieldScanner::charLength(std::size_t pos) const
{
    // A Shift-JIS lead byte with a byte after it starts a pair.
    return pairs_ && IsShiftJisLeadByte(static_cast<unsigned char>(text_[pos])) &&
                   pos + 1 < text_.size()
               ? 2
               : 1;
}

bool FieldScanner::isSingleByteIn(std::size_t pos, std::string_view set) const
{
    return charLength(pos) == 1 && set.find(text_[pos]) != std::string_view::npos;
}

std::optional<std::string_view> FieldScanner::next()
{
    while (pos_ < text_.size()) {
        // Skip blanks and line breaks before the field.
        while (pos_ < text_.size() && (isSingleByteIn(pos_, blanks_) || IsLineBreak(text_[pos_])))
            pos_ += charLength(pos_);
        const std::size_t start = pos_;

        // Scan to the end of the field, skipping plain runs a byte at a time.
        char openQuote = 0;
        while (pos_ < text_.size()) {
            if (openQuote == 0 && !special_[static_cast<unsigned char>(text_[pos_])]) {
                ++pos_;
                continue;
            }
            const std::size_t length = charLength(pos_);
            const char c = text_[pos_];
            if (length == 1) {
                if (openQuote != 0) {
                    if (c == openQuote)
                        openQuote = 0;
                } else if (IsQuote(c)) {
                    openQuote = c;
                } else if (separators_.find(c) != std::string_view::npos || IsLineBreak(c)) {
                    break;
                }
            }
            pos_ += length;
        }

        const std::size_t end = pos_;
        if (pos_ < text_.size())
            ++pos_; // past the separator or line break
        if (end > start)
            return text_.substr(start, end - start);
    }
    return std::nullopt;
}

std::string_view FieldScanner::item(std::size_t index)
{
    const std::optional<std::string_view> field = next();
    if (!field)
        ThrowListIndex(static_cast<long long>(index));
    return *field;
}

std::vector<std::string> SplitFields(std::string_view separators, std::string_view blanks,
                                     std::string_view text, TextEncoding encoding)
{
    std::vector<std::string> fields;
    FieldScanner scanner(separators, blanks, text, encoding);
    while (const std::optional<std::string_view> field = scanner.next())
        fields.emplace_back(*field);
    return fields;
}

const std::string &ListItem(const std::vector<std::string> &list, std::size_t index)
{
    if (index >= list.size())
        ThrowListIndex(static_cast<long long>(index));
    return list[index];
}

} // namespace mirado
