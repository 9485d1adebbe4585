// SPDX-License-Identifier: GPL-3.0-or-later
#include "night/session.h"

#include <gtest/gtest.h>

#include <cmath>

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
    const double nan = std::nan("");
    const struct
    {
        const char *name;
        SiteValues site;
        int wantLine; // 0: none outside
    } rows[] = {
        {"on the bounds", {-360.0, 90.0, -24.0, ""}, 0},
        {"latitude", {135.0, 95.0, 9.0, ""}, 2},
        {"the first in file order", {400.0, -95.0, 30.0, ""}, 1},
        {"time zone", {135.0, 35.0, 1e308, ""}, 3},
        {"not a number", {135.0, nan, 9.0, ""}, 2},
    };
    for (const auto &row : rows) {
        Session session;
        session.site() = row.site;
        const auto got = session.siteValueOutside({360.0, 90.0, 24.0});
        EXPECT_EQ(got ? got->line : 0, row.wantLine) << row.name;
    }

    const test::TempDir dir;
    Session session;
    ASSERT_TRUE(session.readSiteFile(dir.write("site.txt", std::string("400\n-95\n30\n\n"))));
    EXPECT_EQ(session.site().latitude, -95.0);
}

} // namespace
} // namespace mirado
