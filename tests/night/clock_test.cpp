// SPDX-License-Identifier: GPL-3.0-or-later
#include "night/clock.h"

#include <gtest/gtest.h>

#include "data/errors.h"

namespace mirado {
namespace {

DateTimeValue At(TDateRec date, int h, int m, int s)
{
    return DateTimeValue::FromParts(date, h, m, s);
}

struct SiteTimeRow
{
    const char *name;
    double timeZone;
    DateTimeValue ut;
    DateTimeValue want;
};

TEST(SiteLocalTime, UniversalTimePlusTheZoneInWholeMinutes)
{
    const SiteTimeRow rows[] = {
        {"Japan", 9.0, At({2001, 12, 31}, 12, 0, 0), At({2001, 12, 31}, 21, 0, 0)},
        {"345 minutes", 5.75, At({2001, 12, 31}, 15, 15, 0), At({2001, 12, 31}, 21, 0, 0)},
        {"west of Greenwich, over midnight", -3.5, At({2002, 1, 1}, 0, 30, 0),
         At({2001, 12, 31}, 21, 0, 0)},
        {"540.6 minutes taken as 540", 9.01, At({2001, 12, 31}, 12, 0, 0),
         At({2001, 12, 31}, 21, 0, 0)},
        {"-540.6 minutes taken as -540", -9.01, At({2002, 1, 1}, 6, 0, 0),
         At({2001, 12, 31}, 21, 0, 0)},
        {"into the next year", 9.0, At({2026, 12, 31}, 15, 0, 0), At({2027, 1, 1}, 0, 0, 0)},
        {"leap day", 9.0, At({2024, 2, 28}, 15, 30, 5), At({2024, 2, 29}, 0, 30, 5)},
    };
    for (const SiteTimeRow &row : rows) {
        const DateTimeValue got = SiteLocalTime(row.ut, row.timeZone);
        EXPECT_EQ(got.seconds(), row.want.seconds()) << row.name;
        // The inverse of the universal-time conversion.
        EXPECT_EQ(GetUTDateTime(got, row.timeZone).seconds(), row.ut.seconds()) << row.name;
    }
}

TEST(SiteLocalTime, ZoneWhoseMinutesDoNotFit)
{
    for (const double zone : {1e10, -1e10, 3.6e7})
        EXPECT_THROW(SiteLocalTime(At({2001, 12, 31}, 12, 0, 0), zone), Error) << zone;
}

TEST(SiteLocalNow, TheClockMovedByTheZone)
{
    SetUtcClockForTesting([] { return At({2026, 12, 28}, 14, 59, 59); });
    EXPECT_EQ(SiteLocalNow(9.0).seconds(), At({2026, 12, 28}, 23, 59, 59).seconds());
    EXPECT_EQ(SiteLocalNow(-5.0).seconds(), At({2026, 12, 28}, 9, 59, 59).seconds());
    SetUtcClockForTesting({});
}

} // namespace
} // namespace mirado
