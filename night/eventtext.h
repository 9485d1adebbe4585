// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The events of a night as CSV text: mirado-night --events --format csv and
// anything else that saves the same table write it through these, so the
// two agree byte for byte. Lines end in "\n"; times are site-local
// date-times ("2027-06-21T20:48:13"), numbers the shortest text that reads
// back as the same double, an absent event an empty field.

#include <string>
#include <string_view>

#include "astro/types.h"
#include "events.h"
#include "sunmoon.h"
#include "textformat.h"

namespace mirado {

// One object's events in one night.
struct ObjectNight
{
    int line = 0;     // 1-based catalogue line
    std::string name; // whole, UTF-8
    ObjectEvents events;
};

// The site-local date-time of an event of the night of `date` at `hours`
// after 00:00 of the date.
std::string EventTimeText(const TDateRec &date, double hours);

// The events CSV's header line.
inline constexpr std::string_view kEventCsvHeader =
    "date,line,name,rise,transit,transit_elevation,set,dark_hours_above,sun_set,"
    "astronomical_dusk,astronomical_dawn,sun_rise,moon_rise,moon_set,moon_illumination,"
    "moon_separation\n";

// The rows of one night: each starts with the date and the object's columns
// and ends with the night's Sun and Moon columns, which are formed once.
class EventCsvNight
{
public:
    EventCsvNight(const TDateRec &date, const NightEvents &events);

    // Appends the object's row.
    void appendRow(std::string &text, const ObjectNight &object) const;
    // Appends the night's one row when it has no objects, the object
    // columns empty.
    void appendEmptyRow(std::string &text) const;

private:
    TDateRec date_;
    std::string day_;          // "2027-06-21"
    std::string nightColumns_; // ",sun_set,…,moon_illumination,"
};

} // namespace mirado
