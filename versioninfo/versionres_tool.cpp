// SPDX-License-Identifier: GPL-3.0-or-later
//
// mirado_versionres: writes a version resource in the VS_VERSIONINFO layout,
// either as raw bytes or as a C++ source that places the bytes in an ELF
// section of the executable it is linked into.
//
//   mirado_versionres (--cpp FILE [--section NAME] | --binary FILE)
//                     [--file-version A.B.C.D] [--product-version A.B.C.D]
//                     [--translation LLLL:CCCC [--string KEY=VALUE]...]...
//
// Each --translation adds an entry to "\VarFileInfo\Translation" (language and
// code page in hexadecimal) and starts that translation's string table; each
// --string adds a value, UTF-8, to the table last started. Without any
// --translation the resource has no VarFileInfo.

#include <array>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "fileversion.h"
#include "versionresource.h"

namespace {

using mirado::platform::VersionResourceContent;

constexpr int kBytesPerLine = 16;

[[noreturn]] void Fail(const std::string &message)
{
    throw std::runtime_error(message);
}

std::uint16_t ParseNumber(std::string_view text, int base, std::string_view what)
{
    std::size_t used = 0;
    unsigned long value = 0;
    try {
        value = std::stoul(std::string(text), &used, base);
    } catch (const std::logic_error &) {
        Fail("bad " + std::string(what) + ": " + std::string(text));
    }
    if (used != text.size() || value > 0xFFFF)
        Fail("bad " + std::string(what) + ": " + std::string(text));
    return static_cast<std::uint16_t>(value);
}

// "0.8.1.0" as {0, 8, 1, 0}; missing parts are zero.
std::array<std::uint16_t, 4> ParseVersion(std::string_view text)
{
    std::array<std::uint16_t, 4> parts{};
    std::size_t index = 0;
    std::size_t pos = 0;
    while (pos <= text.size()) {
        if (index == parts.size())
            Fail("more than four parts in version " + std::string(text));
        std::size_t dot = text.find('.', pos);
        if (dot == std::string_view::npos)
            dot = text.size();
        parts[index++] = ParseNumber(text.substr(pos, dot - pos), 10, "version part");
        pos = dot + 1;
    }
    return parts;
}

mirado::platform::VersionTranslation ParseTranslation(std::string_view text)
{
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        Fail("translation wants LLLL:CCCC, got " + std::string(text));
    return {ParseNumber(text.substr(0, colon), 16, "language"),
            ParseNumber(text.substr(colon + 1), 16, "code page")};
}

std::string CppSource(const std::vector<std::uint8_t> &bytes, const std::string &section)
{
    std::string out = "// SPDX-License-Identifier: GPL-3.0-or-later\n"
                      "// Written by mirado_versionres: the program's version resource, which the\n"
                      "// program finds again by the name of its section.\n\n"
                      "namespace {\n\n"
                      "[[gnu::section(\"" +
                      section +
                      "\"), gnu::used]] alignas(4) const unsigned char kVersionResource[] = {\n";
    char hex[8];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i % kBytesPerLine == 0)
            out += "   ";
        std::snprintf(hex, sizeof hex, " 0x%02X,", bytes[i]);
        out += hex;
        if (i % kBytesPerLine == kBytesPerLine - 1 || i + 1 == bytes.size())
            out += '\n';
    }
    out += "};\n\n} // namespace\n";
    return out;
}

void WriteFile(const std::string &path, std::string_view content)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    if (!out)
        Fail("cannot write " + path);
}

int Run(const std::vector<std::string_view> &args)
{
    VersionResourceContent content;
    std::string cppPath;
    std::string binaryPath;
    std::string section(mirado::platform::kVersionSectionName);

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view option = args[i];
        if (i + 1 == args.size())
            Fail("missing value after " + std::string(option));
        const std::string_view value = args[++i];
        if (option == "--cpp") {
            cppPath = value;
        } else if (option == "--binary") {
            binaryPath = value;
        } else if (option == "--section") {
            section = value;
        } else if (option == "--file-version") {
            content.fileVersion = ParseVersion(value);
        } else if (option == "--product-version") {
            content.productVersion = ParseVersion(value);
        } else if (option == "--translation") {
            const auto translation = ParseTranslation(value);
            if (!content.translations)
                content.translations.emplace();
            content.translations->push_back(translation);
            content.stringTables.push_back({mirado::platform::TranslationKeyText(translation), {}});
        } else if (option == "--string") {
            const std::size_t equals = value.find('=');
            if (equals == std::string_view::npos)
                Fail("string wants KEY=VALUE, got " + std::string(value));
            if (content.stringTables.empty())
                Fail("--string before any --translation");
            content.stringTables.back().strings.emplace_back(value.substr(0, equals),
                                                             value.substr(equals + 1));
        } else {
            Fail("unknown option " + std::string(option));
        }
    }
    if (cppPath.empty() == binaryPath.empty())
        Fail("give exactly one of --cpp and --binary");

    const std::vector<std::uint8_t> bytes = mirado::platform::BuildVersionResource(content);
    if (!cppPath.empty())
        WriteFile(cppPath, CppSource(bytes, section));
    else
        WriteFile(binaryPath,
                  std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    try {
        return Run(std::vector<std::string_view>(argv + 1, argv + argc));
    } catch (const std::exception &e) {
        std::cerr << "mirado_versionres: " << e.what() << '\n';
        return 1;
    }
}
