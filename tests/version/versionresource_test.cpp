// SPDX-License-Identifier: GPL-3.0-or-later
#include "versioninfo/versionresource.h"

#include <algorithm>
#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>

#include "version_test_files.h"
#include "versioninfo/fileversion.h"
#include "versioninfo/paths.h"
#include "versioninfo/systemerror.h"

namespace mirado::platform {
namespace {

using test::Bytes;

// File version 1.2.3.4, product version 5.6.7.8, one string "A" = "xy" in
// table 040904B0 and one translation 0x0409/0x04B0.
VersionResourceContent SmallContent()
{
    VersionResourceContent content;
    content.fileVersion = {1, 2, 3, 4};
    content.productVersion = {5, 6, 7, 8};
    content.stringTables = {{"040904B0", {{"A", "xy"}}}};
    content.translations = {{{0x0409, 0x04B0}}};
    return content;
}

std::uint16_t WordAt(const Bytes &bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

// The offsets follow the resource compiler's layout: every node on a DWORD
// boundary, wLength without the padding after the node, a string's value
// length in UTF-16 units with its NUL.
TEST(BuildVersionResource, LaysOutNodesAsTheResourceCompilerDoes)
{
    const Bytes bytes = BuildVersionResource(SmallContent());
    ASSERT_EQ(bytes.size(), 240u);
    struct Row
    {
        const char *name;
        std::size_t offset;
        std::uint16_t want;
    };
    const Row rows[] = {
        {"root wLength", 0, 240},
        {"root wValueLength", 2, 52},
        {"root wType binary", 4, 0},
        {"root key starts", 6, u'V'},
        {"root key NUL", 36, 0},
        {"padding before fixed info", 38, 0},
        {"signature low", 40, 0x04BD},
        {"signature high", 42, 0xFEEF},
        {"structure version", 46, 1},
        {"file version minor", 48, 2},
        {"file version major", 50, 1},
        {"file version tweak", 52, 4},
        {"file version patch", 54, 3},
        {"product version minor", 56, 6},
        {"product version major", 58, 5},
        {"product version tweak", 60, 8},
        {"product version patch", 62, 7},
        {"file flags mask", 64, 0x3F},
        {"file OS low", 72, 0x0004},
        {"file OS high", 74, 0x0004},
        {"file type application", 76, 1},
        {"StringFileInfo wLength", 92, 78},
        {"StringFileInfo wValueLength", 94, 0},
        {"StringFileInfo wType text", 96, 1},
        {"StringFileInfo key", 98, u'S'},
        {"table wLength", 128, 42},
        {"table key", 134, u'0'},
        {"string wLength without padding", 152, 18},
        {"string wValueLength with NUL", 154, 3},
        {"string wType text", 156, 1},
        {"string key", 158, u'A'},
        {"string key NUL", 160, 0},
        {"string value after padding", 164, u'x'},
        {"string value NUL", 168, 0},
        {"VarFileInfo on next DWORD", 172, 68},
        {"VarFileInfo wType text", 176, 1},
        {"Translation wLength", 204, 36},
        {"Translation wValueLength in bytes", 206, 4},
        {"Translation wType binary", 208, 0},
        {"Translation language", 236, 0x0409},
        {"Translation code page", 238, 0x04B0},
    };
    for (const auto &row : rows)
        EXPECT_EQ(WordAt(bytes, row.offset), row.want) << row.name;
}

TEST(BuildVersionResource, UnicodeTextInUtf16)
{
    auto content = SmallContent();
    content.stringTables[0].strings = {{"D", "天体𝄞"}};
    const Bytes bytes = BuildVersionResource(content);
    std::error_code ec;
    const auto value = QueryVersionValue(bytes, "\\StringFileInfo\\040904B0\\D", ec);
    ASSERT_FALSE(ec) << ec.message();
    const Bytes want = {0x29, 0x59, 0x53, 0x4F, 0x34, 0xD8, 0x1E, 0xDD, 0x00, 0x00};
    EXPECT_EQ(Bytes(value.begin(), value.end()), want);
}

TEST(QueryVersionValue, Paths)
{
    const Bytes block = BuildVersionResource(SmallContent());
    struct Row
    {
        const char *name;
        std::string path;
        std::size_t wantSize; // bytes; ignored when an error is wanted
        std::error_code wantError;
    };
    const std::error_code none;
    const std::error_code notFound = VersionResourceErrc::ResourceNameNotFound;
    const Row rows[] = {
        {"root", "\\", 52, none},
        {"empty path is the root", "", 52, none},
        {"translation", "\\VarFileInfo\\Translation", 4, none},
        {"keys ignore case", "\\varfileinfo\\TRANSLATION", 4, none},
        {"no leading backslash", "VarFileInfo\\Translation", 4, none},
        {"trailing backslash", "\\VarFileInfo\\Translation\\", 4, none},
        {"string value with NUL", "\\StringFileInfo\\040904b0\\a", 6, none},
        {"block without value", "\\StringFileInfo", 0, none},
        {"missing string", "\\StringFileInfo\\040904B0\\B", 0, notFound},
        {"missing table", "\\StringFileInfo\\041103A4\\A", 0, notFound},
        {"key prefix is no match", "\\VarFileInfo\\Trans", 0, notFound},
        {"key at the wrong level", "\\Translation", 0, notFound},
        {"below a leaf", "\\VarFileInfo\\Translation\\x", 0, notFound},
    };
    for (const auto &row : rows) {
        std::error_code ec;
        const auto value = QueryVersionValue(block, row.path, ec);
        EXPECT_EQ(ec, row.wantError) << row.name;
        if (!row.wantError) {
            EXPECT_EQ(value.size(), row.wantSize) << row.name;
        }
    }
}

TEST(QueryVersionValue, BlockThatIsNoResource)
{
    const Bytes block(100, 0);
    std::error_code ec;
    QueryVersionValue(block, "\\", ec);
    EXPECT_EQ(ec, VersionResourceErrc::ResourceTypeNotFound);
}

Bytes WithWord(Bytes bytes, std::size_t at, std::uint16_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
    return bytes;
}

TEST(FindVersionResource, ScanValidatesTheHeader)
{
    const Bytes resource = BuildVersionResource(SmallContent());
    const Bytes junk = {'M', 'Z', 0x90}; // odd length: the resource lies unaligned
    const Bytes keyOnly = {'V', 0, 'S', 0, '_', 0, 'V', 0, 'E', 0, 'R', 0, 'S', 0, 'I', 0,
                           'O', 0, 'N', 0, '_', 0, 'I', 0, 'N', 0, 'F', 0, 'O', 0, 0,   0};
    struct Row
    {
        const char *name;
        Bytes image;
        std::optional<std::size_t> wantOffset;
    };
    const Row rows[] = {
        {"resource alone", resource, 0},
        {"after junk, unaligned", test::Concat(junk, resource, junk), junk.size()},
        {"after a bare key", test::Concat(keyOnly, resource), keyOnly.size()},
        {"bare key only", test::Concat(junk, keyOnly), std::nullopt},
        {"wrong signature", WithWord(resource, 42, 0xFEEE), std::nullopt},
        {"wrong value length", WithWord(resource, 2, 51), std::nullopt},
        {"text type", WithWord(resource, 4, 1), std::nullopt},
        {"padding not zero", WithWord(resource, 38, 1), std::nullopt},
        {"length beyond the file", WithWord(resource, 0, 241), std::nullopt},
        {"length below the header", WithWord(resource, 0, 91), std::nullopt},
        {"cut short", Bytes(resource.begin(), resource.begin() + 91), std::nullopt},
        {"empty", {}, std::nullopt},
    };
    for (const auto &row : rows) {
        const auto found = FindVersionResource(row.image);
        ASSERT_EQ(found.has_value(), row.wantOffset.has_value()) << row.name;
        if (found) {
            EXPECT_EQ(static_cast<std::size_t>(found->data() - row.image.data()), *row.wantOffset)
                << row.name;
            EXPECT_EQ(found->size(), resource.size()) << row.name;
        }
    }
}

TEST(FindElfSection, RunningProgram)
{
    std::error_code ec;
    const Bytes image = test::ReadBytes(RunningExecutablePath(ec));
    ASSERT_FALSE(ec) << ec.message();

    const auto section = FindElfSection(image, kVersionSectionName);
    ASSERT_TRUE(section.has_value());
    EXPECT_GT(VersionResourceLengthAt(*section, 0), 0u);
    EXPECT_FALSE(FindElfSection(image, ".mirado_none").has_value());
    EXPECT_FALSE(FindElfSection(image, ".mirado").has_value()) << "a prefix is no match";
    EXPECT_FALSE(FindElfSection(BuildVersionResource(SmallContent()), ".text").has_value());
}

// A 64-bit little-endian ELF image of `size` bytes whose 65535 section
// headers are all one header (an entry size of 0), naming the section at the
// start of a name table that fills the rest of the image: `names` and then
// 'A' bytes to the end, with no NUL unless `names` has one.
Bytes ElfWithOneNameTable(const std::string &names, std::size_t size)
{
    constexpr std::size_t kHeaderAt = 64;
    constexpr std::size_t kTableAt = 128;
    Bytes image(size, 'A');
    const auto put = [&](std::size_t at, std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            image[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    std::fill(image.begin(), image.begin() + kTableAt, 0);
    const std::uint8_t ident[] = {0x7F, 'E', 'L', 'F', 2, 1, 1};
    std::copy(std::begin(ident), std::end(ident), image.begin());
    put(0x28, kHeaderAt, 8); // section headers
    put(0x3A, 0, 2);         // entry size
    put(0x3C, 0xFFFF, 2);    // count
    put(0x3E, 0, 2);         // the name table's index
    put(kHeaderAt + 0x04, 1, 4);
    put(kHeaderAt + 0x18, kTableAt, 8);
    put(kHeaderAt + 0x20, size - kTableAt, 8);
    std::copy(names.begin(), names.end(), image.begin() + kTableAt);
    return image;
}

TEST(FindElfSection, LongNameTableWithoutNulIsNotSearchedForEachHeader)
{
    constexpr std::size_t kSize = 16 << 20;
    const std::string name(kVersionSectionName);
    struct Row
    {
        const char *name;
        std::string names;
        bool found;
    };
    const Row rows[] = {
        {"no NUL anywhere", "", false},
        {"the name running on", name, false},
        {"the name and its NUL", name + '\0', true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const Bytes image = ElfWithOneNameTable(row.names, kSize);
        const auto start = std::chrono::steady_clock::now();
        const auto section = FindElfSection(image, kVersionSectionName);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(section.has_value(), row.found);
        if (section) {
            EXPECT_EQ(section->size(), kSize - 128);
        }
    }
}

TEST(FileVersionInfoSize, SizeAndLoad)
{
    test::TempDir dir;
    const Bytes resource = BuildVersionResource(SmallContent());
    const std::string path = dir.write("v.bin", test::Concat({1, 2, 3}, resource, {4, 5}));

    std::error_code ec;
    ASSERT_EQ(FileVersionInfoSize(path, ec), resource.size());
    ASSERT_FALSE(ec);
    Bytes whole(resource.size());
    LoadFileVersionInfo(path, whole, ec);
    EXPECT_FALSE(ec);
    EXPECT_EQ(whole, resource);

    Bytes part(10, 0xEE);
    LoadFileVersionInfo(path, part, ec);
    EXPECT_EQ(part, Bytes(resource.begin(), resource.begin() + 10)) << "only what fits";

    EXPECT_EQ(FileVersionInfoSize(dir.file("none"), ec), 0u);
    EXPECT_EQ(ec, std::errc::no_such_file_or_directory);
}

// The bytes this process has read so far, where the system counts them.
std::optional<std::uint64_t> BytesReadSoFar()
{
    std::ifstream io("/proc/self/io");
    std::string key;
    std::uint64_t value = 0;
    while (io >> key >> value) {
        if (key == "rchar:")
            return value;
    }
    return std::nullopt;
}

// A 64-bit little-endian ELF image of `size` bytes: a name table at 64, three
// section headers at 256, `decoy` (another resource) at 512, and the section
// kVersionSectionName holding `contents` at `at`.
Bytes ElfImage(const Bytes &contents, std::size_t at, std::size_t size, const Bytes &decoy)
{
    const std::string names =
        std::string(1, '\0') + ".shstrtab" + '\0' + std::string(kVersionSectionName) + '\0';
    Bytes image(size, 0xA5);
    const auto put = [&](std::size_t where, std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            image[where + i] = static_cast<std::uint8_t>(value >> (8 * i));
    };
    std::fill_n(image.begin(), 512, 0);
    put(0, 0x01010246'4C457F, 7); // "\x7FELF", 64-bit, little-endian
    put(0x28, 256, 8);
    put(0x3A, 64, 2);
    put(0x3C, 3, 2);
    put(0x3E, 1, 2);
    std::copy(names.begin(), names.end(), image.begin() + 64);
    const std::size_t sections[2][3] = {{1, 64, names.size()}, {11, at, contents.size()}};
    for (std::size_t i = 0; i < 2; ++i) {
        const std::size_t header = 256 + 64 * (i + 1);
        put(header, sections[i][0], 4);
        put(header + 0x04, 1, 4); // contents in the file
        put(header + 0x18, sections[i][1], 8);
        put(header + 0x20, sections[i][2], 8);
    }
    std::copy(decoy.begin(), decoy.end(), image.begin() + 512);
    std::copy(contents.begin(), contents.end(), image.begin() + at);
    return image;
}

// A program file's valid section is read alone, wherever it lies among the
// blocks the file is read in; without one the whole file is scanned and the
// first resource in it found.
TEST(ReadFileVersionInfo, ReadsTheSectionAloneOrScansTheFile)
{
    constexpr std::size_t kSize = 8 << 20, kBlock = 64 << 10, kMostReadBytes = 512 << 10;
    test::TempDir dir;
    const Bytes section = BuildVersionResource(SmallContent());
    const Bytes decoy = BuildVersionResource(test::ResourceContent("9.9.9"));
    const struct
    {
        const char *name;
        Bytes contents;
        std::size_t at;
        const Bytes &want;
        bool whole;
    } rows[] = {
        {"in the first block", section, 2048, section, false},
        {"across a block boundary", section, kBlock - 40, section, false},
        {"in the middle of the file", section, kSize / 2 + 6, section, false},
        {"no resource in the section", Bytes(200, 0), 2048, decoy, true},
    };
    for (const auto &row : rows) {
        SCOPED_TRACE(row.name);
        const std::string path =
            dir.write("image.bin", ElfImage(row.contents, row.at, kSize, decoy));
        const auto before = BytesReadSoFar();
        std::error_code ec;
        EXPECT_TRUE(ReadFileVersionInfo(path, ec) == row.want);
        EXPECT_FALSE(ec) << ec.message();
        if (before) {
            const std::uint64_t read = *BytesReadSoFar() - *before;
            EXPECT_EQ(read >= kMostReadBytes, row.whole) << "read " << read << " of " << kSize;
        }
    }
}

} // namespace
} // namespace mirado::platform
