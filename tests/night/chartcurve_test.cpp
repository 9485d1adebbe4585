// SPDX-License-Identifier: GPL-3.0-or-later
// The chart model's curve, which computes the night's sidereal times once for
// every object, against NightElevations, which computes every point on its
// own: the same numbers to the bit and the same failures in the same order.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "night/chartmodel.h"
#include "night/curve.h"

namespace mirado {
namespace {

struct CurveRow
{
    const char *name;
    TDateRec date;
    NightSite site;
    TRightAscension ra;
    TDeclination dec;
    bool fails; // the astronomy routines report failures
};

const CurveRow kRows[] = {
    {"Vega from Tokyo", {2026, 12, 7}, {139.7, 35.7, 9.0}, {18, 36, 56.3}, {1, 38, 47, 1.0}, false},
    {"south pole star from Sydney",
     {2001, 1, 31},
     {151.2, -33.9, 10.0},
     {21, 8, 47.0},
     {-1, 88, 57, 23.0},
     false},
    {"at the zenith", {2024, 2, 29}, {0.0, 45.0, 0.0}, {6, 0, 0.0}, {1, 45, 0, 0.0}, false},
    {"below the horizon all night",
     {1999, 6, 21},
     {-70.0, 60.0, -4.0},
     {0, 0, 0.0},
     {-1, 60, 0, 0.0},
     false},
    {"longitude without its decimal point",
     {2026, 12, 7},
     {13969170.0, 35.7, 9.0},
     {18, 36, 56.3},
     {1, 38, 47, 1.0},
     true},
    {"year past the day count",
     {2147483647, 12, 31},
     {139.7, 35.7, 9.0},
     {5, 0, 0.0},
     {1, 10, 0, 0.0},
     true},
    {"absurd coordinates",
     {2026, 3, 1},
     {139.7, 35.7, 9.0},
     {99, 99, 1e300},
     {1, 99, 99, 1e300},
     false},
};

TEST(ChartModel, CurveIsNightElevationsToTheBit)
{
    for (const CurveRow &row : kRows) {
        std::vector<std::string> wantFailures;
        const NightCurve want = NightElevations(
            row.ra, row.dec, row.date, row.site.longitude, row.site.latitude, row.site.timeZone,
            [&](const std::string &text) { wantFailures.push_back(text); });

        std::vector<std::string> gotFailures;
        const auto night = ChartModel().night(row.date, row.site);
        // Two objects of one night: the second meets the night's failures too.
        for (int pass = 0; pass < 2; ++pass) {
            gotFailures.clear();
            const NightCurve got =
                night
                    ->object(row.ra, row.dec,
                             [&](const std::string &text) { gotFailures.push_back(text); })
                    ->curve();
            for (std::size_t i = 0; i < want.size(); ++i) {
                EXPECT_EQ(std::memcmp(&got[i], &want[i], sizeof(NightPoint)), 0)
                    << row.name << ", pass " << pass << ", point " << i << ": want (" << want[i].x
                    << ", " << want[i].elevationDeg << "), got (" << got[i].x << ", "
                    << got[i].elevationDeg << ")";
            }
            EXPECT_EQ(gotFailures, wantFailures) << row.name << ", pass " << pass;
            EXPECT_EQ(!gotFailures.empty(), row.fails) << row.name << ", pass " << pass;
        }
    }
}

} // namespace
} // namespace mirado
