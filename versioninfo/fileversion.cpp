// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileversion.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <limits>
#include <map>
#include <string>
#include <vector>

#ifndef _WIN32
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

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

// Where a section's contents lie in an ELF image: bytes from its start.
struct ElfPlace
{
    std::uint64_t offset, size;
};

// A file image held in memory whole.
class SpanImage
{
public:
    explicit SpanImage(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::uint64_t size() const { return bytes_.size(); }
    // The `count` bytes at `at`, or nothing when they reach past the end.
    std::optional<std::span<const std::uint8_t>> read(std::uint64_t at, std::size_t count) const
    {
        if (at > bytes_.size() || bytes_.size() - at < count)
            return std::nullopt;
        return bytes_.subspan(at, count);
    }

private:
    std::span<const std::uint8_t> bytes_;
};

// Reads unsigned integers of either byte order from an image (SpanImage or
// FileImage); a read past the end yields nothing.
template <class Image> class ByteReader
{
public:
    ByteReader(const Image &image, bool bigEndian) : image_(image), bigEndian_(bigEndian) {}

    std::optional<std::uint64_t> read(std::uint64_t at, std::size_t size) const
    {
        const auto bytes = image_.read(at, size);
        if (!bytes)
            return std::nullopt;
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < size; ++i) {
            const std::uint8_t byte = (*bytes)[bigEndian_ ? i : size - 1 - i];
            value = (value << 8) | byte;
        }
        return value;
    }

private:
    const Image &image_;
    bool bigEndian_;
};

// Where the section named `name` lies in an ELF image, for FindElfSection.
// Only the file header, the section headers and the names looked at are read.
template <class Image>
std::optional<ElfPlace> LocateElfSection(const Image &image, std::string_view name)
{
    constexpr std::uint8_t kMagic[] = {0x7F, 'E', 'L', 'F'};
    const auto ident = image.read(0, kElfDataAt + 1);
    if (!ident || !std::equal(std::begin(kMagic), std::end(kMagic), ident->begin()))
        return std::nullopt;
    const std::uint8_t elfClass = (*ident)[kElfClassAt];
    if (elfClass != kElfClass32 && elfClass != kElfClass64)
        return std::nullopt;
    const ElfLayout &elf = elfClass == kElfClass64 ? kElf64 : kElf32;
    const ByteReader in(image, (*ident)[kElfDataAt] == kElfDataBigEndian);

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
    const auto contents = [&](const Section &s) -> std::optional<ElfPlace> {
        if (s.type == kSectionTypeNoBits || s.offset > image.size() ||
            image.size() - s.offset < s.size)
            return std::nullopt;
        return ElfPlace{s.offset, s.size};
    };

    const auto names = sectionAt(*shstrndx);
    const auto nameTable = names ? contents(*names) : std::nullopt;
    if (!nameTable)
        return std::nullopt;
    for (std::uint64_t i = 0; i < *shnum; ++i) {
        const auto section = sectionAt(i);
        if (!section || section->nameAt >= nameTable->size)
            continue;
        // Only the name's length and its NUL are looked at: up to 65535
        // headers may all point into one long stretch without a NUL, and
        // searching it for each of them would take hours on a large file.
        const std::uint64_t length =
            std::min<std::uint64_t>(nameTable->size - section->nameAt, name.size() + 1);
        const auto rest = image.read(nameTable->offset + section->nameAt, length);
        if (!rest)
            continue;
        const std::string_view sectionName(reinterpret_cast<const char *>(rest->data()),
                                           rest->size());
        if (sectionName.size() == name.size() + 1 && sectionName.starts_with(name) &&
            sectionName.back() == '\0')
            return contents(*section);
    }
    return std::nullopt;
}

#ifndef _WIN32

// A regular file read piece by piece as the pieces are asked for, in blocks
// kept until the image goes, so that finding a section in a large program
// file reads a few pages of it rather than the whole file.
class FileImage
{
public:
    static constexpr std::uint64_t kBlockBytes = 64 * 1024;

    FileImage(int fd, std::uint64_t size) : fd_(fd), size_(size) {}

    std::uint64_t size() const { return size_; }
    // The `count` bytes at `at`, or nothing when they reach past the end or
    // cannot be read. They stay valid until the next read.
    std::optional<std::span<const std::uint8_t>> read(std::uint64_t at, std::size_t count) const
    {
        if (at > size_ || size_ - at < count)
            return std::nullopt;
        const auto after = blocks_.upper_bound(at);
        if (after != blocks_.begin()) {
            const auto &[start, bytes] = *std::prev(after);
            if (at - start <= bytes.size() && bytes.size() - (at - start) >= count)
                return std::span<const std::uint8_t>(bytes).subspan(at - start, count);
        }
        // The block around the piece, reaching on to its end; a piece that
        // starts where a block is kept is read alone.
        const std::uint64_t start = at / kBlockBytes * kBlockBytes;
        const std::uint64_t length =
            std::min(size_ - start, std::max(kBlockBytes, at - start + count));
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(length));
        if (!ReadAt(start, bytes))
            return std::nullopt;
        const auto [block, placed] = blocks_.try_emplace(start, std::move(bytes));
        if (!placed) {
            piece_ = std::move(bytes);
            return std::span<const std::uint8_t>(piece_).subspan(at - start, count);
        }
        return std::span<const std::uint8_t>(block->second).subspan(at - start, count);
    }

private:
    bool ReadAt(std::uint64_t at, std::span<std::uint8_t> bytes) const
    {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::pread(fd_, bytes.data() + done, bytes.size() - done,
                                      static_cast<off_t>(at + done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return false;
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

    int fd_;
    std::uint64_t size_;
    mutable std::map<std::uint64_t, std::vector<std::uint8_t>> blocks_;
    mutable std::vector<std::uint8_t> piece_;
};

// The valid version resource in the ELF section kVersionSectionName of the
// file, read without the rest of the file; nothing when the file cannot be
// opened, is no regular file, no ELF file, or has no valid resource there.
std::optional<std::vector<std::uint8_t>> ReadVersionSection(const std::filesystem::path &file)
{
    // Opened as the whole file would be: without waiting on a FIFO.
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info
    {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0)
        return std::nullopt;
    const FileImage image(fd, static_cast<std::uint64_t>(info.st_size));
    const auto place = LocateElfSection(image, kVersionSectionName);
    if (!place || place->size > std::numeric_limits<std::size_t>::max())
        return std::nullopt;
    const auto section = image.read(place->offset, static_cast<std::size_t>(place->size));
    if (!section)
        return std::nullopt;
    const std::size_t length = VersionResourceLengthAt(*section, 0);
    if (length == 0)
        return std::nullopt;
    return std::vector<std::uint8_t>(section->begin(), section->begin() + length);
}

#endif

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

// The file's version resource, copied out of it. A program file's own
// section is read alone; any other file is read whole and scanned.
std::vector<std::uint8_t> ReadVersionResource(const std::filesystem::path &file,
                                              std::error_code &ec)
{
    ec.clear();
#ifndef _WIN32
    if (auto section = ReadVersionSection(file))
        return std::move(*section);
#endif
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
    const auto place = LocateElfSection(SpanImage(image), name);
    if (!place)
        return std::nullopt;
    return image.subspan(place->offset, place->size);
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

std::vector<std::uint8_t> ReadFileVersionInfo(const std::filesystem::path &file,
                                              std::error_code &ec)
{
    return ReadVersionResource(file, ec);
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
