// SPDX-License-Identifier: GPL-3.0-or-later
#include "season.h"

#include <algorithm>
#include <cstdint>

#include "astro/clocktime.h"
#include "crossings.h"
#include "data/errors.h"
#include "events.h"
#include "sunmoon.h"

namespace mirado {

namespace {

constexpr int kMonthsPerYear = 12;
// Nights whose moon-free hours differ by less than a second are equal: the
// events give times to the second, and the same stretch of a star above the
// limit drifts by far less than that from one night to the next.
constexpr double kSeasonEqualHours = 1.0 / kSecondsPerHour;

std::int64_t DaySeconds(TDateRec date)
{
    return DateTimeValue::FromParts(date, 0, 0, 0).seconds();
}

TDateRec DayBefore(TDateRec date)
{
    return DateTimeValue(DaySeconds(date) - kSecondsPerDayInt).date();
}

// The stretches of the night's span with the Moon's centre below
// kMoonriseAltitudeDeg, in time order.
std::vector<NightInterval> MoonDownIntervals(const SunMoonNight &night)
{
    const std::vector<NightSample> ends{{kNightStartHours, night.MoonAltitudeDeg(kNightStartHours)},
                                        {kNightEndHours, night.MoonAltitudeDeg(kNightEndHours)}};
    return IntervalsOf(ends, MoonHorizonCrossings(night), kMoonriseAltitudeDeg, /*above=*/false);
}

double TotalHours(const std::vector<NightInterval> &intervals)
{
    double total = 0.0;
    for (const NightInterval &interval : intervals)
        total += interval.end - interval.begin;
    return total;
}

} // namespace

std::vector<TDateRec> SeasonDates(TDateRec first, TDateRec last)
{
    const std::int64_t firstDay = DaySeconds(first);
    const std::int64_t lastDay = DaySeconds(last);
    if (lastDay < firstDay)
        throw Error("the season's last night " + FormatIsoDate(last) + " comes before its first " +
                    FormatIsoDate(first));
    const std::int64_t nights = (lastDay - firstDay) / kSecondsPerDayInt + 1;
    if (nights > kSeasonMaxNights)
        throw Error("a season spans at most " + std::to_string(kSeasonMaxNights) + " nights, not " +
                    std::to_string(nights) + " (" + FormatIsoDate(first) + " to " +
                    FormatIsoDate(last) + ")");
    std::vector<TDateRec> dates;
    dates.reserve(static_cast<std::size_t>(nights));
    for (std::int64_t day = firstDay; day <= lastDay; day += kSecondsPerDayInt)
        dates.push_back(DateTimeValue(day).date());
    return dates;
}

TDateRec SeasonLastNight(TDateRec first, int months)
{
    // The month `months` after the first night's, and the first of the one after.
    const int monthIndex = first.month - 1 + months;
    const TDateRec monthStart{first.year + monthIndex / kMonthsPerYear,
                              monthIndex % kMonthsPerYear + 1, 1};
    if (first.day == 1)
        return DayBefore(monthStart);
    const TDateRec nextMonthStart{first.year + (monthIndex + 1) / kMonthsPerYear,
                                  (monthIndex + 1) % kMonthsPerYear + 1, 1};
    const TDateRec monthEnd = DayBefore(nextMonthStart);
    return {monthStart.year, monthStart.month, std::min(first.day - 1, monthEnd.day)};
}

Season ComputeSeason(const std::vector<CatalogueObject> &objects,
                     const std::vector<TDateRec> &dates, const NightSite &site,
                     const ElevationModel &model, double minAltitudeDeg,
                     const WarningReporter &warn, const SeasonProgress &progress)
{
    Season season;
    season.site = site;
    season.modelName = std::string(model.name());
    season.minAltitudeDeg = minAltitudeDeg;
    season.nights.reserve(dates.size());
    season.objects.resize(objects.size());
    for (std::size_t k = 0; k < objects.size(); ++k) {
        season.objects[k].object = objects[k];
        season.objects[k].cells.resize(dates.size());
    }

    for (std::size_t n = 0; n < dates.size(); ++n) {
        // The night's Sun and Moon, once for every object.
        const EventNight night(dates[n], site, model);
        const NightEvents &events = night.events();
        season.nights.push_back(
            {dates[n], TotalHours(events.darkIntervals), events.moonIllumination});

        // A night without darkness leaves every object at zero hours.
        if (!events.darkIntervals.empty()) {
            const bool moonSpoils = events.moonIllumination >= kMoonFreeIllumination;
            const std::vector<NightInterval> moonFreeDark =
                moonSpoils
                    ? CommonIntervals(events.darkIntervals, MoonDownIntervals(night.sunMoon()))
                    : events.darkIntervals;
            for (std::size_t k = 0; k < objects.size(); ++k) {
                const CatalogueObject &object = objects[k];
                const std::vector<NightInterval> above =
                    night.intervalsAbove(object.ra, object.dec, minAltitudeDeg, warn);
                SeasonObject::Cell &cell = season.objects[k].cells[n];
                cell.darkHoursAbove = OverlapHours(above, events.darkIntervals);
                cell.moonFreeHoursAbove =
                    moonSpoils ? OverlapHours(above, moonFreeDark) : cell.darkHoursAbove;
            }
        }
        if (progress && !progress(n + 1, dates.size()))
            throw SeasonCancelled{};
    }

    // The best night: the most moon-free hours, the earliest of those within
    // kSeasonEqualHours of the most.
    for (SeasonObject &object : season.objects) {
        double most = 0.0;
        for (const SeasonObject::Cell &cell : object.cells)
            most = std::max(most, cell.moonFreeHoursAbove);
        if (most <= 0.0)
            continue;
        for (std::size_t n = 0; n < object.cells.size(); ++n) {
            if (object.cells[n].moonFreeHoursAbove >= most - kSeasonEqualHours) {
                object.bestNight = n;
                break;
            }
        }
    }
    return season;
}

} // namespace mirado
