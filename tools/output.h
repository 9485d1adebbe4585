// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "night/textformat.h"

namespace mirado::tool {

// The output cannot be written (a full disk, a closed descriptor). Ends the
// program with a one-line message and status 2.
class WriteError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The reader of a pipe went away (`| head`): the program ends quietly.
class ClosedPipe : public std::exception
{
public:
    const char *what() const noexcept override { return "closed pipe"; }
};

// Text composed in place through a plain pointer: room is asked for first,
// then written, then committed. Its memory is kept when it is cleared, so a
// buffer used again costs no new pages.
class TextBuffer
{
public:
    // Where to write up to `bytes` more bytes after the text.
    char *room(std::size_t bytes)
    {
        if (bytes > capacity_ - size_)
            grow(bytes);
        return data_.get() + size_;
    }
    // The text now ends at `end`, within the room last asked for.
    void commit(const char *end) { size_ = static_cast<std::size_t>(end - data_.get()); }
    void append(std::string_view text);
    void clear() { size_ = 0; }

    std::size_t size() const { return size_; }
    std::string_view view(std::size_t from, std::size_t to) const
    {
        return {data_.get() + from, to - from};
    }

private:
    void grow(std::size_t bytes);

    std::unique_ptr<char[]> data_;
    std::size_t size_ = 0;
    std::size_t capacity_ = 0;
};

// Text or bytes gathered in memory and written in large pieces; a piece larger
// than the buffer goes straight through, so output of any size costs no more
// memory than its largest piece.
class Output
{
public:
    // `name` names the file in messages ("standard output" or its path).
    Output(std::FILE *file, std::string name);
    ~Output();
    Output(const Output &) = delete;
    Output &operator=(const Output &) = delete;

    Output &operator<<(std::string_view piece);
    Output &operator<<(char c);
    Output &operator<<(int value);
    // The shortest text that reads back as the same double.
    Output &operator<<(double value);

    // The buffer itself, for a writer that composes its text in place; call
    // settle() after appending to it.
    std::string &pending() { return buffer_; }
    // Flushes the buffer once it has grown past its size.
    void settle()
    {
        if (buffer_.size() >= kBufferBytes)
            flush();
    }

    // Hands the buffer to the file. Raises WriteError or ClosedPipe.
    void flush();
    // Flushes the file itself too and checks it; call once at the end.
    void finish();

private:
    static constexpr std::size_t kBufferBytes = 1 << 16;

    void writeThrough(std::string_view bytes);
    [[noreturn]] void fail(int error);

    std::FILE *file_;
    std::string name_;
    std::string buffer_;
    bool failed_ = false;
};

} // namespace mirado::tool
