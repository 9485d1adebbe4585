// SPDX-License-Identifier: GPL-3.0-or-later
#include "output.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstring>

namespace mirado::tool {

void TextBuffer::append(std::string_view text)
{
    char *at = room(text.size());
    commit(std::copy(text.begin(), text.end(), at));
}

void TextBuffer::grow(std::size_t bytes)
{
    const std::size_t capacity = std::max(2 * capacity_, size_ + bytes);
    auto data = std::make_unique_for_overwrite<char[]>(capacity);
    std::copy(data_.get(), data_.get() + size_, data.get());
    data_ = std::move(data);
    capacity_ = capacity;
}

Output::Output(std::FILE *file, std::string name) : file_(file), name_(std::move(name))
{
    buffer_.reserve(2 * kBufferBytes);
}

Output::~Output()
{
    // An unfinished output is flushed on a best-effort basis: the error that
    // ended the run is the one to report.
    if (!failed_ && !buffer_.empty())
        std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
}

Output &Output::operator<<(std::string_view piece)
{
    if (buffer_.size() + piece.size() > kBufferBytes) {
        flush();
        if (piece.size() > kBufferBytes) {
            writeThrough(piece);
            return *this;
        }
    }
    buffer_ += piece;
    return *this;
}

Output &Output::operator<<(char c)
{
    return *this << std::string_view(&c, 1);
}

Output &Output::operator<<(int value)
{
    char text[16];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    return *this << std::string_view(text, static_cast<std::size_t>(end - text));
}

Output &Output::operator<<(double value)
{
    char text[kMaxNumberChars];
    const char *end = WriteNumber(text, value);
    return *this << std::string_view(text, static_cast<std::size_t>(end - text));
}

void Output::flush()
{
    const std::string_view pending = buffer_;
    writeThrough(pending);
    buffer_.clear();
}

void Output::finish()
{
    flush();
    errno = 0;
    if (!failed_ && (std::fflush(file_) != 0 || std::ferror(file_)))
        fail(errno);
}

void Output::writeThrough(std::string_view bytes)
{
    if (failed_ || bytes.empty())
        return;
    errno = 0;
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size() || std::ferror(file_))
        fail(errno);
}

void Output::fail(int error)
{
    failed_ = true;
    if (error == EPIPE)
        throw ClosedPipe();
    throw WriteError("cannot write " + name_ +
                     (error != 0 ? ": " + std::string(std::strerror(error)) : std::string()));
}

} // namespace mirado::tool
