// SPDX-License-Identifier: GPL-3.0-or-later
#include "localeformat.h"

#include <QDate>
#include <QTime>

namespace mirado {

namespace {

// A time format less its time-zone fields ("t"), which the clock texts do
// not show; quoted text is kept as it is.
QString WithoutTimeZone(const QString &format)
{
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        result += c;
    }
    return result.simplified();
}

} // namespace

LocaleFormats LocaleFormatsOf(const QLocale &locale)
{
    const QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    const QString timeFormat = WithoutTimeZone(locale.timeFormat(QLocale::LongFormat));
    return {[locale, dateFormat](const TDateRec &d) {
                return locale.toString(QDate(d.year, d.month, d.day), dateFormat).toStdString();
            },
            [locale, timeFormat](std::int32_t h, std::int32_t m, std::int32_t s) {
                return locale.toString(QTime(h, m, s), timeFormat).toStdString();
            }};
}

char DecimalSeparatorOf(const QLocale &locale)
{
    const QString point = locale.decimalPoint();
    return point.size() == 1 && point[0].unicode() < 0x80 ? static_cast<char>(point[0].unicode())
                                                          : '.';
}

} // namespace mirado
