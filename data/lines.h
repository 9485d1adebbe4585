// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace mirado {

// Splits text into lines at CR LF, a lone CR or a lone LF; the text ends at
// its first NUL byte. Breaks are not part of the lines; text after the last
// break is a last line, and a break at the very end adds no empty line.
std::vector<std::string> SplitLines(std::string_view content);

// The most bytes a catalogue's text may hold: its lines' offsets take four
// bytes each (4 GiB).
inline constexpr std::size_t kMaxTextBytes = std::numeric_limits<std::uint32_t>::max() - 1;

// The lines of a text held compactly: their bytes one after another in one
// buffer, and where each starts as a 4-byte offset, so a file of a hundred
// million empty lines costs four bytes a line instead of a string each. The
// text is split as SplitLines splits it and every byte of a line is kept.
class CatalogueLines
{
public:
    CatalogueLines() = default;
    // The lines of `content`, whose buffer is reused; the text ends at its
    // first NUL byte. Raises "ファイル %s は N バイトを超えるため読み込めません"
    // with `path` when the text holds more than kMaxTextBytes.
    explicit CatalogueLines(std::string content, const std::string &path = {});

    std::size_t size() const { return count_; }
    bool empty() const { return size() == 0; }
    std::string_view operator[](std::size_t index) const
    {
        return std::string_view(bytes_).substr(starts_[index], starts_[index + 1] - starts_[index]);
    }
    std::string_view front() const { return (*this)[0]; }

    // Line by line, as string views.
    class const_iterator
    {
    public:
        const_iterator(const CatalogueLines *lines, std::size_t index)
            : lines_(lines), index_(index)
        {}
        std::string_view operator*() const { return (*lines_)[index_]; }
        const_iterator &operator++()
        {
            ++index_;
            return *this;
        }
        bool operator==(const const_iterator &other) const { return index_ == other.index_; }

    private:
        const CatalogueLines *lines_;
        std::size_t index_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // Every line's bytes one after another, without the breaks.
    std::string_view bytes() const { return bytes_; }

    std::vector<std::string> toVector() const;
    void clear();

    // The 1-based line in which the text was cut off: its first NUL byte,
    // when a byte other than NUL follows it. 0 when the text held no NUL or
    // merely ended in NUL bytes.
    std::size_t nulLine() const { return nulLine_; }

private:
    std::string bytes_;
    std::unique_ptr<std::uint32_t[]> starts_; // one per line and one past the last
    std::size_t count_ = 0;
    std::size_t nulLine_ = 0;
};

// `content` without the UTF-8 byte-order marks at its start: every one, as
// an editor that adds a mark to a file that has one leaves two.
std::string_view WithoutByteOrderMark(std::string_view content);

// Reads the text of the file at `path` as bytes (no code-page conversion, no
// trimming but the byte-order marks at its start) and replaces `target` with
// its lines. The text ends at its first NUL byte, and reading stops at the
// read that brings it, so that what follows in the same read can tell
// whether the file went on (nulLine()). When the file cannot be opened or
// read, or is not a regular file (a folder, a FIFO, a device), raises
// "ファイル %s は開けません"; when its text passes `maxTextBytes`, raises the
// too-large error as soon as it does, without reading on. Either way
// `target` stays as it was. `maxTextBytes` is lowered only by tests.
void ReadLines(const std::string &path, CatalogueLines &target,
               std::size_t maxTextBytes = kMaxTextBytes);
void ReadLines(const std::string &path, std::vector<std::string> &target);

// The lines of standard input, read as ReadLines reads a file: to its end,
// its first NUL or its limit, whichever comes first, so neither /dev/zero
// nor an endless pipe is read further. Errors name `name`.
void ReadStandardInputLines(const std::string &name, CatalogueLines &target,
                            std::size_t maxTextBytes = kMaxTextBytes);

// Reads the whole file at `path` as bytes; raises the same error as ReadLines.
// The file is opened first, without blocking, and only then checked to be a
// regular file, so nothing swapped in between can hang the reader.
std::string ReadFileBytes(const std::string &path);
// The same, reporting a failure in `ec` instead (the system's error; a folder
// gives "Is a directory", any other file that is not regular "Invalid
// argument") and then returning nothing.
std::string ReadFileBytes(const std::string &path, std::error_code &ec);

} // namespace mirado
