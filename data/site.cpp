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
#include "replacefile.h"

namespace mirado {

namespace {

constexpr const char *kLineEnd = "\r\n";

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
    if (ReplaceFile(path, FormatSiteFile(site, decimalSeparator)))
        ThrowCannotCreateFile(path);
}

} // namespace mirado
