// SPDX-License-Identifier: GPL-3.0-or-later
#include "lines.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <limits>
#include <optional>

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

// The lines of a file's or a stream's bytes, the byte-order marks at its
// start skipped.
CatalogueLines LinesOfText(std::string content, const std::string &name)
{
    content.erase(0, content.size() - WithoutByteOrderMark(content).size());
    return CatalogueLines(std::move(content), name);
}

// A text is read a buffer at a time, so that reading stops soon after its
// first NUL byte and never passes its limit by more than a byte. The buffer
// it is read into starts no larger than kFirstBufferBytes and takes a file's
// whole size only once a fifth of it has been read, so a large file that
// ends early at a NUL costs little more than it holds (at most six times).
constexpr std::size_t kReadBufferBytes = std::size_t{1} << 20;
constexpr std::size_t kFirstBufferBytes = std::size_t{16} << 20;
constexpr std::size_t kWholeAfterParts = 5;

enum class ReadResult
{
    Read,
    Failed,
    TooLarge,
};

// Reads into `content` through `readSome(buffer, size)`, which gives the
// number of bytes it read, 0 at the end and -1 on an error. `sizeHint` is
// the size expected (a regular file's), read in one piece when the text can
// hold it, so the bytes are not copied as they grow. Without
// `maxTextBytes`, everything is read (a file's image); with it, a text: the
// read that brings a NUL byte is the last, and more than `maxTextBytes`
// bytes before one give TooLarge once one byte more than that has been read.
template <typename ReadSome>
ReadResult ReadToEnd(ReadSome readSome, std::size_t sizeHint,
                     std::optional<std::size_t> maxTextBytes, std::string &content)
{
    constexpr std::size_t kUnbounded = std::numeric_limits<std::size_t>::max();
    const std::size_t cap = maxTextBytes ? *maxTextBytes + 1 : kUnbounded;
    const std::size_t piece = maxTextBytes ? kReadBufferBytes : kUnbounded;
    const std::size_t whole = sizeHint < kUnbounded ? sizeHint + 1 : sizeHint;
    const std::size_t first = !maxTextBytes  ? whole
                              : sizeHint > 0 ? std::min(whole, kFirstBufferBytes)
                                             : kReadBufferBytes;
    content.resize(std::min(first, cap));
    std::size_t got = 0;
    for (;;) {
        if (got == content.size()) {
            if (got == cap)
                return ReadResult::TooLarge;
            // Grow by half, or to the whole expected size once that is no
            // more than kWholeAfterParts times what has been read.
            std::size_t next = got + got / 2 + 4096;
            if (whole > got)
                next = whole / kWholeAfterParts <= got ? whole : std::min(next, whole);
            content.resize(std::min(next, cap));
        }
        char *const buffer = content.data() + got;
        const std::ptrdiff_t n = readSome(buffer, std::min(content.size() - got, piece));
        if (n < 0)
            return ReadResult::Failed;
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
        if (maxTextBytes && std::memchr(buffer, '\0', static_cast<std::size_t>(n)) != nullptr)
            break;
    }
    content.resize(got);
    return ReadResult::Read;
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
    // The text ends at its first NUL; say where when more than NUL bytes
    // follow.
    const std::size_t nul = content.find('\0');
    const bool cutOff =
        nul != std::string::npos && content.find_first_not_of('\0', nul) != std::string::npos;
    content.resize(UpToNul(content).size());
    if (content.size() > kMaxTextBytes)
        ThrowTextTooLarge(path, kMaxTextBytes);
    if (content.empty()) {
        nulLine_ = cutOff ? 1 : 0;
        return;
    }

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
    if (cutOff)
        nulLine_ = (last[-1] == '\n' || last[-1] == '\r') ? count + 1 : count;

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
    nulLine_ = 0;
}

std::string_view WithoutByteOrderMark(std::string_view content)
{
    while (content.substr(0, kByteOrderMark.size()) == kByteOrderMark)
        content.remove_prefix(kByteOrderMark.size());
    return content;
}

#ifdef _WIN32

namespace {

// Reads `file` from where it stands, as ReadToEnd reads.
ReadResult ReadStream(std::FILE *file, std::size_t sizeHint,
                      std::optional<std::size_t> maxTextBytes, std::string &content)
{
    return ReadToEnd(
        [file](char *buffer, std::size_t size) -> std::ptrdiff_t {
            const std::size_t got = std::fread(buffer, 1, size, file);
            return got == 0 && std::ferror(file) ? -1 : static_cast<std::ptrdiff_t>(got);
        },
        sizeHint, maxTextBytes, content);
}

ReadResult ReadStandardInput(std::optional<std::size_t> maxTextBytes, std::string &content)
{
    return ReadStream(stdin, 0, maxTextBytes, content);
}

// The file at `path` read as ReadToEnd reads; a failure in `ec`.
ReadResult ReadFileContent(const std::string &path, std::optional<std::size_t> maxTextBytes,
                           std::string &content, std::error_code &ec)
{
    // Only a regular file is read: a device would never end.
    ec.clear();
    content.clear();
    const std::filesystem::path file(path);
    if (path.empty() || !std::filesystem::is_regular_file(file, ec)) {
        if (!ec)
            ec = std::make_error_code(std::filesystem::is_directory(file, ec)
                                          ? std::errc::is_a_directory
                                          : std::errc::invalid_argument);
        return ReadResult::Failed;
    }
    struct Closer
    {
        void operator()(std::FILE *f) const { std::fclose(f); }
    };
    errno = 0;
    std::unique_ptr<std::FILE, Closer> opened(std::fopen(path.c_str(), "rb"));
    const ReadResult result =
        opened ? ReadStream(opened.get(), 0, maxTextBytes, content) : ReadResult::Failed;
    if (result == ReadResult::Failed)
        ec.assign(errno != 0 ? errno : EIO, std::generic_category());
    if (result != ReadResult::Read)
        content.clear();
    return result;
}

} // namespace

