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
    // The Latin families draw in one font each, from the packages the program
    // depends on (fonts-dejavu-core, fonts-liberation), so every machine lays
    // the windows out alike. Liberation has the metrics of Arial and of a
    // Times-like serif, narrow enough for the about dialog's fixed places.
    const QStringList sans = {"DejaVu Sans"};
    const QStringList monospace = {"DejaVu Sans Mono"};
    const QStringList serif = {"Liberation Serif"};
    const QStringList arial = {"Liberation Sans"};

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
