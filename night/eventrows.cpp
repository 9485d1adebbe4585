// SPDX-License-Identifier: GPL-3.0-or-later
#include "eventrows.h"

namespace mirado {

NightTable NightTableOf(const PlottedNight &night, double minAltitudeDeg,
                        const WarningReporter &warn)
{
    const EventNight events(night.date, night.site, *night.model);
    NightTable table{events.events(), {}};
    table.objects.reserve(night.objects.size());
    for (const CatalogueObject &object : night.objects)
        table.objects.push_back(
            {object.line, object.name, events.object(object.ra, object.dec, minAltitudeDeg, warn)});
    return table;
}

std::string EventsCsv(const TDateRec &date, const NightTable &table)
{
    std::string text(kEventCsvHeader);
    const EventCsvNight rows(date, table.events);
    if (table.objects.empty())
        rows.appendEmptyRow(text);
    for (const ObjectNight &object : table.objects)
        rows.appendRow(text, object);
    return text;
}

} // namespace mirado
