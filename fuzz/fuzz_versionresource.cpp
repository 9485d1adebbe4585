// SPDX-License-Identifier: GPL-3.0-or-later
//
// The version-resource reader on arbitrary bytes: FindVersionResource on the
// input as a file image, then QueryVersionValue of the paths the about
// dialog and the window caption read, both on the resource found and on the
// input taken as a loaded resource.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "fuzz_support.h"
#include "versioninfo/fileversion.h"
#include "versioninfo/systemerror.h"
#include "versioninfo/utf16.h"
#include "versioninfo/versionresource.h"

namespace {

using Bytes = std::span<const std::uint8_t>;
using mirado::platform::VersionResourceErrc;

constexpr std::array<std::string_view, 10> kStringNames = {
    "CompanyName",      "FileDescription", "FileVersion",    "InternalName",    "LegalCopyright",
    "OriginalFilename", "ProductName",     "ProductVersion", "LegalTrademarks", "Comments"};

// Translations looked at per resource; a real one has one or two.
constexpr std::size_t kMaxTranslations = 4;

bool Within(Bytes part, Bytes whole)
{
    return part.empty() || (part.data() >= whole.data() &&
                            part.data() + part.size() <= whole.data() + whole.size());
}

Bytes Query(Bytes block, std::string_view path, bool isResource)
{
    std::error_code ec;
    const Bytes value = mirado::platform::QueryVersionValue(block, path, ec);
    if (!isResource)
        MIRADO_FUZZ_REQUIRE(ec == VersionResourceErrc::ResourceTypeNotFound);
    if (ec) {
        MIRADO_FUZZ_REQUIRE(ec == VersionResourceErrc::ResourceTypeNotFound ||
                            ec == VersionResourceErrc::ResourceNameNotFound);
        MIRADO_FUZZ_REQUIRE(value.empty());
        MIRADO_FUZZ_REQUIRE(!mirado::platform::SystemMessage(ec).empty());
    }
    MIRADO_FUZZ_REQUIRE(Within(value, block));
    return value;
}

// A string value as the program shows it: UTF-16LE up to its first NUL.
std::string StringOf(Bytes value)
{
    std::u16string units;
    for (std::size_t i = 0; i + 1 < value.size(); i += 2) {
        const auto unit = static_cast<char16_t>(value[i] | (value[i + 1] << 8));
        if (unit == 0)
            break;
        units += unit;
    }
    return mirado::platform::Utf16ToUtf8(units);
}

void QueryStandardPaths(Bytes block)
{
    const bool isResource = mirado::platform::VersionResourceLengthAt(block, 0) != 0;

    MIRADO_FUZZ_REQUIRE(Query(block, "\\", isResource).size() <=
                        mirado::platform::kFixedFileInfoSize);
    const Bytes translations = Query(block, "\\VarFileInfo\\Translation", isResource);
    Query(block, "\\StringFileInfo", isResource);

    std::vector<std::string> keys = {"041103A4", "040904E4"};
    for (std::size_t i = 0; i + 4 <= translations.size() && i / 4 < kMaxTranslations; i += 4) {
        keys.push_back(mirado::platform::TranslationKeyText(
            {static_cast<std::uint16_t>(translations[i] | (translations[i + 1] << 8)),
             static_cast<std::uint16_t>(translations[i + 2] | (translations[i + 3] << 8))}));
    }
    for (const std::string &key : keys) {
        MIRADO_FUZZ_REQUIRE(key.size() == 8);
        for (const std::string_view name : kStringNames) {
            const std::string path = "\\StringFileInfo\\" + key + "\\" + std::string(name);
            StringOf(Query(block, path, isResource));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const Bytes image(data, size);

    if (const auto section =
            mirado::platform::FindElfSection(image, mirado::platform::kVersionSectionName))
        MIRADO_FUZZ_REQUIRE(Within(*section, image));

    if (const auto resource = mirado::platform::FindVersionResource(image)) {
        MIRADO_FUZZ_REQUIRE(!resource->empty() && Within(*resource, image));
        MIRADO_FUZZ_REQUIRE(mirado::platform::VersionResourceLengthAt(*resource, 0) ==
                            resource->size());
        QueryStandardPaths(*resource);
    }
    QueryStandardPaths(image);
    return 0;
}
