// SPDX-License-Identifier: GPL-3.0-or-later
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <thread>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "chart/seasonchart.h"
#include "chart/twilightlayer.h"
#include "night/airmass.h"
#include "night/clock.h"
#include "night/events.h"
#include "night/nightmarks.h"
#include "night/nighttime.h"
#include "night/precisemodel.h"
#include "night/season.h"
#include "night/sunmoon.h"
#include "test_files.h"
#include "tools/batchplanner.h"
#include "tools/nightchart.h"
#include "tools/options.h"
#include "tools/run.h"
#include "tools/textwriters.h"

namespace mirado::tool {
namespace {

struct ListRow
{
    const char *list;
    int lineCount;
    std::vector<int> want; // with `valid` false: an error
    bool valid = true;
};

TEST(ObjectList, Table)
{
    const ListRow rows[] = {
        {"1,3,5-7", 10, {0, 2, 4, 5, 6}},
        {"3,1,1", 3, {0, 2}},
        {"2-2", 3, {1}},
        {"", 3, {}, false},
        {"0", 3, {}, false},
        {"4", 3, {}, false},
        {"3-1", 3, {}, false},
        {"a", 3, {}, false},
        {"1,,2", 3, {}, false},
        {"1-", 3, {}, false},
        {"-1", 3, {}, false},
        {"1 ,2", 3, {}, false},
        {"1,", 3, {}, false},
    };
    for (const auto &row : rows) {
        if (row.valid)
            EXPECT_EQ(ChosenLines(ParseLineRanges(row.list), row.lineCount).toVector(), row.want)
                << row.list;
        else
            EXPECT_THROW(ChosenLines(ParseLineRanges(row.list), row.lineCount), UsageError)
                << row.list;
    }
    EXPECT_EQ(ChosenLines({}, 3).toVector(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(ChosenLines({}, 0).size(), 0u);
    EXPECT_EQ(ChosenLines(ParseLineRanges("7-9,1-2,2-3,5"), 10).toVector(),
              (std::vector<int>{0, 1, 2, 4, 6, 7, 8}));
    // Every line of a huge catalogue, without a list of them.
    const LineSelection all = ChosenLines({}, 100'000'000);
    EXPECT_EQ(all.size(), 100'000'000u);
    EXPECT_EQ(all[99'999'999], 99'999'999);
}

TEST(ParseDate, TakesCalendarDatesOnly)
{
    const TDateRec d = ParseDate("2001-12-31");
    EXPECT_EQ(d.year, 2001);
    EXPECT_EQ(d.month, 12);
    EXPECT_EQ(d.day, 31);
    for (const char *good : {"2024-02-29", "2000-02-29", "1900-01-01", "2999-12-31"})
        EXPECT_NO_THROW(ParseDate(good)) << good;
    for (const char *bad : {"2026-02-31", "2026-02-29", "1900-02-29", "2100-02-29", "2026-04-31",
                            "2001-13-01", "1899-12-31", "3000-01-01", "2001-2-3", "2001-00-10",
                            "2001-01-32", "20011231", "2001-12-31x", ""})
        EXPECT_THROW(ParseDate(bad), UsageError) << bad;
    EXPECT_EQ(ParseTime("21:05:09").minutes, 5);
    for (const char *bad : {"24:00:00", "21:60:00", "21:00", "9:00:00"})
        EXPECT_THROW(ParseTime(bad), UsageError) << bad;
}

struct ArgumentRow
{
    const char *name;
    std::vector<std::string> args;
    const char *wantError; // empty: parses
};

TEST(ParseArguments, ValuesAndTheirBounds)
{
    const ArgumentRow rows[] = {
        {"joined value", {"--latitude=-90", "--longitude=360", "--timezone=-24"}, ""},
        {"separate value", {"--latitude", "90", "--longitude", "-360", "--timezone", "24"}, ""},
        {"value holding =", {"--catalogue=a=b.txt"}, ""},
        {"latitude above 90", {"--latitude", "90.001"}, "--latitude takes a number from -90"},
        {"longitude below -360", {"--longitude=-360.5"}, "--longitude takes a number from -360"},
        {"time zone above 24", {"--timezone", "25"}, "--timezone takes a number from -24"},
        {"not a number", {"--latitude", "north"}, "--latitude takes a number"},
        {"decimal comma", {"--latitude", "35,5"}, "--latitude takes a number"},
        {"not a date", {"--date=2026-02-31"}, "--date: not a calendar date"},
        {"empty objects", {"--objects="}, "--objects: bad list ''"},
        {"reversed objects", {"--objects", "5-2"}, "is reversed"},
        {"line number too large", {"--objects", "1-2000000000"}, "line numbers go up to 999999999"},
        {"first number too large", {"--objects=99999999999"}, "line numbers go up to 999999999"},
        {"line zero", {"--objects", "0-3"}, "want line numbers such as"},
        {"largest line number", {"--objects", "1-999999999"}, ""},
        {"switch with value", {"--all=yes"}, "--all takes no value"},
        {"missing value", {"--catalogue"}, "--catalogue needs a value"},
        {"unknown", {"--frobnicate"}, "unknown option '--frobnicate'"},
        {"unknown joined", {"--frob=1"}, "unknown option '--frob=1'"},
        {"single dash", {"-x"}, "unknown option '-x'"},
        {"objects and all", {"--objects", "1", "--all"}, "exclude each other"},
        {"times without time", {"--times", "--date", "2001-12-31"}, "--times needs"},
        {"two images to stdout", {"--png", "-", "--svg", "-"}, "only one image"},
        {"bad size", {"--size=8x400"}, "--size: not a size"},
        {"unknown model", {"--model", "exact"}, "--model takes chart or precise, not 'exact'"},
        {"nothing", {}, "nothing to do"},
    };
    for (const auto &row : rows) {
        std::string got;
        try {
            ParseArguments(row.args);
        } catch (const UsageError &e) {
            got = e.what();
        }
        if (*row.wantError == 0)
            EXPECT_EQ(got, "") << row.name;
        else
            EXPECT_NE(got.find(row.wantError), std::string::npos)
                << row.name << ": want '" << row.wantError << "' in '" << got << "'";
    }
    const Options o = ParseArguments({"--latitude=-12.5", "--size=800x400", "--objects=2,4-5"});
    EXPECT_EQ(o.latitude, -12.5);
    EXPECT_EQ(o.width, 800);
    EXPECT_EQ(o.height, 400);
    EXPECT_EQ(o.objects, (std::vector<LineRange>{{2, 2}, {4, 5}}));
    EXPECT_EQ(ParseArguments({"--catalogue", "c.txt", "-h"}).mode, Mode::Help);
    EXPECT_EQ(ParseArguments({"-V", "--frobnicate"}).mode, Mode::Version);
}

TEST(TextColumns, QuotingAndEscapes)
{
    EXPECT_EQ(CsvField("Vega"), "Vega");
    EXPECT_EQ(CsvField("\"A, B\""), "\"\"\"A, B\"\"\"");
    EXPECT_EQ(CsvField("Vega "), "\"Vega \"");
    EXPECT_EQ(CsvField("ベガ"), "ベガ");
    EXPECT_EQ(JsonEscape("a\"b\\c\x01\t"), "a\\\"b\\\\c\\u0001\\t");
}

// The writers cache each point's x and moments by index; they must be the
// curve's own.
TEST(NightPoints, ClockTimesMatchTheCurve)
{
    const NightCurve curve = NightElevations({6, 0, 0.0}, {1, 30, 0, 0.0}, {2001, 12, 31}, 135, 35,
                                             9, [](const std::string &) {});
    int pairs = 0;
    for (std::size_t i = 0; i < curve.size(); ++i) {
        EXPECT_EQ(NightPointX(i), curve[i].x) << i;
        const THMSRec clock = NightPointClockTime(i);
        EXPECT_EQ(clock.hours + (i >= 48 ? 24 : 0) + clock.minutes / 60.0, curve[i].x) << i;
        if (IsSecondOfEqualPair(i)) {
            EXPECT_EQ(curve[i].x, curve[i - 48 + 42].x) << i;
            ++pairs;
        }
    }
    EXPECT_EQ(pairs, 6);
    // Every point's moment is the one on the night axis, the morning's on the
    // next day.
    const PointMoments moments({2026, 12, 7}, 5.75);
    EXPECT_EQ(moments.local(0), "2026-12-07T17:00:00");
    EXPECT_EQ(moments.local(47), "2026-12-08T00:50:00");
    EXPECT_EQ(moments.local(48), "2026-12-08T00:00:00");
    EXPECT_EQ(moments.ut(57), "2026-12-07T19:45:00Z");
    const PointMoments tokyo({2026, 12, 7}, 9.0);
    EXPECT_EQ(NightPointX(51), 24.5);
    EXPECT_EQ(tokyo.local(51), "2026-12-08T00:30:00");
    EXPECT_EQ(tokyo.ut(51), "2026-12-07T15:30:00Z");
    EXPECT_EQ(PointMoments({2026, 12, 7}, 1e12).ut(0), "");
}

// Batches planned on two threads at uneven speeds come back whole and in
// order; a failure comes back in its own batch's turn; a consumer that stops
// early ends the planning.
TEST(BatchPlanner, HandsEveryBatchBackInOrder)
{
    constexpr std::size_t kNone = 100;
    const std::vector<std::size_t> uneven = {1, 2, 10, 11, 30, 31, 32, 40, 64, 65};
    const struct
    {
        const char *name;
        std::vector<std::size_t> ends;
        std::size_t failing; // the batch whose planning raises
        std::size_t stopAfter;
    } rows[] = {
        {"one batch", {3}, kNone, kNone},
        {"batches of uneven sizes", uneven, kNone, kNone},
        {"a failure in the seventh", uneven, 6, kNone},
        {"stopped after the second", uneven, kNone, 2},
    };
    for (const auto &row : rows) {
        BatchPlanner planner(row.ends, [&](std::size_t from, std::size_t to, PlannedBatch &batch) {
            if (from % 2 == 1)
                std::this_thread::sleep_for(std::chrono::microseconds(300));
            if (row.failing != kNone && to == row.ends[row.failing])
                throw std::runtime_error("planned badly");
            for (std::size_t i = from; i < to; ++i)
                batch.lines.emplace_back().lineNumber = static_cast<int>(i);
            batch.text.append(std::to_string(from) + "-" + std::to_string(to));
        });
        std::size_t got = 0;
        std::string failure;
        try {
            for (; got < row.stopAfter; ++got) {
                const PlannedBatch *batch = planner.next();
                if (!batch)
                    break;
                const std::size_t from = got == 0 ? 0 : row.ends[got - 1];
                const std::string want = std::to_string(from) + "-" + std::to_string(row.ends[got]);
                EXPECT_EQ(batch->text.view(0, batch->text.size()), want) << row.name;
                ASSERT_EQ(batch->lines.size(), row.ends[got] - from) << row.name << ", " << want;
                EXPECT_EQ(batch->lines.front().lineNumber, static_cast<int>(from)) << row.name;
            }
        } catch (const std::runtime_error &e) {
            failure = e.what();
        }
        EXPECT_EQ(got, std::min({row.ends.size(), row.failing, row.stopAfter})) << row.name;
        EXPECT_EQ(failure, row.failing == kNone ? "" : "planned badly") << row.name;
    }
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
    const int status = Main(args, out.get(), err.get(), ChartParts());
    std::fflush(out.get());
    std::fflush(err.get());
    return {status, ReadBack(out.get()), ReadBack(err.get())};
}

std::vector<std::string> SiteArgs(const std::string &catalogue)
{
    return {"--catalogue", catalogue,    "--longitude", "135",    "--latitude",
            "35",          "--timezone", "9",           "--date", "2001-12-31"};
}

std::size_t Lines(const std::string &text)
{
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(Run, CsvGivesTheReferenceElevation)
{
    test::TempDir dir;
    const auto catalogue = dir.write("c.txt", "Test, 6:00:00, +30:00:00\r\n");
    const RunResult r = RunNight(SiteArgs(catalogue));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("line,name,x,elevation,local,ut,airmass\n1,Test,17,12.63103", 0), 0u)
        << r.out;
    const auto at21 = r.out.find("\n1,Test,21,");
    ASSERT_NE(at21, std::string::npos);
    EXPECT_NEAR(std::stod(r.out.substr(at21 + 11, 24)), 59.797794, 1e-6);
    EXPECT_NE(r.out.find(",2001-12-31T21:00:00,2001-12-31T12:00:00Z,"), std::string::npos);
    EXPECT_EQ(Lines(r.out), 97u);
    EXPECT_EQ(r.err, "");
}

TEST(Run, TheDefaultDateIsTheSitesNightByTheClockSeam)
{
    test::TempDir dir;
    const auto catalogue = dir.write("c.txt", "Test, 6:00:00, +30:00:00\n");
    struct Row
    {
        const char *name;
        DateTimeValue ut;
        const char *timeZone;
        const char *wantFirstLocal;
    };
    const Row rows[] = {
        // 2026-12-07 21:59 UT is 06:59 on the 8th at UTC+9: still the 7th's night.
        {"before seven at the site", DateTimeValue::FromParts({2026, 12, 7}, 21, 59, 0), "9",
         "2026-12-07T17:00:00"},
        {"seven at the site", DateTimeValue::FromParts({2026, 12, 7}, 22, 0, 0), "9",
         "2026-12-08T17:00:00"},
        // -5.999 hours is -359.94 minutes: 359 whole minutes toward zero.
        {"zone in whole minutes toward zero", DateTimeValue::FromParts({2026, 12, 8}, 12, 59, 0),
         "-5.999", "2026-12-08T17:00:00"},
        {"a minute earlier", DateTimeValue::FromParts({2026, 12, 8}, 12, 58, 0), "-5.999",
         "2026-12-07T17:00:00"},
    };
    for (const Row &row : rows) {
        SetUtcClockForTesting([&] { return row.ut; });
        const RunResult r = RunNight({"--catalogue", catalogue, "--timezone", row.timeZone});
        EXPECT_EQ(r.status, 0) << row.name << ": " << r.err;
        EXPECT_NE(r.out.find(std::string(",") + row.wantFirstLocal + ","), std::string::npos)
            << row.name << ": " << r.out.substr(0, 120);
    }
    SetUtcClockForTesting({});
}

TEST(Run, JsonIsOneObjectWithTheModel)
{
    test::TempDir dir;
    const auto catalogue =
        dir.write("c.txt", "A, 6:00:00, +30:00:00\n\"B\", 7:00:00, -10:00:00\nC, 8:0:0, +1:0:0\n");
    auto args = SiteArgs(catalogue);
    args.insert(args.end(), {"--format", "json", "--objects", "1-2"});
    const RunResult r = RunNight(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\"date\":\"2001-12-31\",\n\"site\":{\"longitude\":135,\"latitude\":35,"
                          "\"timezone\":9},\n\"model\":\"",
                          0),
              0u)
        << r.out.substr(0, 200);
    EXPECT_NE(r.out.find("\"objects\":[\n{\"line\":1,\"name\":\"A\",\"points\":[{\"x\":17,"
                         "\"elevation\":12.63103"),
              std::string::npos);
    EXPECT_NE(r.out.find("{\"line\":2,\"name\":\"\\\"B\\\"\""), std::string::npos);
    EXPECT_EQ(r.out.find("\"line\":3"), std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.size() - 7), "}]}\n]}\n");
}

TEST(Run, UniqueDropsTheSecondPointOfEachPair)
{
    test::TempDir dir;
    const auto catalogue = dir.write("c.txt", "A, 6:00:00, +30:00:00\n");
    auto args = SiteArgs(catalogue);
    args.push_back("--unique");
    const RunResult r = RunNight(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out), 1u + 90u);
    EXPECT_NE(r.out.find("\n1,A,24,"), std::string::npos);
    const std::string midnight = ",2002-01-01T00:00:00,";
    EXPECT_EQ(r.out.find(midnight, r.out.find(midnight) + 1), std::string::npos);
    EXPECT_NE(r.out.find(",2002-01-01T01:00:00,"), std::string::npos);
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

TEST(Run, BadLinesStopTheRunOrAreSkippedWithKeepGoing)
{
    test::TempDir dir;
    const auto catalogue = dir.write("c.txt", "A, 6:00:00, +30:00:00\nB, 7:0:0\nC, 18 :36:56, "
                                              "+38:47:01\nD, 8:0:0, +1:0:0\n");
    RunResult r = RunNight(SiteArgs(catalogue));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Lines(r.out), 1u + 96u);
    EXPECT_EQ(r.err, catalogue + ":2: リストのインデックスが範囲を超えています (2)\n");

