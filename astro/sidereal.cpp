// SPDX-License-Identifier: GPL-3.0-or-later
#include "sidereal.h"

#include "clocktime.h"
#include "data/checked.h"
#include "trap.h"

namespace mirado {

namespace {

constexpr std::int32_t kBaseYear = 1900;
constexpr double kDaysPerJulianCentury = 36525.0;
constexpr double kDayCountOffset = 33.5;
constexpr double kSiderealRateExcess = 0.00273791;

// GMST at 0h UT: 6h 38m 45.836s + 8640184.542 s T + 0.0929 s T^2.
constexpr double kGmstConstant = 23925.836;
constexpr double kGmstLinear = 8640184.542;
constexpr double kGmstQuadratic = 0.0929;

// Universal time in seconds from 0h UT of the date of a local clock time.
double UniversalSeconds(THMSRec time, double timeZone)
{
    return SecondsOf(time.hours, time.minutes, time.seconds) - timeZone * kSecondsPerHour;
}

} // namespace

double ReduceToOneDay(double s)
{
    const std::int32_t days = TruncToInt32(s / kSecondsPerDay);
    return s - CheckedMul(CheckedMul(days, 24), 3600);
}

double GstDayCount(TDateRec date)
{
    // January and February count as months 13 and 14 of the year before.
    std::int32_t month = date.month;
    std::int32_t year = date.year;
    if (month == 1 || month == 2) {
        month = CheckedAdd(month, 12);
        year = CheckedSub(year, 1);
    }

    const std::int32_t a = CheckedSub(year, kBaseYear);
    const std::int32_t sum =
        CheckedAdd(CheckedAdd(CheckedMul(365, a), CheckedMul(30, month)), date.day);
    const std::int64_t monthPart = std::int64_t{3} * CheckedAdd(month, 1) / 5; // Int(0.6 (M'+1))
    const std::int32_t leapDays = a / 4; // toward zero: 0 for a = -1
    return (sum - kDayCountOffset) + static_cast<double>(monthPart) + leapDays;
}

double GetSecGST(TDateRec date, const WarningReporter &warn)
{
    return Trapped("GetSecGST", warn, [&] {
        const double t = GstDayCount(date) / kDaysPerJulianCentury;
        return kGmstQuadratic * t * t + (kGmstLinear * t + kGmstConstant);
    });
}

namespace {

// L + G + U + rate × U reduced by whole days: the local sidereal time with
// the time since 0h UT counted at (1 + rate) times the solar rate.
double LocalSiderealSeconds(TDateRec date, THMSRec time, double longitude, double timeZone,
                            double rateExcess, const WarningReporter &warn)
{
    const double l = longitude * kSecondsPerHour / 15.0;
    const double g = GetSecGST(date, warn);
    const double u = UniversalSeconds(time, timeZone);
    return ReduceToOneDay(l + g + u + rateExcess * u);
}

} // namespace

double dblGetLSTSec(TDateRec date, THMSRec time, double longitude, double timeZone,
                    const WarningReporter &warn)
{
    return Trapped("dblGetLSTSec", warn, [&] {
        return LocalSiderealSeconds(date, time, longitude, timeZone, 0.0, warn);
    });
}

double dblGetLSTSecNow(TDateRec date, THMSRec time, double longitude, double timeZone,
                       const WarningReporter &warn)
{
    return Trapped("dblGetLSTSec", warn, [&] {
        return LocalSiderealSeconds(date, time, longitude, timeZone, kSiderealRateExcess, warn);
    });
}

double dblGetHASec(TRightAscension ra, double lstSec, const WarningReporter &warn)
{
    return Trapped("dblGetHASec", warn,
                   [&] { return lstSec - SecondsOf(ra.hours, ra.minutes, ra.seconds); });
}

} // namespace mirado
