// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace mirado {

// The observing site and the catalogue to open at start, as `site.txt` holds
// them, one per line in this order.
struct SiteValues
{
    double longitude = 0.0;    // degrees, east positive
    double latitude = 0.0;     // degrees, north positive
    double timeZone = 0.0;     // hours ahead of universal time
    std::string cataloguePath; // verbatim; may be empty
};

inline constexpr const char *kSiteFileName = "site.txt";
inline constexpr double kDefaultLongitude = 135.0;
inline constexpr double kDefaultLatitude = 35.0;
inline constexpr double kDefaultTimeZone = 9.0;

// The site used when no site file exists.
SiteValues DefaultSite();

// Reads the site file at `path` into `site`. Returns false, with `site` set to
// the defaults, when no file exists there. Otherwise each value is stored right
// after its line converts, in file order, so an error (the file cannot be
// opened, a line is missing, a number does not convert) leaves the values
// before it set and the rest as they were.
bool ReadSiteFile(const std::string &path, SiteValues &site, char decimalSeparator);

// The four lines of the site file, numbers in the 15-digit general format.
std::string FormatSiteFile(const SiteValues &site, char decimalSeparator);

// Writes the site file at `path`, ending every line with CR LF. The file is
// replaced atomically: the text goes to a new temporary file of a unique name
// beside it, created exclusively, which is then renamed over it, so a failed
// save leaves the old file whole and a file planted under the temporary name
// is never written through. The new file keeps the old one's permissions.
// When `path` is a symbolic link, its target is replaced and the link kept.
// Raises "ファイル %s を作成できません" with `path` when that fails.
void WriteSiteFile(const std::string &path, const SiteValues &site, char decimalSeparator);

} // namespace mirado
