// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>
#include <vector>

namespace mirado::platform {

// The ELF section that carries an executable's version resource on systems
// whose executables have no resource section of their own.
inline constexpr std::string_view kVersionSectionName = ".mirado_version";

// The contents of the section named `name` in an ELF file image (32 or 64
// bit, either byte order), or nothing when `image` is no ELF file or has no
// such section with contents in the file.
std::optional<std::span<const std::uint8_t>> FindElfSection(std::span<const std::uint8_t> image,
                                                            std::string_view name);

// The version resource in a file image: the one in the ELF section
// kVersionSectionName when that holds a valid resource, else the first valid
// resource found by scanning the whole image for the root's UTF-16 key (which
// also finds the resource of a Windows executable in its resource section).
std::optional<std::span<const std::uint8_t>>
FindVersionResource(std::span<const std::uint8_t> image);

// The file's version resource, read once: the bytes FileVersionInfoSize
// counts and LoadFileVersionInfo copies. Only the section is read from an ELF
// file that has a valid one; any other file is read whole. Sets `ec` as
// FileVersionInfoSize does.
std::vector<std::uint8_t> ReadFileVersionInfo(const std::filesystem::path &file,
                                              std::error_code &ec);

// The size in bytes of the file's version resource, as Windows'
// GetFileVersionInfoSize gives it; 0 with `ec` set when the file cannot be
// read (an errno value) or has no version resource (ResourceTypeNotFound).
std::uint32_t FileVersionInfoSize(const std::filesystem::path &file, std::error_code &ec);

// Copies the file's version resource into `buffer`, as much of it as fits, as
// Windows' GetFileVersionInfo does. Sets `ec` as FileVersionInfoSize does.
void LoadFileVersionInfo(const std::filesystem::path &file, std::span<std::uint8_t> buffer,
                         std::error_code &ec);

} // namespace mirado::platform
