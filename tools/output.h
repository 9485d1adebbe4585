// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

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
