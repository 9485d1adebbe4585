// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The read-out under the pointer: what the window tells about one curve at
// one moment of the night.

#include <optional>
#include <string>

#include "astro/types.h"
#include "data/site.h"

namespace mirado {

struct PointerReadout
{
    std::string name;         // the object's whole name, UTF-8
    int line = 0;             // 1-based line number in the catalogue
    std::string localTime;    // site-local time, "hh:mm"
    std::string siderealTime; // local sidereal time, "hh:mm"
    double elevationDeg = 0.0;
    std::optional<double> airmass;           // none at or below the horizon
    std::optional<double> moonSeparationDeg; // set only while the Moon is shown
};

// The read-out of the object `name` on catalogue line `line` at `xHours` on
// the night axis of `date` (17 is 17:00 of that date, 24 midnight, 31 07:00
// next morning) at `site`, where its curve stands at `elevationDeg` degrees.
// The moment is taken to the nearest minute; its sidereal time is the
// present-moment display's (dblGetLSTSecNow at the site's longitude and
// zone), rounded to the minute. The astronomy routines' failures are not
// reported: a failing sidereal time reads 00:00.
PointerReadout ReadoutAt(const std::string &name, int line, const TDateRec &date,
                         const SiteValues &site, double xHours, double elevationDeg);

// The read-out as the tooltip shows it, one item a line:
//   name
//   行 12
//   時刻 23:41  恒星時 19:02
//   高度 45.3°  エアマス 1.41   ("エアマス -" below the horizon)
//   月との離角 35.2°            (only with the Moon's separation)
std::string ReadoutText(const PointerReadout &readout);

} // namespace mirado
