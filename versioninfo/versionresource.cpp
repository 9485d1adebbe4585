// SPDX-License-Identifier: GPL-3.0-or-later
#include "versionresource.h"

#include <cstdio>
#include <limits>
#include <stdexcept>

#include "systemerror.h"
#include "utf16.h"

namespace mirado::platform {

namespace {

constexpr std::size_t kHeaderSize = 6; // wLength, wValueLength, wType
constexpr std::size_t kAlignment = 4;
constexpr std::uint16_t kTypeBinary = 0;
constexpr std::uint16_t kTypeText = 1;
constexpr std::size_t kMaxNodeLength = std::numeric_limits<std::uint16_t>::max();

// The root's key. Kept in ASCII and widened where it is used, so that the
// programs that read version resources carry no UTF-16 copy of it.
constexpr std::string_view kRootKey = "VS_VERSION_INFO";
constexpr std::string_view kStringFileInfoKey = "StringFileInfo";
constexpr std::string_view kVarFileInfoKey = "VarFileInfo";
constexpr std::string_view kTranslationKey = "Translation";

// Header, key with its NUL, padding, then the fixed file info.
constexpr std::size_t kRootKeyEnd = kHeaderSize + (kRootKey.size() + 1) * 2;
constexpr std::size_t kFixedFileInfoOffset =
    (kRootKeyEnd + kAlignment - 1) / kAlignment * kAlignment;
constexpr std::size_t kMinRootLength = kFixedFileInfoOffset + kFixedFileInfoSize;

constexpr std::size_t AlignUp(std::size_t offset)
{
    return (offset + kAlignment - 1) / kAlignment * kAlignment;
}

std::uint16_t Word(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

std::uint32_t DWord(std::span<const std::uint8_t> bytes, std::size_t at)
{
    return static_cast<std::uint32_t>(Word(bytes, at)) |
           (static_cast<std::uint32_t>(Word(bytes, at + 2)) << 16);
}

class Writer
{
public:
    std::vector<std::uint8_t> take() { return std::move(out_); }

    void word(std::uint16_t value)
    {
        out_.push_back(static_cast<std::uint8_t>(value & 0xFF));
        out_.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    void dword(std::uint32_t value)
    {
        word(static_cast<std::uint16_t>(value & 0xFFFF));
        word(static_cast<std::uint16_t>(value >> 16));
    }
    // UTF-16LE text and its NUL; returns the number of units written.
    std::size_t text(std::string_view utf8)
    {
        const std::u16string units = Utf8ToUtf16(utf8);
        for (const char16_t unit : units)
            word(unit);
        word(0);
        return units.size() + 1;
    }
    void align()
    {
        while (out_.size() % kAlignment != 0)
            out_.push_back(0);
    }

    // Writes a node's header with a zero wLength and its key; returns where
    // the node starts.
    std::size_t beginNode(std::uint16_t valueLength, std::uint16_t type, std::string_view key)
    {
        align();
        const std::size_t start = out_.size();
        word(0);
        word(valueLength);
        word(type);
        text(key);
        align();
        return start;
    }
    void setWordAt(std::size_t at, std::size_t value)
    {
        if (value > kMaxNodeLength)
            throw std::length_error("version resource node longer than 65535 bytes");
        out_[at] = static_cast<std::uint8_t>(value & 0xFF);
        out_[at + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    void endNode(std::size_t start) { setWordAt(start, out_.size() - start); }
    std::size_t size() const { return out_.size(); }

private:
    std::vector<std::uint8_t> out_;
};

void WriteFixedFileInfo(Writer &w, const VersionResourceContent &c)
{
    const auto high = [](const std::array<std::uint16_t, 4> &v) {
        return (static_cast<std::uint32_t>(v[0]) << 16) | v[1];
    };
    const auto low = [](const std::array<std::uint16_t, 4> &v) {
        return (static_cast<std::uint32_t>(v[2]) << 16) | v[3];
    };
    w.dword(kFixedFileInfoSignature);
    w.dword(kFixedFileInfoStrucVersion);
    w.dword(high(c.fileVersion));
    w.dword(low(c.fileVersion));
    w.dword(high(c.productVersion));
    w.dword(low(c.productVersion));
    w.dword(c.fileFlagsMask);
    w.dword(c.fileFlags);
    w.dword(c.fileOs);
    w.dword(c.fileType);
    w.dword(c.fileSubtype);
    w.dword(0); // file date, always zero
    w.dword(0);
}

void WriteStringFileInfo(Writer &w, const std::vector<VersionStringTable> &tables)
{
    const std::size_t info = w.beginNode(0, kTypeText, kStringFileInfoKey);
    for (const auto &table : tables) {
        const std::size_t tableStart = w.beginNode(0, kTypeText, table.key);
        for (const auto &[name, value] : table.strings) {
            const std::size_t start = w.beginNode(0, kTypeText, name);
            w.setWordAt(start + 2, w.text(value));
            w.endNode(start);
        }
        w.endNode(tableStart);
    }
    w.endNode(info);
}

void WriteVarFileInfo(Writer &w, const std::vector<VersionTranslation> &translations)
{
    const std::size_t info = w.beginNode(0, kTypeText, kVarFileInfoKey);
    const std::size_t start = w.beginNode(0, kTypeBinary, kTranslationKey);
    for (const auto &t : translations) {
        w.word(t.language);
        w.word(t.codePage);
    }
    w.setWordAt(start + 2, translations.size() * 4);
    w.endNode(start);
    w.endNode(info);
}

// One node of a loaded resource, as offsets into it.
struct Node
{
    std::size_t end = 0;
    std::size_t keyStart = 0;
    std::size_t keyUnits = 0; // without the NUL
    std::size_t valueStart = 0;
    std::size_t valueSize = 0;
    std::size_t childrenStart = 0;
};

// Reads the node at `start`, which must end by `limit`.
std::optional<Node> ReadNode(std::span<const std::uint8_t> block, std::size_t start,
                             std::size_t limit)
{
    if (start + kHeaderSize > limit)
        return std::nullopt;
    const std::size_t length = Word(block, start);
    if (length < kHeaderSize || start + length > limit)
        return std::nullopt;

    Node node;
    node.end = start + length;
    node.keyStart = start + kHeaderSize;
    std::size_t at = node.keyStart;
    while (at + 2 <= node.end && Word(block, at) != 0)
        at += 2;
    if (at + 2 > node.end)
        return std::nullopt;
    node.keyUnits = (at - node.keyStart) / 2;

    // A text value's length counts UTF-16 units. Values cut short by the
    // node's end are taken as far as they go.
    const std::size_t valueLength = Word(block, start + 2);
    const bool text = Word(block, start + 4) == kTypeText;
    node.valueStart = std::min(AlignUp(at + 2), node.end);
    node.valueSize = std::min(text ? valueLength * 2 : valueLength, node.end - node.valueStart);
    node.childrenStart = AlignUp(node.valueStart + node.valueSize);
    return node;
}

char16_t FoldAscii(char16_t c)
{
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c;
}

bool KeyEquals(std::span<const std::uint8_t> block, const Node &node, std::u16string_view key)
{
    if (node.keyUnits != key.size())
        return false;
    for (std::size_t i = 0; i < key.size(); ++i) {
        if (FoldAscii(Word(block, node.keyStart + 2 * i)) != FoldAscii(key[i]))
            return false;
    }
    return true;
}

std::optional<Node> FindChild(std::span<const std::uint8_t> block, const Node &parent,
                              std::u16string_view key)
{
    std::size_t at = parent.childrenStart;
    while (at < parent.end) {
        const auto child = ReadNode(block, at, parent.end);
        if (!child)
            return std::nullopt;
        if (KeyEquals(block, *child, key))
            return child;
        at = AlignUp(child->end);
    }
    return std::nullopt;
}

} // namespace

std::string TranslationKeyText(VersionTranslation translation)
{
    char text[9];
    std::snprintf(text, sizeof text, "%04X%04X", translation.language, translation.codePage);
    return text;
}

std::vector<std::uint8_t> BuildVersionResource(const VersionResourceContent &content)
{
    Writer w;
    const std::size_t root = w.beginNode(kFixedFileInfoSize, kTypeBinary, kRootKey);
    WriteFixedFileInfo(w, content);
    if (!content.stringTables.empty())
        WriteStringFileInfo(w, content.stringTables);
    if (content.translations)
        WriteVarFileInfo(w, *content.translations);
    w.endNode(root);
    return w.take();
}

std::size_t VersionResourceLengthAt(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    if (offset > bytes.size() || bytes.size() - offset < kMinRootLength)
        return 0;
    const auto root = bytes.subspan(offset);
    const std::size_t length = Word(root, 0);
    if (length < kMinRootLength || length > root.size())
        return 0;
    if (Word(root, 2) != kFixedFileInfoSize || Word(root, 4) != kTypeBinary)
        return 0;
    for (std::size_t i = 0; i <= kRootKey.size(); ++i) {
        const char16_t want = i < kRootKey.size() ? static_cast<char16_t>(kRootKey[i]) : 0;
        if (Word(root, kHeaderSize + 2 * i) != want)
            return 0;
    }
    for (std::size_t at = kRootKeyEnd; at < kFixedFileInfoOffset; ++at) {
        if (root[at] != 0)
            return 0;
    }
    return DWord(root, kFixedFileInfoOffset) == kFixedFileInfoSignature ? length : 0;
}

std::span<const std::uint8_t> QueryVersionValue(std::span<const std::uint8_t> block,
                                                std::string_view subBlock, std::error_code &ec)
{
    ec.clear();
    const std::size_t length = VersionResourceLengthAt(block, 0);
    if (length == 0) {
        ec = VersionResourceErrc::ResourceTypeNotFound;
        return {};
    }
    std::optional<Node> node = ReadNode(block, 0, length);

    // Walk down one component at a time; empty components (a leading,
    // doubled or trailing backslash) name no level.
    std::size_t pos = 0;
    while (node && pos <= subBlock.size()) {
        std::size_t next = subBlock.find('\\', pos);
        if (next == std::string_view::npos)
            next = subBlock.size();
        if (next > pos)
            node = FindChild(block, *node, Utf8ToUtf16(subBlock.substr(pos, next - pos)));
        pos = next + 1;
    }
    if (!node) {
        ec = VersionResourceErrc::ResourceNameNotFound;
        return {};
    }
    return block.subspan(node->valueStart, node->valueSize);
}

} // namespace mirado::platform
