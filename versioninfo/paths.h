// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <system_error>

namespace mirado::platform {

// Paths here are the system's narrow strings: bytes on POSIX systems, the
// ANSI code page (932 where the program is at home) on Windows.

// The absolute form of `path`, as Windows' GetFullPathName makes it: relative
// to the working folder, with "." and ".." components and doubled separators
// removed. On POSIX systems a leading pair of slashes (a network path) is
// kept. An empty path sets `ec` (no such file or directory).
std::string FullPathName(const std::string &path, std::error_code &ec);

// The long form of `path`: its full path with every component replaced by the
// name stored in the file system for it (on Windows the long name in its
// stored case; POSIX systems store names exactly as given). Components that
// do not exist are kept as given. The walk up the folders stops at a drive
// ("C:"), at the root, and at the server and share of a network path
// ("\\server\share" or "//server/share"), which are kept as given.
std::string LongPathName(const std::string &path, std::error_code &ec);

// The full path of the running program's executable file.
std::string RunningExecutablePath(std::error_code &ec);

} // namespace mirado::platform
