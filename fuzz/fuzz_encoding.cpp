// SPDX-License-Identifier: GPL-3.0-or-later
//
// The name decoding shared by the text outputs and the windows: UTF-8
// validation and detection, Shift-JIS and UTF-8 decoding, shortening, the
// display prefix of a long line and error texts that quote the input. Every
// text they give is valid UTF-8.

#include <string>
#include <string_view>

#include "data/encoding.h"
#include "data/lines.h"
#include "fuzz_support.h"

namespace {

using mirado::TextEncoding;

// The number of code points of valid UTF-8.
std::size_t CodePoints(std::string_view text)
{
    std::size_t count = 0;
    for (const char c : text)
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    return count;
}

bool IsAscii(std::string_view bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    mirado::fuzz::InputReader input(data, size);
    const std::size_t maxLength = input.byte() % 64 + 1;
    const std::string_view bytes = input.rest();
    const bool valid = mirado::IsValidUtf8(bytes);

    // Detection: valid text that is not plain ASCII is UTF-8, plain ASCII
    // never is, and the text's lines are detected alike in both forms.
    const TextEncoding detected = mirado::DetectDisplayEncoding(bytes);
    if (IsAscii(bytes))
        MIRADO_FUZZ_REQUIRE(detected == TextEncoding::ShiftJis);
    else if (valid)
        MIRADO_FUZZ_REQUIRE(detected == TextEncoding::Utf8);
    const mirado::CatalogueLines lines{std::string(bytes)};
    MIRADO_FUZZ_REQUIRE(mirado::DetectDisplayEncoding(lines) ==
                        mirado::DetectDisplayEncoding(lines.toVector()));

    for (const TextEncoding encoding : {TextEncoding::ShiftJis, TextEncoding::Utf8}) {
        const std::string text = mirado::DecodeToUtf8(bytes, encoding);
        MIRADO_FUZZ_REQUIRE(mirado::IsValidUtf8(text));
        if (IsAscii(bytes) || (encoding == TextEncoding::Utf8 && valid))
            MIRADO_FUZZ_REQUIRE(text == bytes);
        // An invalid UTF-8 sequence is at least one byte and reads as one
        // character.
        if (encoding == TextEncoding::Utf8)
            MIRADO_FUZZ_REQUIRE(CodePoints(text) <= bytes.size());
        // Shift-JIS gives at least one character for every two bytes.
        if (encoding == TextEncoding::ShiftJis)
            MIRADO_FUZZ_REQUIRE(CodePoints(text) * 2 >= bytes.size());

        // Shortened: at most the length and an ellipsis, a start of the text.
        const std::string shortened = mirado::ShortenedUtf8(text, maxLength);
        MIRADO_FUZZ_REQUIRE(mirado::IsValidUtf8(shortened));
        MIRADO_FUZZ_REQUIRE(CodePoints(shortened) <= maxLength + 1);
        MIRADO_FUZZ_REQUIRE(shortened == text ||
                            text.rfind(shortened.substr(0, shortened.size() - 3), 0) == 0);

        // The display prefix shows what the whole shows.
        const std::string_view prefix = mirado::DisplayPrefix(bytes, maxLength);
        MIRADO_FUZZ_REQUIRE(
            mirado::ShortenedUtf8(mirado::DecodeToUtf8(prefix, encoding), maxLength) == shortened);
    }

    // An error text quoting the input is valid UTF-8 and of bounded length.
    const std::string error = mirado::ErrorTextForDisplay("'%s' is not valid: %s", bytes);
    MIRADO_FUZZ_REQUIRE(mirado::IsValidUtf8(error));
    MIRADO_FUZZ_REQUIRE(CodePoints(error) <= 2 * (mirado::kMaxDisplayLength + 1) + 20);
    return 0;
}
