// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "night/crossings.h"

namespace mirado {
namespace {

// A curve with a maximum at 15 h and a minimum at 27 h, amplitude 10 degrees
// about `offset`.
struct Wave
{
    double offset;
    double operator()(double hours) const
    {
        return offset + 10.0 * std::cos((hours - 15.0) * std::numbers::pi / 12.0);
    }
};

TEST(Crossings, SampledBreakpointsFindTheTurningPoints)
{
    const Wave wave{0.0};
    const auto breaks = SampledBreakpoints(wave, 1.0 / 3.0);
    ASSERT_EQ(breaks.size(), 4u);
    EXPECT_EQ(breaks.front().hours, kNightStartHours);
    EXPECT_NEAR(breaks[1].hours, 15.0, 1e-3);
    EXPECT_NEAR(breaks[2].hours, 27.0, 1e-3);
    EXPECT_EQ(breaks.back().hours, kNightEndHours);
}

TEST(Crossings, EventsAndIntervals)
{
    struct Row
    {
        const char *name;
        double offset;
        double threshold;
        std::size_t wantCrossings;
        double wantHoursAbove;
    };
    // cos x = -offset/10 + threshold/10 gives the crossings: at threshold 5
    // and offset 0 the curve is above from 12 h to 19 h and from 35 h on.
    const Row rows[] = {
        {"two crossings", 0.0, 5.0, 2, 8.0},
        {"never reaches", 0.0, 10.5, 0, 0.0},
        {"always above", 0.0, -10.5, 0, 24.0},
        {"grazing the top", 0.0, 9.999999, 2, 0.0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const Wave wave{row.offset};
        const auto breaks = SampledBreakpoints(wave, 1.0 / 3.0);
        const auto crossings = FindCrossings(wave, breaks, row.threshold);
        EXPECT_EQ(crossings.size(), row.wantCrossings);
        for (const NightCrossing &c : crossings)
            EXPECT_NEAR(wave(c.hours), row.threshold, 1e-5) << "at " << c.hours;
        const auto above = IntervalsOf(breaks, crossings, row.threshold, true);
        const auto below = IntervalsOf(breaks, crossings, row.threshold, false);
        double total = 0.0;
        for (const NightInterval &i : above)
            total += i.end - i.begin;
        EXPECT_NEAR(total, row.wantHoursAbove, 0.01);
        EXPECT_NEAR(OverlapHours(above, below), 0.0, 1e-9);
        EXPECT_NEAR(OverlapHours(above, {{kNightStartHours, kNightEndHours}}), total, 1e-9);
    }
}

TEST(Crossings, OverlapHours)
{
    const std::vector<NightInterval> a{{12, 14}, {20, 30}, {33, 36}};
    const std::vector<NightInterval> b{{13, 21}, {29, 34}};
    EXPECT_DOUBLE_EQ(OverlapHours(a, b), 1 + 1 + 1 + 1);
    EXPECT_DOUBLE_EQ(OverlapHours(a, {}), 0.0);
}

} // namespace
} // namespace mirado
