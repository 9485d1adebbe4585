// SPDX-License-Identifier: GPL-3.0-or-later
#include "chartmodel.h"

#include <cmath>
#include <utility>

#include "astro/elevation.h"
#include "astro/sidereal.h"

namespace mirado {

namespace {

constexpr double kHalfDayHours = 12.0;
constexpr std::int32_t kMinutesPerHour = 60;
constexpr double kSecondsPerMinute = 60.0;

class ChartObject : public ObjectElevation
{
public:
    ChartObject(TRightAscension ra, TDeclination dec, TDateRec date, const NightSite &site,
                const ChartNightPoints &points, WarningReporter warn)
        : ra_(ra), dec_(dec), date_(date), site_(site), points_(points), warn_(std::move(warn))
    {}

    double elevationDeg(double hours) const override
    {
        return ModelElevationDeg(ra_, dec_, date_, site_, hours, warn_);
    }

    NightCurve curve() const override { return points_.curve(ra_, dec_, warn_); }

    std::vector<Culmination> culminations() const override
    {
        // Transit where the hour angle is a whole number of days: find the
        // hour angle at the span's start and run it on to the next such
        // moment.
        const THMSRec start{static_cast<std::int32_t>(kNightStartHours), 0, 0.0};
        const double startHaSec = dblGetHASec(
            ra_, dblGetLSTSec(date_, start, site_.longitude, site_.timeZone, warn_), warn_);
        double untilTransitSec = std::fmod(-startHaSec, kSecondsPerDay);
        if (untilTransitSec < 0)
            untilTransitSec += kSecondsPerDay;
        double transit = kNightStartHours + untilTransitSec / kSecondsPerHour;
        if (transit >= kNightEndHours)
            transit = kNightStartHours;

        // The lowest point, half a day away.
        const double lowest = transit >= kNightStartHours + kHalfDayHours ? transit - kHalfDayHours
                                                                          : transit + kHalfDayHours;
        if (lowest < transit)
            return {{lowest, false}, {transit, true}};
        return {{transit, true}, {lowest, false}};
    }

private:
    TRightAscension ra_;
    TDeclination dec_;
    TDateRec date_;
    NightSite site_;
    const ChartNightPoints &points_;
    WarningReporter warn_;
};

class ChartNight : public NightElevationModel
{
public:
    ChartNight(TDateRec date, const NightSite &site)
        : date_(date), site_(site), points_(date, site.longitude, site.latitude, site.timeZone)
    {}

    std::unique_ptr<ObjectElevation> object(TRightAscension ra, TDeclination dec,
                                            WarningReporter warn) const override
    {
        return std::make_unique<ChartObject>(ra, dec, date_, site_, points_, std::move(warn));
    }

private:
    TDateRec date_;
    NightSite site_;
    // The curves' points, the same for every object of the night.
    ChartNightPoints points_;
};

} // namespace

std::string ChartModel::description() const
{
    return "The chart model: geometric elevation of the catalogue's coordinates as given, no "
           "refraction, precession, nutation or aberration; Greenwich sidereal time at 0h UT "
           "from the 1900 formula, the clock time since then counted at the solar rate. The "
           "morning elevations (from midnight, x from 24) are computed with the evening's date, "
           "as the Mirado chart draws them, which is why they differ most there from the precise "
           "model's: by about one day's lag of the sidereal time (1 degree of hour angle).";
}

std::unique_ptr<NightElevationModel> ChartModel::night(TDateRec date, const NightSite &site) const
{
    return std::make_unique<ChartNight>(date, site);
}

double ModelElevationDeg(TRightAscension ra, TDeclination dec, TDateRec date, const NightSite &site,
                         double hours, const WarningReporter &warn)
{
    // Split into whole hours, whole minutes and the seconds left.
    const double totalMinutes = hours * kMinutesPerHour;
    const auto wholeMinutes = static_cast<std::int32_t>(std::floor(totalMinutes));
    const THMSRec time{wholeMinutes / kMinutesPerHour, wholeMinutes % kMinutesPerHour,
                       (totalMinutes - wholeMinutes) * kSecondsPerMinute};
    return GetDegElevation(ra, dec, date, site.longitude, site.latitude, time, site.timeZone, warn);
}

} // namespace mirado
