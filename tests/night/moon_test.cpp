// SPDX-License-Identifier: GPL-3.0-or-later
// The angle between an object and the Moon: the angle itself, the places it
// is taken between against astropy's separation in AltAz
// (make_moon_reference.py), and the events' CSV rows that carry it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "night/events.h"
#include "night/eventtext.h"
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
        {"zenith to nadir", {0.0, 90 * kDeg}, {2.0, -90 * kDeg}, 180.0, 1e-9},
        {"across north", {359 * kDeg, 0.0}, {1 * kDeg, 0.0}, 2.0, 1e-9},
        {"negative azimuth", {-1 * kDeg, 0.0}, {1 * kDeg, 0.0}, 2.0, 1e-9},
        {"along a vertical", {1.0, 10 * kDeg}, {1.0, 55 * kDeg}, 45.0, 1e-9},
        {"one arcsecond", {0.3, 0.2}, {0.3, 0.2 + kDeg / 3600}, 1.0 / 3600, 1e-12},
        {"nearly opposite", {0.0, 1e-9}, {180 * kDeg, 0.0}, 180.0 - 1e-9 / kDeg, 1e-9},
        // cos 60 = cos 90 cos 90 + ... : a right spherical triangle.
        {"45 up, 90 round", {0.0, 45 * kDeg}, {90 * kDeg, 45 * kDeg}, 60.0, 1e-9},
    };
    for (const auto &row : rows) {
        for (const bool swapped : {false, true}) {
            const double got = swapped ? SeparationDeg(row.b, row.a) : SeparationDeg(row.a, row.b);
            EXPECT_NEAR(got, row.wantDeg, row.toleranceDeg)
                << row.name << (swapped ? " (swapped)" : "") << ": want " << row.wantDeg << ", got "
                << got;
        }
    }
}

struct ReferenceRow
{
    std::string site;
    NightSite where;
    TDateRec date;
    std::string star;
    TRightAscension ra;
    TDeclination dec;
    double hours = 0.0;
    double separationDeg = 0.0;
};

std::vector<double> Sexagesimal(const std::string &text)
{
    std::vector<double> parts;
    std::stringstream in(text[0] == '-' || text[0] == '+' ? text.substr(1) : text);
    std::string part;
    while (std::getline(in, part, ':'))
        parts.push_back(std::stod(part));
    return parts;
}

std::vector<ReferenceRow> ReadReference()
{
    std::ifstream in(MIRADO_MOON_REFERENCE);
    std::vector<ReferenceRow> rows;
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        std::vector<std::string> f;
        std::stringstream fields(line);
        for (std::string field; std::getline(fields, field, ',');)
            f.push_back(field);
        if (f.size() != 10)
            continue;
        const std::vector<double> ra = Sexagesimal(f[6]);
        const std::vector<double> dec = Sexagesimal(f[7]);
        rows.push_back(
            {f[0],
             {std::stod(f[1]), std::stod(f[2]), std::stod(f[3])},
             {std::stoi(f[4].substr(0, 4)), std::stoi(f[4].substr(5, 2)),
              std::stoi(f[4].substr(8, 2))},
             f[5],
             {static_cast<int>(ra[0]), static_cast<int>(ra[1]), ra[2]},
             {f[7][0] == '-' ? -1 : 1, static_cast<int>(dec[0]), static_cast<int>(dec[1]), dec[2]},
             std::stod(f[8]),
             std::stod(f[9])});
    }
    return rows;
}

// The object's precise place and the Moon's, at the reference's moments, from
// the equator to 78 degrees south, 1950 to 2099, near the pole and at 0h 0°.
TEST(MoonSeparation, MatchesAstropyInAltAz)
{
    const std::vector<ReferenceRow> rows = ReadReference();
    ASSERT_GE(rows.size(), 100u) << "reference file " << MIRADO_MOON_REFERENCE;
    for (const ReferenceRow &row : rows) {
        const PrecisePlaces places(row.date, row.where);
        const SunMoonNight sunMoon(row.date, row.where);
        const double got =
            SeparationDeg(places.place(row.ra, row.dec, row.hours), sunMoon.MoonPlace(row.hours));
        EXPECT_NEAR(got, row.separationDeg, kReferenceToleranceDeg)
            << row.site << " " << row.star << " at " << row.hours << " h: want "
            << row.separationDeg << ", got " << got;
    }
}

