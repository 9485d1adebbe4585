// SPDX-License-Identifier: GPL-3.0-or-later
#include "curve.h"

#include "astro/elevation.h"

namespace mirado {

NightCurve NightElevations(TRightAscension ra, TDeclination dec, TDateRec date, double longitude,
                           double latitude, double timeZone, const WarningReporter &warn)
{
    NightCurve curve;
    std::size_t i = 0;
    const auto sample = [&](int hour, double xHours) {
        for (int minute = 0; minute < 60; minute += kNightStepMinutes) {
            const THMSRec time{hour, minute, 0.0};
            curve[i++] = {xHours + minute / 60.0, GetDegElevation(ra, dec, date, longitude,
                                                                  latitude, time, timeZone, warn)};
        }
    };

    // Evening stretch, 17:00 to 24:50 of the chosen date.
    for (int hour = kEveningFirstHour; hour <= kEveningLastHour; ++hour)
        sample(hour, hour);
    // Morning stretch, 00:00 to 07:50 handed with the same date.
    for (int hour = 0; hour <= kNightEndHour; ++hour)
        sample(hour, hour + 24);
    return curve;
}

THMSRec NightPointClockTime(std::size_t index)
{
    constexpr std::size_t kPerHour = 60 / kNightStepMinutes;
    constexpr std::size_t kPerStretch = kNightPointCount / 2;
    const int firstHour = index < kPerStretch ? kEveningFirstHour : 0;
    const std::size_t inStretch = index % kPerStretch;
    return {firstHour + static_cast<int>(inStretch / kPerHour),
            static_cast<int>(inStretch % kPerHour) * kNightStepMinutes, 0.0};
}

double NightPointX(std::size_t index)
{
    const THMSRec clock = NightPointClockTime(index);
    const int hour = index < kNightPointCount / 2 ? clock.hours : clock.hours + 24;
    return hour + clock.minutes / 60.0;
}

} // namespace mirado
