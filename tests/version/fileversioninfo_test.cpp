// SPDX-License-Identifier: GPL-3.0-or-later
#include "versioninfo/fileversioninfo.h"

#include <algorithm>
#include <filesystem>
#include <string_view>

#include <gtest/gtest.h>

#include "version_test_files.h"
#include "versioninfo/fileversion.h"
#include "versioninfo/paths.h"

namespace mirado {
namespace {

using test::Bytes;
using test::ErrorText;

constexpr std::uint16_t kJapanese = 0x0411;
constexpr std::uint16_t kEnglishUS = 0x0409;
constexpr std::uint16_t kGerman = 0x0407;

const std::string kTypeNotFound =
    "QueryVersionInfo:The specified resource type cannot be found in the image file.";
const std::string kNameNotFound =
    "QueryVersionInfo:The specified resource name cannot be found in the image file.";

std::string DataFile(const std::string &name)
{
    return std::string(MIRADO_VERSION_TEST_DATA_DIR) + "/" + name;
}

// A reader of `path` for a user of language `userLanguage`.
TFileVersionInfo Reader(const std::string &path, std::uint16_t userLanguage = kJapanese)
{
    TFileVersionInfo info(userLanguage);
    info.SetFileName(path);
    return info;
}

TEST(TFileVersionInfo, RunningProgramCarriesTheVersionResource)
{
    TFileVersionInfo info;
    EXPECT_TRUE(std::filesystem::path(info.FileName()).is_absolute()) << info.FileName();
    EXPECT_EQ(std::filesystem::path(info.FileName()).filename(), "version_tests");

    struct Row
    {
        const char *name;
        std::string got;
        std::string want;
    };
    const Row rows[] = {
        {"version text", VersionText(info), "0.81"},
        {"translation key", info.TranslationKey(), "041103A4"},
        {"CompanyName", info.KeyValue(0), "The Mirado developers"},
        {"FileDescription", info.KeyValue(1), "天体高度計算ソフト"},
        {"FileVersion", info.KeyValue(2), "0.8.1.0"},
        {"InternalName", info.KeyValue(3), ""},
        {"OriginalFilename", info.KeyValue(5), ""},
        {"ProductName", info.KeyValue(6), "Mirado"},
        {"ProductVersion", info.KeyValue(7), "0.0.0.0"},
        {"LegalTrademarks", info.StringValue("LegalTrademarks"), ""},
        {"Comments", info.StringValue("Comments"), ""},
    };
    for (const auto &row : rows)
        EXPECT_EQ(row.got, row.want) << row.name;
    EXPECT_NE(info.KeyValue(4).find("The Mirado developers"), std::string::npos);
}

TEST(TFileVersionInfo, RunningProgramFixedFileInfo)
{
    TFileVersionInfo info(kEnglishUS);
    const Bytes fixed = info.QueryValue("\\");
    ASSERT_EQ(fixed.size(), 52u);
    const Bytes want = {
        0xBD, 0x04, 0xEF, 0xFE, // signature
        0x00, 0x00, 0x01, 0x00, // structure version 1.0
        0x08, 0x00, 0x00, 0x00, // file version 0.8
        0x00, 0x00, 0x01, 0x00, //   .1.0
        0x08, 0x00, 0x00, 0x00, // product version 0.8
        0x00, 0x00, 0x01, 0x00, //   .1.0
    };
    EXPECT_EQ(Bytes(fixed.begin(), fixed.begin() + 24), want);
    EXPECT_EQ(info.QueryValue("\\VarFileInfo\\Translation"), (Bytes{0x11, 0x04, 0xA4, 0x03}));
}

TEST(TFileVersionInfo, VersionParts)
{
    struct Row
    {
        const char *name;
        std::string fileVersion;
        std::string wantMajor, wantMinor, wantRelease, wantText;
    };
    const Row rows[] = {
        {"program's version", "0.8.1.0", "0", "8", "1", "0.81"},
        {"three parts", "1.2.3", "1", "2", "3", "1.23"},
        {"fourth part ignored", "1.2.3.4", "1", "2", "3", "1.23"},
        {"blanks after points skipped", "1. 2. 3", "1", "2", "3", "1.23"},
        {"blank before a point kept", "1 .2.3", "1 ", "2", "3", "1 .23"},
        {"empty part dropped", "1..2.3", "1", "2", "3", "1.23"},
        {"two-digit parts", "10.11.12", "10", "11", "12", "10.1112"},
    };
    test::TempDir dir;
    for (const auto &row : rows) {
        const std::string path = dir.write(
            row.name, platform::BuildVersionResource(test::ResourceContent(row.fileVersion)));
        auto info = Reader(path);
        EXPECT_EQ(info.MajorVersion(), row.wantMajor) << row.name;
        EXPECT_EQ(info.MinorVersion(), row.wantMinor) << row.name;
        EXPECT_EQ(info.ReleaseNumber(), row.wantRelease) << row.name;
        EXPECT_EQ(VersionText(info), row.wantText) << row.name;
    }
}

TEST(TFileVersionInfo, TooFewVersionPartsRaiseListIndexError)
{
    struct Row
    {
        const char *name;
        std::string fileVersion;
        std::string want;
    };
    const Row rows[] = {
        {"two parts", "1.2", "リストのインデックスが範囲を超えています (2)"},
        {"one part", "1", "リストのインデックスが範囲を超えています (1)"},
        {"empty", "", "リストのインデックスが範囲を超えています (0)"},
        {"points only", " . .", "リストのインデックスが範囲を超えています (0)"},
    };
    test::TempDir dir;
    for (const auto &row : rows) {
        const std::string path = dir.write(
            row.name, platform::BuildVersionResource(test::ResourceContent(row.fileVersion)));
        auto info = Reader(path);
        EXPECT_EQ(test::ResultOrError([&] { return VersionText(info); }), row.want) << row.name;
    }
}

TEST(TFileVersionInfo, TranslationChoice)
{
    using T = platform::VersionTranslation;
    struct Row
    {
        const char *name;
        std::vector<T> translations;
        std::uint16_t user;
        std::string want;
    };
    const Row rows[] = {
        {"single entry, other user", {{0x0411, 0x03A4}}, kEnglishUS, "041103A4"},
        {"single entry, same user", {{0x0409, 0x04E4}}, kEnglishUS, "040904E4"},
        {"second matches", {{0x0409, 0x04E4}, {0x0411, 0x03A4}}, kJapanese, "041103A4"},
        {"first matches", {{0x0409, 0x04E4}, {0x0411, 0x03A4}}, kEnglishUS, "040904E4"},
        {"none matches", {{0x0409, 0x04E4}, {0x0411, 0x03A4}}, kGerman, "040904E4"},
        {"none matches, order kept", {{0x0411, 0x03A4}, {0x0409, 0x04E4}}, kGerman, "041103A4"},
        {"last match wins",
         {{0x0409, 0x04E4}, {0x0411, 0x03A4}, {0x0411, 0x04B0}},
         kJapanese,
         "041104B0"},
        {"capital hex digits", {{0x0C0A, 0x04E4}}, kGerman, "0C0A04E4"},
    };
    test::TempDir dir;
    for (const auto &row : rows) {
        const std::string path = dir.write(
            row.name,
            platform::BuildVersionResource(test::ResourceContent("1.2.3", row.translations)));
        auto info = Reader(path, row.user);
        EXPECT_EQ(info.TranslationKey(), row.want) << row.name;
        // Each table's CompanyName is its own key.
        EXPECT_EQ(info.KeyValue(0), row.want) << row.name;
    }
}

TEST(TFileVersionInfo, EmptyTranslationListGivesEmptyKey)
{
    test::TempDir dir;
    const std::string path =
        dir.write("empty", platform::BuildVersionResource(test::ResourceContent("1.2.3", {})));
    auto info = Reader(path);
    EXPECT_EQ(info.TranslationKey(), "");
    EXPECT_EQ(ErrorText([&] { info.KeyValue(2); }), kNameNotFound);
}

TEST(TFileVersionInfo, GeneratorWrittenFileWithTwoTranslations)
{
    struct Row
    {
        const char *name;
        std::uint16_t user;
        std::string wantKey, wantDescription, wantText;
    };
    const Row rows[] = {
        {"Japanese user", kJapanese, "041103A4", "天体高度計算ソフト", "2.01"},
        {"American user", kEnglishUS, "040904E4", "Altitude calculator", "2.00"},
        {"German user", kGerman, "040904E4", "Altitude calculator", "2.00"},
    };
    for (const auto &row : rows) {
        auto info = Reader(DataFile("two-translations.bin"), row.user);
        EXPECT_EQ(info.TranslationKey(), row.wantKey) << row.name;
        EXPECT_EQ(info.KeyValue(1), row.wantDescription) << row.name;
        EXPECT_EQ(VersionText(info), row.wantText) << row.name;
    }
}

TEST(TFileVersionInfo, ReadingErrors)
{
    test::TempDir dir;
    const std::string noResource = dir.write("plain.txt", Bytes{'a', 'b', 'c'});
    const std::string resource =
        dir.write("version.bin", platform::BuildVersionResource(test::ResourceContent("1.2.3")));
    struct Row
    {
        const char *name;
        std::string file;
        std::function<void(TFileVersionInfo &)> call;
        std::string want;
    };
    const Row rows[] = {
        {"missing file", dir.file("missing.exe"), [](auto &i) { i.TranslationKey(); },
         "QueryVersionInfo:No such file or directory"},
        {"empty file name", "", [](auto &i) { i.TranslationKey(); },
         "QueryVersionInfo:No such file or directory"},
        {"folder", dir.file(""), [](auto &i) { i.QueryValue("\\"); },
         "QueryVersionInfo:Is a directory"},
        {"file without a resource", noResource, [](auto &i) { VersionText(i); }, kTypeNotFound},
        {"path not in the block", resource, [](auto &i) { i.QueryValue("\\StringFileInfo\\x"); },
         kNameNotFound},
        {"key not in the table", resource, [](auto &i) { i.StringValue("Comments"); },
         kNameNotFound},
        {"key index 8", resource, [](auto &i) { i.KeyValue(8); }, "Range check error"},
        {"key index -1", resource, [](auto &i) { i.KeyValue(-1); }, "Range check error"},
    };
    for (const auto &row : rows) {
        auto info = Reader(row.file);
        EXPECT_EQ(ErrorText([&] { row.call(info); }), row.want) << row.name;
    }
}

TEST(TFileVersionInfo, NoVarFileInfoIsAReadingError)
{
    auto content = test::ResourceContent("1.2.3");
    content.translations.reset();
    test::TempDir dir;
    auto info = Reader(dir.write("no-var", platform::BuildVersionResource(content)));
    EXPECT_EQ(ErrorText([&] { info.TranslationKey(); }), kNameNotFound);
}

TEST(TFileVersionInfo, BlockIsLoadedOnceAtTheFirstQuery)
{
    test::TempDir dir;
    const std::string first =
        dir.write("first", platform::BuildVersionResource(test::ResourceContent("1.2.3")));
    auto info = Reader(first);
    EXPECT_EQ(VersionText(info), "1.23");

    // Neither a new file name nor the file's removal changes what is read.
    info.SetFileName(dir.file("missing"));
    std::filesystem::remove(first);
    EXPECT_EQ(VersionText(info), "1.23");
}

TEST(TFileVersionInfo, FailedLoadIsRetriedAtTheNextQuery)
{
    test::TempDir dir;
    auto info = Reader(dir.file("late"));
    EXPECT_EQ(ErrorText([&] { info.TranslationKey(); }),
              "QueryVersionInfo:No such file or directory");
    dir.write("late", platform::BuildVersionResource(test::ResourceContent("4.5.6")));
    EXPECT_EQ(VersionText(info), "4.56");
}

// This test program's own image with its version section renamed, so that
// the resource is found by scanning, and with every copy of the resource's
// bytes cleared (the debugging information holds one too), so that nothing
// else in the program, the scanner's search key among it, may be taken for a
// resource.
TEST(TFileVersionInfo, ExecutableWithoutTheVersionSection)
{
    std::error_code ec;
    const Bytes image = test::ReadBytes(platform::RunningExecutablePath(ec));
    ASSERT_FALSE(ec) << ec.message();
    const auto section = platform::FindElfSection(image, platform::kVersionSectionName);
    const auto names = platform::FindElfSection(image, ".shstrtab");
    ASSERT_TRUE(section && names);

    Bytes renamed = image;
    const std::string_view nameTable(reinterpret_cast<const char *>(names->data()), names->size());
    const std::size_t name = nameTable.find(platform::kVersionSectionName);
    ASSERT_NE(name, std::string_view::npos);
    renamed[static_cast<std::size_t>(names->data() - image.data()) + name + 1] = 'M';

    Bytes cleared = image;
    const Bytes resource(section->begin(), section->end());
    for (auto at = cleared.begin();
         (at = std::search(at, cleared.end(), resource.begin(), resource.end())) != cleared.end();)
        at = std::fill_n(at, resource.size(), 0);

    struct Row
    {
        const char *name;
        const Bytes &image;
        std::string want;
    };
    const Row rows[] = {
        {"section renamed: found by scanning", renamed, "0.81"},
        {"section cleared: nothing else taken for a resource", cleared, kTypeNotFound},
    };
    test::TempDir dir;
    for (const auto &row : rows) {
        auto info = Reader(dir.write(row.name, row.image));
        EXPECT_EQ(test::ResultOrError([&] { return VersionText(info); }), row.want) << row.name;
    }
}

} // namespace
} // namespace mirado
