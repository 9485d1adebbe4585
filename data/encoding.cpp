// SPDX-License-Identifier: GPL-3.0-or-later
#include "encoding.h"

#include <algorithm>
#include <cerrno>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include "errors.h"

namespace mirado {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD"; // U+FFFD
constexpr std::string_view kEllipsis = "\xE2\x80\xA6";    // U+2026

bool HasNonAscii(std::string_view bytes)
{
    return std::any_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

#ifdef _WIN32

std::string ShiftJisToUtf8(std::string_view bytes)
{
    // Character by character, so an invalid sequence becomes one U+FFFD per
    // byte as on the other systems.
    std::string text;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const bool pair = ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) &&
                          i + 1 < bytes.size();
        const int length = pair ? 2 : 1;
        wchar_t wide[2];
        const int n =
            MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data() + i, length, wide, 2);
        if (n <= 0) {
            text += kReplacement;
            ++i;
            continue;
        }
        char utf8[8];
        const int m = WideCharToMultiByte(CP_UTF8, 0, wide, n, utf8, sizeof utf8, nullptr, nullptr);
        text.append(utf8, static_cast<std::size_t>(m));
        i += static_cast<std::size_t>(length);
    }
    return text;
}

#else

// glibc's iconv knows code page 932 as "CP932".
class Converter
{
public:
    Converter() : cd_(iconv_open("UTF-8", "CP932")) {}
    ~Converter()
    {
        if (cd_ != reinterpret_cast<iconv_t>(-1))
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    std::string operator()(std::string_view bytes)
    {
        std::string text;
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            // No converter on this system: ASCII stays, the rest is unknown.
            for (const char c : bytes)
                text +=
                    static_cast<unsigned char>(c) < 0x80 ? std::string_view(&c, 1) : kReplacement;
            return text;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char *in = const_cast<char *>(bytes.data());
        std::size_t inLeft = bytes.size();
        char buffer[4096];
        while (inLeft > 0) {
            char *out = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t done = iconv(cd_, &in, &inLeft, &out, &outLeft);
            text.append(buffer, static_cast<std::size_t>(out - buffer));
            if (done != static_cast<std::size_t>(-1) || errno == E2BIG)
                continue;
            // EILSEQ or a sequence cut short at the end: one byte unknown.
            text += kReplacement;
            ++in;
            --inLeft;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return text;
    }

private:
    iconv_t cd_;
};

std::string ShiftJisToUtf8(std::string_view bytes)
{
    thread_local Converter converter;
    return converter(bytes);
}

#endif

// The length of the UTF-8 sequence that starts with `lead` (1 for a byte
// that starts none).
std::size_t SequenceLength(unsigned char lead)
{
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    if (lead >= 0xE0)
        return lead <= 0xEF ? 3 : 1;
    if (lead >= 0xC2)
        return 2;
    return 1;
}

// One step through UTF-8 text at byte `i`: a valid sequence (an ASCII byte
// included) and its length, or an invalid one and the length of its maximal
// part, the bytes that could still have begun a valid sequence (at least
// one). Overlong forms, surrogates and code points above U+10FFFF are
// invalid.
struct Utf8Step
{
    std::size_t length = 1;
    bool valid = true;
};

Utf8Step StepUtf8(std::string_view bytes, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80)
        return {1, true};
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return {1, false};
    }
    for (std::size_t k = 1; k < length; ++k) {
        if (i + k >= bytes.size())
            return {k, false};
        const auto c = static_cast<unsigned char>(bytes[i + k]);
        if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF))
            return {k, false};
    }
    return {length, true};
}

// The valid sequences of more than one byte and the invalid sequences of a
// text, as StepUtf8 finds them.
struct Utf8Count
{
    std::size_t valid = 0;
    std::size_t invalid = 0;
};

void CountUtf8(std::string_view bytes, Utf8Count &count)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const Utf8Step step = StepUtf8(bytes, i);
        if (!step.valid)
            ++count.invalid;
        else if (step.length > 1)
            ++count.valid;
        i += step.length;
    }
}

// UTF-8 for a text that is not plain ASCII and holds at most one invalid
// sequence per kValidPerInvalid valid ones: a stray byte in a UTF-8 file is
// one bad character, not a reason to read the whole file as Shift-JIS,
// whose text is never so nearly valid UTF-8.
constexpr std::size_t kValidPerInvalid = 100;

TextEncoding EncodingOf(const Utf8Count &count)
{
    return count.valid > 0 && count.invalid * kValidPerInvalid <= count.valid
               ? TextEncoding::Utf8
               : TextEncoding::ShiftJis;
}

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const Utf8Step step = StepUtf8(bytes, i);
        if (!step.valid)
            return false;
        i += step.length;
    }
    return true;
}

TextEncoding DetectDisplayEncoding(const std::vector<std::string> &lines)
{
    Utf8Count count;
    for (const std::string &line : lines)
        CountUtf8(line, count);
    return EncodingOf(count);
}

TextEncoding DetectDisplayEncoding(const CatalogueLines &lines)
{
    // Plain ASCII is decided at once; otherwise line by line, as a sequence
    // may not run on over a line break.
    if (!HasNonAscii(lines.bytes()))
        return TextEncoding::ShiftJis;
    Utf8Count count;
    for (const std::string_view line : lines)
        CountUtf8(line, count);
    return EncodingOf(count);
}

TextEncoding DetectDisplayEncoding(std::string_view bytes)
{
    Utf8Count count;
    CountUtf8(bytes, count);
    return EncodingOf(count);
}

std::string DecodeToUtf8(std::string_view bytes, TextEncoding encoding)
{
    if (!HasNonAscii(bytes))
        return std::string(bytes);
    if (encoding == TextEncoding::ShiftJis)
        return ShiftJisToUtf8(bytes);
    if (IsValidUtf8(bytes))
        return std::string(bytes);
    // Each maximal invalid part reads as one U+FFFD.
    std::string text;
    text.reserve(bytes.size() + bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size();) {
        const Utf8Step step = StepUtf8(bytes, i);
        if (step.valid)
            text.append(bytes, i, step.length);
        else
            text += kReplacement;
        i += step.length;
    }
    return text;
}

std::string ShortenedUtf8(std::string_view text, std::size_t maxLength)
{
    std::size_t at = 0;
    for (std::size_t count = 0; count < maxLength; ++count) {
        if (at >= text.size())
            return std::string(text);
        at += SequenceLength(static_cast<unsigned char>(text[at]));
    }
    if (at >= text.size())
        return std::string(text);
    std::string shortened(text.substr(0, at));
    shortened += kEllipsis;
    return shortened;
}

std::string ErrorTextForDisplay(std::string_view format, std::string_view argument)
{
    std::string text(format);
    const std::size_t at = text.find("%s");
    if (at == std::string::npos)
        return text;
    const std::string shown =
        ShortenedUtf8(DecodeToUtf8(argument, DetectDisplayEncoding(argument)));
    // Every "%s" stands for the argument.
    std::string result;
    std::size_t from = 0;
    for (std::size_t pos = at; pos != std::string::npos; pos = text.find("%s", from)) {
        result.append(text, from, pos - from);
        result += shown;
        from = pos + 2;
    }
    result.append(text, from, std::string::npos);
    return result;
}

std::string ErrorTextForDisplay(const std::exception &error)
{
    if (const auto *own = dynamic_cast<const Error *>(&error); own && own->hasArgument())
        return ErrorTextForDisplay(own->format(), own->argument());
    return error.what();
}

} // namespace mirado
