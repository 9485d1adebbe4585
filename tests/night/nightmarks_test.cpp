// SPDX-License-Identifier: GPL-3.0-or-later
// The Moon as the chart marks it, against the events, and the marks' texts.
#include <gtest/gtest.h>

#include "night/nightmarks.h"
#include "night/sunmoon.h"

namespace mirado {
namespace {

TEST(MoonOverNight, RisesAndSetsAtTheEventsTimes)
{
    struct Row
    {
        const char *name;
        TDateRec date;
        NightSite site;
    };
    const Row rows[] = {
        {"Tokyo, rise in the evening", {2027, 6, 21}, {139.7, 35.7, 9.0}},
        {"Tokyo, new moon", {2027, 7, 4}, {139.7, 35.7, 9.0}},
        {"Tromso, midsummer", {2027, 6, 21}, {18.9, 69.6, 1.0}},
    };
    for (const Row &row : rows) {
        const MoonNight moon = MoonOverNight(row.date, row.site);
        const NightEvents events = SunMoonEvents(row.date, row.site);
        EXPECT_EQ(moon.illumination, events.moonIllumination) << row.name;
        ASSERT_EQ(moon.points.size(), 90u) << row.name;
        EXPECT_NEAR(moon.points.back().x, kCurveLastX, 1e-9) << row.name;
        for (const bool rising : {true, false}) {
            const std::optional<double> want = rising ? events.moonRise : events.moonSet;
            const bool inNight = want && *want >= kCurveFirstX && *want <= kCurveLastX;
            const std::optional<double> got = FirstCrossing(moon.horizon, rising);
            ASSERT_EQ(got.has_value(), inNight) << row.name << (rising ? " rise" : " set");
            if (got) {
                EXPECT_NEAR(*got, *want, 1e-9) << row.name;
            }
        }
    }
}

TEST(NightMarkTexts, Table)
{
    struct Row
    {
        const char *name;
        std::string got;
        std::string want;
    };
    const TDateRec date{2026, 12, 31};
    const Row rows[] = {
        {"evening", NightClockText(date, 23.0 + 41.0 / 60.0), "23:41"},
        {"after midnight", NightClockText(date, 24.5), "00:30"},
        {"to the second, then the minute", NightClockText(date, 20.8 + 59.4 / 3600.0), "20:48"},
        {"a second's rounding carries", NightClockText(date, 20.8 + 59.6 / 3600.0), "20:49"},
        {"into the next day", NightClockText(date, 24.0 - 0.3 / 3600.0), "00:00"},
        {"set", MoonCrossingLabel(date, {29.2, false}), "月没 05:12"},
        {"new", MoonLegendTitle(0.004), "月 (0%)"},
        {"nearly full", MoonLegendTitle(0.996), "月 (100%)"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(row.got, row.want) << row.name;
    }
}

} // namespace
} // namespace mirado
