// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/lines.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "data/errors.h"
#include "test_files.h"

namespace mirado {
namespace {

using Lines = std::vector<std::string>;

struct LinesRow
{
    const char *name;
    std::string content;
    Lines want;
};

TEST(SplitLines, Table)
{
    const LinesRow rows[] = {
        {"empty", "", {}},
        {"no final break", "a\r\nb", {"a", "b"}},
        {"final break adds no line", "a\r\nb\r\n", {"a", "b"}},
        {"CR only", "a\rb\r", {"a", "b"}},
        {"LF only", "a\nb\n", {"a", "b"}},
        {"mixed", "a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"empty lines kept", "a\n\n\nb", {"a", "", "", "b"}},
        {"LF CR is two breaks", "a\n\rb", {"a", "", "b"}},
        {"single break", "\n", {""}},
        {"two CR LF", "\r\n\r\n", {"", ""}},
        {"NUL ends the text", std::string("a\nb\0c\nd", 7), {"a", "b"}},
        {"NUL first", std::string("\0a", 2), {}},
        {"bytes kept", "\x8F\x97 \t\r\n", {"\x8F\x97 \t"}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(SplitLines(row.content), row.want) << row.name;
}

TEST(ReadLines, ReadsAFileAndReplacesTheTarget)
{
    test::TempDir dir;
    const auto path =
        dir.write("cat.txt", "Vega, 18:36:56, +38:47:01\r\nDeneb, 20:41:26, +45:16:49");
    Lines lines{"old"};
    ReadLines(path, lines);
    EXPECT_EQ(lines, (Lines{"Vega, 18:36:56, +38:47:01", "Deneb, 20:41:26, +45:16:49"}));
}

TEST(ReadLines, UnopenableFileRaisesAndKeepsTheTarget)
{
    test::TempDir dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string &path :
         {dir.file("missing.txt"), std::string(), dir.file(""), fifo, std::string("/dev/zero")}) {
        Lines lines{"kept"};
        try {
            ReadLines(path, lines);
            ADD_FAILURE() << "want an error for '" << path << "'";
        } catch (const Error &e) {
            EXPECT_EQ(std::string(e.what()), "ファイル " + path + " は開けません");
            EXPECT_EQ(e.argument(), path);
        }
        EXPECT_EQ(lines, Lines{"kept"});
    }
}

} // namespace
} // namespace mirado