    auto args = SiteArgs(catalogue);
    args.push_back("--keep-going");
    r = RunNight(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(Lines(r.out), 1u + 2 * 96u);
    EXPECT_NE(r.out.find("\n4,D,17,"), std::string::npos);
    EXPECT_EQ(r.err, catalogue + ":2: リストのインデックスが範囲を超えています (2)\n" + catalogue +
                         ":3: '18 ' is not a valid integer value\n");

    args.insert(args.end(), {"--format", "json"});
    r = RunNight(args);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out.substr(r.out.size() - 4), "\n]}\n");
}

TEST(Run, OneWarningPerFailingLineAndEveryRowAsComputed)
{
    test::TempDir dir;
    const auto catalogue = dir.write(
        "c.txt", "A, 2147483647:0:0, +30:00:00\nB, 6:00:00, +30:00:00\nC, 600000:00:00, +1:0:0\n");
    const RunResult r = RunNight(SiteArgs(catalogue));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, catalogue + ":1: dblGetHASec Integer overflow\n" + catalogue +
                         ":3: dblGetHASec Integer overflow\n");
    EXPECT_EQ(Lines(r.out), 1u + 3 * 96u);
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
        {"bad format", {"--catalogue", catalogue, "--format", "xml"}, "csv or json"},
        {"objects beyond the file", {"--catalogue", catalogue, "--objects", "2"}, "1 lines"},
        {"image folder missing",
         {"--catalogue", catalogue, "--png", dir.file("none/c.png")},
         "cannot write"},
    };
    for (const auto &row : rows) {
        const RunResult r = RunNight(row.args);
        EXPECT_EQ(r.status, 2) << row.name;
        EXPECT_NE(r.err.find(row.wantInError), std::string::npos) << row.name << ": " << r.err;
        EXPECT_EQ(r.err.rfind("mirado-night: ", 0), 0u) << row.name;
        EXPECT_EQ(r.out, "") << row.name;
    }
}

