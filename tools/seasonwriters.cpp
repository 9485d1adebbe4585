// SPDX-License-Identifier: GPL-3.0-or-later
#include "seasonwriters.h"

#include <vector>

#include "night/nighttime.h"
#include "night/textformat.h"
#include "textwriters.h"

namespace mirado::tool {

std::string SeasonConventions(const ElevationModel &model)
{
    return "Each night is named by the date of its evening and runs from 12:00 on the date to "
           "12:00 the next day. dark_hours is the time the Sun's centre is below -18 degrees "
           "(0 on a night without astronomical darkness); moon_illumination the Moon's "
           "illuminated fraction at 00:00 of the next day; dark_hours_above the dark time with "
           "the object at or above min_altitude, as the events give it; moonfree_hours_above "
           "the part of it with the Moon's topocentric centre below -0.8333 degrees, or all of "
           "it when the Moon is less than 0.25 lit. best_night is the night with the most "
           "moon-free hours, the earliest of those within a second of the most, null when no night "
           "has any. " +
           model.description();
}

void WriteSeasonCsv(Output &out, const Season &season)
{
    out << kSeasonCsvHeader;
    // The night columns, formed once for every object.
    std::vector<std::string> nightColumns;
    nightColumns.reserve(season.nights.size());
    for (const SeasonNight &night : season.nights)
        nightColumns.push_back(',' + FormatNumber(night.moonIllumination) + ',' +
                               FormatNumber(night.darkHours) + ',');
    std::vector<std::string> days;
    days.reserve(season.nights.size());
    for (const SeasonNight &night : season.nights)
        days.push_back(FormatIsoDate(night.date));

    for (const SeasonObject &object : season.objects) {
        const std::string head =
            std::to_string(object.object.line) + ',' + CsvField(object.object.name) + ',';
        for (std::size_t n = 0; n < object.cells.size(); ++n) {
            std::string &text = out.pending();
            text += head;
            text += days[n];
            text += ',' + FormatNumber(object.cells[n].darkHoursAbove);
            text += ',' + FormatNumber(object.cells[n].moonFreeHoursAbove);
            text += nightColumns[n];
            text += object.bestNight == n ? "1\n" : "0\n";
            out.settle();
        }
    }
}

void WriteSeasonJson(Output &out, const Season &season, const SiteValues &site,
                     const ElevationModel &model)
{
    std::vector<std::string> days;
    days.reserve(season.nights.size());
    for (const SeasonNight &night : season.nights)
        days.push_back('"' + FormatIsoDate(night.date) + '"');

    out << "{\"site\":";
    WriteJsonSite(out, site);
    out << ",\n\"model\":";
    WriteJsonString(out, season.modelName);
    out << ",\n\"conventions\":";
    WriteJsonString(out, SeasonConventions(model));
    out << ",\n\"min_altitude\":";
    WriteJsonNumber(out, season.minAltitudeDeg);
    out << ",\n\"nights\":[";
    for (std::size_t n = 0; n < season.nights.size(); ++n) {
        out << (n == 0 ? "\n{\"date\":" : ",\n{\"date\":") << std::string_view(days[n])
            << ",\"dark_hours\":" << season.nights[n].darkHours
            << ",\"moon_illumination\":" << season.nights[n].moonIllumination << '}';
    }
    out << "],\n\"objects\":[";
    bool firstObject = true;
    for (const SeasonObject &object : season.objects) {
        out << (firstObject ? "\n{\"line\":" : ",\n{\"line\":") << object.object.line
            << ",\"name\":";
        firstObject = false;
        WriteJsonString(out, object.object.name);
        out << ",\"best_night\":";
        if (object.bestNight)
            out << std::string_view(days[*object.bestNight]);
        else
            out << "null";
        out << ",\"nights\":[";
        for (std::size_t n = 0; n < object.cells.size(); ++n) {
            out << (n == 0 ? "{\"date\":" : ",{\"date\":") << std::string_view(days[n])
                << ",\"dark_hours_above\":" << object.cells[n].darkHoursAbove
                << ",\"moonfree_hours_above\":" << object.cells[n].moonFreeHoursAbove << '}';
        }
        out << "]}";
    }
    out << (firstObject ? "]}\n" : "\n]}\n");
}

} // namespace mirado::tool
