// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace mirado {

// Splits text into lines at CR LF, a lone CR or a lone LF; the text ends at
// its first NUL byte. Breaks are not part of the lines; text after the last
// break is a last line, and a break at the very end adds no empty line.
std::vector<std::string> SplitLines(std::string_view content);

// Reads the whole file at `path` as bytes (no code-page conversion, no
// trimming) and replaces `target` with its lines. When the file cannot be
// opened or read, or is not a regular file (a folder, a FIFO, a device),
// raises "ファイル %s は開けません" and leaves `target` as it was.
void ReadLines(const std::string &path, std::vector<std::string> &target);

// Reads the whole file at `path` as bytes; raises the same error as ReadLines.
std::string ReadFileBytes(const std::string &path);

} // namespace mirado
