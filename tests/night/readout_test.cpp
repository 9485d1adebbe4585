// SPDX-License-Identifier: GPL-3.0-or-later
#include "night/readout.h"

#include <cstdio>
#include <gtest/gtest.h>

#include "astro/clocktime.h"
#include "night/nowtexts.h"

namespace mirado {
namespace {

int MinutesOf(const std::string &hhmm)
{
    int h = -1, m = -1;
    std::sscanf(hhmm.c_str(), "%d:%d", &h, &m);
    return h * 60 + m;
}

struct ReadoutRow
{
    const char *name;
    TDateRec date;
    double x;
    TDateRec wantDate; // the local date of the moment
    const char *wantTime;
};

// The pointer's moment, and its sidereal time as the status bar shows it at
// that moment (rounded to the second there, to the minute here).
TEST(ReadoutAt, MomentAndSiderealTimeAsTheStatusBar)
{
    const SiteValues site{139.7, 35.7, 9.0, {}};
    const ReadoutRow rows[] = {
        {"evening", {2027, 6, 21}, 17.0, {2027, 6, 21}, "17:00"},
        {"before midnight", {2027, 6, 21}, 23.0 + 41.0 / 60, {2027, 6, 21}, "23:41"},
        {"after midnight", {2027, 6, 21}, 25.25, {2027, 6, 22}, "01:15"},
        {"half minute rounds up", {2026, 12, 31}, 30.0 + 0.5 / 60, {2027, 1, 1}, "06:01"},
        {"year end", {2026, 12, 31}, 24.0, {2027, 1, 1}, "00:00"},
    };
    for (const ReadoutRow &row : rows) {
        const PointerReadout got = ReadoutAt("Vega", 3, row.date, site, row.x, 45.0);
        EXPECT_EQ(got.localTime, row.wantTime) << row.name;
        const int minute = MinutesOf(row.wantTime);
        const DateTimeValue local =
            DateTimeValue::FromParts(row.wantDate, minute / 60, minute % 60, 0);
        const std::string status = SiderealTimeText(local, site.longitude, site.timeZone, {});
        int h = -1, m = -1, s = -1;
        ASSERT_EQ(std::sscanf(status.c_str(), " LST %d:%d:%d", &h, &m, &s), 3) << status;
        const int want = (h * 60 + m + (s >= 30 ? 1 : 0)) % (24 * 60);
        const int diff = std::abs(MinutesOf(got.siderealTime) - want);
        // Tolerance: one minute, for a status second of exactly 30.
        EXPECT_LE(std::min(diff, 24 * 60 - diff), 1)
            << row.name << ": want about " << status << ", got " << got.siderealTime;
    }
}

TEST(ReadoutText, LinesAndAirmass)
{
    PointerReadout readout{"M42 オリオン座大星雲", 12, "23:41", "05:02", 30.0, 1.99, {}};
    EXPECT_EQ(ReadoutText(readout),
              "M42 オリオン座大星雲\n行 12\n時刻 23:41  恒星時 05:02\n高度 30.0°  エアマス 1.99");
    // Below the horizon there is no air mass; the Moon's line comes only
    // with the Moon.
    readout = ReadoutAt("Sirius", 2, {2027, 6, 21}, {139.7, 35.7, 9.0, {}}, 20.0, -3.24);
    readout.moonSeparationDeg = 35.24;
    EXPECT_EQ(ReadoutText(readout).substr(ReadoutText(readout).find("高度")),
              "高度 -3.2°  エアマス -\n月との離角 35.2°");
}

} // namespace
} // namespace mirado
