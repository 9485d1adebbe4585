// SPDX-License-Identifier: GPL-3.0-or-later
#include "night/session.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "data/errors.h"
#include "test_files.h"

namespace mirado {
namespace {

// A catalogue that cannot be read leaves the present one, and the window's
// list is emptied only once the new one is read.
TEST(Session, LoadCatalogueReplacesOnlyWhatWasRead)
{
    const test::TempDir dir;
    Session session;
    int replaced = 0;
    const auto beforeReplacing = [&] {
        EXPECT_EQ(session.catalogue().size(), replaced == 0 ? 0u : 2u) << "already replaced";
        ++replaced;
    };
    session.loadCatalogue(dir.write("a.txt", std::string("A, 1:0:0, +1:0:0\nB, 2:0:0, +2:0:0\n")),
                          beforeReplacing);
    EXPECT_THROW(session.loadCatalogue(dir.file("missing.txt"), beforeReplacing), Error);
    EXPECT_EQ(replaced, 1);
    ASSERT_EQ(session.catalogue().size(), 2u);
    EXPECT_EQ(session.catalogue().object(1).name, "B");
    EXPECT_EQ(session.catalogue().object(1).line, 2);
}

// The check the tool applies to a site file's values; reading the file
// itself keeps whatever it holds, as the window relies on.
TEST(Session, SiteValueOutside)
{
    const SiteBounds bounds{360.0, 90.0, 24.0};
    const double nan = std::nan("");
    const struct
    {
        const char *name;
        SiteValues site;
        int wantLine; // 0: none outside
        double wantValue;
    } rows[] = {
        {"inside", {135.0, 35.0, 9.0, ""}, 0, 0.0},
        {"on the bounds", {-360.0, 90.0, -24.0, ""}, 0, 0.0},
        {"latitude", {135.0, 95.0, 9.0, ""}, 2, 95.0},
        {"the first in file order", {400.0, -95.0, 30.0, ""}, 1, 400.0},
        {"time zone", {135.0, 35.0, 1e308, ""}, 3, 1e308},
        {"not a number", {135.0, nan, 9.0, ""}, 2, nan},
        {"infinite",
         {-std::numeric_limits<double>::infinity(), 0.0, 0.0, ""},
         1,
         -std::numeric_limits<double>::infinity()},
    };
    for (const auto &row : rows) {
        Session session;
        session.site() = row.site;
        const std::optional<SiteValueOutside> got = session.siteValueOutside(bounds);
        if (row.wantLine == 0) {
            EXPECT_FALSE(got) << row.name << ": want none, got line " << got->line;
            continue;
        }
        ASSERT_TRUE(got) << row.name << ": want line " << row.wantLine << ", got none";
        EXPECT_EQ(got->line, row.wantLine) << row.name;
        if (std::isnan(row.wantValue))
            EXPECT_TRUE(std::isnan(got->value)) << row.name << ": got " << got->value;
        else
            EXPECT_EQ(got->value, row.wantValue) << row.name;
    }

    const test::TempDir dir;
    Session session;
    ASSERT_TRUE(
        session.readSiteFile(dir.write("site.txt", std::string("400\r\n-95\r\n30\r\nc.txt\r\n"))));
    EXPECT_EQ(session.site().longitude, 400.0);
    EXPECT_EQ(session.site().latitude, -95.0);
    EXPECT_EQ(session.site().timeZone, 30.0);
    const SiteBounds any{std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::infinity(),
                         std::numeric_limits<double>::infinity()};
    EXPECT_FALSE(session.siteValueOutside(any));
}

} // namespace
} // namespace mirado
