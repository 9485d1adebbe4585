// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/encoding.h"

#include <gtest/gtest.h>

namespace mirado {
namespace {

constexpr const char *kReplacement = "\xEF\xBF\xBD";

// Bytes that are no Shift-JIS character read as U+FFFD, one per byte, never
// as control characters.
TEST(DecodeToUtf8, InvalidShiftJisBytesAreReplacementCharacters)
{
    const struct
    {
        const char *name;
        std::string bytes;
        std::string want;
    } rows[] = {
        {"0x80", "a\x80z", std::string("a") + kReplacement + "z"},
        {"0xA0", "a\xA0z", std::string("a") + kReplacement + "z"},
        {"0xFD to 0xFF", "\xFD\xFE\xFF", std::string(kReplacement) + kReplacement + kReplacement},
        {"lead byte at the end", "Vega\x81", std::string("Vega") + kReplacement},
        {"lead byte before a blank", "\x81 a", std::string(kReplacement) + " a"},
        {"valid pair", "\x83\x78\x83\x4B", "ベガ"},
        {"half-width katakana", "\xB1", "ｱ"},
        {"ASCII controls stay", "\t", "\t"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(DecodeToUtf8(row.bytes, TextEncoding::ShiftJis), row.want) << row.name;
}

std::string Repeated(const std::string &text, int count)
{
    std::string repeated;
    for (int i = 0; i < count; ++i)
        repeated += text;
    return repeated;
}

// In UTF-8, each invalid sequence (its maximal part: the bytes that could
// have begun a valid one) reads as one U+FFFD, and valid text is untouched.
TEST(DecodeToUtf8, InvalidUtf8SequencesAreOneReplacementCharacterEach)
{
    const std::string r = kReplacement;
    const struct
    {
        const char *name;
        std::string bytes;
        std::string want;
    } rows[] = {
        {"valid", "ベガ", "ベガ"},
        {"lone continuation byte", "a\x80z", "a" + r + "z"},
        {"sequence cut short", "\xE3\x83z", r + "z"},
        {"overlong slash", "\xC0\xAF", r + r},
        {"surrogate", "\xED\xA0\x80", r + r + r},
        {"above U+10FFFF", "\xF4\x90\x80\x80", r + r + r + r},
    };
    for (const auto &row : rows) {
        const std::string got = DecodeToUtf8(row.bytes, TextEncoding::Utf8);
        EXPECT_EQ(got, row.want) << row.name;
        EXPECT_TRUE(IsValidUtf8(got)) << row.name;
    }
}

TEST(DetectDisplayEncoding, CatalogueLinesAreUtf8OnlyLineByLine)
{
    const struct
    {
        const char *name;
        std::string content;
        TextEncoding want;
    } rows[] = {
        {"ASCII", "Vega, 1:0:0, +1:0:0\n", TextEncoding::ShiftJis},
        {"empty", "", TextEncoding::ShiftJis},
        {"UTF-8 names", "すばる, 3:47:00, +24:07:00\n北極星, 2:31:49, +89:15:51\n",
         TextEncoding::Utf8},
        {"Shift-JIS name", "\x83\x78\x83\x4B, 1:0:0, +1:0:0\n", TextEncoding::ShiftJis},
        // "す" cut in two by a line break: the joined bytes would be valid.
        {"sequence across a break", "\xE3\x81\n\x99\n", TextEncoding::ShiftJis},
        {"one invalid byte in 100 valid sequences", Repeated("ベガ\n", 49) + "ベ\xFFガ\n",
         TextEncoding::Utf8},
        {"one invalid byte in 97", Repeated("ベガ\n", 48) + "ベ\xFF\n", TextEncoding::ShiftJis},
        {"a cut sequence is one invalid", Repeated("ベガ\n", 50) + "\xE3\x81\n",
         TextEncoding::Utf8},
        // Half-width katakana pairs such as "ﾃｽ" happen to be valid UTF-8.
        {"Shift-JIS half-width katakana", Repeated("\xB7\xAC\xDD\xBE\xD9 \xC3\xBD\xC4\n", 100),
         TextEncoding::ShiftJis},
        {"Shift-JIS kanji and kana", Repeated("\x96\x6B\x8B\xC9\x90\xAF \x83\x78\x83\x4B\n", 100),
         TextEncoding::ShiftJis},
    };
    for (const auto &row : rows) {
        const CatalogueLines lines(row.content);
        EXPECT_EQ(DetectDisplayEncoding(lines), row.want) << row.name;
        EXPECT_EQ(DetectDisplayEncoding(lines.toVector()), row.want) << row.name;
    }
}

// Decoding only the display prefix of a long line shows what the whole
// would show.
TEST(DisplayPrefix, ShortensLikeTheWholeLine)
{
    const struct
    {
        const char *name;
        std::string bytes;
        TextEncoding encoding;
    } rows[] = {
        {"ASCII", std::string(100000, 'x'), TextEncoding::ShiftJis},
        {"UTF-8 three bytes",
         [] {
             std::string s;
             for (int i = 0; i < 3000; ++i)
                 s += "す";
             return s;
         }(),
         TextEncoding::Utf8},
        {"UTF-8 four bytes",
         [] {
             std::string s;
             for (int i = 0; i < 3000; ++i)
                 s += "\xF0\x9F\x8C\x9F";
             return s;
         }(),
         TextEncoding::Utf8},
        {"Shift-JIS pairs",
         [] {
             std::string s;
             for (int i = 0; i < 3000; ++i)
                 s += "\x83\x78";
             return s;
         }(),
         TextEncoding::ShiftJis},
        {"short", "Vega", TextEncoding::ShiftJis},
    };
    for (const auto &row : rows)
        EXPECT_EQ(ShortenedUtf8(DecodeToUtf8(DisplayPrefix(row.bytes), row.encoding)),
                  ShortenedUtf8(DecodeToUtf8(row.bytes, row.encoding)))
            << row.name;
}

} // namespace
} // namespace mirado
