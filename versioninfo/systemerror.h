// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <system_error>

namespace mirado::platform {

// The failures of the version-resource services that are not file-system
// errors. The values are the Windows error codes of the same meaning.
enum class VersionResourceErrc
{
    // The file has no version resource.
    ResourceTypeNotFound = 1813,
    // The version resource has no value at the path asked for.
    ResourceNameNotFound = 1814,
};

const std::error_category &VersionResourceCategory();
std::error_code make_error_code(VersionResourceErrc e);

// The system's message text for an error code a platform service reported:
// strerror's text for errno values, Windows' wording for the codes above.
// Trailing blanks and line breaks are removed.
std::string SystemMessage(const std::error_code &ec);

} // namespace mirado::platform

template <> struct std::is_error_code_enum<mirado::platform::VersionResourceErrc> : std::true_type
{};
