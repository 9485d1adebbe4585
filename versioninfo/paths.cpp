// SPDX-License-Identifier: GPL-3.0-or-later
#include "paths.h"

#include <filesystem>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace mirado::platform {

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
constexpr std::string_view kSeparators = "\\/";
#else
constexpr char kSeparator = '/';
constexpr std::string_view kSeparators = "/";
#endif

bool IsSeparator(char c)
{
    return kSeparators.find(c) != std::string_view::npos;
}

// True for the server and share of a network path ("\\server" or
// "\\server\share"): the start that the long form keeps as it is.
bool IsNetworkShare(std::string_view dir)
{
    if (dir.size() < 3 || !IsSeparator(dir[0]) || !IsSeparator(dir[1]) || IsSeparator(dir[2]))
        return false;
    const std::size_t afterServer = dir.find_first_of(kSeparators, 2);
    return afterServer == std::string_view::npos ||
           dir.find_first_of(kSeparators, afterServer + 1) == std::string_view::npos;
}

// True for the directory part at which the long form stops: a drive "C:" on
// Windows, the root's (empty) directory part on POSIX systems, or a share.
bool IsLongFormStop(std::string_view dir)
{
#ifdef _WIN32
    if (dir.size() == 2)
        return true;
#endif
    return dir.empty() || IsNetworkShare(dir);
}

// The name the file system stores for the last component of `fullPath`, or
// `name` when there is no such entry.
std::string StoredName(const std::string &fullPath, const std::string &name)
{
#ifdef _WIN32
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(std::filesystem::path(fullPath).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return name;
    FindClose(search);
    return std::filesystem::path(found.cFileName).string();
#else
    // Names are exact byte strings here: an entry that exists is stored under
    // the name it was found by.
    (void)fullPath;
    return name;
#endif
}

std::string LongForm(const std::string &fullPath)
{
    const std::size_t last = fullPath.find_last_of(kSeparators);
    if (last == std::string::npos)
        return fullPath;
    std::string dir = fullPath.substr(0, last);
    if (!IsLongFormStop(dir))
        dir = LongForm(dir);
    return dir + kSeparator + StoredName(fullPath, fullPath.substr(last + 1));
}

#ifndef _WIN32
// Removes ".", ".." and empty components from an absolute POSIX path.
std::string NormalisePosix(const std::string &absolute)
{
    // Exactly two leading slashes may name a network path; three or more are
    // one.
    const bool network =
        absolute.size() > 2 && absolute[0] == '/' && absolute[1] == '/' && absolute[2] != '/';
    std::vector<std::string> components;
    std::size_t pos = 0;
    while (pos <= absolute.size()) {
        std::size_t next = absolute.find('/', pos);
        if (next == std::string::npos)
            next = absolute.size();
        const std::string component = absolute.substr(pos, next - pos);
        if (component == "..") {
            if (!components.empty())
                components.pop_back();
        } else if (!component.empty() && component != ".") {
            components.push_back(component);
        }
        pos = next + 1;
    }
    std::string result = network ? "//" : "/";
    for (std::size_t i = 0; i < components.size(); ++i)
        result += (i > 0 ? "/" : "") + components[i];
    return result;
}
#endif

} // namespace

std::string FullPathName(const std::string &path, std::error_code &ec)
{
    ec.clear();
    if (path.empty()) {
        ec = std::make_error_code(std::errc::no_such_file_or_directory);
        return {};
    }
#ifdef _WIN32
    // Asked first for the length, then for the text.
    const std::wstring wide = std::filesystem::path(path).wstring();
    const DWORD length = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    std::wstring full(length, L'\0');
    const DWORD written =
        length == 0 ? 0 : GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
    if (length == 0 || written + 1 != length) {
        const DWORD error = GetLastError();
        ec.assign(static_cast<int>(error != 0 ? error : ERROR_INVALID_DATA),
                  std::system_category());
        return {};
    }
    full.resize(written);
    return std::filesystem::path(full).string();
#else
    if (path.front() == '/')
        return NormalisePosix(path);
    const std::filesystem::path cwd = std::filesystem::current_path(ec);
    if (ec)
        return {};
    return NormalisePosix(cwd.string() + "/" + path);
#endif
}

std::string LongPathName(const std::string &path, std::error_code &ec)
{
    const std::string full = FullPathName(path, ec);
    return ec ? std::string() : LongForm(full);
}

std::string RunningExecutablePath(std::error_code &ec)
{
    ec.clear();
#ifdef _WIN32
    std::wstring buffer(MAX_PATH, L'\0');
    for (;;) {
        const DWORD got =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (got == 0) {
            ec.assign(static_cast<int>(GetLastError()), std::system_category());
            return {};
        }
        if (got < buffer.size()) {
            buffer.resize(got);
            return std::filesystem::path(buffer).string();
        }
        buffer.resize(buffer.size() * 2);
    }
#else
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.string();
#endif
}

} // namespace mirado::platform
