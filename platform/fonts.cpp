// SPDX-License-Identifier: GPL-3.0-or-later
#include "fonts.h"

#include <QStringList>

namespace mirado {

void InstallFontSubstitutions()
{
    const QStringList japaneseGothic = {"IPAGothic", "IPAexGothic", "Noto Sans Mono CJK JP",
                                        "VL Gothic", "TakaoGothic"};
    const QStringList japanesePGothic = {"IPAPGothic", "IPAexGothic", "Noto Sans CJK JP",
                                         "VL PGothic", "TakaoPGothic"};
    const QStringList japanesePMincho = {"IPAPMincho", "IPAexMincho", "Noto Serif CJK JP",
                                         "TakaoPMincho"};
    const QStringList sans = {"DejaVu Sans", "Liberation Sans", "Noto Sans", "FreeSans"};
    const QStringList monospace = {"DejaVu Sans Mono", "Liberation Mono", "Noto Sans Mono",
                                   "FreeMono"};
    const QStringList serif = {"DejaVu Serif", "Liberation Serif", "Noto Serif", "FreeSerif"};
    // Liberation Sans has Arial's metrics, so it comes first for Arial.
    const QStringList arial = {"Liberation Sans", "DejaVu Sans", "Noto Sans", "FreeSans"};

    QFont::insertSubstitutions(QString::fromUtf8(kMsGothic), japaneseGothic);
    QFont::insertSubstitutions(QString::fromUtf8(kMsPGothic), japanesePGothic);
    QFont::insertSubstitutions(QString::fromUtf8(kMsPMincho), japanesePMincho);
    QFont::insertSubstitutions(kSystemFont, sans);
    QFont::insertSubstitutions(kFixedSysFont, monospace);
    QFont::insertSubstitutions(kCenturyFont, serif);
    QFont::insertSubstitutions(kArialFont, arial);
}

QFont PixelFont(const char *family, int heightPx, bool bold)
{
    QFont font(QString::fromUtf8(family));
    font.setPixelSize(heightPx);
    font.setBold(bold);
    return font;
}

} // namespace mirado
