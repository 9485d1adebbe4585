// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/catalogue.h"

#include <gtest/gtest.h>

#include "data/errors.h"

namespace mirado {
namespace {

struct ParseRow
{
    const char *name;
    std::string line;
    const char *error; // empty: the line parses
    std::string wantName{};
    TRightAscension ra{};
    TDeclination dec{};
};

constexpr const char *kOk = "";
constexpr TRightAscension kVegaRa{18, 36, 56.0};
constexpr TDeclination kVegaDec{1, 38, 47, 1.0};

TEST(ParseObjectLine, Table)
{
    const ParseRow rows[] = {
        {"plain", "Vega, 18:36:56.3, +38:47:01", kOk, "Vega", {18, 36, 56.3}, kVegaDec},
        {"repeated commas", "Vega,,18:36:56,+38:47:01", kOk, "Vega", kVegaRa, kVegaDec},
        {"blanks around seconds",
         "Vega, 18:36:56.3 , +38:47:01",
         kOk,
         "Vega",
         {18, 36, 56.3},
         kVegaDec},
        {"name keeps trailing blank", "Vega , 18:36:56, +38:47:01", kOk, "Vega ", kVegaRa,
         kVegaDec},
        {"double-quoted name",
         "\"Alpha, Beta\", 1:2:3, +4:5:6",
         kOk,
         "\"Alpha, Beta\"",
         {1, 2, 3.0},
         {1, 4, 5, 6.0}},
        {"Shift-JIS name", "\x83\x78\x83\x4B, 18:36:56, +38:47:01", kOk, "\x83\x78\x83\x4B",
         kVegaRa, kVegaDec},
        {"south", "X, 1:0:0, -05:30:00", kOk, "X", {1, 0, 0.0}, {-1, 5, 30, 0.0}},
        {"explicit north", "X, 1:0:0, +05:30:00", kOk, "X", {1, 0, 0.0}, {1, 5, 30, 0.0}},
        {"unsigned north", "X, 1:0:0, 05:30:00", kOk, "X", {1, 0, 0.0}, {1, 5, 30, 0.0}},
        {"minus on minutes ignored",
         "X, 1:0:0, 05:-30:-1.5",
         kOk,
         "X",
         {1, 0, 0.0},
         {1, 5, 30, 1.5}},
        {"minus zero degrees is south",
         "X, 1:0:0, -00:30:00",
         kOk,
         "X",
         {1, 0, 0.0},
         {-1, 0, 30, 0.0}},
        {"minus single zero is south",
         "X, 1:0:0,  -0:30:00",
         kOk,
         "X",
         {1, 0, 0.0},
         {-1, 0, 30, 0.0}},
        {"plus zero is north", "X, 1:0:0, +00:30:00", kOk, "X", {1, 0, 0.0}, {1, 0, 30, 0.0}},
        {"negative right ascension kept",
         "X, -1:00:00, +1:0:0",
         kOk,
         "X",
         {-1, 0, 0.0},
         {1, 1, 0, 0.0}},
        {"fourth field ignored", "Vega, 18:36:56, +38:47:01, 0.03", kOk, "Vega", kVegaRa, kVegaDec},
        {"fourth sub-field ignored", "Vega, 18:36:56:99, +38:47:01:x", kOk, "Vega", kVegaRa,
         kVegaDec},
        {"exponent seconds",
         "Vega, 18:36:5.63E1, +38:47:01",
         kOk,
         "Vega",
         {18, 36, 56.3},
         kVegaDec},
        {"hex hours", "X, $A:0:0, +1:0:0", kOk, "X", {10, 0, 0.0}, {1, 1, 0, 0.0}},

        {"empty line", "", "リストのインデックスが範囲を超えています (0)"},
        {"name only", "Vega", "リストのインデックスが範囲を超えています (1)"},
        {"no declination", "Vega, 18:36:56", "リストのインデックスが範囲を超えています (2)"},
        {"declination without seconds", "Vega, 18:36:56, +38:47",
         "リストのインデックスが範囲を超えています (2)"},
        {"right ascension without seconds", "Vega, 18:36, +38:47:01",
         "リストのインデックスが範囲を超えています (2)"},
        {"leading comma", ",18:36:56,+38:47:01", "リストのインデックスが範囲を超えています (2)"},
        {"apostrophe in name", "Barnard's Star, 17:57:48, +04:41:36",
         "リストのインデックスが範囲を超えています (1)"},
        {"blank after hours", "Vega, 18 :36:56, +38:47:01", "'18 ' is not a valid integer value"},
        {"tab before hours", "Vega,\t18:36:56, +38:47:01", "'\t18' is not a valid integer value"},
        {"fractional minutes", "Vega, 18:36.5:56, +38:47:01",
         "'36.5' is not a valid integer value"},
        {"bad seconds", "Vega, 18:36:abc, +38:47:01", "'abc' is not a valid floating point value"},
        {"bad declination seconds", "Vega, 18:36:56, +38:47:1;5",
         "'1;5' is not a valid floating point value"},
        {"degrees of minimum integer", "X, 1:0:0, -2147483648:0:0", "Integer overflow"},
        {"minutes of minimum integer", "X, 1:0:0, 1:-2147483648:0", "Integer overflow"},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        try {
            const ParsedObject got = ParseObjectLine(row.line, '.', TextEncoding::ShiftJis);
            ASSERT_STREQ(row.error, kOk) << "the line parsed";
            EXPECT_EQ(got.name, row.wantName);
            EXPECT_EQ(got.ra.hours, row.ra.hours);
            EXPECT_EQ(got.ra.minutes, row.ra.minutes);
            EXPECT_DOUBLE_EQ(got.ra.seconds, row.ra.seconds);
            EXPECT_EQ(got.dec.sign, row.dec.sign);
            EXPECT_EQ(got.dec.degrees, row.dec.degrees);
            EXPECT_EQ(got.dec.minutes, row.dec.minutes);
            EXPECT_DOUBLE_EQ(got.dec.seconds, row.dec.seconds);
        } catch (const Error &e) {
            EXPECT_STREQ(e.what(), row.error);
        }
    }
}

TEST(ParseObjectLine, UsesTheGivenDecimalSeparator)
{
    EXPECT_DOUBLE_EQ(
        ParseObjectLine("Vega, 18:36:56, +38:47:01", ',', TextEncoding::ShiftJis).ra.seconds, 56.0);
    EXPECT_DOUBLE_EQ(
        ParseObjectLine("Vega, 18:36:56.3, +38:47:01.5", '.', TextEncoding::ShiftJis).dec.seconds,
        1.5);
    EXPECT_THROW(ParseObjectLine("Vega, 18:36:56.3, +38:47:01", ',', TextEncoding::ShiftJis),
                 Error);
}

// A UTF-8 catalogue has no Shift-JIS pairs: すばる and 北極星 end in the bytes
// 0x8B and 0x9F, which in Shift-JIS would take the comma after them along.
TEST(ParseObjectLine, SplitsByTheCataloguesEncoding)
{
    const struct
    {
        const char *name;
        std::string line;
        TextEncoding encoding;
        const char *error;
        std::string wantName;
    } rows[] = {
        {"すばる in UTF-8", "すばる, 3:47:00, +24:07:00", TextEncoding::Utf8, kOk, "すばる"},
        {"北極星 in UTF-8", "北極星, 2:31:49, +89:15:51", TextEncoding::Utf8, kOk, "北極星"},
        {"すばる taken as Shift-JIS", "すばる, 3:47:00, +24:07:00", TextEncoding::ShiftJis,
         "リストのインデックスが範囲を超えています (2)", ""},
        {"ベガ in Shift-JIS", "\x83\x78\x83\x4B, 18:36:56, +38:47:01", TextEncoding::ShiftJis, kOk,
         "\x83\x78\x83\x4B"},
        {"Shift-JIS pair before a comma", "\x83,Vega, 18:36:56, +38:47:01", TextEncoding::ShiftJis,
         kOk, "\x83,Vega"},
        {"UTF-8 byte before a colon", "Star, 18\xC3\xA9:36:56, +38:47:01", TextEncoding::Utf8,
         "'18\xC3\xA9' is not a valid integer value", ""},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        try {
            const ParsedObject got = ParseObjectLine(row.line, '.', row.encoding);
            ASSERT_STREQ(row.error, kOk) << "the line parsed";
            EXPECT_EQ(got.name, row.wantName);
        } catch (const Error &e) {
            EXPECT_STREQ(e.what(), row.error);
        }
    }
}

// Only the name and the first three sub-fields of each coordinate are read:
// what follows them, however long or malformed, changes nothing.
TEST(ParseObjectLine, IgnoresWhatFollowsTheFieldsItUses)
{
    const std::string tail(1 << 20, ':');
    const ParsedObject got =
        ParseObjectLine("Vega, 18:36:56:" + tail + ", +38:47:01:'unclosed, more" + tail, '.',
                        TextEncoding::ShiftJis);
    EXPECT_EQ(got.name, "Vega");
    EXPECT_EQ(got.ra.hours, 18);
    EXPECT_DOUBLE_EQ(got.dec.seconds, 1.0);
}

} // namespace
} // namespace mirado
