// SPDX-License-Identifier: GPL-3.0-or-later
// The precise elevation model against astropy under the same conventions
// (make_model_reference.py), and its curve, culminations and dates.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "night/events.h"
#include "night/precisemodel.h"

namespace mirado {
namespace {

constexpr double kArcsecondDeg = 1.0 / 3600.0;
constexpr double kSecondHours = 1.0 / 3600.0;

struct ReferenceRow
{
    std::string what; // site, date, star and kind, for the messages
    NightSite site;
    TDateRec date;
    TRightAscension ra;
    TDeclination dec;
    std::string kind;
    std::string hours; // empty: no such event
    double altitudeDeg = 0.0;
    std::string flags;
};

std::vector<std::string> Split(const std::string &text, char separator)
{
    std::vector<std::string> parts;
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, separator))
        parts.push_back(part);
    if (!text.empty() && text.back() == separator)
        parts.emplace_back();
    return parts;
}

std::vector<ReferenceRow> ReadReference()
{
    std::ifstream in(MIRADO_MODEL_REFERENCE);
    std::vector<ReferenceRow> rows;
    std::string line;
    std::getline(in, line); // header
    while (std::getline(in, line)) {
        const auto f = Split(line, ',');
        if (f.size() != 12)
            continue;
        const auto ra = Split(f[6], ':');
        const auto dec = Split(f[7].substr(1), ':');
        rows.push_back(
            {f[0] + " " + f[4] + " " + f[5] + " " + f[8],
             {std::stod(f[1]), std::stod(f[2]), std::stod(f[3])},
             {std::stoi(f[4].substr(0, 4)), std::stoi(f[4].substr(5, 2)),
              std::stoi(f[4].substr(8, 2))},
             {std::stoi(ra[0]), std::stoi(ra[1]), std::stod(ra[2])},
             {f[7][0] == '-' ? -1 : 1, std::stoi(dec[0]), std::stoi(dec[1]), std::stod(dec[2])},
             f[8],
             f[9],
             f[10].empty() ? 0.0 : std::stod(f[10]),
             f[11]});
    }
    return rows;
}

std::unique_ptr<ObjectElevation> Prepare(const ReferenceRow &row,
                                         std::unique_ptr<NightElevationModel> &night)
{
    night = PreciseModel().night(row.date, row.site);
    return night->object(row.ra, row.dec, nullptr);
}

TEST(PreciseModel, ReferenceCoversSitesAndYears)
{
    const auto rows = ReadReference();
    ASSERT_GE(rows.size(), 300u) << "reference file " << MIRADO_MODEL_REFERENCE;
    double north = 0, south = 0;
    int first = 3000, last = 0;
    for (const ReferenceRow &row : rows) {
        north = std::max(north, row.site.latitude);
        south = std::min(south, row.site.latitude);
        first = std::min(first, row.date.year);
        last = std::max(last, row.date.year);
    }
    EXPECT_GE(north, 77.5);
    EXPECT_LE(south, -77.5);
    EXPECT_LE(first, 1950);
    EXPECT_GE(last, 2099);
}

