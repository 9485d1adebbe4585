// SPDX-License-Identifier: GPL-3.0-or-later
#include "errors.h"

namespace mirado {

namespace {

std::string Substitute(const std::string &format, const std::string &argument)
{
    std::string text = format;
    if (const auto at = text.find("%s"); at != std::string::npos)
        text.replace(at, 2, argument);
    return text;
}

} // namespace

Error::Error(const std::string &text) : std::runtime_error(text), format_(text) {}

Error::Error(const std::string &format, const std::string &argument)
    : std::runtime_error(Substitute(format, argument)), format_(format), argument_(argument),
      hasArgument_(true)
{}

void ThrowIntegerOverflow()
{
    throw Error(kIntegerOverflowText);
}
void ThrowRangeCheckError()
{
    throw Error(kRangeCheckErrorText);
}
void ThrowInvalidFloatOp()
{
    throw Error(kInvalidFloatOpText);
}
void ThrowNotValidInteger(const std::string &text)
{
    throw Error(kNotValidIntegerFormat, text);
}
void ThrowNotValidFloat(const std::string &text)
{
    throw Error(kNotValidFloatFormat, text);
}
void ThrowCannotOpenFile(const std::string &path)
{
    throw Error(kCannotOpenFileFormat, path);
}
void ThrowCannotCreateFile(const std::string &path)
{
    throw Error(kCannotCreateFileFormat, path);
}

void ThrowTextTooLarge(const std::string &path, unsigned long long maxBytes)
{
    std::string format = kTextTooLargeFormat;
    format.replace(format.find("%d"), 2, std::to_string(maxBytes));
    throw Error(format, path);
}

void ThrowListIndex(long long index)
{
    std::string text = kListIndexFormat;
    text.replace(text.find("%d"), 2, std::to_string(index));
    throw Error(text);
}

} // namespace mirado
