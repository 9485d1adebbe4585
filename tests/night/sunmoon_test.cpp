// SPDX-License-Identifier: GPL-3.0-or-later
// The Sun's and the Moon's events against reference values computed with
// astropy under the same conventions (make_reference.py).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "night/sunmoon.h"

namespace mirado {
namespace {

constexpr double kEventToleranceHours = 1.0 / 60.0; // one minute
constexpr double kGrazingToleranceDeg = 0.01;
constexpr double kIlluminationTolerance = 0.01;
constexpr double kAltitudeToleranceDeg = 0.001;

struct ReferenceEvent
{
    std::optional<double> hours;
    bool grazing = false;
    bool marginal = false;
};

struct ReferenceNight
{
    std::string site;
    NightSite where;
    TDateRec date;
    std::vector<ReferenceEvent> events; // in the order of kEventNames
    double sunAlt00 = 0.0, sunAlt18 = 0.0, moonAlt00 = 0.0, moonAlt18 = 0.0;
    double illumination = 0.0;
};

struct EventKind
{
    const char *name;
    double thresholdDeg;
    bool moon;
    std::optional<double> NightEvents::*member;
};

const EventKind kEvents[] = {
    {"sun_set", kSunsetAltitudeDeg, false, &NightEvents::sunSet},
    {"civil_dusk", kCivilTwilightDeg, false, &NightEvents::civilDusk},
    {"nautical_dusk", kNauticalTwilightDeg, false, &NightEvents::nauticalDusk},
    {"astronomical_dusk", kAstronomicalTwilightDeg, false, &NightEvents::astronomicalDusk},
    {"astronomical_dawn", kAstronomicalTwilightDeg, false, &NightEvents::astronomicalDawn},
    {"nautical_dawn", kNauticalTwilightDeg, false, &NightEvents::nauticalDawn},
    {"civil_dawn", kCivilTwilightDeg, false, &NightEvents::civilDawn},
    {"sun_rise", kSunsetAltitudeDeg, false, &NightEvents::sunRise},
    {"moon_rise", kMoonriseAltitudeDeg, true, &NightEvents::moonRise},
    {"moon_set", kMoonriseAltitudeDeg, true, &NightEvents::moonSet},
};

std::vector<std::string> SplitCsv(const std::string &line)
{
    std::vector<std::string> fields;
    std::stringstream in(line);
    std::string field;
    while (std::getline(in, field, ','))
        fields.push_back(field);
    if (!line.empty() && line.back() == ',')
        fields.emplace_back();
    return fields;
}

std::vector<ReferenceNight> ReadReference()
{
    std::ifstream in(MIRADO_SUNMOON_REFERENCE);
    std::vector<ReferenceNight> nights;
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        const auto f = SplitCsv(line);
        constexpr std::size_t kEventCount = std::size(kEvents);
        if (f.size() != 5 + 2 * kEventCount + 5)
            continue;
        ReferenceNight night;
        night.site = f[0];
        night.where = {std::stod(f[1]), std::stod(f[2]), std::stod(f[3])};
        night.date = {std::stoi(f[4].substr(0, 4)), std::stoi(f[4].substr(5, 2)),
                      std::stoi(f[4].substr(8, 2))};
        for (std::size_t e = 0; e < kEventCount; ++e) {
            const std::string &time = f[5 + 2 * e];
            const std::string &flags = f[6 + 2 * e];
            ReferenceEvent event;
            if (!time.empty())
                event.hours = std::stod(time);
            event.grazing = flags.find('g') != std::string::npos;
            event.marginal = flags.find('m') != std::string::npos;
            night.events.push_back(event);
        }
        const std::size_t tail = 5 + 2 * kEventCount;
        night.sunAlt00 = std::stod(f[tail]);
        night.sunAlt18 = std::stod(f[tail + 1]);
        night.moonAlt00 = std::stod(f[tail + 2]);
        night.moonAlt18 = std::stod(f[tail + 3]);
        night.illumination = std::stod(f[tail + 4]);
        nights.push_back(night);
    }
    return nights;
}

std::string Describe(const ReferenceNight &n)
{
    std::ostringstream out;
    out << n.site << " " << n.date.year << "-" << n.date.month << "-" << n.date.day << " (lon "
        << n.where.longitude << ", lat " << n.where.latitude << ", tz " << n.where.timeZone << ")";
    return out.str();
}

std::string Show(std::optional<double> hours)
{
    return hours ? std::to_string(*hours) + " h" : std::string("none");
}

TEST(SunMoonEvents, ReferenceTableIsComplete)
{
    EXPECT_GE(ReadReference().size(), 30u) << "reference file " << MIRADO_SUNMOON_REFERENCE;
}

// Each event within a minute of the reference; a grazing one may instead put
// the body within 0.01 degrees of the threshold; one whose turning point is
// that close to the threshold may be there or not.
TEST(SunMoonEvents, MatchReference)
{
    for (const ReferenceNight &ref : ReadReference()) {
        SCOPED_TRACE(Describe(ref));
        const NightEvents got = SunMoonEvents(ref.date, ref.where);
        const SunMoonNight night(ref.date, ref.where);
        for (std::size_t e = 0; e < std::size(kEvents); ++e) {
            const EventKind &kind = kEvents[e];
            const ReferenceEvent &want = ref.events[e];
            const std::optional<double> ours = got.*kind.member;
            SCOPED_TRACE(kind.name);
            if (!want.hours || !ours) {
                EXPECT_TRUE(want.marginal || (!want.hours && !ours))
                    << "want " << Show(want.hours) << ", got " << Show(ours);
                continue;
            }
            const double error = std::abs(*ours - *want.hours);
            if (error <= kEventToleranceHours)
                continue;
            const double altitude =
                kind.moon ? night.MoonAltitudeDeg(*ours) : night.SunAltitudeDeg(*ours);
            EXPECT_TRUE((want.grazing || want.marginal) &&
                        std::abs(altitude - kind.thresholdDeg) <= kGrazingToleranceDeg)
                << "want " << *want.hours << " h, got " << *ours << " h (off by " << error * 60
                << " min), altitude there " << altitude;
        }
        EXPECT_NEAR(got.moonIllumination, ref.illumination, kIlluminationTolerance);
    }
}

TEST(SunMoonNight, AltitudesMatchReference)
{
    for (const ReferenceNight &ref : ReadReference()) {
        SCOPED_TRACE(Describe(ref));
        const SunMoonNight night(ref.date, ref.where);
        EXPECT_NEAR(night.SunAltitudeDeg(24.0), ref.sunAlt00, kAltitudeToleranceDeg);
        EXPECT_NEAR(night.SunAltitudeDeg(18.0), ref.sunAlt18, kAltitudeToleranceDeg);
        EXPECT_NEAR(night.MoonAltitudeDeg(24.0), ref.moonAlt00, kAltitudeToleranceDeg);
        EXPECT_NEAR(night.MoonAltitudeDeg(18.0), ref.moonAlt18, kAltitudeToleranceDeg);
    }
}

// The dark stretches begin at astronomical dusk and end at dawn, and cover
// the whole span when the Sun stays below -18 degrees.
TEST(SunMoonEvents, DarkIntervals)
{
    struct Row
    {
        const char *name;
        NightSite site;
        TDateRec date;
        double wantDarkHours; // < 0: dusk to dawn
        double toleranceHours;
    };
    const Row rows[] = {
        {"tokyo winter", {139.7, 35.7, 9.0}, {2024, 1, 15}, -1, 1e-6},
        {"polar day", {15.6, 78.2, 1.0}, {2024, 6, 21}, 0.0, 0.0},
        {"never dark at 55N in June", {-3.0, 55.0, 0.0}, {2024, 6, 21}, 0.0, 0.0},
        {"deep polar night", {0.0, 88.0, 0.0}, {2024, 12, 21}, 24.0, 0.0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const NightEvents got = SunMoonEvents(row.date, row.site);
        double total = 0.0;
        for (const NightInterval &i : got.darkIntervals) {
            EXPECT_LE(i.begin, i.end);
            total += i.end - i.begin;
        }
        if (row.wantDarkHours >= 0) {
            EXPECT_NEAR(total, row.wantDarkHours, row.toleranceHours);
            continue;
        }
        ASSERT_EQ(got.darkIntervals.size(), 1u);
        ASSERT_TRUE(got.astronomicalDusk && got.astronomicalDawn);
        EXPECT_NEAR(got.darkIntervals[0].begin, *got.astronomicalDusk, row.toleranceHours);
        EXPECT_NEAR(got.darkIntervals[0].end, *got.astronomicalDawn, row.toleranceHours);
    }
}

TEST(NightDateTime, FormatsSiteLocalTimes)
{
    struct Row
    {
        TDateRec date;
        double hours;
        const char *want;
    };
    const Row rows[] = {
        {{2024, 2, 28}, 30.5, "2024-02-29T06:30:00"},
        {{2024, 2, 29}, 35.999, "2024-03-01T11:59:56"},
        {{2023, 12, 31}, 24.0, "2024-01-01T00:00:00"},
        {{2001, 12, 31}, 17.25, "2001-12-31T17:15:00"},
        {{1900, 2, 28}, 25.0, "1900-03-01T01:00:00"},
        {{2100, 12, 31}, 12.0001, "2100-12-31T12:00:00"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(FormatIsoDateTime(NightDateTime(row.date, row.hours)), row.want)
            << row.date.year << "-" << row.date.month << "-" << row.date.day << " + " << row.hours
            << " h";
    }
}

} // namespace
} // namespace mirado
