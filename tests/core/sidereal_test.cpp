// SPDX-License-Identifier: GPL-3.0-or-later
#include "astro/sidereal.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

namespace mirado {
namespace {

// Records what the routines report.
struct Recorder
{
    std::vector<std::string> texts;
    WarningReporter reporter()
    {
        return [this](const std::string &text) { texts.push_back(text); };
    }
};

constexpr TDateRec k20011231{2001, 12, 31};
constexpr double kTolerance = 1e-6; // the reference values carry six decimals

struct DayCountRow
{
    TDateRec date;
    double want;
};

TEST(GstDayCount, Table)
{
    const DayCountRow rows[] = {
        {{1900, 1, 1}, 0.5},      {{2001, 12, 31}, 37254.5}, {{2002, 1, 1}, 37255.5},
        {{2002, 2, 28}, 37313.5}, {{2002, 3, 1}, 37314.5},   {{2024, 2, 29}, 45349.5},
        {{2024, 3, 1}, 45350.5},  {{2002, 2, 31}, 37316.5},  {{2002, 3, 3}, 37316.5},
        {{1900, 2, 29}, 59.5},    {{1900, 3, 1}, 59.5},      {{2100, 2, 28}, 73107.5},
        {{2100, 2, 29}, 73108.5}, {{2100, 3, 1}, 73109.5},   {{1900, 2, 28}, 58.5},
        {{2000, 1, 1}, 36524.5},
    };
    for (const auto &row : rows)
        EXPECT_EQ(GstDayCount(row.date), row.want)
            << row.date.year << "-" << row.date.month << "-" << row.date.day;
}

TEST(GstDayCount, EveryMonthOfAYearFollowsOn)
{
    // Consecutive days differ by exactly one across every month end of 2002
    // and 2024 (day 0 of a month is the last day of the month before).
    const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    for (const int year : {2002, 2024}) {
        for (int month = 1; month <= 11; ++month) {
            int last = lengths[month - 1] + (year == 2024 && month == 2 ? 1 : 0);
            EXPECT_EQ(GstDayCount({year, month + 1, 1}) - GstDayCount({year, month, last}), 1.0)
                << year << "-" << month;
        }
    }
}

struct SiderealRow
{
    const char *name;
    double got;
    double want;
};

TEST(SiderealTime, ReferenceValues)
{
    const WarningReporter none;
    const SiderealRow rows[] = {
        {"GST 1900-01-01", GetSecGST({1900, 1, 1}, none), 24044.113680},
        {"GST 2001-12-31", GetSecGST(k20011231, none), 8836677.610127},
        {"GST 2002-01-01", GetSecGST({2002, 1, 1}, none), 8836914.165493},
        {"GST 2001-12-31 reduced", ReduceToOneDay(GetSecGST(k20011231, none)), 23877.610127},
        {"LST 21:00", dblGetLSTSec(k20011231, {21, 0, 0.0}, 135.0, 9.0, none), 13077.610127},
        {"LST 24:00", dblGetLSTSec(k20011231, {24, 0, 0.0}, 135.0, 9.0, none), 23877.610127},
        {"LST 00:00", dblGetLSTSec(k20011231, {0, 0, 0.0}, 135.0, 9.0, none), 23877.610127},
        {"LST 17:21:12", dblGetLSTSec(k20011231, {17, 21, 12.0}, 135.0, 9.0, none), 86349.610127},
        {"LST now 21:00", dblGetLSTSecNow(k20011231, {21, 0, 0.0}, 135.0, 9.0, none), 13195.887839},
        {"LST now 00:00", dblGetLSTSecNow(k20011231, {0, 0, 0.0}, 135.0, 9.0, none), 23788.901843},
        {"LST now past a whole day", dblGetLSTSecNow(k20011231, {17, 21, 12.0}, 135.0, 9.0, none),
         31.944557},
        {"hour angle", dblGetHASec({6, 0, 0.0}, 13077.610127, none), -8522.389873},
        {"negative sum reduced", ReduceToOneDay(-100000.5), -13600.5},
        {"whole day reduced", ReduceToOneDay(86400.0), 0.0},
    };
    for (const auto &row : rows)
        EXPECT_NEAR(row.got, row.want, kTolerance) << row.name;
}

TEST(SiderealTime, EveningAndMorningHoursMeetAtMidnight)
{
    const WarningReporter none;
    for (int hour = 0; hour < 8; ++hour)
        for (int minute = 0; minute < 60; minute += 10)
            EXPECT_NEAR(dblGetLSTSec(k20011231, {hour, minute, 0.0}, 135.0, 9.0, none),
                        dblGetLSTSec(k20011231, {hour + 24, minute, 0.0}, 135.0, 9.0, none), 1e-8)
                << hour << ":" << minute;
}

struct TrapRow
{
    const char *name;
    double got;
    std::vector<std::string> want;
};

TEST(SiderealTime, ErrorsAreReportedAndGiveZero)
{
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    Recorder r[6];
    const TrapRow rows[] = {
        {"year overflows",
         GetSecGST({std::numeric_limits<std::int32_t>::min(), 3, 1}, r[0].reporter()),
         {"GetSecGST Integer overflow"}},
        {"GST failure lets LST go on with zero",
         dblGetLSTSec({2001, kMax, 1}, {21, 0, 0.0}, 135.0, 9.0, r[1].reporter()),
         {"GetSecGST Integer overflow"}},
        {"day count does not fit",
         dblGetLSTSec(k20011231, {21, 0, 0.0}, 1e12, 9.0, r[2].reporter()),
         {"dblGetLSTSec Range check error"}},
        {"whole days overflow when multiplied",
         dblGetLSTSec(k20011231, {21, 0, 0.0}, 1e8, 9.0, r[3].reporter()),
         {"dblGetLSTSec Integer overflow"}},
        {"the sidereal-rate variant reports as dblGetLSTSec",
         dblGetLSTSecNow(k20011231, {kMax, 0, 0.0}, 135.0, 9.0, r[4].reporter()),
         {"dblGetLSTSec Integer overflow"}},
        {"right ascension overflows",
         dblGetHASec({kMax, 0, 0.0}, 100.0, r[5].reporter()),
         {"dblGetHASec Integer overflow"}},
    };
    for (int i = 0; i < 6; ++i) {
        if (i != 1) {
            EXPECT_EQ(rows[i].got, 0.0) << rows[i].name;
        }
        EXPECT_EQ(r[i].texts, rows[i].want) << rows[i].name;
    }
    // With G = 0 the local sidereal time is L + U reduced: 32400 + 43200.
    EXPECT_NEAR(rows[1].got, 75600.0, kTolerance);
}

} // namespace
} // namespace mirado
