// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shows the program's byte strings as text, without any toolkit. Catalogue
// and site files are Shift-JIS (code page 932); a catalogue written by a
// Linux editor is often UTF-8 instead, so a file whose bytes are UTF-8 (but
// for a rare invalid sequence) and not plain ASCII is shown as UTF-8. The
// bytes themselves are never changed.

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "lines.h"

namespace mirado {

enum class TextEncoding
{
    ShiftJis,
    Utf8,
};

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view bytes);

// UTF-8 when at least one byte is not ASCII and the text holds at most one
// invalid UTF-8 sequence per 100 valid sequences of two or more bytes (a
// sequence never runs on over a line break; an invalid sequence is its
// maximal part, the bytes that could have begun a valid one); Shift-JIS
// otherwise. Only these two are ever chosen.
TextEncoding DetectDisplayEncoding(const std::vector<std::string> &lines);
TextEncoding DetectDisplayEncoding(const CatalogueLines &lines);
TextEncoding DetectDisplayEncoding(std::string_view bytes);

// The text of `bytes` in UTF-8. Shift-JIS is code page 932, Microsoft's
// Shift-JIS with its NEC and IBM extensions; a byte sequence it has no
// character for reads as U+FFFD, one per byte. In UTF-8, each invalid
// sequence reads as one U+FFFD.
std::string DecodeToUtf8(std::string_view bytes, TextEncoding encoding);

// UTF-8 text cut to `maxLength` characters (code points) with "…" after
// them, so a huge line never reaches a label, a legend or a message whole.
inline constexpr std::size_t kMaxDisplayLength = 1000;
std::string ShortenedUtf8(std::string_view text, std::size_t maxLength = kMaxDisplayLength);

// The first bytes of `bytes`, enough that decoding them and shortening the
// text to `maxLength` characters gives what the whole would give: no
// character takes more than four bytes. Spares decoding a huge line whole to
// show its start.
inline std::string_view DisplayPrefix(std::string_view bytes,
                                      std::size_t maxLength = kMaxDisplayLength)
{
    return bytes.substr(0, (maxLength + 1) * 4);
}

// An error text whose "%s" stands for `argument`, a byte string from a file
// or a path: the argument is decoded by its own bytes and shortened.
std::string ErrorTextForDisplay(std::string_view format, std::string_view argument);

// An error's text for display, in UTF-8: the program's own error with its
// quoted file name or catalogue text decoded, any other error's text as it
// is. The window's boxes and mirado-night's messages both show this.
std::string ErrorTextForDisplay(const std::exception &error);

} // namespace mirado
