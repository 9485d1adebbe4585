// SPDX-License-Identifier: GPL-3.0-or-later
#include "eventwriters.h"

#include <optional>

#include "textwriters.h"

namespace mirado::tool {

std::string EventConventions(const ElevationModel &model)
{
    return "Times are site-local date-times in the night's span, 12:00 on the date to 12:00 "
           "the next day; each event is the first of its kind in the span, or null. Sun and "
           "Moon from ERFA: apparent topocentric places, no refraction, UT1 = UTC, height 0 m, "
           "no polar motion; sunset and sunrise with the Sun's centre at -0.8333 degrees, "
           "civil, nautical and astronomical dusk and dawn at -6, -12 and -18 degrees; moonrise "
           "and moonset with the Moon's topocentric centre at -0.8333 degrees; the Moon's "
           "illuminated fraction at 00:00 of the next day. Objects by the same elevation model "
           "as their curves: rise and set at elevation 0, transit the first upper culmination, "
           "solved on the model's own elevations; dark_hours_above is the time the Sun's centre "
           "is below -18 degrees with the object at or above min_altitude; moon_separation is "
           "the angle in degrees between the object's precise apparent topocentric place "
           "(ERFA, whatever model found the transit) and the Moon's centre at the object's "
           "transit, null without a transit in the span. " +
           model.description();
}

namespace {

// An event's site-local date-time as a JSON string, or null.
void JsonTime(Output &out, const TDateRec &date, const std::optional<double> &hours)
{
    if (hours)
        out << '"' << std::string_view(EventTimeText(date, *hours)) << '"';
    else
        out << "null";
}

// A named member of a JSON object: ,"name": or "name": for the first.
void JsonKey(Output &out, const char *name, bool first = false)
{
    out << (first ? "\"" : ",\"") << name << "\":";
}

} // namespace

void CsvEventWriter::begin(const SiteValues &, double, const ElevationModel &)
{
    out_ << kEventCsvHeader;
}

void CsvEventWriter::beginNight(const TDateRec &date, const NightEvents &events)
{
    night_.emplace(date, events);
    nightHasObjects_ = false;
}

void CsvEventWriter::object(const ObjectNight &object)
{
    night_->appendRow(out_.pending(), object);
    out_.settle();
    nightHasObjects_ = true;
}

void CsvEventWriter::endNight()
{
    if (!nightHasObjects_) {
        night_->appendEmptyRow(out_.pending());
        out_.settle();
    }
}

void JsonEventWriter::begin(const SiteValues &site, double minAltitudeDeg,
                            const ElevationModel &model)
{
    out_ << "{\"site\":";
    WriteJsonSite(out_, site);
    out_ << ",\n\"min_altitude\":";
    WriteJsonNumber(out_, minAltitudeDeg);
    out_ << ",\n\"conventions\":";
    WriteJsonString(out_, EventConventions(model));
    out_ << ",\n\"nights\":[";
}

void JsonEventWriter::beginNight(const TDateRec &date, const NightEvents &events)
{
    date_ = date;
    out_ << (first_ ? "\n{" : ",\n{");
    first_ = false;
    JsonKey(out_, "date", true);
    out_ << '"' << std::string_view(FormatIsoDate(date)) << '"';

    JsonKey(out_, "sun");
    const struct
    {
        const char *name;
        const std::optional<double> &hours;
    } sun[] = {
        {"set", events.sunSet},
        {"civil_dusk", events.civilDusk},
        {"nautical_dusk", events.nauticalDusk},
        {"astronomical_dusk", events.astronomicalDusk},
        {"astronomical_dawn", events.astronomicalDawn},
        {"nautical_dawn", events.nauticalDawn},
        {"civil_dawn", events.civilDawn},
        {"rise", events.sunRise},
    };
    bool firstMember = true;
    for (const auto &event : sun) {
        out_ << (firstMember ? "{" : "");
        JsonKey(out_, event.name, firstMember);
        JsonTime(out_, date, event.hours);
        firstMember = false;
    }
    out_ << '}';

    JsonKey(out_, "moon");
    out_ << '{';
    JsonKey(out_, "rise", true);
    JsonTime(out_, date, events.moonRise);
    JsonKey(out_, "set");
    JsonTime(out_, date, events.moonSet);
    JsonKey(out_, "illumination");
    WriteJsonNumber(out_, events.moonIllumination);
    out_ << '}';

    JsonKey(out_, "objects");
    out_ << '[';
    firstObject_ = true;
}

void JsonEventWriter::object(const ObjectNight &object)
{
    out_ << (firstObject_ ? "\n{" : ",\n{");
    firstObject_ = false;
    JsonKey(out_, "line", true);
    out_ << object.line;
    JsonKey(out_, "name");
    WriteJsonString(out_, object.name);
    JsonKey(out_, "rise");
    JsonTime(out_, date_, object.events.rise);
    JsonKey(out_, "transit");
    JsonTime(out_, date_, object.events.transit);
    JsonKey(out_, "transit_elevation");
    WriteJsonNumber(out_, object.events.transitElevationDeg);
    JsonKey(out_, "set");
    JsonTime(out_, date_, object.events.set);
    JsonKey(out_, "dark_hours_above");
    WriteJsonNumber(out_, object.events.darkHoursAbove);
    JsonKey(out_, "moon_separation");
    if (object.events.moonSeparationDeg)
        WriteJsonNumber(out_, *object.events.moonSeparationDeg);
    else
        out_ << "null";
    out_ << '}';
}

void JsonEventWriter::endNight()
{
    out_ << "]}";
}

void JsonEventWriter::end()
{
    out_ << (first_ ? "]}\n" : "\n]}\n");
}

} // namespace mirado::tool
