// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include <gtest/gtest.h>

namespace mirado::test {

// A folder of its own under the system's temporary folder, removed at the end.
class TempDir
{
public:
    TempDir()
    {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("mirado-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;

    std::string file(const std::string &name) const { return (path_ / name).string(); }

    // Writes the bytes of any contiguous container (a string, a byte vector)
    // into the file `name` and returns its path.
    template <typename Bytes> std::string write(const std::string &name, const Bytes &bytes) const
    {
        std::ofstream(path_ / name, std::ios::binary)
            .write(reinterpret_cast<const char *>(std::data(bytes)),
                   static_cast<std::streamsize>(std::size(bytes)));
        return file(name);
    }

private:
    std::filesystem::path path_;
};

inline std::string ReadAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace mirado::test
