// SPDX-License-Identifier: GPL-3.0-or-later
//
// SplitFields on separators, blanks and text taken from the input: a length
// byte (mod 4) and the separators, a length byte (mod 4) and the blanks, then
// the text.

#include <string>
#include <string_view>
#include <vector>

#include "data/errors.h"
#include "data/fields.h"
#include "fuzz_support.h"

namespace {

using mirado::IsShiftJisLeadByte;

bool IsLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

bool Contains(std::string_view set, char c)
{
    return set.find(c) != std::string_view::npos;
}

// Length of the Shift-JIS character at `pos`: a lead byte takes the byte
// after it along, if there is one.
std::size_t CharLength(std::string_view text, std::size_t pos)
{
    return IsShiftJisLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2
                                                                                              : 1;
}

// A byte that means nothing to the splitter: no separator, blank, quote, line
// break or lead byte.
char NeutralByte(std::string_view separators, std::string_view blanks)
{
    for (char c = 'a'; c <= 'z'; ++c) {
        if (!Contains(separators, c) && !Contains(blanks, c))
            return c;
    }
    return 'A'; // unreachable: at most six bytes are taken
}

// The text with both bytes of every two-byte character replaced by `neutral`.
std::string WithoutDoubleByteCharacters(std::string_view text, char neutral)
{
    std::string out(text);
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = CharLength(text, pos);
        if (length == 2)
            out[pos] = out[pos + 1] = neutral;
        pos += length;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    mirado::fuzz::InputReader in(data, size);
    const std::string separators(in.take(in.byte() % 4));
    const std::string blanks(in.take(in.byte() % 4));
    const std::string_view text = in.rest();

    const std::vector<std::string> fields = mirado::SplitFields(separators, blanks, text);

    // Every field is a non-empty piece of the text, in order and apart from
    // the others, and starts after the blanks and line breaks before it.
    std::size_t from = 0;
    for (const std::string &field : fields) {
        MIRADO_FUZZ_REQUIRE(!field.empty());
        const std::size_t at = text.find(field, from);
        MIRADO_FUZZ_REQUIRE(at != std::string_view::npos);
        from = at + field.size();
        MIRADO_FUZZ_REQUIRE(!IsLineBreak(field[0]));
        const bool singleByte =
            !IsShiftJisLeadByte(static_cast<unsigned char>(field[0])) || field.size() == 1;
        MIRADO_FUZZ_REQUIRE(!singleByte || !Contains(blanks, field[0]));
    }

    // The second byte of a two-byte character is never a separator, blank,
    // quote or line break: with the two-byte characters replaced by bytes
    // that mean nothing, the fields come out the same.
    const char neutral = NeutralByte(separators, blanks);
    const std::string plain = WithoutDoubleByteCharacters(text, neutral);
    const std::vector<std::string> plainFields = mirado::SplitFields(separators, blanks, plain);
    MIRADO_FUZZ_REQUIRE(plainFields.size() == fields.size());
    for (std::size_t i = 0; i < fields.size(); ++i)
        MIRADO_FUZZ_REQUIRE(WithoutDoubleByteCharacters(fields[i], neutral) == plainFields[i]);

    // Without quotes a field holds no separator and no line break.
    if (plain.find_first_of("'\"") == std::string::npos) {
        for (const std::string &field : plainFields) {
            for (const char c : field)
                MIRADO_FUZZ_REQUIRE(!Contains(separators, c) && !IsLineBreak(c));
        }
    }

    // Past the last field the list raises its own error.
    try {
        mirado::ListItem(fields, fields.size());
        MIRADO_FUZZ_REQUIRE(false);
    } catch (const mirado::Error &) {
    }
    return 0;
}
