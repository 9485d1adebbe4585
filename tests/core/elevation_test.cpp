// SPDX-License-Identifier: GPL-3.0-or-later
#include "astro/elevation.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "astro/clocktime.h"
#include "astro/sidereal.h"
#include "data/errors.h"

namespace mirado {
namespace {

constexpr TDateRec k20011231{2001, 12, 31};

struct ElevationRow
{
    const char *name;
    TRightAscension ra;
    TDeclination dec;
    double latitude;
    THMSRec time;
    double want;
};

TEST(GetDegElevation, ReferenceValues)
{
    const ElevationRow rows[] = {
        {"north at 21:00", {6, 0, 0.0}, {1, 30, 0, 0.0}, 35.0, {21, 0, 0.0}, 59.797794},
        {"south at 21:00", {6, 0, 0.0}, {-1, 10, 30, 0.0}, 35.0, {21, 0, 0.0}, 33.443200},
        {"hour angle over half a day", {6, 0, 0.0}, {1, 30, 0, 0.0}, 35.0, {17, 0, 0.0}, 12.631039},
        {"below the horizon", {0, 0, 0.0}, {1, 0, 0, 0.0}, 0.0, {0, 0, 0.0}, -9.490042},
    };
    int warnings = 0;
    const WarningReporter count = [&](const std::string &) { ++warnings; };
    for (const auto &row : rows)
        EXPECT_NEAR(
            GetDegElevation(row.ra, row.dec, k20011231, 135.0, row.latitude, row.time, 9.0, count),
            row.want, 1e-6)
            << row.name;
    EXPECT_EQ(warnings, 0);
}

TEST(GetDegElevation, ObjectAtTheZenithReadsNinetyWithoutWarning)
{
    // Place the object on the meridian at a declination equal to the
    // latitude. Rounding carries the sine of the elevation past 1 for some
    // of these; each must still read 90 degrees with no warning.
    std::vector<std::string> warnings;
    const WarningReporter record = [&](const std::string &text) { warnings.push_back(text); };
    const THMSRec time{21, 0, 0.0};
    const double lst = dblGetLSTSec(k20011231, time, 135.0, 9.0, record);
    THMSRec split;
    GetHMSFromSec(split, lst);
    const TRightAscension ra{split.hours, split.minutes, split.seconds};
    for (int degrees = 0; degrees < 90; ++degrees) {
        for (int minutes = 0; minutes < 60; minutes += 3) {
            const double latitude = degrees + minutes / 60.0;
            const double elevation = GetDegElevation(ra, {1, degrees, minutes, 0.0}, k20011231,
                                                     135.0, latitude, time, 9.0, record);
            ASSERT_NEAR(elevation, 90.0, 1e-5) << degrees << ":" << minutes;
        }
    }
    EXPECT_TRUE(warnings.empty()) << warnings.front();
}

TEST(GetDegElevation, GoesOnWithZeroAfterAnInnerRoutineFails)
{
    std::vector<std::string> warnings;
    const WarningReporter record = [&](const std::string &text) { warnings.push_back(text); };
    const double got =
        GetDegElevation({std::numeric_limits<std::int32_t>::max(), 0, 0.0}, {1, 30, 0, 0.0},
                        k20011231, 135.0, 35.0, {21, 0, 0.0}, 9.0, record);
    // The hour angle failed and went on as 0: the object stands on the
    // meridian as far as the elevation is concerned.
    EXPECT_NEAR(got, 85.0, 1e-9);
    EXPECT_EQ(warnings, std::vector<std::string>{"dblGetHASec Integer overflow"});
}

} // namespace
} // namespace mirado
