// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace mirado::platform {

// A version resource in the binary layout of Windows' VS_VERSIONINFO: a tree
// of nodes, each a header (wLength, wValueLength, wType), a NUL-terminated
// UTF-16LE key, padding to a DWORD boundary, the value, padding again and the
// child nodes. The root's key is "VS_VERSION_INFO" and its value the 52-byte
// VS_FIXEDFILEINFO; below it "StringFileInfo" holds one string table per
// translation and "VarFileInfo\Translation" the list of translations.
//
// All integers are little-endian; DWORD boundaries are counted from the start
// of the resource.

inline constexpr std::uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
inline constexpr std::uint32_t kFixedFileInfoStrucVersion = 0x00010000;
inline constexpr std::uint16_t kFixedFileInfoSize = 52;
inline constexpr std::uint32_t kFileFlagsMaskAll = 0x3F; // VS_FFI_FILEFLAGSMASK
inline constexpr std::uint32_t kFileOsNtWindows32 = 0x00040004;
inline constexpr std::uint32_t kFileTypeApp = 1;

// A language identifier and a code page, one entry of "\VarFileInfo\Translation".
struct VersionTranslation
{
    std::uint16_t language = 0;
    std::uint16_t codePage = 0;
};

// The key of a translation's string table: language and code page as eight
// hexadecimal digits with capital letters, e.g. "041103A4".
std::string TranslationKeyText(VersionTranslation translation);

// One string table of "\StringFileInfo": its key and its name/value pairs in
// the order they are written. Names and values are UTF-8.
struct VersionStringTable
{
    std::string key;
    std::vector<std::pair<std::string, std::string>> strings;
};

// What a resource script's VERSIONINFO statement says.
struct VersionResourceContent
{
    // Four parts each, most significant first: 0.8.1.0 is {0, 8, 1, 0}.
    std::array<std::uint16_t, 4> fileVersion{};
    std::array<std::uint16_t, 4> productVersion{};
    std::uint32_t fileFlagsMask = kFileFlagsMaskAll;
    std::uint32_t fileFlags = 0;
    std::uint32_t fileOs = kFileOsNtWindows32;
    std::uint32_t fileType = kFileTypeApp;
    std::uint32_t fileSubtype = 0;
    // No "StringFileInfo" node when empty.
    std::vector<VersionStringTable> stringTables;
    // No "VarFileInfo" node when absent; an empty list gives a "Translation"
    // value of no bytes.
    std::optional<std::vector<VersionTranslation>> translations;
};

// Lays the content out byte for byte as Windows' resource compiler does: each
// node starts on a DWORD boundary; a node's wLength runs to the end of its
// last child (or value) without the padding after it; a string's wValueLength
// counts UTF-16 units including the terminating NUL, a binary value's counts
// bytes. Raises std::length_error when a node outgrows 65535 bytes.
std::vector<std::uint8_t> BuildVersionResource(const VersionResourceContent &content);

// The length of the version resource that starts at `offset` in `bytes`, or 0
// when there is none: wLength must fit the bytes and hold at least the root's
// header, wValueLength must be 52 and wType 0, the key "VS_VERSION_INFO"
// followed by zero padding, then the VS_FIXEDFILEINFO signature.
std::size_t VersionResourceLengthAt(std::span<const std::uint8_t> bytes, std::size_t offset);

// The value at `subBlock` in a loaded version resource, as Windows'
// VerQueryValue finds it: the path's components are separated by
// backslashes, each matched against the child keys without regard to ASCII
// case; "\" alone names the root, whose value is the VS_FIXEDFILEINFO. The
// result is the value's bytes (a string value's as UTF-16LE with its NUL).
// Sets `ec` to ResourceTypeNotFound when `block` is no version resource and
// to ResourceNameNotFound when the path is not in it.
std::span<const std::uint8_t> QueryVersionValue(std::span<const std::uint8_t> block,
                                                std::string_view subBlock, std::error_code &ec);

} // namespace mirado::platform
