// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "data/errors.h"
#include "test_files.h"
#include "versioninfo/versionresource.h"

namespace mirado::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes ReadBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline Bytes Concat(const Bytes &a, const Bytes &b, const Bytes &c = {})
{
    Bytes out = a;
    out.insert(out.end(), b.begin(), b.end());
    out.insert(out.end(), c.begin(), c.end());
    return out;
}

// A resource shaped like the program's, with the given FileVersion string and
// one string table per translation. Each table's CompanyName is its key, so a
// test can see which table was read.
inline platform::VersionResourceContent
ResourceContent(const std::string &fileVersion,
                const std::vector<platform::VersionTranslation> &translations = {{0x0411, 0x03A4}})
{
    platform::VersionResourceContent content;
    content.fileVersion = {0, 8, 1, 0};
    content.productVersion = {0, 8, 1, 0};
    content.translations = translations;
    for (const auto &t : translations) {
        const std::string key = platform::TranslationKeyText(t);
        content.stringTables.push_back(
            {key, {{"CompanyName", key}, {"FileVersion", fileVersion}, {"ProductName", "Mirado"}}});
    }
    return content;
}

// The text of the mirado::Error that `call` raises, or "no error".
inline std::string ErrorText(const std::function<void()> &call)
{
    try {
        call();
    } catch (const Error &e) {
        return e.what();
    }
    return "no error";
}

// What `call` returns, or the text of the mirado::Error it raises.
inline std::string ResultOrError(const std::function<std::string()> &call)
{
    try {
        return call();
    } catch (const Error &e) {
        return e.what();
    }
}

} // namespace mirado::test
