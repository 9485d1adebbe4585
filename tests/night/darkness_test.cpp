// SPDX-License-Identifier: GPL-3.0-or-later
#include "night/darkness.h"

#include <gtest/gtest.h>

#include "night/sunmoon.h"

namespace mirado {
namespace {

TEST(DarknessLevel, Thresholds)
{
    struct Row
    {
        double altitudeDeg;
        int want;
    };
    const Row rows[] = {
        {10.0, 0},  {-0.8, 0},  {-0.9, 1},   {-5.99, 1}, {-6.0, 2},
        {-11.9, 2}, {-12.0, 3}, {-17.99, 3}, {-18.0, 4}, {-60.0, 4},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(DarknessLevel(row.altitudeDeg), row.want) << row.altitudeDeg;
    }
}

// The pieces run in time order without gaps or overlaps inside the night,
// and each piece's level is the one the Sun's altitude gives inside it.
void ExpectConsistent(const std::vector<DarknessStretch> &stretches, TDateRec date,
                      const NightSite &site)
{
    const SunMoonNight night(date, site);
    for (std::size_t i = 0; i < stretches.size(); ++i) {
        const DarknessStretch &s = stretches[i];
        EXPECT_LT(s.begin, s.end) << i;
        EXPECT_GE(s.begin, kNightStartHours) << i;
        EXPECT_LE(s.end, kNightEndHours) << i;
        for (const double share : {0.1, 0.5, 0.9}) {
            EXPECT_EQ(DarknessLevel(night.SunAltitudeDeg(s.begin + share * (s.end - s.begin))),
                      s.level)
                << i << " at " << share;
        }
        if (i > 0) {
            EXPECT_LE(stretches[i - 1].end, s.begin) << i;
        }
    }
}

TEST(DarknessStretches, FollowTheEvents)
{
    struct Row
    {
        const char *name;
        NightSite site;
        TDateRec date;
        std::vector<int> wantLevels;
    };
    const Row rows[] = {
        {"tokyo winter", {139.7, 35.7, 9.0}, {2026, 12, 28}, {1, 2, 3, 4, 3, 2, 1}},
        {"never dark at 55N in June", {-3.0, 55.0, 0.0}, {2024, 6, 21}, {1, 2, 1}},
        {"polar day", {15.6, 78.2, 1.0}, {2024, 6, 21}, {}},
        {"deep polar night", {0.0, 88.0, 0.0}, {2024, 12, 21}, {4}},
        {"date line, leap day", {179.9, -16.0, 12.0}, {2024, 2, 29}, {1, 2, 3, 4, 3, 2, 1}},
        {"fractional zone", {-52.7, 47.6, -3.5}, {2026, 12, 31}, {1, 2, 3, 4, 3, 2, 1}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const std::vector<DarknessStretch> got = DarknessStretches(row.date, row.site);
        std::vector<int> levels;
        for (const DarknessStretch &s : got)
            levels.push_back(s.level);
        EXPECT_EQ(levels, row.wantLevels);
        ExpectConsistent(got, row.date, row.site);
    }
}

TEST(DarknessStretches, EdgesAreTheTwilightEvents)
{
    const NightSite tokyo{139.7, 35.7, 9.0};
    const TDateRec date{2026, 12, 28};
    const NightEvents events = SunMoonEvents(date, tokyo);
    const std::vector<DarknessStretch> got = DarknessStretches(date, tokyo);
    ASSERT_EQ(got.size(), 7u);
    EXPECT_EQ(got[0].begin, *events.sunSet);
    EXPECT_EQ(got[1].begin, *events.civilDusk);
    EXPECT_EQ(got[2].begin, *events.nauticalDusk);
    EXPECT_EQ(got[3].begin, *events.astronomicalDusk);
    EXPECT_EQ(got[3].end, *events.astronomicalDawn);
    EXPECT_EQ(got[4].end, *events.nauticalDawn);
    EXPECT_EQ(got[5].end, *events.civilDawn);
    EXPECT_EQ(got[6].end, *events.sunRise);
}

} // namespace
} // namespace mirado
