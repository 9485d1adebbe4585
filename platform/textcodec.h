// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The program's byte strings as the windows show them: the decoding of
// data/encoding.h, handed over as QString.

#include <QString>
#include <string>
#include <string_view>

#include "data/encoding.h"

namespace mirado {

QString DecodeForDisplay(std::string_view bytes, TextEncoding encoding);

// A text cut to `maxLength` characters with an ellipsis, so a huge line or
// file content never reaches a label or a message box whole.
QString ShortenedForDisplay(const QString &text,
                            qsizetype maxLength = static_cast<qsizetype>(kMaxDisplayLength));

} // namespace mirado
