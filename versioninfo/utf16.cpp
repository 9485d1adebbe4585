// SPDX-License-Identifier: GPL-3.0-or-later
#include "utf16.h"

namespace mirado::platform {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kMaxCodePoint = 0x10FFFF;
constexpr char32_t kSurrogateFirst = 0xD800;
constexpr char32_t kSurrogateLast = 0xDFFF;
constexpr char32_t kLowSurrogateFirst = 0xDC00;
constexpr char32_t kSupplementaryFirst = 0x10000;

bool IsContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Decodes the code point at `pos` and moves `pos` past it.
char32_t DecodeUtf8(std::string_view text, std::size_t &pos)
{
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80)
        return lead;

    // Lead byte: the number of continuation bytes, its payload bits and the
    // smallest code point that needs this many bytes (to refuse overlong forms).
    int extra = 0;
    char32_t cp = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1;
        cp = lead & 0x1F;
        smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2;
        cp = lead & 0x0F;
        smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3;
        cp = lead & 0x07;
        smallest = kSupplementaryFirst;
    } else {
        return kReplacement;
    }
    for (int i = 0; i < extra; ++i) {
        if (pos >= text.size() || !IsContinuation(static_cast<unsigned char>(text[pos])))
            return kReplacement;
        cp = (cp << 6) | (static_cast<unsigned char>(text[pos++]) & 0x3F);
    }
    const bool surrogate = cp >= kSurrogateFirst && cp <= kSurrogateLast;
    return cp < smallest || cp > kMaxCodePoint || surrogate ? kReplacement : cp;
}

void AppendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < kSupplementaryFirst) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

} // namespace

std::u16string Utf8ToUtf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    while (pos < text.size()) {
        const char32_t cp = DecodeUtf8(text, pos);
        if (cp < kSupplementaryFirst) {
            out += static_cast<char16_t>(cp);
        } else {
            const char32_t offset = cp - kSupplementaryFirst;
            out += static_cast<char16_t>(kSurrogateFirst + (offset >> 10));
            out += static_cast<char16_t>(kLowSurrogateFirst + (offset & 0x3FF));
        }
    }
    return out;
}

std::string Utf16ToUtf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        char32_t cp = unit;
        if (unit >= kSurrogateFirst && unit <= kSurrogateLast) {
            const bool high = unit < kLowSurrogateFirst;
            if (high && i + 1 < text.size() && text[i + 1] >= kLowSurrogateFirst &&
                text[i + 1] <= kSurrogateLast) {
                cp = kSupplementaryFirst + ((unit - kSurrogateFirst) << 10) +
                     (text[i + 1] - kLowSurrogateFirst);
                ++i;
            } else {
                cp = kReplacement;
            }
        }
        AppendUtf8(out, cp);
    }
    return out;
}

} // namespace mirado::platform
