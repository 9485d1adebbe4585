// SPDX-License-Identifier: GPL-3.0-or-later
#include "astro/clocktime.h"

#include <cmath>
#include <gtest/gtest.h>

#include "data/errors.h"

namespace mirado {
namespace {

constexpr TDateRec k20011231{2001, 12, 31};

struct UtRow
{
    double timeZone;
    TDateRec wantDate;
    int wantHours;
    int wantMinutes;
};

TEST(GetUTDateTime, WholeMinutesOfTheZone)
{
    const auto local = DateTimeValue::FromParts(k20011231, 21, 0, 0);
    const UtRow rows[] = {
        {9.0, k20011231, 12, 0},        {5.75, k20011231, 15, 15},   {-3.5, {2002, 1, 1}, 0, 30},
        {9.01, k20011231, 12, 0},       {-9.01, {2002, 1, 1}, 6, 0}, {0.0, k20011231, 21, 0},
        {21.5, {2001, 12, 30}, 23, 30},
    };
    for (const auto &row : rows) {
        const DateTimeValue ut = GetUTDateTime(local, row.timeZone);
        EXPECT_EQ(ut.date().year, row.wantDate.year) << row.timeZone;
        EXPECT_EQ(ut.date().month, row.wantDate.month) << row.timeZone;
        EXPECT_EQ(ut.date().day, row.wantDate.day) << row.timeZone;
        EXPECT_EQ(ut.time().hours, row.wantHours) << row.timeZone;
        EXPECT_EQ(ut.time().minutes, row.wantMinutes) << row.timeZone;
    }
    EXPECT_THROW(GetUTDateTime(local, 1e9), Error);
    EXPECT_THROW(GetUTDateTime(local, std::nan("")), Error);
}

TEST(DateTimeValue, CalendarRoundTripAcrossLeapDays)
{
    const TDateRec dates[] = {{2024, 2, 29},  {2100, 2, 28}, {2000, 2, 29}, {1900, 3, 1},
                              {2999, 12, 31}, {1970, 1, 1},  {1969, 12, 31}};
    for (const auto &d : dates) {
        const auto value = DateTimeValue::FromParts(d, 23, 59, 59);
        EXPECT_EQ(value.date().year, d.year);
        EXPECT_EQ(value.date().month, d.month);
        EXPECT_EQ(value.date().day, d.day);
        EXPECT_EQ(value.time().hours, 23);
        EXPECT_EQ(value.time().seconds, 59.0);
        EXPECT_EQ(DateTimeValue(value.seconds() + 1).time().hours, 0);
    }
    EXPECT_EQ(DateTimeValue::FromParts({2100, 2, 28}, 24, 0, 0).date().month, 3);
}

struct NightDateRow
{
    TDateRec now;
    int hours;
    int minutes;
    TDateRec want;
};

TEST(NightDateOf, SevenOClockRule)
{
    const NightDateRow rows[] = {
        {{2027, 1, 1}, 5, 30, {2026, 12, 31}},    {{2027, 1, 1}, 7, 0, {2027, 1, 1}},
        {{2027, 6, 15}, 6, 59, {2027, 6, 14}},    {{2024, 3, 1}, 3, 0, {2024, 2, 29}},
        {{2023, 3, 1}, 3, 0, {2023, 2, 28}},      {{2100, 3, 1}, 0, 0, {2100, 2, 28}},
        {{2001, 12, 31}, 23, 59, {2001, 12, 31}},
    };
    for (const auto &row : rows) {
        const TDateRec got =
            NightDateOf(DateTimeValue::FromParts(row.now, row.hours, row.minutes, 0));
        EXPECT_EQ(got.year, row.want.year) << row.now.month << "-" << row.now.day;
        EXPECT_EQ(got.month, row.want.month) << row.now.month << "-" << row.now.day;
        EXPECT_EQ(got.day, row.want.day) << row.now.month << "-" << row.now.day;
    }
}

struct HmsRow
{
    double value;
    THMSRec want;
};

TEST(GetHMSFromSec, SplitKeepsTheSign)
{
    const HmsRow rows[] = {
        {3661.5, {1, 1, 1.5}},     {-50.0, {0, 0, -50.0}}, {86450.0, {24, 0, 50.0}},
        {-3661.5, {-1, -1, -1.5}}, {0.0, {0, 0, 0.0}},     {31.944557, {0, 0, 31.944557}},
    };
    for (const auto &row : rows) {
        THMSRec got;
        GetHMSFromSec(got, row.value);
        EXPECT_EQ(got.hours, row.want.hours) << row.value;
        EXPECT_EQ(got.minutes, row.want.minutes) << row.value;
        EXPECT_NEAR(got.seconds, row.want.seconds, 1e-9) << row.value;
    }
    THMSRec got;
    EXPECT_THROW(GetHMSFromSec(got, 1e20), Error);
    EXPECT_THROW(GetHMSFromSec(got, 3600.0 * 2147483647.0), Error);
}

} // namespace
} // namespace mirado
