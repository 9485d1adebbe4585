// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace mirado {

// Replaces the file at `path` with `bytes`, whole or not at all: the bytes go
// to a new file beside it, created exclusively under a name of its own
// (nothing planted under that name can be followed or overwritten), are
// flushed to the disk and only then renamed over the old file. A link is
// written through: its last target is replaced, the link kept. The new file
// takes the old one's permissions, or those a new file gets. On failure the
// old file is left as it was and the error is returned.
std::error_code ReplaceFile(const std::string &path, std::string_view bytes);

// True when `path` names something other than a regular file (a device, a
// pipe), which is written in place rather than replaced.
bool IsSpecialFile(const std::string &path);

} // namespace mirado
