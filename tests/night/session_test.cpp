// SPDX-License-Identifier: GPL-3.0-or-later
#include "night/session.h"

#include <gtest/gtest.h>

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

} // namespace
} // namespace mirado
