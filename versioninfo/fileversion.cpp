// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileversion.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "data/lines.h"
#include "systemerror.h"
#include "versionresource.h"

namespace mirado::platform {

namespace {

// ELF identification and header fields used here.
constexpr std::size_t kElfClassAt = 4;
constexpr std::size_t kElfDataAt = 5;
constexpr std::uint8_t kElfClass32 = 1;
constexpr std::uint8_t kElfClass64 = 2;
constexpr std::uint8_t kElfDataBigEndian = 2;
constexpr std::uint32_t kSectionTypeNoBits = 8; // SHT_NOBITS: no contents in the file

// Where the fields lie in the file header and in a section header, for one
// ELF class.
struct ElfLayout
{
    std::size_t shoffAt, shentsizeAt, shnumAt, shstrndxAt, addressSize;
    std::size_t nameAt, typeAt, offsetAt, sizeAt;
};
constexpr ElfLayout kElf32{0x20, 0x2E, 0x30, 0x32, 4, 0x00, 0x04, 0x10, 0x14};
constexpr ElfLayout kElf64{0x28, 0x3A, 0x3C, 0x3E, 8, 0x00, 0x04, 0x18, 0x20};

// Reads unsigned integers of either byte order; a read past the end yields
// nothing.
class ByteReader
{
public:
    ByteReader(std::span<const std::uint8_t> bytes, bool bigEndian)
        : bytes_(bytes), bigEndian_(bigEndian)
    {}

    std::optional<std::uint64_t> read(std::uint64_t at, std::size_t size) const
    {
        if (at > bytes_.size() || bytes_.size() - at < size)
            return std::nullopt;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const std::uint8_t byte = bytes_[at + (bigEndian_ ? i : size - 1 - i)];
            value = (value << 8) | byte;
        }
        return value;
    }

private:
    std::span<const std::uint8_t> bytes_;
    bool bigEndian_;
};

// The root key in UTF-16LE, built at run time so that this program's own
// image holds no copy of it for the scan to stop at.
std::vector<std::uint8_t> RootKeyPattern()
{
    std::vector<std::uint8_t> pattern;
    for (const char c : std::string_view("VS_VERSION_INFO")) {
        pattern.push_back(static_cast<std::uint8_t>(c));
        pattern.push_back(0);
    }
    return pattern;
}

constexpr std::size_t kRootKeyOffset = 6; // the key follows the root's header

std::optional<std::span<const std::uint8_t>>
ScanForVersionResource(std::span<const std::uint8_t> image)
{
    const std::vector<std::uint8_t> pattern = RootKeyPattern();
    const std::boyer_moore_horspool_searcher searcher(pattern.begin(), pattern.end());
    auto from = image.begin();
    for (;;) {
        const auto hit = std::search(from, image.end(), searcher);
        if (hit == image.end())
            return std::nullopt;
        const auto at = static_cast<std::size_t>(hit - image.begin());
        if (at >= kRootKeyOffset) {
            if (const std::size_t length = VersionResourceLengthAt(image, at - kRootKeyOffset))
                return image.subspan(at - kRootKeyOffset, length);
        }
        from = hit + 1;
    }
}

// The file's version resource, copied out of it.
std::vector<std::uint8_t> ReadVersionResource(const std::filesystem::path &file,
                                              std::error_code &ec)
{
    const std::string image = ReadFileBytes(file.string(), ec);
    if (ec)
        return {};
    const auto resource =
        FindVersionResource({reinterpret_cast<const std::uint8_t *>(image.data()), image.size()});
    if (!resource) {
        ec = VersionResourceErrc::ResourceTypeNotFound;
        return {};
    }
    return {resource->begin(), resource->end()};
}

} // namespace

std::optional<std::span<const std::uint8_t>> FindElfSection(std::span<const std::uint8_t> image,
                                                            std::string_view name)
{
    constexpr std::uint8_t kMagic[] = {0x7F, 'E', 'L', 'F'};
    if (image.size() <= kElfDataAt ||
        !std::equal(std::begin(kMagic), std::end(kMagic), image.begin()))
        return std::nullopt;
    const std::uint8_t elfClass = image[kElfClassAt];
    if (elfClass != kElfClass32 && elfClass != kElfClass64)
        return std::nullopt;
    const ElfLayout &elf = elfClass == kElfClass64 ? kElf64 : kElf32;
    const ByteReader in(image, image[kElfDataAt] == kElfDataBigEndian);

    const auto shoff = in.read(elf.shoffAt, elf.addressSize);
    const auto shentsize = in.read(elf.shentsizeAt, 2);
    const auto shnum = in.read(elf.shnumAt, 2);
    const auto shstrndx = in.read(elf.shstrndxAt, 2);
    if (!shoff || !shentsize || !shnum || !shstrndx || *shstrndx >= *shnum)
        return std::nullopt;

    struct Section
    {
        std::uint64_t nameAt, type, offset, size;
    };
    const auto sectionAt = [&](std::uint64_t index) -> std::optional<Section> {
        const std::uint64_t header = *shoff + index * *shentsize;
        const auto nameAt = in.read(header + elf.nameAt, 4);
        const auto type = in.read(header + elf.typeAt, 4);
        const auto offset = in.read(header + elf.offsetAt, elf.addressSize);
        const auto size = in.read(header + elf.sizeAt, elf.addressSize);
        if (!nameAt || !type || !offset || !size)
            return std::nullopt;
        return Section{*nameAt, *type, *offset, *size};
    };
    const auto contents = [&](const Section &s) -> std::optional<std::span<const std::uint8_t>> {
        if (s.type == kSectionTypeNoBits || s.offset > image.size() ||
            image.size() - s.offset < s.size)
            return std::nullopt;
        return image.subspan(s.offset, s.size);
    };

    const auto names = sectionAt(*shstrndx);
    const auto nameTable = names ? contents(*names) : std::nullopt;
    if (!nameTable)
        return std::nullopt;
    for (std::uint64_t i = 0; i < *shnum; ++i) {
        const auto section = sectionAt(i);
        if (!section || section->nameAt >= nameTable->size())
            continue;
        // Only the name's length and its NUL are looked at: up to 65535
        // headers may all point into one long stretch without a NUL, and
        // searching it for each of them would take hours on a large file.
        const auto rest = nameTable->subspan(section->nameAt);
        const std::string_view sectionName(reinterpret_cast<const char *>(rest.data()),
                                           std::min(rest.size(), name.size() + 1));
        if (sectionName.size() == name.size() + 1 && sectionName.starts_with(name) &&
            sectionName.back() == '\0')
            return contents(*section);
    }
    return std::nullopt;
}

std::optional<std::span<const std::uint8_t>>
FindVersionResource(std::span<const std::uint8_t> image)
{
    if (const auto section = FindElfSection(image, kVersionSectionName)) {
        if (const std::size_t length = VersionResourceLengthAt(*section, 0))
            return section->first(length);
    }
    return ScanForVersionResource(image);
}

std::uint32_t FileVersionInfoSize(const std::filesystem::path &file, std::error_code &ec)
{
    return static_cast<std::uint32_t>(ReadVersionResource(file, ec).size());
}

void LoadFileVersionInfo(const std::filesystem::path &file, std::span<std::uint8_t> buffer,
                         std::error_code &ec)
{
    const std::vector<std::uint8_t> resource = ReadVersionResource(file, ec);
    if (ec)
        return;
    std::copy_n(resource.begin(), std::min(resource.size(), buffer.size()), buffer.begin());
}

} // namespace mirado::platform
