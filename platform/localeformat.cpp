// SPDX-License-Identifier: GPL-3.0-or-later
#include "localeformat.h"

#include <QDate>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QTime>

#include <algorithm>

namespace mirado {

namespace {

// The day whose UT date is widest: two-digit month and day.
constexpr TDateRec kWidestDay{2026, 12, 28};
constexpr std::int32_t kLastMinute = 59;
constexpr std::int32_t kLastSecond = 59;
// The label shows the locale's time from 09:00 on.
constexpr std::int32_t kLabelFirstHour = 9;

// `format` less its unquoted fields `fields`; quoted text is kept as it is.
QString WithoutFields(const QString &format, const QString &fields)
{
    QString result;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && fields.contains(c))
            continue;
        result += c;
    }
    return result;
}

LocaleFormats FormatsWith(const QLocale &locale, const QString &timeFormat)
{
    const QString dateFormat = locale.dateFormat(QLocale::ShortFormat);
    // The numeric form keeps ASCII digits, like the UT date before it.
    const QLocale timeLocale =
        timeFormat == QLatin1String(kNumericTimeFormat) ? QLocale::c() : locale;
    return {[locale, dateFormat](const TDateRec &d) {
                return locale.toString(QDate(d.year, d.month, d.day), dateFormat).toStdString();
            },
            [timeLocale, timeFormat](std::int32_t h, std::int32_t m, std::int32_t s) {
                return timeLocale.toString(QTime(h, m, s), timeFormat).toStdString();
            }};
}

bool Fits(const LocaleFormats &formats, const ClockTextRoom &room)
{
    const QFontMetrics panel(room.panelFont);
    const QFontMetrics label(room.labelFont);
    for (std::int32_t hour = 0; hour < 24; ++hour) {
        const DateTimeValue moment =
            DateTimeValue::FromParts(kWidestDay, hour, kLastMinute, kLastSecond);
        const QString ut = QString::fromStdString(UniversalTimeText(moment, 0.0, formats));
        if (panel.horizontalAdvance(ut) > room.panelTextWidthPx)
            return false;
        const QString time =
            QString::fromStdString(formats.longTime(hour, kLastMinute, kLastSecond));
        if (hour >= kLabelFirstHour && label.horizontalAdvance(time) > room.labelTextWidthPx)
            return false;
    }
    return true;
}

} // namespace

QString LongTimeWithoutZone(const QLocale &locale)
{
    QString format = WithoutFields(locale.timeFormat(QLocale::LongFormat), QStringLiteral("tB"));
    // Brackets and separators that held only the zone name go with it.
    static const QRegularExpression emptyBrackets(QStringLiteral("\\(\\s*\\)|\\[\\s*\\]|（\\s*）"));
    static const QRegularExpression danglingSeparator(QStringLiteral("^[\\s,、]+|[\\s,、]+$"));
    format.remove(emptyBrackets);
    format.remove(danglingSeparator);
    return format.simplified();
}

QString ClockTimeFormat(const QLocale &locale, const ClockTextRoom &room)
{
    const QString numeric = QString::fromLatin1(kNumericTimeFormat);
    if (locale.language() == QLocale::Japanese)
        return numeric;
    const QString longTime = LongTimeWithoutZone(locale);
    return Fits(FormatsWith(locale, longTime), room) ? longTime : numeric;
}

LocaleFormats LocaleFormatsOf(const QLocale &locale)
{
    return FormatsWith(locale, locale.language() == QLocale::Japanese
                                   ? QString::fromLatin1(kNumericTimeFormat)
                                   : LongTimeWithoutZone(locale));
}

LocaleFormats LocaleFormatsOf(const QLocale &locale, const ClockTextRoom &room)
{
    return FormatsWith(locale, ClockTimeFormat(locale, room));
}

char DecimalSeparatorOf(const QLocale &locale)
{
    const QString point = locale.decimalPoint();
    return point.size() == 1 && point[0].unicode() < 0x80 ? static_cast<char>(point[0].unicode())
                                                          : '.';
}

} // namespace mirado
