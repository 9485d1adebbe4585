// SPDX-License-Identifier: GPL-3.0-or-later
#include "textcodec.h"

namespace mirado {

QString DecodeForDisplay(std::string_view bytes, TextEncoding encoding)
{
    const std::string text = DecodeToUtf8(bytes, encoding);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
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

} // namespace mirado
