// SPDX-License-Identifier: GPL-3.0-or-later
#include "curve.h"

#include "astro/elevation.h"
#include "astro/sidereal.h"
#include "astro/trap.h"

namespace mirado {

NightCurve NightElevations(TRightAscension ra, TDeclination dec, TDateRec date, double longitude,
                           double latitude, double timeZone, const WarningReporter &warn)
{
    return ChartNightPoints(date, longitude, latitude, timeZone).curve(ra, dec, warn);
}

ChartNightPoints::ChartNightPoints(TDateRec date, double longitude, double latitude,
                                   double timeZone)
    : latitude_(latitude)
{
    std::size_t i = 0;
    const auto sample = [&](int hour, double xHours) {
        for (int minute = 0; minute < 60; minute += kNightStepMinutes) {
            const THMSRec time{hour, minute, 0.0};
            std::vector<std::string> &warnings = lstWarnings_[i];
            x_[i] = xHours + minute / 60.0;
            lstSec_[i] =
                dblGetLSTSec(date, time, longitude, timeZone,
                             [&warnings](const std::string &text) { warnings.push_back(text); });
            ++i;
        }
    };

    // Evening stretch, 17:00 to 24:50 of the chosen date.
    for (int hour = kEveningFirstHour; hour <= kEveningLastHour; ++hour)
        sample(hour, hour);
    // Morning stretch, 00:00 to 07:50 handed with the same date.
    for (int hour = 0; hour <= kNightEndHour; ++hour)
        sample(hour, hour + 24);
}

NightCurve ChartNightPoints::curve(TRightAscension ra, TDeclination dec,
                                   const WarningReporter &warn) const
{
    const ElevationTerms terms = GetElevationTerms(dec, latitude_);
    NightCurve curve;
    for (std::size_t i = 0; i < curve.size(); ++i) {
        curve[i] = {x_[i], Trapped(kGetDegElevationName, warn, [&] {
                        if (warn) {
                            for (const std::string &text : lstWarnings_[i])
                                warn(text);
                        }
                        return DegElevationAtLst(ra, terms, lstSec_[i], warn);
                    })};
    }
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
