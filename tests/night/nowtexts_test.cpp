// SPDX-License-Identifier: GPL-3.0-or-later
#include "night/nowtexts.h"

#include <cstdio>
#include <gtest/gtest.h>

#include "data/errors.h"

namespace mirado {
namespace {

// Formats that show which parts they were given.
LocaleFormats TestFormats()
{
    return {[](const TDateRec &d) {
                char buffer[32];
                std::snprintf(buffer, sizeof buffer, "%04d/%02d/%02d", d.year, d.month, d.day);
                return std::string(buffer);
            },
            [](std::int32_t h, std::int32_t m, std::int32_t s) {
                char buffer[32];
                std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d", h, m, s);
                return std::string(buffer);
            }};
}

DateTimeValue At(TDateRec date, int h, int m, int s)
{
    return DateTimeValue::FromParts(date, h, m, s);
}

struct MarkerRow
{
    THMSRec time;
    double want;
};

TEST(MarkerX, SevenOClockThreshold)
{
    const MarkerRow rows[] = {
        {{6, 59, 59.0}, 30 + 59 / 60.0},
        {{7, 0, 0.0}, 7.0},
        {{17, 0, 0.0}, 17.0},
        {{0, 30, 5.0}, 24.5},
        {{23, 59, 0.0}, 23 + 59 / 60.0},
    };
    for (const auto &row : rows)
        EXPECT_DOUBLE_EQ(MarkerX(row.time), row.want) << row.time.hours << ":" << row.time.minutes;
}

struct LabelRow
{
    const char *name;
    DateTimeValue local;
    const char *want;
};

TEST(LocalTimeLabel, NineOClockThreshold)
{
    const LabelRow rows[] = {
        {"08:59:59 continues the evening", At({2002, 1, 1}, 8, 59, 59), "2001/12/31\r32:59:59"},
        {"09:00:00 shows the day", At({2002, 1, 1}, 9, 0, 0), "2002/01/01\r9:00:00"},
        {"00:30:05", At({2024, 3, 1}, 0, 30, 5), "2024/02/29\r24:30:05"},
        {"07:00 still before nine", At({2026, 12, 8}, 7, 0, 0), "2026/12/07\r31:00:00"},
        {"evening", At({2026, 12, 7}, 21, 5, 9), "2026/12/07\r21:05:09"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(LocalTimeLabel(row.local, TestFormats()), row.want) << row.name;
}

struct UtRow
{
    double timeZone;
    const char *want;
};

TEST(UniversalTimeText, DateWithoutLeadingZeros)
{
    const UtRow rows[] = {
        {9.0, " UT 2001.12.31 18:00:00"},
        {5.75, " UT 2001.12.31 21:15:00"},
        {-3.5, " UT 2002.1.1 6:30:00"},
        {0.0, " UT 2002.1.1 3:00:00"},
    };
    for (const auto &row : rows)
        EXPECT_EQ(UniversalTimeText(At({2002, 1, 1}, 3, 0, 0), row.timeZone, TestFormats()),
                  row.want)
            << row.timeZone;
    EXPECT_THROW(UniversalTimeText(At({2002, 1, 1}, 3, 0, 0), 1e10, TestFormats()), Error);
}

TEST(SiderealTimeText, SplitAndRounded)
{
    const WarningReporter none;
    // 31.944557 s and 13195.887839 s.
    EXPECT_EQ(SiderealTimeText(At({2001, 12, 31}, 17, 21, 12), 135.0, 9.0, none), " LST 00:00:32");
    EXPECT_EQ(SiderealTimeText(At({2001, 12, 31}, 21, 0, 0), 135.0, 9.0, none), " LST 03:39:56");
    // A failure inside gives 0 and the panel shows it.
    std::string warned;
    EXPECT_EQ(SiderealTimeText(At({2001, 12, 31}, 21, 0, 0), 1e12, 9.0,
                               [&](const std::string &text) { warned = text; }),
              " LST 00:00:0 ");
    EXPECT_EQ(warned, "dblGetLSTSec Range check error");
}

// Over a whole day of one-second ticks the seconds field stays 0 to 59 and
// the shown time only ever moves on by one or two seconds, across the turn
// of every minute, hour and sidereal day.
TEST(SiderealTimeText, NeverReadsSixtySeconds)
{
    const WarningReporter none;
    int previous = -1;
    int carried = 0;
    for (int tick = 0; tick < kSecondsPerDayInt; ++tick) {
        const std::string text = SiderealTimeText(
            At({2026, 12, 28}, tick / 3600, tick / 60 % 60, tick % 60), 139.7, 9.0, none);
        int h = 0, m = 0, sec = 0;
        ASSERT_EQ(std::sscanf(text.c_str(), " LST %d:%d:%d", &h, &m, &sec), 3) << text;
        ASSERT_TRUE(h >= 0 && h < 24 && m >= 0 && m < 60 && sec >= 0 && sec < 60) << text;
        const int shown = (h * 60 + m) * 60 + sec;
        if (previous >= 0) {
            const int step = (shown - previous + kSecondsPerDayInt) % kSecondsPerDayInt;
            ASSERT_TRUE(step == 1 || step == 2) << "at tick " << tick << ": " << text;
        }
        carried += sec == 0 ? 1 : 0;
        previous = shown;
    }
    EXPECT_GT(carried, 1000);
}

TEST(Formats, PrintfPatterns)
{
    EXPECT_EQ(TwoDigits(5), "05");
    EXPECT_EQ(TwoDigits(27), "27");
    EXPECT_EQ(TwoDigits(131), "131");
    EXPECT_EQ(RoundedSeconds(7.4), "7 ");
    EXPECT_EQ(RoundedSeconds(42.6), "43");
    EXPECT_EQ(RoundedSeconds(59.5), "60");
    EXPECT_EQ(RoundedSeconds(58.5), "59");
    EXPECT_EQ(RoundedSeconds(0.0), "0 ");
}

} // namespace
} // namespace mirado