// Altitudes within 2" of astropy's, rise and set within 3 s of its crossing of
// 0 degrees (a grazing one: the altitude at our moment within 2" of 0), the
// transit within 3 s of its peak.
TEST(PreciseModel, MatchesAstropy)
{
    struct Tolerance
    {
        const char *kind;
        double tolerance; // degrees for altitudes, hours for events
    };
    const Tolerance tolerances[] = {
        {"altitude", 2 * kArcsecondDeg},
        {"rise", 3 * kSecondHours},
        {"set", 3 * kSecondHours},
        {"transit", 3 * kSecondHours},
    };
    for (const ReferenceRow &row : ReadReference()) {
        SCOPED_TRACE(row.what);
        double tolerance = 0.0;
        for (const Tolerance &t : tolerances)
            tolerance = row.kind == t.kind ? t.tolerance : tolerance;
        ASSERT_GT(tolerance, 0.0) << "unknown kind";
        std::unique_ptr<NightElevationModel> night;
        const auto object = Prepare(row, night);
        if (row.kind == "altitude") {
            const double got = object->elevationDeg(std::stod(row.hours));
            EXPECT_NEAR(got, row.altitudeDeg, tolerance)
                << "off by " << (got - row.altitudeDeg) * 3600 << "\"";
            continue;
        }
        const ObjectEvents events = ObjectNightEvents(*object, {}, kDefaultMinAltitudeDeg);
        const bool marginal = row.flags.find('m') != std::string::npos;
        std::optional<double> got = row.kind == "rise"  ? events.rise
                                    : row.kind == "set" ? events.set
                                                        : std::optional<double>(events.transit);
        if (row.kind == "transit" && row.flags.find('e') != std::string::npos)
            continue;
        if (row.hours.empty() || !got) {
            EXPECT_TRUE(marginal || (row.hours.empty() && !got))
                << "want " << (row.hours.empty() ? "none" : row.hours) << " h, got "
                << (got ? std::to_string(*got) : "none");
            continue;
        }
        const double want = std::stod(row.hours);
        if (std::abs(*got - want) <= tolerance)
            continue;
        const double altitude = object->elevationDeg(*got);
        EXPECT_TRUE(row.kind != "transit" && row.flags.find('g') != std::string::npos &&
                    std::abs(altitude) <= 2 * kArcsecondDeg)
            << "want " << want << " h, got " << *got << " h (off by " << (*got - want) * 3600
            << " s), altitude there " << altitude * 3600 << "\"";
    }
}

// Every date the program takes, a pole and the date line: the curve is the
// model's elevation at each x (the pairs at 24:00-24:50 equal), the
// culminations alternate, and the transit is the highest point near it.
TEST(PreciseModel, CurveAndCulminationsOverTheWholeRange)
{
    struct Row
    {
        const char *name;
        NightSite site;
        TDateRec date;
        TDeclination dec;
    };
    const Row rows[] = {
        {"first day", {135.0, 35.0, 9.0}, {1900, 1, 1}, {1, 20, 0, 0.0}},
        {"last day", {-70.0, -33.0, -4.0}, {2999, 12, 31}, {-1, 40, 0, 0.0}},
        {"no leap day 2100", {0.0, 51.5, 0.0}, {2100, 2, 28}, {1, 5, 0, 0.0}},
        {"near the north pole", {0.0, 89.5, 0.0}, {2024, 3, 20}, {1, 30, 0, 0.0}},
        {"date line", {-179.9, 51.8, -12.0}, {2024, 10, 10}, {-1, 10, 0, 0.0}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        const auto night = PreciseModel().night(row.date, row.site);
        const auto object = night->object({7, 30, 0.0}, row.dec, nullptr);
        const NightCurve curve = object->curve();
        for (std::size_t i = 0; i < curve.size(); ++i) {
            ASSERT_TRUE(std::isfinite(curve[i].elevationDeg)) << "x = " << curve[i].x;
            EXPECT_NEAR(curve[i].elevationDeg, object->elevationDeg(curve[i].x), 1e-12)
                << "x = " << curve[i].x;
            if (IsSecondOfEqualPair(i)) {
                EXPECT_EQ(curve[i].elevationDeg, curve[i - 6].elevationDeg) << "x = " << curve[i].x;
            }
        }
        const auto culminations = object->culminations();
        ASSERT_FALSE(culminations.empty());
        bool sawUpper = false;
        for (std::size_t i = 0; i < culminations.size(); ++i) {
            const Culmination &c = culminations[i];
            EXPECT_GE(c.hours, kNightStartHours);
            EXPECT_LT(c.hours, kNightEndHours);
            if (i > 0) {
                EXPECT_NE(c.upper, culminations[i - 1].upper) << "at " << c.hours << " h";
            }
            sawUpper = sawUpper || c.upper;
            const double here = object->elevationDeg(c.hours);
            for (const double offset : {-0.01, 0.01}) {
                const double near = object->elevationDeg(c.hours + offset);
                EXPECT_TRUE(c.upper ? near <= here + 1e-9 : near >= here - 1e-9)
                    << (c.upper ? "upper" : "lower") << " at " << c.hours << " h: " << here
                    << " there, " << near << " at " << offset << " h";
            }
        }
        EXPECT_TRUE(sawUpper);
    }
}

} // namespace
} // namespace mirado
