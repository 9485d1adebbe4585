// SPDX-License-Identifier: GPL-3.0-or-later
#include "night/readout.h"

#include <cstdio>
#include <gtest/gtest.h>

#include "astro/clocktime.h"
#include "night/nowtexts.h"

namespace mirado {
namespace {

// The pointer's moment on the night axis, and its sidereal time against the
// status bar's at that moment (there rounded to the second).
TEST(ReadoutAt, MomentAndSiderealTimeAsTheStatusBar)
{
    struct Row
    {
        const char *name;
        TDateRec date;
        double x;
        DateTimeValue want;
    };
    const Row rows[] = {
        {"evening", {2027, 6, 21}, 17.0, DateTimeValue::FromParts({2027, 6, 21}, 17, 0, 0)},
        {"after midnight", {2027, 6, 21}, 25.25, DateTimeValue::FromParts({2027, 6, 22}, 1, 15, 0)},
        {"half minute rounds up",
         {2026, 12, 31},
         30.0 + 0.5 / 60,
         DateTimeValue::FromParts({2027, 1, 1}, 6, 1, 0)},
    };
    const SiteValues site{139.7, 35.7, 9.0, {}};
    for (const Row &row : rows) {
        const PointerReadout got = ReadoutAt("Vega", 3, row.date, site, row.x, 45.0);
        char want[8];
        std::snprintf(want, sizeof want, "%02d:%02d", row.want.time().hours,
                      row.want.time().minutes);
        EXPECT_EQ(got.localTime, want) << row.name;
        int h = 0, m = 0, s = 0;
        const std::string status = SiderealTimeText(row.want, site.longitude, site.timeZone, {});
        ASSERT_EQ(std::sscanf(status.c_str(), " LST %d:%d:%d", &h, &m, &s), 3) << status;
        int gotH = 0, gotM = 0;
        std::sscanf(got.siderealTime.c_str(), "%d:%d", &gotH, &gotM);
        // Tolerance: one minute, for a status second of exactly 30.
        const int diff = std::abs((gotH * 60 + gotM) - (h * 60 + m + (s >= 30 ? 1 : 0)) % 1440);
        EXPECT_LE(std::min(diff, 1440 - diff), 1)
            << row.name << ": want about" << status << ", got " << got.siderealTime;
    }
}

} // namespace
} // namespace mirado