// The file's values are held to the options' bounds unless options replace them.
TEST(Run, SiteFileValuesAreHeldToTheOptionsBounds)
{
    test::TempDir dir;
    const auto site = dir.write("site.txt", "400\n-95\n30\n\n");
    const RunResult r =
        RunNight({"--times", "--site", site, "--date", "2001-12-31", "--time", "21:00:00",
                  "--longitude", "135", "--latitude", "35", "--timezone", "9"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\nut=2001-12-31T12:00:00\n"), std::string::npos) << r.out;
}

TEST(Run, TimesOfALocalMoment)
{
    const RunResult r = RunNight({"--times", "--date", "2001-12-31", "--time", "21:00:00",
                                  "--longitude", "135", "--timezone", "-3.5"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("gst0=8836677.6101", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\nut=2002-01-01T00:30:00\n"), std::string::npos) << r.out;
}

TEST(Run, NowTextsOfAGivenOrThePresentMoment)
{
    RunResult r = RunNight(
        {"--now-texts", "--at", "2002-01-01T03:00:00", "--longitude", "135", "--timezone", "9"});
    ASSERT_EQ(r.status, 0) << r.err;
    auto firstBreak = r.out.find('\n');
    EXPECT_NE(r.out.substr(0, firstBreak).find(" / 27:00:00"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(firstBreak + 1, 19), " UT 2001.12.31 18:0") << r.out;
    EXPECT_NE(r.out.find("\n LST "), std::string::npos) << r.out;

    // The present moment is universal time from the clock seam; the site's
    // local time is it plus the site's zone, whatever the computer's zone.
    SetUtcClockForTesting([] { return DateTimeValue::FromParts({2001, 12, 31}, 18, 0, 0); });
    r = RunNight({"--now-texts", "--longitude", "135", "--timezone", "9"});
    SetUtcClockForTesting({});
    ASSERT_EQ(r.status, 0) << r.err;
    firstBreak = r.out.find('\n');
    EXPECT_NE(r.out.substr(0, firstBreak).find(" / 27:00:00"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.substr(firstBreak + 1, 19), " UT 2001.12.31 18:0") << r.out;
}

TEST(Run, ChartImagesAtTheChosenSize)
{
    test::TempDir dir;
    const auto catalogue = dir.write("c.txt", "A, 6:00:00, +30:00:00\nB, 7:0:0, +1:0:0\n");
    auto args = SiteArgs(catalogue);
    args.insert(args.end(), {"--png", dir.file("a.png"), "--svg", dir.file("a.svg"), "--pdf",
                             dir.file("a.pdf")});
    RunResult r = RunNight(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(QImage(QString::fromStdString(dir.file("a.png"))).size(), QSize(632, 347));
    EXPECT_NE(test::ReadAll(dir.file("a.svg")).find("<svg"), std::string::npos);
    EXPECT_EQ(test::ReadAll(dir.file("a.pdf")).rfind("%PDF", 0), 0u);

    args = SiteArgs(catalogue);
    args.insert(args.end(), {"--png=-", "--size=800x400"});
    r = RunNight(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(r.out), "PNG").size(), QSize(800, 400));
}

TEST(Season, ImagesAreTheSeasonChart)
{
    // A year at 69.6 degrees north: Capella's best night marked, the white
    // nights of June hatched, at the chart's own size without --size.
    test::TempDir dir;
    const auto catalogue = dir.write("c.txt", "Capella, 5:16:41.4, +45:59:53\n");
    const std::vector<std::string> span = {"--catalogue", catalogue,        "--longitude", "18.9",
                                           "--latitude",  "69.6",           "--timezone",  "1",
                                           "--season",    "--from",         "2027-01-01",  "--to",
                                           "2027-12-31",  "--min-altitude", "20"};
    auto args = span;
    args.insert(args.end(), {"--png", dir.file("s.png"), "--svg", dir.file("s.svg"), "--pdf",
                             dir.file("s.pdf")});
    RunResult r = RunNight(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(test::ReadAll(dir.file("s.svg")).find("<svg"), std::string::npos);
    EXPECT_EQ(test::ReadAll(dir.file("s.pdf")).rfind("%PDF", 0), 0u);

    const std::unique_ptr<ElevationModel> model = ElevationModelNamed("chart");
    const Season season =
        ComputeSeason({{1, "Capella", {5, 16, 41.4}, {1, 45, 59, 53.0}}},
                      SeasonDates({2027, 1, 1}, {2027, 12, 31}), {18.9, 69.6, 1.0}, *model, 20.0,
                      [](const std::string &) {});
    const SeasonChart chart(season);
    const QImage image(QString::fromStdString(dir.file("s.png")));
    const QSize size(SeasonChart::kDefaultWidthPx, chart.naturalHeight());
    ASSERT_EQ(image.size(), size);
    constexpr std::size_t kMidsummer = 171; // 2027-06-21
    ASSERT_EQ(season.nights[kMidsummer].darkHours, 0.0);
    const QRgb white = image.pixel(chart.cellRect(0, kMidsummer, size).center().toPoint());
    EXPECT_TRUE(white == (SeasonChart::kNoDarknessColour | 0xff000000u) ||
                white == (SeasonChart::kNoDarknessHatch | 0xff000000u))
        << std::hex << white;
    ASSERT_TRUE(season.objects[0].bestNight);
    const std::optional<QPointF> best = chart.bestMarkerCentre(0, size);
    EXPECT_EQ(image.pixel(best->toPoint()), SeasonChart::kBestFill | 0xff000000u);

    args = span;
    args.insert(args.end(), {"--png=-", "--size=700x300"});
    r = RunNight(args);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(QImage::fromData(QByteArray::fromStdString(r.out), "PNG").size(), QSize(700, 300));
}

// The CSV rows of an events run, split into fields (no quoted fields here).
std::vector<std::vector<std::string>> CsvRows(const std::string &text)
{
    std::vector<std::vector<std::string>> rows;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find('\n', at);
        std::vector<std::string> fields;
        std::size_t from = at;
        for (;;) {
            const std::size_t comma = text.find(',', from);
            if (comma == std::string::npos || comma > end) {
                fields.push_back(text.substr(from, end - from));
                break;
            }
            fields.push_back(text.substr(from, comma - from));
            from = comma + 1;
        }
        rows.push_back(std::move(fields));
        at = end + 1;
    }
    return rows;
}

std::string Local(const TDateRec &date, const std::optional<double> &hours)
{
    return hours ? FormatIsoDateTime(NightDateTime(date, *hours)) : "";
}

TEST(Events, CsvRowsFollowTheEngineNightByNight)
{
    test::TempDir dir;
    const auto catalogue =
        dir.write("c.txt", "Sirius, 6:45:08.9, -16:42:58\nVega, 18:36:56.3, +38:47:01\n");
    const RunResult r = RunNight({"--catalogue", catalogue, "--events", "--longitude", "139.7",
                                  "--latitude", "35.7", "--timezone", "9", "--from", "2026-12-30",
                                  "--to", "2027-01-01", "--min-altitude", "20"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = CsvRows(r.out);
    ASSERT_EQ(rows.size(), 1u + 3 * 2);
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{
                  "date", "line", "name", "rise", "transit", "transit_elevation", "set",
                  "dark_hours_above", "sun_set", "astronomical_dusk", "astronomical_dawn",
                  "sun_rise", "moon_rise", "moon_set", "moon_illumination", "moon_separation"}));
    const NightSite site{139.7, 35.7, 9.0};
    const TDateRec dates[] = {{2026, 12, 30}, {2026, 12, 31}, {2027, 1, 1}};
    const TRightAscension ra[] = {{6, 45, 8.9}, {18, 36, 56.3}};
    const TDeclination dec[] = {{-1, 16, 42, 58.0}, {1, 38, 47, 1.0}};
    for (std::size_t night = 0; night < 3; ++night) {
        const TDateRec &date = dates[night];
        const NightEvents sun = SunMoonEvents(date, site);
        const SunMoonNight sunMoon(date, site);
        const PrecisePlaces places(date, site);
        for (std::size_t object = 0; object < 2; ++object) {
            const auto &row = rows[1 + 2 * night + object];
            SCOPED_TRACE(row[0] + " line " + row[1]);
            ASSERT_EQ(row.size(), 16u);
            EXPECT_EQ(row[0], FormatIsoDate(date));
            EXPECT_EQ(row[1], std::to_string(object + 1));
            const ObjectEvents want =
                ObjectNightEvents(ra[object], dec[object], date, site, sun.darkIntervals, 20.0, {});
            EXPECT_EQ(row[3], Local(date, want.rise));
            EXPECT_EQ(row[4], Local(date, want.transit));
            EXPECT_NEAR(std::stod(row[5]), want.transitElevationDeg, 1e-12);
            EXPECT_EQ(row[6], Local(date, want.set));
            EXPECT_NEAR(std::stod(row[7]), want.darkHoursAbove, 1e-12);
            EXPECT_EQ(row[8], Local(date, sun.sunSet));
            EXPECT_EQ(row[9], Local(date, sun.astronomicalDusk));
            EXPECT_EQ(row[10], Local(date, sun.astronomicalDawn));
            EXPECT_EQ(row[11], Local(date, sun.sunRise));
            EXPECT_EQ(row[12], Local(date, sun.moonRise));
            EXPECT_EQ(row[13], Local(date, sun.moonSet));
            EXPECT_NEAR(std::stod(row[14]), sun.moonIllumination, 1e-12);
            // At the chart model's transit, the precise place.
            const std::optional<double> separation =
                MoonSeparationAtTransit(want, ra[object], dec[object], places, sunMoon);
            ASSERT_TRUE(separation.has_value());
            EXPECT_NEAR(std::stod(row[15]), *separation, 1e-12);
        }
    }
}

TEST(Events, WithoutObjectsOneRowPerNightAndPolarDaysHaveNoSunEvents)
{
    const RunResult r = RunNight({"--events", "--longitude", "15.6", "--latitude", "78.2",
                                  "--timezone", "1", "--from", "2027-06-20", "--to", "2027-06-21"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = CsvRows(r.out);
    ASSERT_EQ(rows.size(), 3u);
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 16u);
        for (std::size_t column = 1; column <= 11; ++column)
            EXPECT_EQ(rows[i][column], "") << i << " column " << column;
        EXPECT_FALSE(rows[i][14].empty());
        EXPECT_EQ(rows[i][15], "");
    }
}

// The model's choice reaches the points, the JSON statements and the events.
TEST(Run, TheChosenModelComputesAndDescribes)
{
    test::TempDir dir;
    const auto catalogue = dir.write("c.txt", "Vega, 18:36:56.3, +38:47:01\n");
    const TRightAscension ra{18, 36, 56.3};
    const TDeclination dec{1, 38, 47, 1.0};
    const NightSite site{135.0, 35.0, 9.0};
    const ChartModel chart;
    const PreciseModel precise;
    for (const ElevationModel *model : {static_cast<const ElevationModel *>(&chart),
                                        static_cast<const ElevationModel *>(&precise)}) {
        const std::string name(model->name());
        SCOPED_TRACE(name);
        auto args = SiteArgs(catalogue);
        args.insert(args.end(), {"--model", name});
        RunResult r = RunNight(args);
        ASSERT_EQ(r.status, 0) << r.err;
        const auto rows = CsvRows(r.out);
        ASSERT_EQ(rows.size(), 97u);
        const NightCurve want =
            model->night({2001, 12, 31}, site)->object(ra, dec, nullptr)->curve();
        for (std::size_t i = 0; i < want.size(); ++i)
            EXPECT_NEAR(std::stod(rows[i + 1][3]), want[i].elevationDeg, 1e-12)
                << "x " << rows[i + 1][2];

        args.insert(args.end(), {"--format", "json"});
        r = RunNight(args);
        EXPECT_NE(r.out.find("\n\"model\":\"" + JsonEscape(model->description()) + "\",\n"),
                  std::string::npos)
            << r.out.substr(0, 400);

        r = RunNight({"--catalogue", catalogue, "--events", "--date", "2001-12-31", "--longitude",
                      "135", "--latitude", "35", "--timezone", "9", "--format", "json", "--model",
                      name});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(JsonEscape(model->description()) + "\",\n\"nights\""),
                  std::string::npos)
            << r.out.substr(0, 1200);
        const ObjectEvents events = ObjectNightEvents(
            *model->night({2001, 12, 31}, site)->object(ra, dec, nullptr), {}, 30);
        EXPECT_NE(r.out.find("\"transit\":\"" + Local({2001, 12, 31}, events.transit) + "\""),
                  std::string::npos);
    }
}

TEST(Events, RefusedCombinations)
{
    const ArgumentRow rows[] = {
        {"from after to", {"--events", "--from", "2027-02-01", "--to", "2027-01-31"}, "after"},
        {"from alone", {"--events", "--from", "2027-02-01"}, "go together"},
        {"season without events", {"--from", "2027-01-01", "--to", "2027-01-02"}, "--events"},
        {"date and season",
         {"--events", "--date", "2027-01-01", "--from", "2027-01-01", "--to", "2027-01-02"},
         "exclude"},
        {"altitude limit", {"--events", "--min-altitude", "91"}, "--min-altitude"},
        {"events as image", {"--events", "--png", "x.png"}, "images"},
    };
    for (const ArgumentRow &row : rows) {
        const RunResult r = RunNight(row.args);
        EXPECT_EQ(r.status, 2) << row.name;
        EXPECT_NE(r.err.find(row.wantError), std::string::npos) << row.name << ": " << r.err;
    }
}

TEST(Curves, AirMassFollowsTheElevationAndIsEmptyBelowTheHorizon)
{
    test::TempDir dir;
    const auto catalogue = dir.write("c.txt", "Test, 6:00:00, +30:00:00\n");
    const RunResult r = RunNight(SiteArgs(catalogue));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = CsvRows(r.out);
    ASSERT_EQ(rows.size(), 97u);
    int above = 0;
    int below = 0;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        ASSERT_EQ(rows[i].size(), 7u) << i;
        const double elevation = std::stod(rows[i][3]);
        if (elevation <= 0.0) {
            EXPECT_EQ(rows[i][6], "") << i;
            ++below;
        } else {
            // Written to four decimals.
            EXPECT_NEAR(std::stod(rows[i][6]), *Airmass(elevation), 0.5e-4) << i;
            EXPECT_EQ(rows[i][6].size() - rows[i][6].find('.'), 5u) << rows[i][6];
            ++above;
        }
    }
    EXPECT_GT(above, 0);
    EXPECT_GT(below, 0);
}

TEST(Run, TwilightShadesTheImage)
{
    test::TempDir dir;
    const auto catalogue = dir.write("c.txt", "A, 6:00:00, +30:00:00\n");
    auto args = SiteArgs(catalogue);
    args.insert(args.end(), {"--png=-"});
    const RunResult plain = RunNight(args);
    args.push_back("--twilight");
    const RunResult shaded = RunNight(args);
    ASSERT_EQ(shaded.status, 0) << shaded.err;
    const QImage a = QImage::fromData(QByteArray::fromStdString(plain.out), "PNG");
    const QImage b = QImage::fromData(QByteArray::fromStdString(shaded.out), "PNG");
    ASSERT_EQ(a.size(), b.size());
    // Near midnight, between grid lines and away from the curve, the plot is
    // the darkest tint; the title row is unchanged.
    int darkest = 0;
    for (int x = 0; x < b.width(); ++x)
        for (int y = b.height() / 4; y < b.height() * 3 / 4; ++y)
            darkest += QColor(b.pixel(x, y)) == ShadeColour(kShadeLevels) ? 1 : 0;
    EXPECT_GT(darkest, 1000);
    for (int x = 0; x < b.width(); ++x)
        EXPECT_EQ(a.pixel(x, 3), b.pixel(x, 3)) << x;
}

TEST(Run, MoonAndTransitsAreDrawnAsTheWindowDrawsThem)
{
    test::TempDir dir;
    // On the night of 2027-06-21 Vega transits at about 00:20, Sirius in the day.
    const auto catalogue = dir.write("c.txt", "Sirius, 6:45:08.9, -16:42:58\nVega, 18:36:56.3, "
                                              "+38:47:01\n");
    const ObjectEvents vega = ObjectNightEvents({18, 36, 56.3}, {1, 38, 47, 1.0}, {2027, 6, 21},
                                                {139.7, 35.7, 9.0}, {}, 30.0, nullptr);
    const std::string transit = NightClockText({2027, 6, 21}, vega.transit);
    struct Row
    {
        const char *name;
        std::vector<std::string> options;
        std::vector<std::string> texts; // each shown when `shown`
        bool shown;
    };
    const Row rows[] = {
        {"plain", {}, {"月出 20:48", "月 (94%)", transit}, false},
        {"moon", {"--moon"}, {"月出 20:48", "月 (94%)"}, true},
        {"transits", {"--transits"}, {transit}, true},
        {"moon only", {"--moon"}, {transit}, false},
    };
    for (const Row &row : rows) {
        std::vector<std::string> args{"--catalogue", catalogue,    "--longitude", "139.7",
                                      "--latitude",  "35.7",       "--timezone",  "9",
                                      "--date",      "2027-06-21", "--svg",       "-"};
        args.insert(args.end(), row.options.begin(), row.options.end());
        const RunResult r = RunNight(args);
        ASSERT_EQ(r.status, 0) << row.name << ": " << r.err;
        for (const std::string &text : row.texts)
            EXPECT_EQ(r.out.find(">" + text + "<") != std::string::npos, row.shown)
                << row.name << ": " << text;
    }
}

// Above the Arctic Circle: half the year without astronomical darkness, and
// the Sun below -18 degrees for part of every winter night.
TEST(Season, CsvEqualsTheEventsNightByNightOverAYearInTheArctic)
{
    test::TempDir dir;
    const auto catalogue = dir.write("c.txt", "Vega, 18:36:56.3, +38:47:01\n"
                                              "Betelgeuse, 5:55:10.3, +7:24:25\n");
    const std::vector<std::string> common = {
        "--catalogue", catalogue, "--longitude", "18.96",      "--latitude", "69.65",
        "--timezone",  "1",       "--from",      "2027-01-01", "--to",       "2027-12-31"};
    constexpr std::size_t kNights = 365;
    constexpr std::size_t kObjects = 2;
    for (const char *model : {"chart", "precise"}) {
        SCOPED_TRACE(model);
        auto eventArgs = common;
        eventArgs.insert(eventArgs.end(), {"--events", "--model", model});
        auto seasonArgs = common;
        seasonArgs.insert(seasonArgs.end(), {"--season", "--model", model});
        const RunResult events = RunNight(eventArgs);
        const RunResult season = RunNight(seasonArgs);
        ASSERT_EQ(season.status, 0) << season.err;
        EXPECT_EQ(season.out.substr(0, season.out.find('\n')),
                  "line,name,date,dark_hours_above,moonfree_hours_above,moon_illumination,"
                  "dark_hours,best");
        const auto eventRows = CsvRows(events.out);
        const auto seasonRows = CsvRows(season.out);
        ASSERT_EQ(seasonRows.size(), eventRows.size());
        std::size_t brightNights = 0;
        for (std::size_t object = 0; object < kObjects; ++object) {
            std::size_t best = 0;
            for (std::size_t night = 0; night < kNights; ++night) {
                // The events are night-major, the season object-major.
                const auto &e = eventRows[1 + night * kObjects + object];
                const auto &s = seasonRows[1 + object * kNights + night];
                SCOPED_TRACE(e[0] + " line " + e[1]);
                ASSERT_EQ(s.size(), 8u);
                // line, name, date, dark_hours_above and moon_illumination
                // to the last digit.
                EXPECT_EQ((std::vector{s[0], s[1], s[2], s[3], s[5]}),
                          (std::vector{e[1], e[2], e[0], e[7], e[14]}));
                EXPECT_LE(std::stod(s[4]), std::stod(s[3]));
                const bool bright = e[9].empty() && e[10].empty();
                EXPECT_EQ(std::stod(s[6]) == 0.0, bright);
                brightNights += bright ? 1 : 0;
                EXPECT_TRUE(!bright || s[3] == "0") << s[3];
                if (s[7] == "1")
                    best = night;
            }
            // The best row has the most moon-free hours.
            for (std::size_t night = 0; night < kNights; ++night)
                EXPECT_LE(std::stod(seasonRows[1 + object * kNights + night][4]),
                          std::stod(seasonRows[1 + object * kNights + best][4]) + 1.0 / 3600);
        }
        EXPECT_GT(brightNights, kObjects * 150);
        EXPECT_LT(brightNights, kObjects * 200);
    }
}

TEST(Season, JsonGivesTheNightsOnceAndEachObjectsBestNight)
{
    test::TempDir dir;
    const auto catalogue =
        dir.write("c.txt", "Sirius, 6:45:08.9, -16:42:58\nCanopus, 6:23:57.1, -52:41:45\n");
    const RunResult r =
        RunNight({"--catalogue", catalogue, "--season", "--longitude", "139.7", "--latitude",
                  "35.7", "--timezone", "9", "--date", "2027-01-01", "--format", "json"});
    ASSERT_EQ(r.status, 0) << r.err;
    QJsonParseError error;
    const QJsonObject json =
        QJsonDocument::fromJson(QByteArray::fromStdString(r.out), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.substr(0, 400);
    EXPECT_EQ(json["model"].toString(), "chart");
    EXPECT_EQ(json["min_altitude"].toDouble(), 30.0);
    // Twelve months from the date.
    const QJsonArray nights = json["nights"].toArray();
    ASSERT_EQ(nights.size(), 365);
    EXPECT_EQ(nights.last()["date"].toString(), "2027-12-31");
    const QJsonArray objects = json["objects"].toArray();
    ASSERT_EQ(objects.size(), 2);
    EXPECT_EQ(objects[0]["nights"].toArray().size(), 365);
    // Sirius has a best night; Canopus never reaches 30 degrees at Tokyo.
    EXPECT_TRUE(objects[0]["best_night"].isString());
    EXPECT_TRUE(objects[1]["best_night"].isNull());
}

TEST(Season, RefusedInput)
{
    const ArgumentRow rows[] = {
        {"732 nights", {"--season", "--from", "2027-02-28", "--to", "2029-02-28"}, "731 nights"},
        {"to before from", {"--season", "--from", "2027-02-01", "--to", "2027-01-31"}, "after"},
        {"from alone", {"--season", "--from", "2027-02-01"}, "go together"},
        {"to alone", {"--season", "--to", "2027-02-01"}, "go together"},
        {"limit above 90", {"--season", "--min-altitude", "90.5"}, "--min-altitude takes"},
        {"limit below -90", {"--season", "--min-altitude=-91"}, "--min-altitude takes"},
        {"limit not a number", {"--season", "--min-altitude", "high"}, "--min-altitude takes"},
        {"with events", {"--season", "--events"}, "--season and --events exclude"},
        {"with times",
         {"--times", "--date", "2027-01-01", "--time", "21:00:00", "--season"},
         "--times and --season exclude"},
    };
    for (const ArgumentRow &row : rows) {
        const RunResult r = RunNight(row.args);
        EXPECT_EQ(r.status, 2) << row.name;
        EXPECT_NE(r.err.find(row.wantError), std::string::npos)
            << row.name << ": want '" << row.wantError << "' in '" << r.err << "'";
        EXPECT_EQ(r.out, "") << row.name;
    }
    // The longest span is taken.
    EXPECT_EQ(RunNight({"--season", "--from", "2027-03-01", "--to", "2029-02-28"}).status, 0);
}

} // namespace
} // namespace mirado::tool
