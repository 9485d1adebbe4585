// SPDX-License-Identifier: GPL-3.0-or-later
#include "eventtext.h"

#include "nighttime.h"

namespace mirado {

std::string EventTimeText(const TDateRec &date, double hours)
{
    return FormatIsoDateTime(NightDateTime(date, hours));
}

namespace {

void AppendTime(std::string &text, const TDateRec &date, const std::optional<double> &hours)
{
    if (hours)
        text += EventTimeText(date, *hours);
}

} // namespace

EventCsvNight::EventCsvNight(const TDateRec &date, const NightEvents &events)
    : date_(date), day_(FormatIsoDate(date))
{
    for (const std::optional<double> *hours :
         {&events.sunSet, &events.astronomicalDusk, &events.astronomicalDawn, &events.sunRise,
          &events.moonRise, &events.moonSet}) {
        nightColumns_ += ',';
        AppendTime(nightColumns_, date, *hours);
    }
    nightColumns_ += ',' + FormatNumber(events.moonIllumination) + ',';
}

void EventCsvNight::appendRow(std::string &text, const ObjectNight &object) const
{
    const ObjectEvents &events = object.events;
    text += day_;
    text += ',' + std::to_string(object.line) + ',';
    text += CsvField(object.name);
    text += ',';
    AppendTime(text, date_, events.rise);
    text += ',';
    AppendTime(text, date_, events.transit);
    text += ',' + FormatNumber(events.transitElevationDeg) + ',';
    AppendTime(text, date_, events.set);
    text += ',' + FormatNumber(events.darkHoursAbove);
    text += nightColumns_;
    if (events.moonSeparationDeg)
        text += FormatNumber(*events.moonSeparationDeg);
    text += '\n';
}

void EventCsvNight::appendEmptyRow(std::string &text) const
{
    text += day_;
    text += ",,,,,,,";
    text += nightColumns_;
    text += '\n';
}

} // namespace mirado