#else

namespace {

// Reads `fd` from where it stands, as ReadToEnd reads.
ReadResult ReadDescriptor(int fd, std::size_t sizeHint, std::optional<std::size_t> maxTextBytes,
                          std::string &content)
{
    return ReadToEnd(
        [fd](char *buffer, std::size_t size) -> std::ptrdiff_t {
            for (;;) {
                const ssize_t n = ::read(fd, buffer, size);
                if (n >= 0 || (errno != EINTR && errno != EAGAIN))
                    return static_cast<std::ptrdiff_t>(n);
            }
        },
        sizeHint, maxTextBytes, content);
}

ReadResult ReadStandardInput(std::optional<std::size_t> maxTextBytes, std::string &content)
{
    // Standard input redirected from a file: its size is known.
    struct stat info
    {};
    std::size_t sizeHint = 0;
    if (::fstat(STDIN_FILENO, &info) == 0 && S_ISREG(info.st_mode)) {
        const off_t at = ::lseek(STDIN_FILENO, 0, SEEK_CUR);
        if (at >= 0 && at <= info.st_size)
            sizeHint = static_cast<std::size_t>(info.st_size - at);
    }
    return ReadDescriptor(STDIN_FILENO, sizeHint, maxTextBytes, content);
}

// The file at `path` read as ReadToEnd reads; a failure in `ec`.
ReadResult ReadFileContent(const std::string &path, std::optional<std::size_t> maxTextBytes,
                           std::string &content, std::error_code &ec)
{
    // Open first, without blocking (a FIFO would wait for a writer), then
    // check what was opened: only a regular file is read, so neither a FIFO
    // nor a device such as /dev/zero can hang the program, whatever the path
    // names by the time it is opened.
    ec.clear();
    content.clear();
    const int fd =
        path.empty() ? -1 : ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        ec.assign(path.empty() ? ENOENT : errno, std::generic_category());
        return ReadResult::Failed;
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
        return ReadResult::Failed;
    }
    if (!S_ISREG(info.st_mode)) {
        ec = std::make_error_code(S_ISDIR(info.st_mode) ? std::errc::is_a_directory
                                                        : std::errc::invalid_argument);
        return ReadResult::Failed;
    }

    // A file that grows meanwhile is read to its end.
    const ReadResult result =
        ReadDescriptor(fd, static_cast<std::size_t>(info.st_size), maxTextBytes, content);
    if (result == ReadResult::Failed)
        ec.assign(errno, std::generic_category());
    if (result != ReadResult::Read)
        content.clear();
    return result;
}

} // namespace

#endif

namespace {

// The text of the file at `path`, or standard input when `path` is empty,
// read as ReadLines describes.
std::string ReadTextBytes(const std::string &path, const std::string &name,
                          std::size_t maxTextBytes)
{
    std::string content;
    std::error_code ec;
    const ReadResult result = path.empty() ? ReadStandardInput(maxTextBytes, content)
                                           : ReadFileContent(path, maxTextBytes, content, ec);
    if (result == ReadResult::TooLarge)
        ThrowTextTooLarge(name, maxTextBytes);
    if (result == ReadResult::Failed)
        ThrowCannotOpenFile(name);
    return content;
}

} // namespace

std::string ReadFileBytes(const std::string &path, std::error_code &ec)
{
    std::string content;
    ReadFileContent(path, std::nullopt, content, ec);
    return content;
}

std::string ReadFileBytes(const std::string &path)
{
    std::error_code ec;
    std::string content = ReadFileBytes(path, ec);
    if (ec)
        ThrowCannotOpenFile(path);
    return content;
}

void ReadLines(const std::string &path, CatalogueLines &target, std::size_t maxTextBytes)
{
    if (path.empty())
        ThrowCannotOpenFile(path);
    target = LinesOfText(ReadTextBytes(path, path, maxTextBytes), path);
}

void ReadStandardInputLines(const std::string &name, CatalogueLines &target,
                            std::size_t maxTextBytes)
{
    target = LinesOfText(ReadTextBytes({}, name, maxTextBytes), name);
}

void ReadLines(const std::string &path, std::vector<std::string> &target)
{
    if (path.empty())
        ThrowCannotOpenFile(path);
    target = SplitLines(WithoutByteOrderMark(ReadTextBytes(path, path, kMaxTextBytes)));
}

} // namespace mirado
