// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include "errors.h"

#ifdef _WIN32
#include <cstdio>
#include <filesystem>
#include <memory>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mirado {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view UpToNul(std::string_view content)
{
    if (const auto nul = content.find('\0'); nul != std::string_view::npos)
        return content.substr(0, nul);
    return content;
}

// Calls `line(start, end)` for each line of `content` (already cut at its
// NUL), in order.
template <typename LineFunction> void ForEachLine(std::string_view content, LineFunction line)
{
    const char *const data = content.data();
    const std::size_t size = content.size();
    std::size_t start = 0;
    std::size_t pos = 0;
    while (pos < size) {
        const char c = data[pos];
        if (c != '\r' && c != '\n') {
            ++pos;
            continue;
        }
        line(start, pos);
        pos += (c == '\r' && pos + 1 < size && data[pos + 1] == '\n') ? 2 : 1;
        start = pos;
    }
    if (start < size)
        line(start, size);
}

// The lines of a file's or a stream's bytes, a leading byte-order mark
// skipped.
CatalogueLines LinesOfText(std::string content, const std::string &name)
{
    if (WithoutByteOrderMark(content).size() != content.size())
        content.erase(0, kByteOrderMark.size());
    return CatalogueLines(std::move(content), name);
}

} // namespace

std::vector<std::string> SplitLines(std::string_view content)
{
    content = UpToNul(content);
    std::vector<std::string> lines;
    ForEachLine(content, [&](std::size_t start, std::size_t end) {
        lines.emplace_back(content.substr(start, end - start));
    });
    return lines;
}

CatalogueLines::CatalogueLines(std::string content, const std::string &path)
{
    content.resize(UpToNul(content).size());
    if (content.size() >= std::numeric_limits<std::uint32_t>::max())
        ThrowCannotOpenFile(path);
    if (content.empty())
        return;

    // Count first, so the offsets are allocated once and exactly: a line
    // ends at each LF, at each CR not followed by a LF, and at the end of a
    // text that ends without a break.
    const char *const first = content.data();
    const char *const last = first + content.size();
    std::size_t count = static_cast<std::size_t>(std::count(first, last, '\n'));
    for (const char *cr = static_cast<const char *>(std::memchr(first, '\r', content.size()));
         cr != nullptr; cr = static_cast<const char *>(std::memchr(cr + 1, '\r', last - cr - 1)))
        if (cr + 1 == last || cr[1] != '\n')
            ++count;
    if (last[-1] != '\n' && last[-1] != '\r')
        ++count;
    // Left uninitialised: every offset is written below.
    starts_.reset(new std::uint32_t[count + 1]);
    count_ = count;

    // Move each line's bytes down over the breaks before it.
    char *const data = content.data();
    std::uint32_t *start = starts_.get();
    std::size_t written = 0;
    *start++ = 0;
    ForEachLine(content, [&](std::size_t from, std::size_t to) {
        if (from != written && to > from)
            std::memmove(data + written, data + from, to - from);
        written += to - from;
        *start++ = static_cast<std::uint32_t>(written);
    });
    content.resize(written);
    // Breaks took more than a quarter of the text: give their room back.
    if (written < content.capacity() - content.capacity() / 4)
        content.shrink_to_fit();
    bytes_ = std::move(content);
}

std::vector<std::string> CatalogueLines::toVector() const
{
    std::vector<std::string> lines;
    lines.reserve(size());
    for (const std::string_view line : *this)
        lines.emplace_back(line);
    return lines;
}

void CatalogueLines::clear()
{
    bytes_.clear();
    bytes_.shrink_to_fit();
    starts_.reset();
    count_ = 0;
}

