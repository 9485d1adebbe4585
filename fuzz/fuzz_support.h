// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the fuzz targets share: a property check that ends the run with a
// report, a reader that cuts the input into pieces, and a scratch file for the
// readers that take a path.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <unistd.h>

namespace mirado::fuzz {

[[noreturn]] inline void Fail(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: property violated: %s\n", file, line, condition);
    std::abort();
}

// Checks a property in every build type (assert would vanish with NDEBUG).
#define MIRADO_FUZZ_REQUIRE(condition)                                                             \
    ((condition) ? void(0) : ::mirado::fuzz::Fail(#condition, __FILE__, __LINE__))

// The input as bytes taken from the front: a length byte, then that many bytes.
class InputReader
{
public:
    InputReader(const std::uint8_t *data, std::size_t size)
        : rest_(reinterpret_cast<const char *>(data), size)
    {}

    // The next byte, or 0 when the input is used up.
    unsigned char byte()
    {
        if (rest_.empty())
            return 0;
        const auto c = static_cast<unsigned char>(rest_.front());
        rest_.remove_prefix(1);
        return c;
    }

    // The next `count` bytes, fewer at the end of the input.
    std::string_view take(std::size_t count)
    {
        const std::string_view piece = rest_.substr(0, count);
        rest_.remove_prefix(piece.size());
        return piece;
    }

    std::string_view rest() const { return rest_; }

private:
    std::string_view rest_;
};

// A file of the fuzz target's own in the temporary folder, rewritten for each
// input and removed when the process ends normally.
class ScratchFile
{
public:
    explicit ScratchFile(const std::string &name)
        : path_((std::filesystem::temp_directory_path() /
                 ("mirado-fuzz-" + std::to_string(getpid()) + "-" + name))
                    .string())
    {}
    ~ScratchFile()
    {
        std::error_code ec;
        std::filesystem::remove(path_, ec);
    }
    ScratchFile(const ScratchFile &) = delete;
    ScratchFile &operator=(const ScratchFile &) = delete;

    const std::string &path() const { return path_; }

    void write(std::string_view bytes) const
    {
        std::FILE *file = std::fopen(path_.c_str(), "wb");
        MIRADO_FUZZ_REQUIRE(file != nullptr);
        const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
        MIRADO_FUZZ_REQUIRE(std::fclose(file) == 0 && written);
    }

private:
    std::string path_;
};

} // namespace mirado::fuzz
