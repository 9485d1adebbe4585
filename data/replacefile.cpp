// SPDX-License-Identifier: GPL-3.0-or-later
#include "replacefile.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mirado {

namespace {

std::error_code LastError()
{
    return {errno, std::generic_category()};
}

#ifdef _WIN32

// Flushes a written file to the disk before it replaces the old one.
bool SyncFile(std::FILE *file)
{
    if (std::fflush(file) != 0)
        return false;
    return _commit(_fileno(file)) == 0;
}

#else

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

#ifdef _WIN32

std::error_code ReplaceFile(const std::string &path, std::string_view bytes)
{
    const std::string temporary = path + ".tmp";

    // Write the temporary file in full.
    bool written = false;
    std::error_code ec;
    if (std::FILE *file = std::fopen(temporary.c_str(), "wb")) {
        written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        written = SyncFile(file) && written;
        if (!written)
            ec = LastError();
        written = std::fclose(file) == 0 && written;
    } else {
        ec = LastError();
    }

    // Put it in place of the old file.
    if (written)
        std::filesystem::rename(std::filesystem::path(temporary), std::filesystem::path(path), ec);
    if (!written || ec) {
        std::error_code ignored;
        std::filesystem::remove(std::filesystem::path(temporary), ignored);
        return ec ? ec : std::make_error_code(std::errc::io_error);
    }
    return {};
}

bool IsSpecialFile(const std::string &path)
{
    std::error_code ec;
    const auto status = std::filesystem::status(std::filesystem::path(path), ec);
    return !ec && std::filesystem::exists(status) && !std::filesystem::is_regular_file(status);
}

#else

std::error_code ReplaceFile(const std::string &path, std::string_view bytes)
{
    std::error_code ec;
    const std::filesystem::path target = LinkTarget(std::filesystem::path(path), ec);
    if (ec)
        return ec;

    // The new file beside the target takes the old file's permissions.
    std::string temporary;
    const int fd = CreateUniqueFile(target.string(), temporary);
    if (fd < 0)
        return LastError();
    struct stat old
    {};
    bool written = true;
    if (::stat(target.c_str(), &old) == 0)
        written = ::fchmod(fd, old.st_mode & 07777) == 0;
    written = written && WriteAll(fd, bytes);
    written = written && ::fsync(fd) == 0;
    if (!written)
        ec = LastError();
    if (::close(fd) != 0 && written) {
        written = false;
        ec = LastError();
    }

    // Put it in place of the old file.
    if (written && ::rename(temporary.c_str(), target.c_str()) != 0) {
        written = false;
        ec = LastError();
    }
    if (!written) {
        ::unlink(temporary.c_str());
        return ec ? ec : std::make_error_code(std::errc::io_error);
    }
    return {};
}

bool IsSpecialFile(const std::string &path)
{
    struct stat info
    {};
    return ::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode);
}

#endif

} // namespace mirado
