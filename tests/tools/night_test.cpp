// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/nightcli.h"

#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

#include <QImage>

#include "test_files.h"

namespace mirado::night {
namespace {

struct ListRow
{
    const char *list;
    int lineCount;
    std::vector<int> want; // empty with `valid` false: an error
    bool valid = true;
};

TEST(ParseObjectList, Table)
{
    const ListRow rows[] = {
        {"", 3, {0, 1, 2}},     {"1,3,5-7", 10, {0, 2, 4, 5, 6}},
        {"3,1,1", 3, {0, 2}},   {"2-2", 3, {1}},
        {"0", 3, {}, false},    {"4", 3, {}, false},
        {"3-1", 3, {}, false},  {"a", 3, {}, false},
        {"1,,2", 3, {}, false}, {"1-", 3, {}, false},
        {"-1", 3, {}, false},   {"1 ,2", 3, {}, false},
    };
    for (const auto &row : rows) {
        if (row.valid)
            EXPECT_EQ(ParseObjectList(row.list, row.lineCount), row.want) << row.list;
        else
            EXPECT_THROW(ParseObjectList(row.list, row.lineCount), UsageError) << row.list;
    }
}

TEST(ParseDate, AcceptsTheSpinEditRangeOnly)
{
    const TDateRec d = ParseDate("2001-12-31");
    EXPECT_EQ(d.year, 2001);
    EXPECT_EQ(d.month, 12);
    EXPECT_EQ(d.day, 31);
    EXPECT_EQ(ParseDate("2002-02-31").day, 31); // not checked against the month
    for (const char *bad : {"2001-13-01", "1899-12-31", "3000-01-01", "2001-2-3", "2001-00-10",
                            "2001-01-32", "20011231", "2001-12-31x", ""})
        EXPECT_THROW(ParseDate(bad), UsageError) << bad;
    EXPECT_EQ(ParseTime("21:05:09").minutes, 5);
    for (const char *bad : {"24:00:00", "21:60:00", "21:00", "9:00:00"})
        EXPECT_THROW(ParseTime(bad), UsageError) << bad;
}

TEST(CsvField, QuotesWhatCsvNeeds)
{
    EXPECT_EQ(CsvField("Vega"), "Vega");
    EXPECT_EQ(CsvField("\"A, B\""), "\"\"\"A, B\"\"\"");
    EXPECT_EQ(CsvField("Vega "), "\"Vega \"");
    EXPECT_EQ(CsvField("ベガ"), "ベガ");
    EXPECT_EQ(JsonEscape("a\"b\\c\x01"), "a\\\"b\\\\c\\u0001");
}

// Runs the program on arguments and gathers what it prints.
struct RunResult
{
    int status;
    std::string out;
    std::string err;
};

std::string ReadBack(std::FILE *file)
{
    std::rewind(file);
    std::string text;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    return text;
}

RunResult RunNight(const std::vector<std::string> &args)
{
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> out(std::tmpfile(), std::fclose);
    std::unique_ptr<std::FILE, int (*)(std::FILE *)> err(std::tmpfile(), std::fclose);
    const int status = Main(args, out.get(), err.get());
    std::fflush(out.get());
    std::fflush(err.get());
    return {status, ReadBack(out.get()), ReadBack(err.get())};
}

std::vector<std::string> SiteArgs(const std::string &catalogue)
{
    return {"--catalogue", catalogue,    "--longitude", "135",    "--latitude",
            "35",          "--timezone", "9",           "--date", "2001-12-31"};
}

TEST(Run, CsvGivesTheReferenceElevation)
{
    test::TempDir dir;
    const auto catalogue = dir.write("c.txt", "Test, 6:00:00, +30:00:00\r\n");
    const RunResult r = RunNight(SiteArgs(catalogue));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("line,name,x,elevation\n1,Test,17,12.63103", 0), 0u) << r.out;
    const auto at21 = r.out.find("\n1,Test,21,");
    ASSERT_NE(at21, std::string::npos);
    EXPECT_NEAR(std::stod(r.out.substr(at21 + 11, 24)), 59.797794, 1e-6);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 97);
    EXPECT_EQ(r.err, "");
}

TEST(Run, JsonHoldsOneObjectPerLine)
{
    test::TempDir dir;
    const auto catalogue =
        dir.write("c.txt", "A, 6:00:00, +30:00:00\n\"B\", 7:00:00, -10:00:00\nC, 8:0:0, +1:0:0\n");
    auto args = SiteArgs(catalogue);
    args.insert(args.end(), {"--format", "json", "--objects", "1-2"});
    const RunResult r = RunNight(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("[\n{\"line\":1,\"name\":\"A\",\"points\":[[17,12.63103", 0), 0u)
        << r.out.substr(0, 80);
    EXPECT_NE(r.out.find("{\"line\":2,\"name\":\"\\\"B\\\"\""), std::string::npos);
    EXPECT_EQ(r.out.find("\"line\":3"), std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.size() - 5), "]}\n]\n");
}

TEST(Run, ShiftJisNamesArePrintedAsUtf8)
{
    test::TempDir dir;
    // "ベガ" in Shift-JIS.
    const auto catalogue = dir.write("c.txt", "\x83\x78\x83\x4B, 18:36:56, +38:47:01\n");
    const RunResult r = RunNight(SiteArgs(catalogue));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\n1,ベガ,17,"), std::string::npos);
}

