// SPDX-License-Identifier: GPL-3.0-or-later
#include "site.h"

#include <cstdio>
#include <filesystem>
#include <system_error>
#include <vector>

#include "convert.h"
#include "errors.h"
#include "fields.h"
#include "lines.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace mirado {

namespace {

constexpr const char *kLineEnd = "\r\n";

// Flushes a written file to the disk before it replaces the old one.
bool SyncFile(std::FILE *file)
{
    if (std::fflush(file) != 0)
        return false;
#ifdef _WIN32
    return _commit(_fileno(file)) == 0;
#else
    return fsync(fileno(file)) == 0;
#endif
}

} // namespace

SiteValues DefaultSite()
{
    return SiteValues{kDefaultLongitude, kDefaultLatitude, kDefaultTimeZone, {}};
}

bool ReadSiteFile(const std::string &path, SiteValues &site, char decimalSeparator)
{
    std::error_code ec;
    if (!std::filesystem::exists(std::filesystem::path(path), ec)) {
        site = DefaultSite();
        return false;
    }

    std::vector<std::string> lines;
    ReadLines(path, lines);
    site.longitude = StrToFloat(ListItem(lines, 0), decimalSeparator);
    site.latitude = StrToFloat(ListItem(lines, 1), decimalSeparator);
    site.timeZone = StrToFloat(ListItem(lines, 2), decimalSeparator);
    site.cataloguePath = ListItem(lines, 3);
    return true;
}

std::string FormatSiteFile(const SiteValues &site, char decimalSeparator)
{
    std::string text;
    for (const double value : {site.longitude, site.latitude, site.timeZone})
        text += FloatToStr(value, decimalSeparator) + kLineEnd;
    text += site.cataloguePath + kLineEnd;
    return text;
}

void WriteSiteFile(const std::string &path, const SiteValues &site, char decimalSeparator)
{
    const std::string text = FormatSiteFile(site, decimalSeparator);
    const std::string temporary = path + ".tmp";

    // Write the temporary file in full.
    bool written = false;
    if (std::FILE *file = std::fopen(temporary.c_str(), "wb")) {
        written = std::fwrite(text.data(), 1, text.size(), file) == text.size();
        written = SyncFile(file) && written;
        written = std::fclose(file) == 0 && written;
    }

    // Put it in place of the old file.
    std::error_code ec;
    if (written)
        std::filesystem::rename(std::filesystem::path(temporary), std::filesystem::path(path), ec);
    if (!written || ec) {
        std::filesystem::remove(std::filesystem::path(temporary), ec);
        ThrowCannotCreateFile(path);
    }
}

} // namespace mirado
