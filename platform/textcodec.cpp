// SPDX-License-Identifier: GPL-3.0-or-later
#include "textcodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace mirado {

namespace {

// Code page 932, Microsoft's Shift-JIS with its NEC and IBM extensions.
constexpr const char *kShiftJisName = "windows-31j";

bool HasNonAscii(std::string_view bytes)
{
    for (const char c : bytes)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

} // namespace

bool IsValidUtf8(std::string_view bytes)
{
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
        std::size_t length = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
            high = lead == 0xED ? 0x9F : 0xBF; // no surrogates
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (i + length > bytes.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto c = static_cast<unsigned char>(bytes[i + k]);
            if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF))
                return false;
        }
        i += length;
    }
    return true;
}

TextEncoding DetectDisplayEncoding(const std::vector<std::string> &lines)
{
    bool nonAscii = false;
    for (const std::string &line : lines) {
        if (!IsValidUtf8(line))
            return TextEncoding::ShiftJis;
        nonAscii = nonAscii || HasNonAscii(line);
    }
    return nonAscii ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
}

TextEncoding DetectDisplayEncoding(std::string_view bytes)
{
    return HasNonAscii(bytes) && IsValidUtf8(bytes) ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
}

QString DecodeForDisplay(std::string_view bytes, TextEncoding encoding)
{
    const auto size = static_cast<qsizetype>(bytes.size());
    if (encoding == TextEncoding::Utf8 || !HasNonAscii(bytes))
        return QString::fromUtf8(bytes.data(), size);
    QStringDecoder decoder(kShiftJisName);
    return decoder(QByteArrayView(bytes.data(), size));
}

std::string DecodeToUtf8(std::string_view bytes, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8 || !HasNonAscii(bytes))
        return std::string(bytes);
    return DecodeForDisplay(bytes, encoding).toStdString();
}

std::string EncodeText(const QString &text, TextEncoding encoding)
{
    if (encoding == TextEncoding::Utf8)
        return text.toStdString();
    QStringEncoder encoder(kShiftJisName);
    const QByteArray bytes = encoder(text);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString ErrorTextForDisplay(std::string_view format, std::string_view argument, bool hasArgument)
{
    QString text = QString::fromUtf8(format.data(), static_cast<qsizetype>(format.size()));
    if (hasArgument)
        text.replace(QStringLiteral("%s"), ShortenedForDisplay(DecodeForDisplay(
                                               argument, DetectDisplayEncoding(argument))));
    return text;
}

QString ShortenedForDisplay(const QString &text, qsizetype maxLength)
{
    if (text.size() <= maxLength)
        return text;
    qsizetype cut = maxLength;
    if (text[cut - 1].isHighSurrogate())
        --cut;
    return text.left(cut) + QStringLiteral("…");
}

std::string ErrorTextForDisplay(std::string_view format, std::string_view argument)
{
    return ErrorTextForDisplay(format, argument, true).toStdString();
}

} // namespace mirado
