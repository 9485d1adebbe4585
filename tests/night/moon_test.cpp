// SPDX-License-Identifier: GPL-3.0-or-later
// The angle between an object and the Moon: the angle itself, and the places
// it is taken between against astropy's separation in AltAz
// (make_moon_reference.py).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "night/events.h"
#include "night/horizontal.h"
#include "night/precisemodel.h"
#include "night/sunmoon.h"

namespace mirado {
namespace {

// Asked for within 0.05 degrees; both take the same ERFA places and agree to
// a ten-thousandth of a degree, so anything looser than this is a fault.
constexpr double kReferenceToleranceDeg = 0.001;
constexpr double kDeg = kRadiansPerDegree;

TEST(SeparationDeg, Table)
{
    const struct
    {
        const char *name;
        HorizontalPlace a, b;
        double wantDeg;
        double toleranceDeg;
    } rows[] = {
        {"same place", {1.0, 0.5}, {1.0, 0.5}, 0.0, 1e-12},
        {"zenith, any azimuth", {0.0, 90 * kDeg}, {3.0, 90 * kDeg}, 0.0, 1e-6},
        {"opposite on the horizon", {0.0, 0.0}, {180 * kDeg, 0.0}, 180.0, 1e-9},
        {"across north", {359 * kDeg, 0.0}, {-359 * kDeg, 0.0}, 2.0, 1e-9},
        {"one arcsecond", {0.3, 0.2}, {0.3, 0.2 + kDeg / 3600}, 1.0 / 3600, 1e-12},
        {"45 up, 90 round", {0.0, 45 * kDeg}, {90 * kDeg, 45 * kDeg}, 60.0, 1e-9},
    };
    for (const auto &row : rows) {
        const double got = SeparationDeg(row.a, row.b);
        EXPECT_NEAR(got, row.wantDeg, row.toleranceDeg)
            << row.name << ": want " << row.wantDeg << ", got " << got;
    }
}

// "h:m:s" or "±d:m:s" as its three parts.
std::vector<double> Parts(const std::string &text)
{
    std::vector<double> parts;
    std::stringstream in(text.substr(text[0] == '-' || text[0] == '+' ? 1 : 0));
    for (std::string part; std::getline(in, part, ':');)
        parts.push_back(std::stod(part));
    return parts;
}

// The object's precise place and the Moon's at the reference's moments, from
// 78 degrees south to 70 north, 1950 to 2099, near the pole and at 0h 0°.
TEST(MoonSeparation, MatchesAstropyInAltAz)
{
    std::ifstream in(MIRADO_MOON_REFERENCE);
    std::string line;
    std::getline(in, line); // header
    int count = 0;
    for (; std::getline(in, line); ++count) {
        std::vector<std::string> f;
        std::stringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');)
            f.push_back(field);
        ASSERT_EQ(f.size(), 10u) << line;
        const NightSite site{std::stod(f[1]), std::stod(f[2]), std::stod(f[3])};
        const TDateRec date{std::stoi(f[4].substr(0, 4)), std::stoi(f[4].substr(5, 2)),
                            std::stoi(f[4].substr(8, 2))};
        const std::vector<double> ra = Parts(f[6]);
        const std::vector<double> dec = Parts(f[7]);
        const double hours = std::stod(f[8]);
        const double want = std::stod(f[9]);
        const HorizontalPlace object =
            PrecisePlaces(date, site)
                .place({static_cast<int>(ra[0]), static_cast<int>(ra[1]), ra[2]},
                       {f[7][0] == '-' ? -1 : 1, static_cast<int>(dec[0]), static_cast<int>(dec[1]),
                        dec[2]},
                       hours);
        const SunMoonNight sunMoon(date, site);
        const double got = SeparationDeg(object, sunMoon.MoonPlace(hours));
        EXPECT_NEAR(got, want, kReferenceToleranceDeg)
            << f[0] << " " << f[5] << " at " << hours << " h: want " << want << ", got " << got;
        // The Moon's place is the one its altitude comes from.
        EXPECT_NEAR(sunMoon.MoonPlace(hours).altitudeRad / kDeg, sunMoon.MoonAltitudeDeg(hours),
                    1e-9);
    }
    EXPECT_GE(count, 100) << "reference file " << MIRADO_MOON_REFERENCE;
}

TEST(MoonSeparation, NoneWithoutATransit)
{
    const NightSite tokyo{139.7, 35.7, 9.0};
    const TDateRec date{2027, 6, 21};
    ObjectEvents events;
    events.transit = kNightStartHours;
    events.transitInSpan = false;
    EXPECT_FALSE(MoonSeparationAtTransit(events, {16, 29, 24.4}, {-1, 26, 25, 55.0},
                                         PrecisePlaces(date, tokyo), SunMoonNight(date, tokyo)));
}

} // namespace
} // namespace mirado
