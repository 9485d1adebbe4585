// SPDX-License-Identifier: GPL-3.0-or-later
// The season's spans, and its hours against a minute-by-minute scan of the
// Sun, the Moon and the object.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/errors.h"
#include "night/chartmodel.h"
#include "night/season.h"
#include "night/sunmoon.h"

namespace mirado {
namespace {

TEST(SeasonSpan, LastNightAndNightCount)
{
    struct Row
    {
        const char *name;
        TDateRec first;
        int months;
        TDateRec wantLast;
        std::size_t wantNights;
    };
    const Row rows[] = {
        {"a year from the first", {2027, 1, 1}, 12, {2027, 12, 31}, 365},
        {"a year from mid-month, over a leap day", {2027, 3, 15}, 12, {2028, 3, 14}, 366},
        {"one month, into February", {2027, 1, 31}, 1, {2027, 2, 28}, 29},
        {"one month, into a leap February", {2028, 1, 30}, 1, {2028, 2, 29}, 31},
        {"from a leap day", {2028, 2, 29}, 12, {2029, 2, 28}, 366},
        {"into a 30-day month", {2027, 3, 31}, 1, {2027, 4, 30}, 31},
        {"century not leap", {2100, 2, 1}, 1, {2100, 2, 28}, 28},
        {"the longest span", {2027, 3, 1}, kSeasonMaxMonths, {2029, 2, 28}, kSeasonMaxNights},
    };
    for (const Row &row : rows) {
        const TDateRec last = SeasonLastNight(row.first, row.months);
        EXPECT_EQ(FormatIsoDate(last), FormatIsoDate(row.wantLast)) << row.name;
        const std::vector<TDateRec> dates = SeasonDates(row.first, last);
        EXPECT_EQ(dates.size(), row.wantNights) << row.name;
        EXPECT_EQ(FormatIsoDate(dates.back()), FormatIsoDate(last)) << row.name;
    }
    EXPECT_THROW(SeasonDates({2027, 2, 28}, {2029, 2, 28}), Error) << "732 nights";
    EXPECT_THROW(SeasonDates({2027, 5, 5}, {2027, 5, 4}), Error) << "reversed";
    // Whatever the first night, 24 months fit.
    std::size_t longest = 0;
    for (const TDateRec &first : SeasonDates({2027, 1, 1}, {2028, 12, 31}))
        longest =
            std::max(longest, SeasonDates(first, SeasonLastNight(first, kSeasonMaxMonths)).size());
    EXPECT_EQ(longest, static_cast<std::size_t>(kSeasonMaxNights));
}

TEST(ComputeSeason, HoursAgreeWithAMinuteScan)
{
    struct Row
    {
        const char *name;
        TDateRec date;
        double illumination; // within 0.1: the Moon the row is about
        double minAltitudeDeg;
        double toleranceHours; // a scan minute for each of up to six crossings
    };
    const Row rows[] = {
        {"full Moon up all night", {2027, 1, 22}, 1.0, 20.0, 3.0 / 60},
        {"waning, the Moon rises late", {2027, 1, 25}, 0.87, 20.0, 3.0 / 60},
        {"waxing, the Moon sets early", {2027, 1, 15}, 0.48, 30.0, 3.0 / 60},
        {"thin Moon up, still counts", {2027, 1, 10}, 0.07, 10.0, 3.0 / 60},
    };
    const NightSite tokyo{139.7, 35.7, 9.0};
    const CatalogueObject orion{1, "M42", {5, 35, 17.3}, {-1, 5, 23, 28.0}};
    const ChartModel model;
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const Season season =
            ComputeSeason({orion}, {row.date}, tokyo, model, row.minAltitudeDeg, {});
        ASSERT_NEAR(season.nights[0].moonIllumination, row.illumination, 0.1);

        constexpr double kMinuteHours = 1.0 / 60;
        const SunMoonNight sunMoon(row.date, tokyo);
        const auto night = model.night(row.date, tokyo);
        const auto object = night->object(orion.ra, orion.dec, nullptr);
        const bool faint = season.nights[0].moonIllumination < kMoonFreeIllumination;
        double dark = 0.0, darkAbove = 0.0, moonFree = 0.0;
        for (double t = kNightStartHours + kMinuteHours / 2; t < kNightEndHours;
             t += kMinuteHours) {
            if (sunMoon.SunAltitudeDeg(t) >= kAstronomicalTwilightDeg)
                continue;
            dark += kMinuteHours;
            if (object->elevationDeg(t) < row.minAltitudeDeg)
                continue;
            darkAbove += kMinuteHours;
            if (faint || sunMoon.MoonAltitudeDeg(t) < kMoonriseAltitudeDeg)
                moonFree += kMinuteHours;
        }
        const SeasonObject::Cell &got = season.objects[0].cells[0];
        EXPECT_NEAR(season.nights[0].darkHours, dark, row.toleranceHours);
        EXPECT_NEAR(got.darkHoursAbove, darkAbove, row.toleranceHours);
        EXPECT_NEAR(got.moonFreeHoursAbove, moonFree, row.toleranceHours);
    }
}

// Near the pole in midwinter a circumpolar star is above the limit all 24
// hours of every night; the nights of a faint or set Moon tie and the first
// of them is best.
TEST(ComputeSeason, BestNightIsTheEarliestOfEqualsOrNone)
{
    const NightSite nearPole{0.0, 89.5, 0.0};
    const CatalogueObject polaris{1, "Polaris", {2, 31, 49.1}, {1, 89, 15, 51.0}};
    const CatalogueObject southern{2, "Achernar", {1, 37, 42.8}, {-1, 57, 14, 12.0}};
    const std::vector<TDateRec> dates = SeasonDates({2026, 12, 1}, {2027, 1, 20});
    const Season season =
        ComputeSeason({polaris, southern}, dates, nearPole, ChartModel(), 30.0, {});
    const SeasonObject &star = season.objects[0];
    std::size_t firstFull = 0;
    while (firstFull < dates.size() && star.cells[firstFull].moonFreeHoursAbove < 24.0)
        ++firstFull;
    ASSERT_LT(firstFull, dates.size());
    EXPECT_EQ(star.cells[firstFull + 1].moonFreeHoursAbove, 24.0) << "no tie";
    EXPECT_EQ(star.bestNight, firstFull);
    EXPECT_EQ(season.objects[1].bestNight, std::nullopt);

    // Midsummer: no darkness, no hours, no best night.
    const Season summer = ComputeSeason({polaris}, SeasonDates({2027, 6, 1}, {2027, 6, 30}),
                                        nearPole, ChartModel(), 30.0, {});
    for (const SeasonNight &night : summer.nights)
        EXPECT_EQ(night.darkHours, 0.0) << FormatIsoDate(night.date);
    EXPECT_EQ(summer.objects[0].bestNight, std::nullopt);
}

TEST(ComputeSeason, ProgressOncePerNightAndCancel)
{
    const std::vector<TDateRec> dates = SeasonDates({2027, 1, 1}, {2027, 1, 10});
    std::vector<std::size_t> calls;
    const auto progress = [&](std::size_t done, std::size_t total) {
        calls.push_back(done);
        return total == dates.size() && done < 3;
    };
    EXPECT_THROW(ComputeSeason({}, dates, {139.7, 35.7, 9.0}, ChartModel(), 30.0, {}, progress),
                 SeasonCancelled);
    EXPECT_EQ(calls, (std::vector<std::size_t>{1, 2, 3}));
}

} // namespace
} // namespace mirado
