// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "encoding.h"

namespace mirado {

// True for a Shift-JIS (code page 932) lead byte: it and the byte after it
// form one character.
inline bool IsShiftJisLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Splits `text` into fields at the single-byte characters of `separators`.
// A Shift-JIS text is walked character by character, so that a second byte is
// never taken for a separator, blank or quote; a UTF-8 text has no such
// pairs (every byte of a multi-byte character is 0x80 or above).
//
// Characters of `blanks`, CR and LF are skipped before each field (not after
// it). A field also ends at CR or LF. An apostrophe or double quote opens a
// quoted stretch that runs to the same quote character or to the end of the
// text; quotes stay part of the field. Empty fields yield nothing.
std::vector<std::string> SplitFields(std::string_view separators, std::string_view blanks,
                                     std::string_view text,
                                     TextEncoding encoding = TextEncoding::ShiftJis);

// The fields of SplitFields one at a time, as views into the text, so a
// reader that needs the first few never splits the rest.
class FieldScanner
{
public:
    FieldScanner(std::string_view separators, std::string_view blanks, std::string_view text,
                 TextEncoding encoding = TextEncoding::ShiftJis)
        : separators_(separators), blanks_(blanks), text_(text),
          pairs_(encoding == TextEncoding::ShiftJis)
    {
        // The bytes that end a plain run inside a field.
        for (int c = 0x80; c <= 0xFF && pairs_; ++c)
            special_[c] = IsShiftJisLeadByte(static_cast<unsigned char>(c));
        for (const char c : separators)
            special_[static_cast<unsigned char>(c)] = true;
        for (const char c : {'\'', '"', '\r', '\n'})
            special_[static_cast<unsigned char>(c)] = true;
    }

    // The next field, or nothing when the text is used up.
    std::optional<std::string_view> next();
    // The next field, which is item `index` of the list; raises the list's
    // index error with `index` when none is left.
    std::string_view item(std::size_t index);

private:
    std::size_t charLength(std::size_t pos) const;
    bool isSingleByteIn(std::size_t pos, std::string_view set) const;

    std::string_view separators_;
    std::string_view blanks_;
    std::string_view text_;
    bool pairs_;
    bool special_[256] = {};
    std::size_t pos_ = 0;
};

// Item `index` of a list; raises the list's index error when it is missing.
const std::string &ListItem(const std::vector<std::string> &list, std::size_t index);

} // namespace mirado
