// SPDX-License-Identifier: GPL-3.0-or-later
#include "astro/elevation.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "astro/clocktime.h"
#include "astro/night.h"
#include "astro/sidereal.h"
#include "data/errors.h"

namespace mirado {
namespace {

constexpr TDateRec k20011231{2001, 12, 31};

struct ElevationRow
{
    const char *name;
    TRightAscension ra;
    TDeclination dec;
    double latitude;
    THMSRec time;
    double want;
};

TEST(GetDegElevation, ReferenceValues)
{
    const ElevationRow rows[] = {
        {"north at 21:00", {6, 0, 0.0}, {1, 30, 0, 0.0}, 35.0, {21, 0, 0.0}, 59.797794},
        {"south at 21:00", {6, 0, 0.0}, {-1, 10, 30, 0.0}, 35.0, {21, 0, 0.0}, 33.443200},
        {"hour angle over half a day", {6, 0, 0.0}, {1, 30, 0, 0.0}, 35.0, {17, 0, 0.0}, 12.631039},
        {"below the horizon", {0, 0, 0.0}, {1, 0, 0, 0.0}, 0.0, {0, 0, 0.0}, -9.490042},
    };
    int warnings = 0;
    const WarningReporter count = [&](const std::string &) { ++warnings; };
    for (const auto &row : rows)
        EXPECT_NEAR(
            GetDegElevation(row.ra, row.dec, k20011231, 135.0, row.latitude, row.time, 9.0, count),
            row.want, 1e-6)
            << row.name;
    EXPECT_EQ(warnings, 0);
}

TEST(GetDegElevation, ObjectAtTheZenithReadsNinetyWithoutWarning)
{
    // Place the object on the meridian at a declination equal to the
    // latitude. Rounding carries the sine of the elevation past 1 for some
    // of these; each must still read 90 degrees with no warning.
    std::vector<std::string> warnings;
    const WarningReporter record = [&](const std::string &text) { warnings.push_back(text); };
    const THMSRec time{21, 0, 0.0};
    const double lst = dblGetLSTSec(k20011231, time, 135.0, 9.0, record);
    THMSRec split;
    GetHMSFromSec(split, lst);
    const TRightAscension ra{split.hours, split.minutes, split.seconds};
    for (int degrees = 0; degrees < 90; ++degrees) {
        for (int minutes = 0; minutes < 60; minutes += 3) {
            const double latitude = degrees + minutes / 60.0;
            const double elevation = GetDegElevation(ra, {1, degrees, minutes, 0.0}, k20011231,
                                                     135.0, latitude, time, 9.0, record);
            ASSERT_NEAR(elevation, 90.0, 1e-5) << degrees << ":" << minutes;
        }
    }
    EXPECT_TRUE(warnings.empty()) << warnings.front();
}

TEST(GetDegElevation, GoesOnWithZeroAfterAnInnerRoutineFails)
{
    std::vector<std::string> warnings;
    const WarningReporter record = [&](const std::string &text) { warnings.push_back(text); };
    const double got =
        GetDegElevation({std::numeric_limits<std::int32_t>::max(), 0, 0.0}, {1, 30, 0, 0.0},
                        k20011231, 135.0, 35.0, {21, 0, 0.0}, 9.0, record);
    // The hour angle failed and went on as 0: the object stands on the
    // meridian as far as the elevation is concerned.
    EXPECT_NEAR(got, 85.0, 1e-9);
    EXPECT_EQ(warnings, std::vector<std::string>{"dblGetHASec Integer overflow"});
}

TEST(NightElevations, GridAndMidnightPairs)
{
    const NightCurve curve = NightElevations({6, 0, 0.0}, {1, 30, 0, 0.0}, k20011231, 135.0, 35.0,
                                             9.0, WarningReporter());
    ASSERT_EQ(curve.size(), 96u);
    EXPECT_EQ(curve[0].x, 17.0);
    EXPECT_NEAR(curve[0].elevationDeg, 12.631039, 1e-6);
    EXPECT_EQ(curve[1].x, 17.0 + 10 / 60.0);
    EXPECT_EQ(curve[24].x, 21.0);
    EXPECT_NEAR(curve[24].elevationDeg, 59.797794, 1e-6);
    EXPECT_EQ(curve[47].x, 24.0 + 50 / 60.0);
    EXPECT_EQ(curve[95].x, 31.0 + 50 / 60.0);
    // The evening's 24:00-24:50 and the morning's 00:00-00:50 share their x
    // and their elevation.
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(curve[42 + i].x, curve[48 + i].x) << i;
        EXPECT_NEAR(curve[42 + i].elevationDeg, curve[48 + i].elevationDeg, 1e-9) << i;
    }
    // Ascending x apart from the shared stretch.
    for (int i = 1; i < 96; ++i) {
        if (i != 48) {
            EXPECT_LT(curve[i - 1].x, curve[i].x) << i;
        }
    }
}

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
        {{2027, 1, 1}, 5, 30, {2026, 12, 31}}, {{2027, 1, 1}, 7, 0, {2027, 1, 1}},
        {{2027, 6, 15}, 6, 59, {2027, 6, 14}}, {{2024, 3, 1}, 3, 0, {2024, 2, 29}},
        {{2023, 3, 1}, 3, 0, {2023, 2, 28}},   {{2100, 3, 1}, 0, 0, {2100, 2, 28}},
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
