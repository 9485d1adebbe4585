// SPDX-License-Identifier: GPL-3.0-or-later
// The chart model's curve, which computes the night's sidereal times once for
// every object, against NightElevations, which computes every point on its
// own: the same numbers to the bit and the same failures in the same order.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "night/chartmodel.h"

namespace mirado {
namespace {

TEST(ChartModel, CurveIsNightElevationsToTheBit)
{
    struct Row
    {
        const char *name;
        TDateRec date;
        NightSite site;
        TRightAscension ra;
        TDeclination dec;
        bool fails; // the astronomy routines report failures
    } rows[] = {
        {"Vega from Tokyo", {2026, 12, 7}, {139.7, 35.7, 9}, {18, 36, 56.3}, {1, 38, 47, 1}, false},
        {"near the south pole",
         {2001, 1, 31},
         {151.2, -33.9, 10},
         {21, 8, 47},
         {-1, 88, 57, 23},
         false},
        {"at the zenith", {2024, 2, 29}, {0, 45, 0}, {6, 0, 0}, {1, 45, 0, 0}, false},
        {"longitude without its decimal point",
         {2026, 12, 7},
         {13969170, 35.7, 9},
         {18, 36, 56.3},
         {1, 38, 47, 1},
         true},
        {"year past the day count",
         {2147483647, 12, 31},
         {139.7, 35.7, 9},
         {5, 0, 0},
         {1, 10, 0, 0},
         true},
    };
    for (const Row &row : rows) {
        std::vector<std::string> want, got;
        const NightCurve wantCurve = NightElevations(
            row.ra, row.dec, row.date, row.site.longitude, row.site.latitude, row.site.timeZone,
            [&](const std::string &text) { want.push_back(text); });
        const auto night = ChartModel().night(row.date, row.site);
        // Two objects of one night: the second meets the night's failures too.
        for (int pass = 0; pass < 2; ++pass) {
            got.clear();
            const NightCurve gotCurve =
                night
                    ->object(row.ra, row.dec, [&](const std::string &text) { got.push_back(text); })
                    ->curve();
            for (std::size_t i = 0; i < wantCurve.size(); ++i)
                EXPECT_EQ(std::memcmp(&gotCurve[i], &wantCurve[i], sizeof(NightPoint)), 0)
                    << row.name << ", pass " << pass << ", point " << i << ": want ("
                    << wantCurve[i].x << ", " << wantCurve[i].elevationDeg << "), got ("
                    << gotCurve[i].x << ", " << gotCurve[i].elevationDeg << ")";
            EXPECT_EQ(got, want) << row.name << ", pass " << pass;
            EXPECT_EQ(!got.empty(), row.fails) << row.name << ", pass " << pass;
        }
    }
}

} // namespace
} // namespace mirado
