// SPDX-License-Identifier: GPL-3.0-or-later
// Object events against a fine scan of the chart's own elevation model.
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "night/airmass.h"
#include "night/curve.h"
#include "night/events.h"
#include "night/sunmoon.h"

namespace mirado {
namespace {

constexpr double kScanStepHours = 10.0 / 3600.0;        // 10 s
constexpr double kCrossingToleranceHours = 30.0 / 3600; // the model's own crossing
constexpr double kTransitToleranceDeg = 0.01;
constexpr double kDarkHoursTolerance = 2 * kScanStepHours;

struct ObjectRow
{
    const char *name;
    NightSite site;
    TDateRec date;
    TRightAscension ra;
    TDeclination dec;
    bool wantRiseAndSet;
};

const ObjectRow kObjects[] = {
    {"tokyo, Orion", {139.7, 35.7, 9.0}, {2001, 12, 31}, {5, 35, 17.3}, {-1, 5, 23, 28.0}, true},
    {"tokyo, leap day", {139.7, 35.7, 9.0}, {2024, 2, 29}, {13, 25, 11.6}, {-1, 11, 9, 41.0}, true},
    {"tokyo, year's end 2100",
     {139.7, 35.7, 9.0},
     {2100, 12, 31},
     {0, 42, 44.3},
     {1, 41, 16, 9.0},
     true},
    {"tokyo, circumpolar",
     {139.7, 35.7, 9.0},
     {2024, 6, 21},
     {2, 31, 49.1},
     {1, 89, 15, 51.0},
     false},
    {"tokyo, never rises",
     {139.7, 35.7, 9.0},
     {2024, 6, 21},
     {6, 23, 57.0},
     {-1, 70, 0, 0.0},
     false},
    {"southern site", {149.07, -31.27, 10.0}, {2023, 7, 1}, {18, 36, 56.3}, {1, 38, 47, 1.0}, true},
    {"date line east", {179.9, -16.5, 12.0}, {2024, 3, 20}, {10, 8, 22.3}, {1, 11, 58, 2.0}, true},
    {"date line west",
     {-179.9, 51.8, -12.0},
     {2024, 10, 10},
     {22, 57, 39.0},
     {-1, 29, 37, 20.0},
     true},
    {"zone -3.5, circumpolar",
     {-52.7, 47.56, -3.5},
     {2024, 11, 3},
     {20, 41, 25.9},
     {1, 45, 16, 49.0},
     false},
    {"zone +5.75", {85.32, 27.7, 5.75}, {2024, 4, 15}, {16, 29, 24.4}, {-1, 26, 25, 55.0}, true},
    {"zone +14", {-157.4, 1.87, 14.0}, {2024, 9, 1}, {12, 0, 0.0}, {1, 0, 0, 0.0}, true},
    {"polar day site", {15.6, 78.2, 1.0}, {2024, 6, 21}, {3, 47, 24.0}, {1, 24, 7, 0.0}, false},
    {"polar night site", {15.6, 78.2, 1.0}, {2024, 12, 21}, {14, 15, 39.7}, {1, 5, 10, 0.0}, true},
    {"1900", {0.0, 51.48, 0.0}, {1900, 1, 15}, {7, 39, 18.1}, {1, 5, 13, 30.0}, true},
    {"at the pole", {0.0, 90.0, 0.0}, {2024, 1, 1}, {7, 0, 0.0}, {1, 20, 0, 0.0}, false},
};

double Elevation(const ObjectRow &row, double hours)
{
    return ModelElevationDeg(row.ra, row.dec, row.date, row.site, hours, nullptr);
}

struct Scan
{
    std::optional<double> rise, set; // midpoints of the first brackets
    double maxDeg = -90.0;
};

Scan ScanModel(const ObjectRow &row)
{
    Scan scan;
    double previous = Elevation(row, kNightStartHours);
    scan.maxDeg = previous;
    const int steps = static_cast<int>(std::lround(24.0 / kScanStepHours));
    for (int i = 1; i <= steps; ++i) {
        const double t = kNightStartHours + i * kScanStepHours;
        const double e = Elevation(row, t);
        scan.maxDeg = std::max(scan.maxDeg, e);
        if (previous < 0 && e >= 0 && !scan.rise)
            scan.rise = t - kScanStepHours / 2;
        if (previous >= 0 && e < 0 && !scan.set)
            scan.set = t - kScanStepHours / 2;
        previous = e;
    }
    return scan;
}

std::string Show(std::optional<double> hours)
{
    return hours ? std::to_string(*hours) + " h" : std::string("none");
}

TEST(ObjectNightEvents, MatchFineScanOfTheModel)
{
    for (const ObjectRow &row : kObjects) {
        SCOPED_TRACE(row.name);
        const ObjectEvents got = ObjectNightEvents(row.ra, row.dec, row.date, row.site, {},
                                                   kDefaultMinAltitudeDeg, nullptr);
        const Scan want = ScanModel(row);
        EXPECT_EQ(got.rise.has_value() && got.set.has_value(), row.wantRiseAndSet)
            << "rise " << Show(got.rise) << ", set " << Show(got.set);
        ASSERT_EQ(got.rise.has_value(), want.rise.has_value())
            << "want " << Show(want.rise) << ", got " << Show(got.rise);
        ASSERT_EQ(got.set.has_value(), want.set.has_value())
            << "want " << Show(want.set) << ", got " << Show(got.set);
        if (want.rise) {
            EXPECT_NEAR(*got.rise, *want.rise, kCrossingToleranceHours);
        }
        if (want.set) {
            EXPECT_NEAR(*got.set, *want.set, kCrossingToleranceHours);
        }
        EXPECT_GE(got.transit, kNightStartHours);
        EXPECT_LT(got.transit, kNightEndHours);
        EXPECT_NEAR(got.transitElevationDeg, want.maxDeg, kTransitToleranceDeg);
        EXPECT_NEAR(Elevation(row, got.transit), got.transitElevationDeg, 1e-9);
        EXPECT_GE(got.transitElevationDeg, want.maxDeg - 1e-9) << "a scanned point is higher";
    }
}

// The model as the chart samples it: the 96 points of the curve, the morning
// hours handed with the chosen date, equal the event engine's elevation at the
// same x.
TEST(ModelElevationDeg, AgreesWithTheChartCurve)
{
    for (const ObjectRow &row : kObjects) {
        SCOPED_TRACE(row.name);
        const NightCurve curve = NightElevations(row.ra, row.dec, row.date, row.site.longitude,
                                                 row.site.latitude, row.site.timeZone, nullptr);
        for (const NightPoint &p : curve)
            EXPECT_NEAR(Elevation(row, p.x), p.elevationDeg, 1e-9) << "x = " << p.x;
    }
}

// Hours above the limit while the Sun is below -18 degrees, against a count
// over a fine scan of both curves.
TEST(ObjectNightEvents, DarkHoursAboveMatchFineScan)
{
    const double limits[] = {kDefaultMinAltitudeDeg, 0.0, 60.0};
    for (const ObjectRow &row : kObjects) {
        const SunMoonNight sun(row.date, row.site);
        const NightEvents night = SunMoonEvents(row.date, row.site);
        for (double limit : limits) {
            SCOPED_TRACE(std::string(row.name) + ", limit " + std::to_string(limit));
            const ObjectEvents got = ObjectNightEvents(row.ra, row.dec, row.date, row.site,
                                                       night.darkIntervals, limit, nullptr);
            double want = 0.0;
            const int steps = static_cast<int>(std::lround(24.0 / kScanStepHours));
            for (int i = 0; i < steps; ++i) {
                const double t = kNightStartHours + (i + 0.5) * kScanStepHours;
                if (sun.SunAltitudeDeg(t) < kAstronomicalTwilightDeg && Elevation(row, t) >= limit)
                    want += kScanStepHours;
            }
            EXPECT_NEAR(got.darkHoursAbove, want, kDarkHoursTolerance);
        }
    }
}

TEST(ObjectNightEvents, DarkHoursAboveAtTheExtremes)
{
    struct Row
    {
        const char *name;
        NightSite site;
        TDateRec date;
        TDeclination dec;
        double want;
    };
    const Row rows[] = {
        {"polar day: no dark at all", {15.6, 78.2, 1.0}, {2024, 6, 21}, {1, 80, 0, 0.0}, 0.0},
        {"polar night: the whole span", {0.0, 88.0, 0.0}, {2024, 12, 21}, {1, 60, 0, 0.0}, 24.0},
        {"never above the limit", {139.7, 35.7, 9.0}, {2024, 1, 15}, {-1, 30, 0, 0.0}, 0.0},
    };
    for (const Row &row : rows) {
        const NightEvents night = SunMoonEvents(row.date, row.site);
        const ObjectEvents got = ObjectNightEvents({6, 0, 0.0}, row.dec, row.date, row.site,
                                                   night.darkIntervals, 30.0, nullptr);
        EXPECT_NEAR(got.darkHoursAbove, row.want, 1e-9) << row.name;
    }
}

TEST(Airmass, KastenYoung)
{
    struct Row
    {
        double altitudeDeg;
        std::optional<double> want;
        double tolerance;
    };
    const Row rows[] = {
        {90.0, 1.0, 0.001},        {60.0, 1.1547, 0.001}, {30.0, 1.995, 0.003},
        {10.0, 5.60, 0.02},        {1e-6, 37.92, 0.05},   {0.0, std::nullopt, 0.0},
        {-5.0, std::nullopt, 0.0},
    };
    for (const Row &row : rows) {
        const std::optional<double> got = Airmass(row.altitudeDeg);
        ASSERT_EQ(got.has_value(), row.want.has_value()) << "altitude " << row.altitudeDeg;
        if (row.want) {
            EXPECT_NEAR(*got, *row.want, row.tolerance) << "altitude " << row.altitudeDeg;
        }
    }
}

} // namespace
} // namespace mirado
