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
#include <cerrno>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mirado {

namespace {

constexpr const char *kLineEnd = "\r\n";

#ifdef _WIN32

// Flushes a written file to the disk before it replaces the old one.
bool SyncFile(std::FILE *file)
{
    if (std::fflush(file) != 0)
        return false;
    return _commit(_fileno(file)) == 0;
}

#endif

#ifndef _WIN32

constexpr int kMaxLinkDepth = 40;
constexpr int kMaxNameAttempts = 100;

// The file that `path` finally names when it is a symbolic link (or a chain
// of them); `path` itself otherwise.
std::filesystem::path LinkTarget(std::filesystem::path path, std::error_code &ec)
{
    for (int depth = 0; depth < kMaxLinkDepth; ++depth) {
        const std::filesystem::file_status status = std::filesystem::symlink_status(path, ec);
        if (status.type() == std::filesystem::file_type::not_found) {
            ec.clear();
            return path;
        }
        if (ec)
            return {};
        if (!std::filesystem::is_symlink(status))
            return path;
        std::filesystem::path next = std::filesystem::read_symlink(path, ec);
        if (ec)
            return {};
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    ec = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return {};
}

// Creates a new file "`base`.XXXXXX" with a random suffix, exclusively and
// without following a link; returns its descriptor (or -1) and its name.
int CreateUniqueFile(const std::string &base, std::string &name)
{
    static constexpr char kLetters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device device;
    std::mt19937_64 random(device());
    std::uniform_int_distribution<std::size_t> letter(0, sizeof kLetters - 2);
    for (int attempt = 0; attempt < kMaxNameAttempts; ++attempt) {
        name = base + ".";
        for (int i = 0; i < 6; ++i)
            name += kLetters[letter(random)];
        const int fd =
            ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool WriteAll(int fd, std::string_view text)
{
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

#endif

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

#ifdef _WIN32

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

#else

void WriteSiteFile(const std::string &path, const SiteValues &site, char decimalSeparator)
{
    const std::string text = FormatSiteFile(site, decimalSeparator);

    // A link is saved through: its last target is replaced, the link kept.
    std::error_code ec;
    const std::filesystem::path target = LinkTarget(std::filesystem::path(path), ec);
    if (ec)
        ThrowCannotCreateFile(path);

    // The temporary file beside the target, under a name of its own, created
    // exclusively: nothing planted under that name can be followed or
    // overwritten. It takes the old file's permissions.
    std::string temporary;
    const int fd = CreateUniqueFile(target.string(), temporary);
    if (fd < 0)
        ThrowCannotCreateFile(path);
    struct stat old
    {};
    bool written = true;
    if (::stat(target.c_str(), &old) == 0)
        written = ::fchmod(fd, old.st_mode & 07777) == 0;
    written = WriteAll(fd, text) && written;
    written = ::fsync(fd) == 0 && written;
    written = ::close(fd) == 0 && written;

    // Put it in place of the old file.
    if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        ThrowCannotCreateFile(path);
    }
}

#endif

} // namespace mirado
