// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QLocale>

#include "night/nowtexts.h"

namespace mirado {

// The room the clock texts have: the fonts of the universal-time panel and of
// the local-time label, and the width in pixels each leaves to its text.
struct ClockTextRoom
{
    QFont panelFont;
    int panelTextWidthPx = 0;
    QFont labelFont;
    int labelTextWidthPx = 0;
};

// The numeric time with seconds, as Japanese desktops write it: 21:05:09.
inline constexpr const char *kNumericTimeFormat = "H:mm:ss";

// The time format the clock texts use in `locale`: the numeric form for
// Japanese locales and for every locale whose long time format would not fit
// the panel or the label at the widest moment (day 28, 23:59:59 and the other
// hours); else the long time format without the zone name.
QString ClockTimeFormat(const QLocale &locale, const ClockTextRoom &room);

// The locale's short date format and the clock time format above, as the
// current-time display shows them.
LocaleFormats LocaleFormatsOf(const QLocale &locale, const ClockTextRoom &room);

// The same for texts that have no place to fit (a terminal's output): the
// numeric form for Japanese locales, else the long time format without the
// zone name.
LocaleFormats LocaleFormatsOf(const QLocale &locale);

// The long time format less its zone name, any brackets or separator left
// empty by that, and the flexible day period (B) that Qt does not draw.
QString LongTimeWithoutZone(const QLocale &locale);

// The decimal separator of the locale when it is a single ASCII character,
// else the full stop.
char DecimalSeparatorOf(const QLocale &locale);

} // namespace mirado
