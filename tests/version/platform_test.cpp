// SPDX-License-Identifier: GPL-3.0-or-later
#include <filesystem>

#include <gtest/gtest.h>

#include "version_test_files.h"
#include "versioninfo/language.h"
#include "versioninfo/paths.h"
#include "versioninfo/systemerror.h"

namespace mirado::platform {
namespace {

TEST(LanguageIdForLocaleName, Table)
{
    struct Row
    {
        const char *name;
        std::uint16_t want;
    };
    const Row rows[] = {
        {"ja_JP", 0x0411},       {"en_US", 0x0409},
        {"de_DE", 0x0407},       {"en_GB", 0x0809},
        {"fr_FR", 0x040C},       {"fr_CA", 0x0C0C},
        {"de_AT", 0x0C07},       {"es_ES", 0x0C0A},
        {"zh_CN", 0x0804},       {"zh_TW", 0x0404},
        {"pt_BR", 0x0416},       {"ko_KR", 0x0412},
        {"ja_JP.UTF-8", 0x0411}, {"ja_JP.eucJP", 0x0411},
        {"de_DE@euro", 0x0407},  {"de-CH", 0x0807},
        {"EN_us", 0x0409},       {"ja", 0x0411},
        {"zh", 0x0804},          {"de_BE", 0x0407},
        {"en_ZA", 0x0409},       {"C", 0x0409},
        {"C.UTF-8", 0x0409},     {"POSIX", 0x0409},
        {"xx_YY", 0x0000},       {"", 0x0000},
        {"_JP", 0x0000},
    };
    for (const auto &row : rows)
        EXPECT_EQ(LanguageIdForLocaleName(row.name), row.want) << row.name;
}

TEST(FullPathName, Table)
{
    std::error_code ec;
    const std::string cwd = std::filesystem::current_path().string();
    struct Row
    {
        const char *name;
        std::string path;
        std::string want;
    };
    const Row rows[] = {
        {"absolute", "/usr/bin", "/usr/bin"},
        {"dot and dot-dot", "/a/./b/../c", "/a/c"},
        {"doubled and trailing slashes", "/a//b/", "/a/b"},
        {"dot-dot above the root", "/../a", "/a"},
        {"root", "/", "/"},
        {"network path keeps two slashes", "//server/share/x", "//server/share/x"},
        {"three slashes are one", "///a", "/a"},
        {"relative", "x/y", cwd + "/x/y"},
        {"relative dot-dot", "../x", std::filesystem::path(cwd).parent_path().string() + "/x"},
    };
    for (const auto &row : rows) {
        EXPECT_EQ(FullPathName(row.path, ec), row.want) << row.name;
        EXPECT_FALSE(ec) << row.name;
    }
    FullPathName("", ec);
    EXPECT_EQ(SystemMessage(ec), "No such file or directory");
}

TEST(LongPathName, Table)
{
    test::TempDir dir;
    const std::string file = dir.write("Version.bin", test::Bytes{1});
    const std::string parent = std::filesystem::path(file).parent_path().string();
    struct Row
    {
        const char *name;
        std::string path;
        std::string want;
    };
    const Row rows[] = {
        {"existing file", file, file},
        {"through dot-dot",
         parent + "/../" + std::filesystem::path(parent).filename().string() + "/Version.bin",
         file},
        {"missing file kept", parent + "/missing", parent + "/missing"},
        {"network path", "//server/share/dir/file", "//server/share/dir/file"},
        {"network share", "//server/share", "//server/share"},
        {"root", "/", "/"},
    };
    std::error_code ec;
    for (const auto &row : rows) {
        EXPECT_EQ(LongPathName(row.path, ec), row.want) << row.name;
        EXPECT_FALSE(ec) << row.name;
    }
}

TEST(RunningExecutablePath, IsThisTestProgram)
{
    std::error_code ec;
    const std::filesystem::path exe = RunningExecutablePath(ec);
    ASSERT_FALSE(ec) << ec.message();
    EXPECT_TRUE(exe.is_absolute());
    EXPECT_EQ(exe.filename(), "version_tests");
    EXPECT_TRUE(std::filesystem::is_regular_file(exe));
}

TEST(SystemMessage, Texts)
{
    struct Row
    {
        const char *name;
        std::error_code code;
        std::string want;
    };
    const Row rows[] = {
        {"missing file", std::make_error_code(std::errc::no_such_file_or_directory),
         "No such file or directory"},
        {"folder", std::make_error_code(std::errc::is_a_directory), "Is a directory"},
        {"no version resource", VersionResourceErrc::ResourceTypeNotFound,
         "The specified resource type cannot be found in the image file."},
        {"value not found", VersionResourceErrc::ResourceNameNotFound,
         "The specified resource name cannot be found in the image file."},
    };
    for (const auto &row : rows)
        EXPECT_EQ(SystemMessage(row.code), row.want) << row.name;
}

} // namespace
} // namespace mirado::platform
