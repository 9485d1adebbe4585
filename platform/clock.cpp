// SPDX-License-Identifier: GPL-3.0-or-later
#include "clock.h"

namespace mirado {

namespace {

std::function<QDateTime()> &ClockOverride()
{
    static std::function<QDateTime()> clock;
    return clock;
}

} // namespace

QDateTime LocalNow()
{
    if (const auto &clock = ClockOverride())
        return clock();
    QDateTime now = QDateTime::currentDateTime();
    const QTime time = now.time();
    now.setTime(QTime(time.hour(), time.minute(), time.second()));
    return now;
}

void SetClockForTesting(std::function<QDateTime()> clock)
{
    ClockOverride() = std::move(clock);
}

DateTimeValue ToDateTimeValue(const QDateTime &local)
{
    const QDate d = local.date();
    const QTime t = local.time();
    return DateTimeValue::FromParts({d.year(), d.month(), d.day()}, t.hour(), t.minute(),
                                    t.second());
}

QDateTime ToQDateTime(const DateTimeValue &value)
{
    const TDateRec d = value.date();
    const THMSRec t = value.time();
    return QDateTime(QDate(d.year, d.month, d.day),
                     QTime(t.hours, t.minutes, static_cast<int>(t.seconds)));
}

} // namespace mirado
