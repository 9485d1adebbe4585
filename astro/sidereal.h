// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Sidereal time and hour angle. Every time is a count of seconds of time held
// in a double (1 h = 3600 s, 1 degree of longitude = 240 s). The routines keep
// no state.
//
// Each routine traps every error raised inside it, reports it through `warn`
// as its name, a blank and the error's text, and returns 0.0; the caller goes
// on with that value. An empty `warn` reports nothing.

#include "data/catalogue.h"
#include "types.h"

namespace mirado {

// Greenwich mean sidereal time at 0h UT of `date`, in seconds, not reduced to
// one day: 23925.836 + 8640184.542 T + 0.0929 T^2 with T the Julian centuries
// from 1900 January 0.5. Every fourth year from 1904 on counts as a leap year
// (2100 too). About 8.8 million seconds for 2001.
double GetSecGST(TDateRec date, const WarningReporter &warn);

// Days from 1900 January 0.5 (noon of 1899 December 31) to 0h UT of `date`,
// as the sidereal time at 0h UT counts them: equal to the Julian Date less
// 2415020.0 from 1900 March 1 to 2100 February 28. Raises "Integer overflow"
// for dates far outside the calendar's range.
double GstDayCount(TDateRec date);

// Local sidereal time in seconds, reduced by whole days (the remainder keeps
// the sign of the sum). `time` is the local clock time on `date`, counted at
// the solar rate, so hour h + 24 gives the same result as hour h on one date.
// `longitude` in degrees east, `timeZone` in hours ahead of UT.
// Used by the elevation computation.
double dblGetLSTSec(TDateRec date, THMSRec time, double longitude, double timeZone,
                    const WarningReporter &warn);

// As dblGetLSTSec, but the time since 0h UT is counted at the sidereal rate
// (1.00273791 U). Used by the current-time display.
double dblGetLSTSecNow(TDateRec date, THMSRec time, double longitude, double timeZone,
                       const WarningReporter &warn);

// Hour angle LST - RA in seconds of time, not reduced; positive west of the
// meridian.
double dblGetHASec(TRightAscension ra, double lstSec, const WarningReporter &warn);

// One-day reduction: s less its whole days, the count of days taken toward
// zero (it must fit 32 bits). Lies in [0, 86400) for s >= 0, in (-86400, 0]
// otherwise. Raises on failure; the routines above trap it.
double ReduceToOneDay(double s);

} // namespace mirado
