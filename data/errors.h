// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace mirado {

// The program's error: an exception that carries the text shown to the user.
//
// Texts that quote something the user supplied (a catalogue sub-field, a path)
// keep that piece apart as `argument()`, so a window can decode it for display
// (catalogue bytes are Shift-JIS) while `what()` holds the text with the raw
// bytes put in place of "%s".
class Error : public std::runtime_error
{
public:
    explicit Error(const std::string &text);
    Error(const std::string &format, const std::string &argument);

    // The text with "%s" where the argument goes (or the whole text).
    const std::string &format() const { return format_; }
    const std::string &argument() const { return argument_; }
    bool hasArgument() const { return hasArgument_; }

private:
    std::string format_;
    std::string argument_;
    bool hasArgument_ = false;
};

// The fixed error texts.
inline constexpr const char *kIntegerOverflowText = "Integer overflow";
inline constexpr const char *kRangeCheckErrorText = "Range check error";
inline constexpr const char *kInvalidFloatOpText = "Invalid floating point operation";
inline constexpr const char *kNotValidIntegerFormat = "'%s' is not a valid integer value";
inline constexpr const char *kNotValidFloatFormat = "'%s' is not a valid floating point value";
inline constexpr const char *kListIndexFormat = "リストのインデックスが範囲を超えています (%d)";
inline constexpr const char *kCannotOpenFileFormat = "ファイル %s は開けません";
inline constexpr const char *kCannotCreateFileFormat = "ファイル %s を作成できません";
inline constexpr const char *kTextTooLargeFormat =
    "ファイル %s は %d バイトを超えるため読み込めません";

[[noreturn]] void ThrowIntegerOverflow();
[[noreturn]] void ThrowRangeCheckError();
[[noreturn]] void ThrowInvalidFloatOp();
[[noreturn]] void ThrowNotValidInteger(const std::string &text);
[[noreturn]] void ThrowNotValidFloat(const std::string &text);
[[noreturn]] void ThrowListIndex(long long index);
[[noreturn]] void ThrowCannotOpenFile(const std::string &path);
[[noreturn]] void ThrowCannotCreateFile(const std::string &path);
[[noreturn]] void ThrowTextTooLarge(const std::string &path, unsigned long long maxBytes);

} // namespace mirado