std::string_view WithoutByteOrderMark(std::string_view content)
{
    if (content.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        content.remove_prefix(kByteOrderMark.size());
    return content;
}

#ifdef _WIN32

namespace {

// Reads `file` from where it stands to its end; false on a read error.
bool ReadToEnd(std::FILE *file, std::string &content)
{
    char buffer[1 << 16];
    for (;;) {
        const std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
        content.append(buffer, got);
        if (got < sizeof buffer)
            break;
    }
    return !std::ferror(file);
}

std::string ReadStandardInputBytes(const std::string &name)
{
    std::string content;
    if (!ReadToEnd(stdin, content))
        ThrowCannotOpenFile(name);
    return content;
}

} // namespace

std::string ReadFileBytes(const std::string &path, std::error_code &ec)
{
    // Only a regular file is read: a device would never end.
    ec.clear();
    const std::filesystem::path file(path);
    if (path.empty() || !std::filesystem::is_regular_file(file, ec)) {
        if (!ec)
            ec = std::make_error_code(std::filesystem::is_directory(file, ec)
                                          ? std::errc::is_a_directory
                                          : std::errc::invalid_argument);
        return {};
    }
    struct Closer
    {
        void operator()(std::FILE *f) const { std::fclose(f); }
    };
    errno = 0;
    std::unique_ptr<std::FILE, Closer> opened(std::fopen(path.c_str(), "rb"));
    std::string content;
    if (!opened || !ReadToEnd(opened.get(), content)) {
        ec.assign(errno != 0 ? errno : EIO, std::generic_category());
        return {};
    }
    return content;
}

#else

namespace {

// Reads `fd` to its end, in one piece when it holds no more than `sizeHint`
// bytes, so the text is not copied as it grows; false on a read error.
bool ReadToEnd(int fd, std::size_t sizeHint, std::string &content)
{
    content.resize(sizeHint + 1);
    std::size_t got = 0;
    for (;;) {
        if (got == content.size())
            content.resize(content.size() + content.size() / 2 + 4096);
        const ssize_t n = ::read(fd, content.data() + got, content.size() - got);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return false;
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    content.resize(got);
    return true;
}

std::string ReadStandardInputBytes(const std::string &name)
{
    std::string content;
    if (!ReadToEnd(STDIN_FILENO, 0, content))
        ThrowCannotOpenFile(name);
    return content;
}

} // namespace

std::string ReadFileBytes(const std::string &path, std::error_code &ec)
{
    // Open first, without blocking (a FIFO would wait for a writer), then
    // check what was opened: only a regular file is read, so neither a FIFO
    // nor a device such as /dev/zero can hang the program, whatever the path
    // names by the time it is opened.
    ec.clear();
    const int fd =
        path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        ec.assign(path.empty() ? ENOENT : errno, std::generic_category());
        return {};
    }
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info
    {};
    if (::fstat(fd, &info) != 0) {
        ec.assign(errno, std::generic_category());
        return {};
    }
    if (!S_ISREG(info.st_mode)) {
        ec = std::make_error_code(S_ISDIR(info.st_mode) ? std::errc::is_a_directory
                                                        : std::errc::invalid_argument);
        return {};
    }

    // A file that grows meanwhile is read to its end.
    std::string content;
    if (!ReadToEnd(fd, static_cast<std::size_t>(info.st_size), content)) {
        ec.assign(errno, std::generic_category());
        return {};
    }
    return content;
}

#endif

std::string ReadFileBytes(const std::string &path)
{
    std::error_code ec;
    std::string content = ReadFileBytes(path, ec);
    if (ec)
        ThrowCannotOpenFile(path);
    return content;
}

void ReadLines(const std::string &path, CatalogueLines &target)
{
    target = LinesOfText(ReadFileBytes(path), path);
}

void ReadStandardInputLines(const std::string &name, CatalogueLines &target)
{
    target = LinesOfText(ReadStandardInputBytes(name), name);
}

void ReadLines(const std::string &path, std::vector<std::string> &target)
{
    target = SplitLines(WithoutByteOrderMark(ReadFileBytes(path)));
}

} // namespace mirado
