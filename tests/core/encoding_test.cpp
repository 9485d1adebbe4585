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
