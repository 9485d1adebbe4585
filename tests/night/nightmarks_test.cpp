// SPDX-License-Identifier: GPL-3.0-or-later
// The Moon and the transits as the chart marks them, against the events.
#include <gtest/gtest.h>

#include "night/elevationmodel.h"
#include "night/events.h"
#include "night/nightmarks.h"
#include "night/sunmoon.h"

namespace mirado {
namespace {

const NightSite kTokyo{139.7, 35.7, 9.0};

struct MoonRow
{
    const char *name;
    TDateRec date;
    NightSite site;
};

TEST(MoonOverNight, RisesAndSetsAtTheEventsTimes)
{
    const MoonRow rows[] = {
        {"Tokyo, rise in the evening", {2027, 6, 21}, kTokyo},
        {"Tokyo, December", {2026, 12, 7}, kTokyo},
        {"Tokyo, new moon", {2027, 7, 4}, kTokyo},
        {"Cape Town", {2027, 3, 15}, {18.4, -33.9, 2.0}},
        {"Tromso, midsummer", {2027, 6, 21}, {18.9, 69.6, 1.0}},
    };
    for (const MoonRow &row : rows) {
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
        // Between the marks the curve is on the side of -0.8333 they say.
        for (const NightPoint &point : moon.points) {
            bool above = moon.horizon.empty() ? point.elevationDeg >= kMoonriseAltitudeDeg
                                              : !moon.horizon.front().rising;
            for (const NightCrossing &c : moon.horizon) {
                if (c.hours <= point.x)
                    above = c.rising;
            }
            EXPECT_EQ(point.elevationDeg >= kMoonriseAltitudeDeg, above)
                << row.name << " x " << point.x << " altitude " << point.elevationDeg;
        }
    }
}

TEST(MoonOverNight, TokyoOnTheLongestDayReadsAsTheEventsPrintIt)
{
    const TDateRec date{2027, 6, 21};
    const MoonNight moon = MoonOverNight(date, kTokyo);
    EXPECT_EQ(MoonLegendTitle(moon.illumination), "月 (94%)");
    ASSERT_FALSE(moon.horizon.empty());
    EXPECT_EQ(MoonCrossingLabel(date, moon.horizon.front()), "月出 20:48");
}

TEST(NightMarkTexts, Table)
{
    struct Row
    {
        const char *name;
        double value;
        std::string want;
    };
    const TDateRec date{2026, 12, 31};
    const Row clock[] = {
        {"evening", 23.0 + 41.0 / 60.0, "23:41"},
        {"start of the night", 17.0, "17:00"},
        {"after midnight", 24.5, "00:30"},
        {"morning", 29.2, "05:12"},
        {"rounded to the second, then to the minute", 20.0 + 48.0 / 60.0 + 59.4 / 3600.0, "20:48"},
        {"a second's rounding carries", 20.0 + 48.0 / 60.0 + 59.6 / 3600.0, "20:49"},
        {"into the next day", 24.0 - 0.3 / 3600.0, "00:00"},
    };
    for (const Row &row : clock) {
        EXPECT_EQ(NightClockText(date, row.value), row.want) << row.name;
    }
    const Row titles[] = {
        {"new", 0.0, "月 (0%)"},
        {"a sliver", 0.004, "月 (0%)"},
        {"gibbous", 0.9438, "月 (94%)"},
        {"nearly full", 0.996, "月 (100%)"},
    };
    for (const Row &row : titles) {
        EXPECT_EQ(MoonLegendTitle(row.value), row.want) << row.name;
    }
    EXPECT_EQ(MoonCrossingLabel(date, {29.2, false}), "月没 05:12");
}

TEST(TransitInNight, MarksTheEventsTransitOnlyWithinTheCurves)
{
    struct Row
    {
        const char *name;
        TRightAscension ra;
        bool inNight;
    };
    // At Tokyo in December, 0h of right ascension transits about 19:00.
    const Row rows[] = {
        {"evening", {0, 0, 0.0}, true},      {"after midnight", {6, 0, 0.0}, true},
        {"before dawn", {10, 0, 0.0}, true}, {"in the day", {15, 0, 0.0}, false},
        {"afternoon", {18, 0, 0.0}, false},
    };
    const TDateRec date{2026, 12, 7};
    for (const auto &model : {ElevationModelNamed("chart"), ElevationModelNamed("precise")}) {
        const auto night = model->night(date, kTokyo);
        for (const Row &row : rows) {
            const auto object = night->object(row.ra, {1, 20, 0, 0.0}, nullptr);
            const std::optional<NightPoint> got = TransitInNight(*object);
            ASSERT_EQ(got.has_value(), row.inNight) << model->name() << " " << row.name;
            if (!got)
                continue;
            const ObjectEvents events = ObjectNightEvents(*object, {}, 30.0);
            EXPECT_NEAR(got->x, events.transit, 1e-9) << model->name() << " " << row.name;
            EXPECT_NEAR(got->elevationDeg, events.transitElevationDeg, 1e-9)
                << model->name() << " " << row.name;
        }
    }
}

} // namespace
} // namespace mirado