TEST(Run, AFailingLineEndsTheRunAfterTheEarlierObjects)
{
    test::TempDir dir;
    const auto catalogue =
        dir.write("c.txt", "A, 6:00:00, +30:00:00\nB, 7:0:0, +1:0:0\nC, 18 :36:56, +38:47:01\n"
                           "D, 8:0:0, +1:0:0\n");
    const RunResult r = RunNight(SiteArgs(catalogue));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 1 + 2 * 96);
    EXPECT_EQ(r.err, "3: '18 ' is not a valid integer value\n");
}

struct FailureRow
{
    const char *name;
    std::vector<std::string> args;
    const char *wantInError;
};

TEST(Run, CommandsThatCannotBeCarriedOutGiveStatusTwo)
{
    test::TempDir dir;
    const auto catalogue = dir.write("c.txt", "A, 6:00:00, +30:00:00\n");
    const auto site = dir.write("site.txt", "139.7\nabc\n9\n\n");
    const FailureRow rows[] = {
        {"missing catalogue", {"--catalogue", dir.file("none.txt")}, "は開けません"},
        {"catalogue is a folder", {"--catalogue", dir.file("")}, "は開けません"},
        {"missing site file",
         {"--site", dir.file("none.txt"), "--catalogue", catalogue},
         "は開けません"},
        {"damaged site file",
         {"--site", site, "--catalogue", catalogue},
         "'abc' is not a valid floating point value"},
        {"no catalogue", {"--date", "2001-12-31"}, "no catalogue"},
        {"unknown option", {"--frobnicate"}, "unknown option"},
        {"malformed date", {"--catalogue", catalogue, "--date", "2001-12-32"}, "malformed date"},
        {"value missing", {"--catalogue"}, "needs a value"},
        {"bad number", {"--catalogue", catalogue, "--longitude", "east"}, "takes a number"},
        {"bad format", {"--catalogue", catalogue, "--format", "xml"}, "csv or json"},
        {"objects beyond the file", {"--catalogue", catalogue, "--objects", "2"}, "1 lines"},
        {"times without a time", {"--times", "--date", "2001-12-31"}, "--time"},
    };
    for (const auto &row : rows) {
        const RunResult r = RunNight(row.args);
        EXPECT_EQ(r.status, 2) << row.name;
        EXPECT_NE(r.err.find(row.wantInError), std::string::npos) << row.name << ": " << r.err;
        EXPECT_EQ(r.err.rfind("mirado-night: ", 0), 0u) << row.name;
    }
}

TEST(Run, TimesOfALocalMoment)
{
    const RunResult r = RunNight({"--times", "--date", "2001-12-31", "--time", "21:00:00",
                                  "--longitude", "135", "--timezone", "-3.5"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("gst0=8836677.6101", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\nut=2002-01-01T00:30:00\n"), std::string::npos) << r.out;
}

TEST(Run, WarningsArePrintedAndTheRunGoesOn)
{
    test::TempDir dir;
    const auto catalogue = dir.write("c.txt", "A, 2147483647:0:0, +30:00:00\n");
    const RunResult r = RunNight(SiteArgs(catalogue));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.rfind("dblGetHASec Integer overflow\n", 0), 0u) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 97);
}

TEST(Run, NowTextsOfALocalMoment)
{
    const RunResult r = RunNight(
        {"--now-texts", "--at", "2002-01-01T03:00:00", "--longitude", "135", "--timezone", "9"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto firstBreak = r.out.find('\n');
    const std::string label = r.out.substr(0, firstBreak);
    EXPECT_NE(label.find(" / 27:00:00"), std::string::npos) << label;
    EXPECT_EQ(r.out.substr(firstBreak + 1, 19), " UT 2001.12.31 18:0") << r.out;
    EXPECT_NE(r.out.find("\n LST "), std::string::npos) << r.out;
    EXPECT_EQ(RunNight({"--now-texts"}).status, 2);
    EXPECT_EQ(RunNight({"--now-texts", "--at", "2002-01-01 03:00:00"}).status, 2);
}

TEST(Run, ChartImagesAtTheChosenSize)
{
    test::TempDir dir;
    const auto catalogue = dir.write("c.txt", "A, 6:00:00, +30:00:00\nB, 7:0:0, +1:0:0\n");
    auto args = SiteArgs(catalogue);
    args.insert(args.end(), {"--png", dir.file("a.png"), "--svg", dir.file("a.svg")});
    RunResult r = RunNight(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(QImage(QString::fromStdString(dir.file("a.png"))).size(), QSize(632, 347));
    EXPECT_NE(test::ReadAll(dir.file("a.svg")).find("<svg"), std::string::npos);

    args = SiteArgs(catalogue);
    args.insert(args.end(), {"--png", dir.file("b.png"), "--size", "800x400"});
    r = RunNight(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(QImage(QString::fromStdString(dir.file("b.png"))).size(), QSize(800, 400));

    for (const char *bad : {"800", "8x400", "800x", "axb"}) {
        args = SiteArgs(catalogue);
        args.insert(args.end(), {"--png", dir.file("c.png"), "--size", bad});
        EXPECT_EQ(RunNight(args).status, 2) << bad;
    }
    args = SiteArgs(catalogue);
    args.insert(args.end(), {"--png", dir.file("no-such-folder/c.png")});
    EXPECT_EQ(RunNight(args).status, 2);
}

} // namespace
} // namespace mirado::night
