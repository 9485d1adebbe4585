// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/site.h"

#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "data/errors.h"
#include "test_files.h"

namespace mirado {
namespace {

// How many entries `folder` holds: a save leaves no temporary file behind.
std::size_t FolderEntries(const std::string &folder)
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(folder))
        ++count;
    return count;
}

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
        {"byte-order mark skipped",
         "\xEF\xBB\xBF"
         "139.7\r\n35.7\r\n9\r\n\r\n",
         "",
         {139.7, 35.7, 9.0, ""}},
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
    EXPECT_EQ(FolderEntries(dir.file("")), 1u);
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
    EXPECT_EQ(FolderEntries(dir.file("")), 1u);
}

struct Saved
{
    std::string content;
    unsigned mode;
};

Saved Stat(const std::string &path)
{
    struct stat info
    {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0) << path;
    return {test::ReadAll(path), static_cast<unsigned>(info.st_mode & 07777)};
}

// A link planted under any name the save might use for its temporary file
// is never written through; the save still replaces the site file.
TEST(WriteSiteFile, APlantedLinkIsNotFollowed)
{
    test::TempDir dir;
    const std::string victim = dir.write("victim.txt", std::string("precious\n"));
    const std::string path = dir.file("site.txt");
    for (const char *name : {"site.txt.tmp", "site.txt.new", "site.tmp", "~site.txt"})
        ASSERT_EQ(::symlink(victim.c_str(), dir.file(name).c_str()), 0) << name;

    WriteSiteFile(path, {139.75, 35.0, 9.0, ""}, '.');
    EXPECT_EQ(test::ReadAll(victim), "precious\n");
    EXPECT_EQ(test::ReadAll(path), "139.75\r\n35\r\n9\r\n\r\n");
    EXPECT_FALSE(std::filesystem::is_symlink(path));
    // Only the site file, the victim and the planted links remain.
    EXPECT_EQ(FolderEntries(dir.file("")), 6u);
}

TEST(WriteSiteFile, KeepsTheOldFilesPermissions)
{
    const struct
    {
        const char *name;
        unsigned mode;
    } rows[] = {{"owner only", 0600}, {"read for all", 0644}, {"group write", 0660}};
    for (const auto &row : rows) {
        test::TempDir dir;
        const std::string path = dir.write("site.txt", std::string("1\n2\n3\n\n"));
        ASSERT_EQ(::chmod(path.c_str(), row.mode), 0);
        WriteSiteFile(path, DefaultSite(), '.');
        const Saved saved = Stat(path);
        EXPECT_EQ(saved.mode, row.mode)
            << row.name << std::oct << ": want " << row.mode << " got " << saved.mode;
        EXPECT_EQ(saved.content, "135\r\n35\r\n9\r\n\r\n") << row.name;
    }
    // A new file takes the usual permissions of the user's mask.
    test::TempDir dir;
    const mode_t mask = ::umask(022);
    WriteSiteFile(dir.file("site.txt"), DefaultSite(), '.');
    ::umask(mask);
    EXPECT_EQ(Stat(dir.file("site.txt")).mode, 0644u);
}

// A site file that is a link is saved through to its target: the target is
// replaced, the link stays a link.
TEST(WriteSiteFile, ALinkIsSavedThroughToItsTarget)
{
    test::TempDir dir;
    std::filesystem::create_directories(dir.file("real"));
    const std::string target = dir.write("real/site.txt", std::string("1\n2\n3\n\n"));
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    const std::string link = dir.file("site.txt");
    ASSERT_EQ(::symlink("real/site.txt", link.c_str()), 0);
    // A link to the link.
    const std::string second = dir.file("second.txt");
    ASSERT_EQ(::symlink(link.c_str(), second.c_str()), 0);

    WriteSiteFile(second, DefaultSite(), '.');
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_TRUE(std::filesystem::is_symlink(second));
    EXPECT_EQ(std::filesystem::read_symlink(link), "real/site.txt");
    const Saved saved = Stat(target);
    EXPECT_EQ(saved.content, "135\r\n35\r\n9\r\n\r\n");
    EXPECT_EQ(saved.mode, 0600u);
    EXPECT_EQ(FolderEntries(dir.file("real")), 1u);

    // A link that leads round in a circle cannot be saved.
    ASSERT_EQ(::symlink("loop-b", dir.file("loop-a").c_str()), 0);
    ASSERT_EQ(::symlink("loop-a", dir.file("loop-b").c_str()), 0);
    EXPECT_THROW(WriteSiteFile(dir.file("loop-a"), DefaultSite(), '.'), Error);
}
#endif

} // namespace
} // namespace mirado
