// SPDX-License-Identifier: GPL-3.0-or-later
#include "eventrows.h"

#include "nighttime.h"
#include "textformat.h"

namespace mirado {

ObjectNight ObjectNightOf(const NightElevationModel &night, const CatalogueObject &object,
                          const NightEvents &events, double minAltitudeDeg,
                          const WarningReporter &warn)
{
    return {object.line, object.name,
            ObjectNightEvents(*night.object(object.ra, object.dec, warn), events.darkIntervals,
                              minAltitudeDeg),
            std::nullopt};
}

NightTable NightTableOf(const PlottedNight &night, double minAltitudeDeg,
                        const WarningReporter &warn)
{
    NightTable table{SunMoonEvents(night.date, night.site), {}};
    const std::unique_ptr<NightElevationModel> model = night.model->night(night.date, night.site);
    table.objects.reserve(night.objects.size());
    for (const CatalogueObject &object : night.objects)
        table.objects.push_back(ObjectNightOf(*model, object, table.events, minAltitudeDeg, warn));
    return table;
}

std::optional<std::string> EventTime(const TDateRec &date, const std::optional<double> &hours)
{
    if (!hours)
        return std::nullopt;
    return FormatIsoDateTime(NightDateTime(date, *hours));
}

std::string_view EventsCsvHeader()
{
    return "date,line,name,rise,transit,transit_elevation,set,dark_hours_above,"
           "sun_set,astronomical_dusk,astronomical_dawn,sun_rise,moon_rise,moon_set,"
           "moon_illumination\n";
}

std::string EventsCsvNightColumns(const TDateRec &date, const NightEvents &events)
{
    std::string text;
    for (const std::optional<double> *hours :
         {&events.sunSet, &events.astronomicalDusk, &events.astronomicalDawn, &events.sunRise,
          &events.moonRise, &events.moonSet}) {
        text += ',';
        if (const std::optional<std::string> time = EventTime(date, *hours))
            text += *time;
    }
    text += ',' + FormatNumber(events.moonIllumination) + '\n';
    return text;
}

std::string EventsCsvObjectRow(const TDateRec &date, const ObjectNight &object,
                               std::string_view nightColumns)
{
    const auto time = [&date](const std::optional<double> &hours) {
        return EventTime(date, hours).value_or(std::string());
    };
    std::string row = FormatIsoDate(date) + ',' + std::to_string(object.line) + ',' +
                      CsvField(object.name) + ',' + time(object.events.rise) + ',' +
                      time(object.events.transit) + ',' +
                      FormatNumber(object.events.transitElevationDeg) + ',' +
                      time(object.events.set) + ',' + FormatNumber(object.events.darkHoursAbove);
    row += nightColumns;
    return row;
}

std::string EventsCsvEmptyRow(const TDateRec &date, std::string_view nightColumns)
{
    std::string row = FormatIsoDate(date) + ",,,,,,,";
    row += nightColumns;
    return row;
}

std::string EventsCsv(const TDateRec &date, const NightTable &table)
{
    std::string text(EventsCsvHeader());
    const std::string nightColumns = EventsCsvNightColumns(date, table.events);
    if (table.objects.empty())
        text += EventsCsvEmptyRow(date, nightColumns);
    for (const ObjectNight &object : table.objects)
        text += EventsCsvObjectRow(date, object, nightColumns);
    return text;
}

} // namespace mirado
