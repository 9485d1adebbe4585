// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace mirado {

// Reads the version resource of a file, by default the running program's own.
//
// The resource is loaded at the first query and kept for the object's life:
// later queries, even after FileName has changed, read the same resource.
// Every query may raise the reading error, mirado::Error with the text
// "QueryVersionInfo:" followed by the system's message for the failure.
class TFileVersionInfo
{
public:
    // Entries of the key table: 0 CompanyName, 1 FileDescription,
    // 2 FileVersion, 3 InternalName, 4 LegalCopyright, 5 OriginalFilename,
    // 6 ProductName, 7 ProductVersion.
    static constexpr int kKeyCount = 8;

    // FileName is the long form of the running program's path; the user's
    // language is the system's. Raises "GetFullPathName:" and the system's
    // message when the path cannot be made absolute.
    TFileVersionInfo();
    // The same with the user's default language identifier given (0x0411 for
    // Japanese).
    explicit TFileVersionInfo(std::uint16_t userLanguageId);

    const std::string &FileName() const { return fileName_; }
    void SetFileName(const std::string &fileName) { fileName_ = fileName; }

    // The bytes of the value at a version-resource path such as "\" or
    // "\VarFileInfo\Translation".
    std::vector<std::uint8_t> QueryValue(const std::string &path);

    // The chosen translation's language and code page as eight hexadecimal
    // digits ("041103A4"); empty when the translation list is. The entries are
    // searched from the last down to the second for the user's language; when
    // none has it, the first is chosen.
    std::string TranslationKey();

    // The string value of `key` in the chosen translation's table, up to its
    // first NUL. The resource holds it in UTF-16; it is returned in UTF-8, the
    // encoding the window shows text in.
    std::string StringValue(const std::string &key);

    // StringValue of the key table's entry `index`; an index outside 0 to 7
    // raises "Range check error".
    std::string KeyValue(int index);

    // Fields 0, 1 and 2 of FileVersion split at full stops, blanks before a
    // field skipped. A missing field raises the list's index error.
    std::string MajorVersion();
    std::string MinorVersion();
    std::string ReleaseNumber();

private:
    const std::vector<std::uint8_t> &Block();
    std::string VersionField(std::size_t index);

    std::string fileName_;
    std::uint16_t userLanguageId_;
    std::vector<std::uint8_t> block_;
    bool loaded_ = false;
};

// The version text shown in the window's caption and the about dialog: the
// major part, ".", then the minor part and the release part run together
// (file version 0.8.1.0 reads "0.81").
std::string VersionText(TFileVersionInfo &info);

} // namespace mirado
