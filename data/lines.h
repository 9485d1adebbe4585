// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
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

// The lines of a text held compactly: their bytes one after another in one
// buffer, and where each starts as a 4-byte offset, so a file of a hundred
// million empty lines costs four bytes a line instead of a string each. The
// text is split as SplitLines splits it and every byte of a line is kept.
class CatalogueLines
{
public:
    CatalogueLines() = default;
    // The lines of `content`, whose buffer is reused. Raises the file error
    // with `path` when the text is too large for 4-byte offsets (4 GiB).
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

private:
    std::string bytes_;
    std::unique_ptr<std::uint32_t[]> starts_; // one per line and one past the last
    std::size_t count_ = 0;
};

// `content` without a UTF-8 byte-order mark at its start.
std::string_view WithoutByteOrderMark(std::string_view content);

// Reads the whole file at `path` as bytes (no code-page conversion, no
// trimming but a leading UTF-8 byte-order mark) and replaces `target` with
// its lines. When the file cannot be opened or read, or is not a regular file
// (a folder, a FIFO, a device), raises "ファイル %s は開けません" and leaves
// `target` as it was.
void ReadLines(const std::string &path, CatalogueLines &target);
void ReadLines(const std::string &path, std::vector<std::string> &target);

// The lines of standard input, read to its end, as ReadLines reads a file.
// Raises "ファイル %s は開けません" with `name` when it cannot be read.
void ReadStandardInputLines(const std::string &name, CatalogueLines &target);

// Reads the whole file at `path` as bytes; raises the same error as ReadLines.
// The file is opened first, without blocking, and only then checked to be a
// regular file, so nothing swapped in between can hang the reader.
std::string ReadFileBytes(const std::string &path);
// The same, reporting a failure in `ec` instead (the system's error; a folder
// gives "Is a directory", any other file that is not regular "Invalid
// argument") and then returning nothing.
std::string ReadFileBytes(const std::string &path, std::error_code &ec);

} // namespace mirado
