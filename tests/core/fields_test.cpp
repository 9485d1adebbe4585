// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/fields.h"

#include <gtest/gtest.h>

#include "data/errors.h"

namespace mirado {
namespace {

using Fields = std::vector<std::string>;

struct SplitRow
{
    const char *name;
    const char *separators;
    std::string text;
    Fields want;
};

TEST(SplitFields, Table)
{
    const SplitRow rows[] = {
        {"empty text", ",", "", {}},
        {"three fields", ",", "Vega,18:36:56,+38:47:01", {"Vega", "18:36:56", "+38:47:01"}},
        {"repeated separators", ",", "Vega,,18,+38", {"Vega", "18", "+38"}},
        {"leading separator", ",", ",18,+38", {"18", "+38"}},
        {"trailing separator", ",", "a,b,", {"a", "b"}},
        {"blanks before a field skipped", ",", "  a,  b", {"a", "b"}},
        {"blanks before a separator kept", ",", "Vega ,18", {"Vega ", "18"}},
        {"blank field", ",", "a, ,b", {"a", "b"}},
        {"tab is no blank", ",", "\ta", {"\ta"}},
        {"line breaks end a field", ",", "a\r\nb\nc", {"a", "b", "c"}},
        {"apostrophe runs to the end",
         ",",
         "Barnard's Star, 17:57:48, +04:41:36",
         {"Barnard's Star, 17:57:48, +04:41:36"}},
        {"double quotes keep commas", ",", "\"A, B\",1", {"\"A, B\"", "1"}},
        {"quote inside a field", ",", "x\"a,b\"y,z", {"x\"a,b\"y", "z"}},
        {"other quote inside quotes", ",", "'a\"b',c", {"'a\"b'", "c"}},
        {"line break inside quotes", ",", "'a\nb',c", {"'a\nb'", "c"}},
        {"colon separators", ":", "18: 36:56.3 ", {"18", "36", "56.3 "}},
        {"several separators", ". ", "1.2 3", {"1", "2", "3"}},
        // Shift-JIS: a lead byte takes the byte after it, whatever that is.
        {"lead byte before comma", ",", "\x81,x,y", {"\x81,x", "y"}},
        {"lead byte before colon", ":", "\x9F:1:2", {"\x9F:1", "2"}},
        {"lead byte before quote", ",", "\xE0'a,b", {"\xE0'a", "b"}},
        {"lead byte before blank", ",", "a,\xFC b", {"a", "\xFC b"}},
        {"lead byte at the end", ",", "ab\x81", {"ab\x81"}},
        {"real name", ",", "\x8F\x97\x8F\x97,1", {"\x8F\x97\x8F\x97", "1"}},
        {"byte after range is single", ",", "\xFD,1", {"\xFD", "1"}},
        {"half-width katakana is single", ",", "\xB1,1", {"\xB1", "1"}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(SplitFields(row.separators, " ", row.text), row.want) << row.name;
}

TEST(ListItem, MissingIndexRaisesListError)
{
    const Fields list{"a", "b"};
    EXPECT_EQ(ListItem(list, 1), "b");
    try {
        ListItem(list, 2);
        ADD_FAILURE() << "want an error";
    } catch (const Error &e) {
        EXPECT_STREQ(e.what(), "リストのインデックスが範囲を超えています (2)");
    }
}

} // namespace
} // namespace mirado
