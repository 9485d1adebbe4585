// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shows the program's byte strings as text. Catalogue and site files are
// Shift-JIS (code page 932); a catalogue written by a Linux editor is often
// UTF-8 instead, so a file whose bytes are valid UTF-8 and not plain ASCII is
// shown as UTF-8. The bytes themselves are never changed.

#include <QString>
#include <string>
#include <string_view>
#include <vector>

namespace mirado {

enum class TextEncoding
{
    ShiftJis,
    Utf8,
};

// True when `bytes` is well-formed UTF-8 (no overlong forms, no surrogates).
bool IsValidUtf8(std::string_view bytes);

// UTF-8 when every line is valid UTF-8 and at least one byte is not ASCII;
// Shift-JIS otherwise.
TextEncoding DetectDisplayEncoding(const std::vector<std::string> &lines);
TextEncoding DetectDisplayEncoding(std::string_view bytes);

QString DecodeForDisplay(std::string_view bytes, TextEncoding encoding);
std::string DecodeToUtf8(std::string_view bytes, TextEncoding encoding);

// Text to bytes in the given encoding, for lines the program writes.
std::string EncodeText(const QString &text, TextEncoding encoding);

// A text cut to `maxLength` characters with an ellipsis, so a huge line or
// file content never reaches a label or a message box whole.
inline constexpr qsizetype kMaxDisplayLength = 1000;
QString ShortenedForDisplay(const QString &text, qsizetype maxLength = kMaxDisplayLength);

// An error text whose "%s" stands for `argument`, a byte string from a file
// or a path: the argument is decoded by its own bytes and shortened.
QString ErrorTextForDisplay(std::string_view format, std::string_view argument, bool hasArgument);
std::string ErrorTextForDisplay(std::string_view format, std::string_view argument);

} // namespace mirado
