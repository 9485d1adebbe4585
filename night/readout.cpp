// SPDX-License-Identifier: GPL-3.0-or-later
#include "readout.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "airmass.h"
#include "astro/clocktime.h"
#include "astro/sidereal.h"

namespace mirado {

namespace {

constexpr std::int64_t kMinutesPerDay = 24 * 60;
constexpr double kSecondsPerMinute = 60.0;
// A pointer on a chart zoomed far out reads no further than this many hours
// from the chosen date (about a century).
constexpr double kFarHours = 1.0e6;

// "hh:mm" of a count of minutes within one day.
std::string HoursMinutes(std::int64_t minutesOfDay)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d", static_cast<int>(minutesOfDay / 60),
                  static_cast<int>(minutesOfDay % 60));
    return buffer;
}

std::string Fixed(double value, int decimals)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
    return buffer;
}

} // namespace

PointerReadout ReadoutAt(const std::string &name, int line, const TDateRec &date,
                         const SiteValues &site, double xHours, double elevationDeg)
{
    PointerReadout readout;
    readout.name = name;
    readout.line = line;
    readout.elevationDeg = elevationDeg;
    readout.airmass = Airmass(elevationDeg);

    // The moment on the chosen date's clock, to the minute; past 24 h it is
    // the next morning.
    const double hours = std::isfinite(xHours) ? std::clamp(xHours, -kFarHours, kFarHours) : 0.0;
    const auto minutes = static_cast<std::int64_t>(std::llround(hours * 60.0));
    const DateTimeValue local(DateTimeValue::FromParts(date, 0, 0, 0).seconds() +
                              minutes * static_cast<std::int64_t>(kSecondsPerMinute));
    const THMSRec time = local.time();
    readout.localTime = HoursMinutes(std::int64_t{time.hours} * 60 + time.minutes);

    const double lstSec = dblGetLSTSecNow(local.date(), time, site.longitude, site.timeZone, {});
    auto lstMinutes = static_cast<std::int64_t>(std::llround(lstSec / kSecondsPerMinute));
    lstMinutes = ((lstMinutes % kMinutesPerDay) + kMinutesPerDay) % kMinutesPerDay;
    readout.siderealTime = HoursMinutes(lstMinutes);
    return readout;
}

std::string ReadoutText(const PointerReadout &readout)
{
    std::string text = readout.name + "\n";
    text += "行 " + std::to_string(readout.line) + "\n";
    text += "時刻 " + readout.localTime + "  恒星時 " + readout.siderealTime + "\n";
    text += "高度 " + Fixed(readout.elevationDeg, 1) + "°  エアマス " +
            (readout.airmass ? Fixed(*readout.airmass, 2) : std::string("-"));
    if (readout.moonSeparationDeg)
        text += "\n月との離角 " + Fixed(*readout.moonSeparationDeg, 1) + "°";
    return text;
}

} // namespace mirado
