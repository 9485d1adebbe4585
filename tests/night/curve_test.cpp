// SPDX-License-Identifier: GPL-3.0-or-later
// The chart model's night set up once for all its objects, against
// GetDegElevation called afresh at each point's clock time.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "astro/elevation.h"
#include "night/curve.h"
#include "night/nighttime.h"

namespace mirado {
namespace {

TEST(ChartNightPoints, EveryObjectBitForBitWithTheSameWarnings)
{
    struct Row
    {
        const char *name;
        TDateRec date;
        NightSite site;
        bool wantWarnings; // for every object
    };
    const Row rows[] = {
        {"Tokyo", {2026, 12, 7}, {135.0, 35.0, 9.0}, false},
        {"Santiago, half-hour zone", {2027, 6, 21}, {-70.5, -33.4, -4.5}, false},
        {"date past the sidereal time's range", {2147483000, 3, 1}, {135.0, 35.0, 9.0}, true},
    };
    // The last object's hour angle overflows at every point.
    const struct
    {
        TRightAscension ra;
        TDeclination dec;
    } objects[] = {{{18, 36, 56.3}, {1, 38, 47, 1.0}},
                   {{0, 0, 0.0}, {-1, 89, 59, 59.0}},
                   {{600000, 0, 0.0}, {1, 1, 0, 0.0}}};
    for (const Row &row : rows) {
        const ChartNightPoints night(row.date, row.site.longitude, row.site.latitude,
                                     row.site.timeZone);
        for (const auto &object : objects) {
            std::vector<std::string> want;
            std::vector<std::string> got;
            const NightCurve curve = night.curve(
                object.ra, object.dec, [&got](const std::string &text) { got.push_back(text); });
            for (std::size_t i = 0; i < curve.size(); ++i) {
                const double wantDeg =
                    GetDegElevation(object.ra, object.dec, row.date, row.site.longitude,
                                    row.site.latitude, NightPointClockTime(i), row.site.timeZone,
                                    [&want](const std::string &text) { want.push_back(text); });
                EXPECT_EQ(std::bit_cast<std::uint64_t>(curve[i].elevationDeg),
                          std::bit_cast<std::uint64_t>(wantDeg))
                    << row.name << ", RA " << object.ra.hours << " h, point " << i << ": want "
                    << wantDeg << ", got " << curve[i].elevationDeg;
                EXPECT_EQ(curve[i].x, NightPointX(i)) << row.name << ", point " << i;
            }
            EXPECT_EQ(got, want) << row.name << ", RA " << object.ra.hours << " h";
            EXPECT_EQ(!want.empty(), row.wantWarnings || &object == &objects[2])
                << row.name << ", RA " << object.ra.hours << " h";
        }
    }
}

} // namespace
} // namespace mirado
