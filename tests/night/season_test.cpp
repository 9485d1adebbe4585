// SPDX-License-Identifier: GPL-3.0-or-later
// The season's spans, and its hours against a minute-by-minute scan of the
// Sun, the Moon and the object.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "data/errors.h"
#include "night/chartmodel.h"
#include "night/nighttime.h"
#include "night/precisemodel.h"
#include "night/season.h"
#include "night/sunmoon.h"

namespace mirado {
namespace {

std::string Text(TDateRec date)
{
    return FormatIsoDate(date);
}

TEST(SeasonLastNight, EndsTheDayBeforeTheSameDayMonthsLater)
{
    struct Row
    {
        const char *name;
        TDateRec first;
        int months;
        TDateRec want;
    };
    const Row rows[] = {
        {"a year from the first", {2027, 1, 1}, 12, {2027, 12, 31}},
        {"a year from mid-month", {2027, 3, 15}, 12, {2028, 3, 14}},
        {"one month, into February", {2027, 1, 31}, 1, {2027, 2, 28}},
        {"one month, into a leap February", {2028, 1, 30}, 1, {2028, 2, 29}},
        {"from a leap day", {2028, 2, 29}, 12, {2029, 2, 28}},
        {"into a 30-day month", {2027, 3, 31}, 1, {2027, 4, 30}},
        {"over the year's end", {2027, 11, 20}, 3, {2028, 2, 19}},
        {"the longest span", {2027, 3, 1}, 24, {2029, 2, 28}},
        {"century not leap", {2100, 2, 1}, 1, {2100, 2, 28}},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(Text(SeasonLastNight(row.first, row.months)), Text(row.want)) << row.name;
    }
}

TEST(SeasonDates, CountsNightsAndRefusesBadSpans)
{
    struct Row
    {
        const char *name;
        TDateRec first;
        TDateRec last;
        std::size_t want; // 0: refused
    };
    const Row rows[] = {
        {"one night", {2027, 5, 5}, {2027, 5, 5}, 1},
        {"over a leap day", {2028, 2, 28}, {2028, 3, 1}, 3},
        {"the longest", {2027, 3, 1}, {2029, 2, 28}, kSeasonMaxNights},
        {"one too many", {2027, 2, 28}, {2029, 2, 28}, 0},
        {"reversed", {2027, 5, 5}, {2027, 5, 4}, 0},
    };
    for (const Row &row : rows) {
        if (row.want == 0) {
            EXPECT_THROW(SeasonDates(row.first, row.last), Error) << row.name;
            continue;
        }
        const std::vector<TDateRec> dates = SeasonDates(row.first, row.last);
        ASSERT_EQ(dates.size(), row.want) << row.name;
        EXPECT_EQ(Text(dates.front()), Text(row.first)) << row.name;
        EXPECT_EQ(Text(dates.back()), Text(row.last)) << row.name;
    }
}

// Whatever the first night, the longest span the window offers fits.
TEST(SeasonDates, TwentyFourMonthsNeverPassTheLimit)
{
    std::size_t longest = 0;
    for (const TDateRec &first : SeasonDates({2027, 1, 1}, {2028, 12, 31}))
        longest =
            std::max(longest, SeasonDates(first, SeasonLastNight(first, kSeasonMaxMonths)).size());
    EXPECT_EQ(longest, static_cast<std::size_t>(kSeasonMaxNights));
}

// The hours by a scan at the middle of every minute of the night's span.
struct ScannedHours
{
    double dark = 0.0;
    double darkAbove = 0.0;
    double moonFreeAbove = 0.0;
};

ScannedHours Scan(const ElevationModel &model, TDateRec date, const NightSite &site,
                  const CatalogueObject &object, double minAltitudeDeg)
{
    constexpr int kMinutes = 24 * 60;
    constexpr double kMinuteHours = 1.0 / 60;
    const SunMoonNight sunMoon(date, site);
    const auto night = model.night(date, site);
    const auto elevation = night->object(object.ra, object.dec, nullptr);
    const bool moonFaint = sunMoon.MoonIllumination() < kMoonFreeIllumination;
    ScannedHours hours;
    for (int i = 0; i < kMinutes; ++i) {
        const double t = kNightStartHours + (i + 0.5) * kMinuteHours;
        if (sunMoon.SunAltitudeDeg(t) >= kAstronomicalTwilightDeg)
            continue;
        hours.dark += kMinuteHours;
        if (elevation->elevationDeg(t) < minAltitudeDeg)
            continue;
        hours.darkAbove += kMinuteHours;
        if (moonFaint || sunMoon.MoonAltitudeDeg(t) < kMoonriseAltitudeDeg)
            hours.moonFreeAbove += kMinuteHours;
    }
    return hours;
}

TEST(ComputeSeason, HoursAgreeWithAMinuteScan)
{
    struct Row
    {
        const char *name;
        TDateRec date;
        double illuminationLow, illuminationHigh; // the Moon the row is about
        CatalogueObject object;
        double minAltitudeDeg;
        double toleranceHours;
    };
    // Each crossing of a threshold costs the scan up to half a minute.
    constexpr double kTolerance = 3.0 / 60;
    const CatalogueObject orion{1, "M42", {5, 35, 17.3}, {-1, 5, 23, 28.0}};
    const CatalogueObject vega{2, "Vega", {18, 36, 56.3}, {1, 38, 47, 1.0}};
    const Row rows[] = {
        {"full Moon up all night", {2027, 1, 22}, 0.95, 1.0, orion, 20.0, kTolerance},
        {"waning, the Moon rises late", {2027, 1, 25}, 0.7, 0.95, orion, 20.0, kTolerance},
        {"waxing, the Moon sets early", {2027, 1, 15}, 0.4, 0.8, orion, 30.0, kTolerance},
        {"new Moon, all dark hours count", {2027, 1, 7}, 0.0, 0.05, orion, 20.0, kTolerance},
        {"thin Moon up, still counts", {2027, 1, 10}, 0.05, 0.25, orion, 10.0, kTolerance},
        {"short night, the Moon rises late", {2027, 6, 25}, 0.5, 0.8, vega, 30.0, kTolerance},
    };
    const NightSite tokyo{139.7, 35.7, 9.0};
    const ChartModel chart;
    const PreciseModel precise;
    for (const ElevationModel *model : {static_cast<const ElevationModel *>(&chart),
                                        static_cast<const ElevationModel *>(&precise)}) {
        for (const Row &row : rows) {
            SCOPED_TRACE(std::string(row.name) + " by " + std::string(model->name()));
            const Season season =
                ComputeSeason({row.object}, {row.date}, tokyo, *model, row.minAltitudeDeg, {});
            ASSERT_EQ(season.nights.size(), 1u);
            const SeasonNight &night = season.nights[0];
            ASSERT_GE(night.moonIllumination, row.illuminationLow);
            ASSERT_LE(night.moonIllumination, row.illuminationHigh);
            const SeasonObject::Cell &got = season.objects[0].cells[0];
            const ScannedHours want = Scan(*model, row.date, tokyo, row.object, row.minAltitudeDeg);
            EXPECT_NEAR(night.darkHours, want.dark, row.toleranceHours);
            EXPECT_NEAR(got.darkHoursAbove, want.darkAbove, row.toleranceHours);
            EXPECT_NEAR(got.moonFreeHoursAbove, want.moonFreeAbove, row.toleranceHours);
        }
    }
}

// Near the pole in midwinter a circumpolar star is above the limit all 24 hours of
// every night; the nights of a faint Moon tie and the first of them is best.
TEST(ComputeSeason, BestNightIsTheEarliestOfEqualsOrNone)
{
    const NightSite nearPole{0.0, 89.5, 0.0};
    const CatalogueObject polaris{1, "Polaris", {2, 31, 49.1}, {1, 89, 15, 51.0}};
    const CatalogueObject southern{2, "Achernar", {1, 37, 42.8}, {-1, 57, 14, 12.0}};
    const std::vector<TDateRec> dates = SeasonDates({2026, 12, 1}, {2027, 1, 20});
    const Season season =
        ComputeSeason({polaris, southern}, dates, nearPole, ChartModel(), 30.0, {});
    const SeasonObject &star = season.objects[0];
    std::optional<std::size_t> firstFull;
    for (std::size_t n = 0; n < dates.size(); ++n) {
        EXPECT_EQ(season.nights[n].darkHours, 24.0) << Text(dates[n]);
        EXPECT_EQ(star.cells[n].darkHoursAbove, 24.0) << Text(dates[n]);
        if (!firstFull && star.cells[n].moonFreeHoursAbove == 24.0)
            firstFull = n;
    }
    ASSERT_TRUE(firstFull.has_value());
    ASSERT_TRUE(star.bestNight.has_value());
    EXPECT_EQ(Text(dates[*star.bestNight]), Text(dates[*firstFull]));
    EXPECT_FALSE(season.objects[1].bestNight.has_value());

    // Midsummer: no darkness, no hours, no best night.
    const Season summer = ComputeSeason({polaris}, SeasonDates({2027, 6, 1}, {2027, 6, 30}),
                                        nearPole, ChartModel(), 30.0, {});
    for (const SeasonNight &night : summer.nights)
        EXPECT_EQ(night.darkHours, 0.0) << Text(night.date);
    EXPECT_FALSE(summer.objects[0].bestNight.has_value());
}

TEST(ComputeSeason, ProgressOncePerNightAndCancel)
{
    const NightSite tokyo{139.7, 35.7, 9.0};
    const std::vector<TDateRec> dates = SeasonDates({2027, 1, 1}, {2027, 1, 10});
    std::vector<std::size_t> calls;
    ComputeSeason({}, dates, tokyo, ChartModel(), 30.0, {},
                  [&](std::size_t done, std::size_t total) {
                      EXPECT_EQ(total, dates.size());
                      calls.push_back(done);
                      return true;
                  });
    ASSERT_EQ(calls.size(), dates.size());
    EXPECT_EQ(calls.back(), dates.size());

    std::size_t nights = 0;
    EXPECT_THROW(ComputeSeason({}, dates, tokyo, ChartModel(), 30.0, {},
                               [&](std::size_t, std::size_t) { return ++nights < 3; }),
                 SeasonCancelled);
    EXPECT_EQ(nights, 3u);
}

} // namespace
} // namespace mirado
