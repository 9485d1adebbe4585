// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mirado {

// True for a Shift-JIS (code page 932) lead byte: it and the byte after it
// form one character.
inline bool IsShiftJisLeadByte(unsigned char c)
{
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Splits `text` into fields at the single-byte characters of `separators`,
// walking it character by character in Shift-JIS so that a second byte is
// never taken for a separator, blank or quote.
//
// Characters of `blanks`, CR and LF are skipped before each field (not after
// it). A field also ends at CR or LF. An apostrophe or double quote opens a
// quoted stretch that runs to the same quote character or to the end of the
// text; quotes stay part of the field. Empty fields yield nothing.
std::vector<std::string> SplitFields(std::string_view separators, std::string_view blanks,
                                     std::string_view text);

// Item `index` of a list; raises the list's index error when it is missing.
const std::string &ListItem(const std::vector<std::string> &list, std::size_t index);

} // namespace mirado
