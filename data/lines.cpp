// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines.h"

#include <cstdio>
#include <filesystem>
#include <memory>
#include <system_error>

#include "errors.h"

namespace mirado {

std::vector<std::string> SplitLines(std::string_view content)
{
    if (const auto nul = content.find('\0'); nul != std::string_view::npos)
        content = content.substr(0, nul);

    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const char c = content[pos];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(content.substr(start, pos - start));
            pos += (c == '\r' && pos + 1 < content.size() && content[pos + 1] == '\n') ? 2 : 1;
            start = pos;
        } else {
            ++pos;
        }
    }
    if (start < content.size())
        lines.emplace_back(content.substr(start));
    return lines;
}

std::string ReadFileBytes(const std::string &path)
{
    // Only a regular file is read: a FIFO would block the program and a
    // device such as /dev/zero would never end.
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(std::filesystem::path(path), ec))
        ThrowCannotOpenFile(path);

    struct Closer
    {
        void operator()(std::FILE *f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file(path.empty() ? nullptr
                                                         : std::fopen(path.c_str(), "rb"));
    if (!file)
        ThrowCannotOpenFile(path);

    std::string content;
    char buffer[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
        content.append(buffer, got);
        if (got < sizeof buffer)
            break;
    }
    if (std::ferror(file.get()))
        ThrowCannotOpenFile(path);
    return content;
}

void ReadLines(const std::string &path, std::vector<std::string> &target)
{
    target = SplitLines(ReadFileBytes(path));
}

} // namespace mirado