// The Moon's place is the one its altitude comes from, and the separation is
// taken at the transit the events found, by whichever model found it.
TEST(MoonSeparation, AtTheTransitOfEitherModel)
{
    const NightSite tokyo{139.7, 35.7, 9.0};
    const TDateRec date{2027, 6, 21};
    const TRightAscension ra{16, 29, 24.4};
    const TDeclination dec{-1, 26, 25, 55.0};
    const SunMoonNight sunMoon(date, tokyo);
    const PrecisePlaces places(date, tokyo);
    for (const double hours : {14.0, 20.8, 29.5}) {
        EXPECT_NEAR(sunMoon.MoonPlace(hours).altitudeRad / kDeg, sunMoon.MoonAltitudeDeg(hours),
                    1e-9)
            << "at " << hours << " h";
    }
    for (const char *name : {"chart", "precise"}) {
        const auto model = ElevationModelNamed(name);
        const auto night = model->night(date, tokyo);
        const ObjectEvents events =
            ObjectNightEvents(*night->object(ra, dec, {}), {}, kDefaultMinAltitudeDeg);
        ASSERT_TRUE(events.transitInSpan) << name;
        const std::optional<double> got = MoonSeparationAtTransit(events, ra, dec, places, sunMoon);
        const double want =
            SeparationDeg(places.place(ra, dec, events.transit), sunMoon.MoonPlace(events.transit));
        ASSERT_TRUE(got.has_value()) << name;
        EXPECT_NEAR(*got, want, 1e-12) << name << ": want " << want << ", got " << *got;
        ObjectEvents noTransit = events;
        noTransit.transitInSpan = false;
        EXPECT_FALSE(MoonSeparationAtTransit(noTransit, ra, dec, places, sunMoon).has_value())
            << name;
    }
}

// The rows the tool and any saved table share: the night's columns once per
// row, an absent event an empty field, the separation last.
TEST(EventCsvNight, Rows)
{
    const TDateRec date{2027, 6, 21};
    NightEvents night;
    night.sunSet = 19.0;
    night.sunRise = 28.5;
    night.moonRise = 20.8;
    night.moonIllumination = 0.94;
    const std::string nightColumns = ",2027-06-21T19:00:00,,,2027-06-22T04:30:00,"
                                     "2027-06-21T20:48:00,,0.94,";
    ObjectEvents full;
    full.rise = 18.25;
    full.set = 30.0;
    full.transit = 24.5;
    full.transitInSpan = true;
    full.transitElevationDeg = 61.25;
    full.darkHoursAbove = 1.5;
    full.moonSeparationDeg = 12.5;
    ObjectEvents bare = full;
    bare.rise.reset();
    bare.set.reset();
    bare.moonSeparationDeg.reset();
    const struct
    {
        const char *name;
        ObjectNight object;
        std::string want;
    } rows[] = {
        {"every event",
         {3, "ベガ", full},
         "2027-06-21,3,ベガ,2027-06-21T18:15:00,2027-06-22T00:30:00,61.25,2027-06-22T06:00:00,"
         "1.5" +
             nightColumns + "12.5\n"},
        {"no rise, set or separation; a quoted name",
         {7, "A, \"B\"", bare},
         "2027-06-21,7,\"A, \"\"B\"\"\",,2027-06-22T00:30:00,61.25,,1.5" + nightColumns + "\n"},
    };
    const EventCsvNight csv(date, night);
    for (const auto &row : rows) {
        std::string got;
        csv.appendRow(got, row.object);
        EXPECT_EQ(got, row.want) << row.name;
    }
    std::string empty;
    csv.appendEmptyRow(empty);
    EXPECT_EQ(empty, "2027-06-21,,,,,,," + nightColumns + "\n");
    const std::string header(kEventCsvHeader);
    EXPECT_EQ(std::count(header.begin(), header.end(), ','),
              std::count(empty.begin(), empty.end(), ','));
}

} // namespace
} // namespace mirado
