// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>

#include "night/nowtexts.h"

namespace mirado {

// The locale's short date format and its long time format without the time
// zone name, as the current-time display shows them.
LocaleFormats LocaleFormatsOf(const QLocale &locale);

// The decimal separator of the locale when it is a single ASCII character,
// else the full stop.
char DecimalSeparatorOf(const QLocale &locale);

} // namespace mirado
