// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/site.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include "data/errors.h"
#include "test_files.h"

namespace mirado {
namespace {

struct ReadRow
{
    const char *name;
    std::string content;
    const char *error; // empty: reads without error
    SiteValues want;   // values afterwards, starting from all zero
};

TEST(ReadSiteFile, Table)
{
    const ReadRow rows[] = {
        {"four lines", "139.7\r\n35.7\r\n9\r\ncat.txt\r\n", "", {139.7, 35.7, 9.0, "cat.txt"}},
        {"empty fourth line", "139.7\r\n35.7\r\n9\r\n\r\n", "", {139.7, 35.7, 9.0, ""}},
        {"lines after the fourth ignored", "1\n2\n3\np\nq\n", "", {1, 2, 3, "p"}},
        {"path verbatim", "1\n2\n3\n \"a b\" \n", "", {1, 2, 3, " \"a b\" "}},
        {"blanks and exponent", " 1.397E2 \n35\n-9.5\n\n", "", {139.7, 35, -9.5, ""}},
        {"three lines",
         "139.7\r\n35.7\r\n9\r\n",
         "リストのインデックスが範囲を超えています (3)",
         {139.7, 35.7, 9.0, ""}},
        {"one line", "139.7", "リストのインデックスが範囲を超えています (1)", {139.7, 0, 0, ""}},
        {"empty file", "", "リストのインデックスが範囲を超えています (0)", {0, 0, 0, ""}},
        {"comma decimal",
         "139,7\n35\n9\n\n",
         "'139,7' is not a valid floating point value",
         {0, 0, 0, ""}},
        {"bad latitude",
         "139.7\nabc\n9\n\n",
         "'abc' is not a valid floating point value",
         {139.7, 0, 0, ""}},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        test::TempDir dir;
        const auto path = dir.write("site.txt", row.content);
        SiteValues site;
        try {
            EXPECT_TRUE(ReadSiteFile(path, site, '.'));
            EXPECT_STREQ(row.error, "");
        } catch (const Error &e) {
            EXPECT_STREQ(e.what(), row.error);
        }
        EXPECT_EQ(site.longitude, row.want.longitude);
        EXPECT_EQ(site.latitude, row.want.latitude);
        EXPECT_EQ(site.timeZone, row.want.timeZone);
        EXPECT_EQ(site.cataloguePath, row.want.cataloguePath);
    }
}

TEST(ReadSiteFile, MissingFileGivesTheDefaults)
{
    test::TempDir dir;
    SiteValues site{1, 2, 3, "x"};
    EXPECT_FALSE(ReadSiteFile(dir.file("site.txt"), site, '.'));
    EXPECT_EQ(site.longitude, 135.0);
    EXPECT_EQ(site.latitude, 35.0);
    EXPECT_EQ(site.timeZone, 9.0);
    EXPECT_EQ(site.cataloguePath, "");
}

TEST(ReadSiteFile, AFolderInItsPlaceCannotBeOpened)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("site.txt"));
    SiteValues site;
    try {
        ReadSiteFile(dir.file("site.txt"), site, '.');
        ADD_FAILURE() << "want an error";
    } catch (const Error &e) {
        EXPECT_EQ(std::string(e.what()), "ファイル " + dir.file("site.txt") + " は開けません");
    }
    EXPECT_EQ(site.longitude, 0.0);
}

TEST(WriteSiteFile, WritesFourLinesWithCrLf)
{
    test::TempDir dir;
    const auto path = dir.file("site.txt");
    WriteSiteFile(path, {135.0, 35.0, 9.0, ""}, '.');
    EXPECT_EQ(test::ReadAll(path), "135\r\n35\r\n9\r\n\r\n");
    WriteSiteFile(path, {139.75, -0.00001, -9.5, "C:\\cat.txt"}, ',');
    EXPECT_EQ(test::ReadAll(path), "139,75\r\n-1E-5\r\n-9,5\r\nC:\\cat.txt\r\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

TEST(WriteSiteFile, RoundTripKeepsFifteenDigits)
{
    test::TempDir dir;
    const auto path = dir.file("site.txt");
    const SiteValues saved{139.75, 35.658099999999997, 1.0 / 3.0, "examples/cat.txt"};
    WriteSiteFile(path, saved, '.');
    SiteValues read;
    ASSERT_TRUE(ReadSiteFile(path, read, '.'));
    EXPECT_EQ(read.longitude, 139.75);
    EXPECT_EQ(read.latitude, 35.6581);
    EXPECT_EQ(read.timeZone, 0.333333333333333);
    EXPECT_EQ(read.cataloguePath, saved.cataloguePath);
}

TEST(WriteSiteFile, FailedSaveRaisesAndLeavesTheOldFileWhole)
{
    test::TempDir dir;
    // No such folder.
    const auto unwritable = dir.file("no-such-folder/site.txt");
    try {
        WriteSiteFile(unwritable, DefaultSite(), '.');
        ADD_FAILURE() << "want an error";
    } catch (const Error &e) {
        EXPECT_EQ(std::string(e.what()), "ファイル " + unwritable + " を作成できません");
    }

    // The temporary file cannot take the old one's place: a non-empty folder
    // stands there. It stays as it was, and no temporary file is left.
    const auto blocked = dir.file("blocked");
    std::filesystem::create_directories(std::filesystem::path(blocked) / "inside");
    EXPECT_THROW(WriteSiteFile(blocked, DefaultSite(), '.'), Error);
    EXPECT_TRUE(std::filesystem::is_directory(std::filesystem::path(blocked) / "inside"));
    EXPECT_FALSE(std::filesystem::exists(blocked + ".tmp"));
}

#ifndef _WIN32
// A full disk, simulated by a file-size limit: the write of the temporary
// file fails, the error is raised and the old file stays whole.
TEST(WriteSiteFile, AFullDiskLeavesTheOldFileWhole)
{
    test::TempDir dir;
    const auto path = dir.file("site.txt");
    WriteSiteFile(path, {139.75, 35.0, 9.0, "old.txt"}, '.');
    const std::string before = test::ReadAll(path);

    struct rlimit saved
    {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit tiny = saved;
    tiny.rlim_cur = 8;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    bool raised = false;
    try {
        WriteSiteFile(path, {1.0, 2.0, 3.0, std::string(100, 'p')}, '.');
    } catch (const Error &e) {
        raised = true;
        EXPECT_EQ(std::string(e.what()), "ファイル " + path + " を作成できません");
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(raised);
    EXPECT_EQ(test::ReadAll(path), before);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}
#endif

} // namespace
} // namespace mirado
