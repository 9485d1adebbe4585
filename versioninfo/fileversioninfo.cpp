// SPDX-License-Identifier: GPL-3.0-or-later
#include "fileversioninfo.h"

#include <array>
#include <system_error>

#include "data/errors.h"
#include "data/fields.h"
#include "versioninfo/fileversion.h"
#include "versioninfo/language.h"
#include "versioninfo/paths.h"
#include "versioninfo/systemerror.h"
#include "versioninfo/utf16.h"
#include "versioninfo/versionresource.h"

namespace mirado {

namespace {

constexpr std::array<const char *, TFileVersionInfo::kKeyCount> kKeys = {
    "CompanyName",    "FileDescription",  "FileVersion", "InternalName",
    "LegalCopyright", "OriginalFilename", "ProductName", "ProductVersion",
};
constexpr int kFileVersionKey = 2;
constexpr std::size_t kTranslationEntrySize = 4; // language and code page, 16 bits each

[[noreturn]] void ThrowSystemError(const char *service, const std::error_code &ec)
{
    throw Error(std::string(service) + ":" + platform::SystemMessage(ec));
}

[[noreturn]] void ThrowQueryError(const std::error_code &ec)
{
    ThrowSystemError("QueryVersionInfo", ec);
}

std::string RunningProgramLongPath()
{
    std::error_code ec;
    const std::string exe = platform::RunningExecutablePath(ec);
    if (ec)
        ThrowSystemError("GetModuleFileName", ec);
    std::string longPath = platform::LongPathName(exe, ec);
    if (ec)
        ThrowSystemError("GetFullPathName", ec);
    return longPath;
}

std::uint16_t Word(const std::vector<std::uint8_t> &bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

} // namespace

TFileVersionInfo::TFileVersionInfo() : TFileVersionInfo(platform::UserDefaultLanguageId()) {}

TFileVersionInfo::TFileVersionInfo(std::uint16_t userLanguageId)
    : fileName_(RunningProgramLongPath()), userLanguageId_(userLanguageId)
{}

const std::vector<std::uint8_t> &TFileVersionInfo::Block()
{
    if (loaded_)
        return block_;
    // One read gives the size and the bytes.
    std::error_code ec;
    std::vector<std::uint8_t> block = platform::ReadFileVersionInfo(fileName_, ec);
    if (ec)
        ThrowQueryError(ec);
    block_ = std::move(block);
    loaded_ = true;
    return block_;
}

std::vector<std::uint8_t> TFileVersionInfo::QueryValue(const std::string &path)
{
    std::error_code ec;
    const auto value = platform::QueryVersionValue(Block(), path, ec);
    if (ec)
        ThrowQueryError(ec);
    return {value.begin(), value.end()};
}

std::string TFileVersionInfo::TranslationKey()
{
    const std::vector<std::uint8_t> list = QueryValue("\\VarFileInfo\\Translation");
    const std::size_t count = list.size() / kTranslationEntrySize;
    if (count == 0)
        return {};
    std::size_t chosen = 0;
    for (std::size_t i = count - 1; i >= 1; --i) {
        if (Word(list, i * kTranslationEntrySize) == userLanguageId_) {
            chosen = i;
            break;
        }
    }
    const std::size_t at = chosen * kTranslationEntrySize;
    return platform::TranslationKeyText({Word(list, at), Word(list, at + 2)});
}

std::string TFileVersionInfo::StringValue(const std::string &key)
{
    const std::vector<std::uint8_t> value =
        QueryValue("\\StringFileInfo\\" + TranslationKey() + "\\" + key);
    std::u16string text;
    for (std::size_t at = 0; at + 1 < value.size(); at += 2) {
        const char16_t unit = Word(value, at);
        if (unit == 0)
            break;
        text += unit;
    }
    return platform::Utf16ToUtf8(text);
}

std::string TFileVersionInfo::KeyValue(int index)
{
    if (index < 0 || index >= kKeyCount)
        ThrowRangeCheckError();
    return StringValue(kKeys[static_cast<std::size_t>(index)]);
}

std::string TFileVersionInfo::VersionField(std::size_t index)
{
    const std::vector<std::string> fields = SplitFields(".", " ", KeyValue(kFileVersionKey));
    return ListItem(fields, index);
}

std::string TFileVersionInfo::MajorVersion()
{
    return VersionField(0);
}

std::string TFileVersionInfo::MinorVersion()
{
    return VersionField(1);
}

std::string TFileVersionInfo::ReleaseNumber()
{
    return VersionField(2);
}

std::string VersionText(TFileVersionInfo &info)
{
    // One part after the other, so that a missing part raises the error of
    // the first one missing.
    std::string text = info.MajorVersion();
    text += ".";
    text += info.MinorVersion();
    text += info.ReleaseNumber();
    return text;
}

} // namespace mirado
