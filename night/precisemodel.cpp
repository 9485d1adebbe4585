// SPDX-License-Identifier: GPL-3.0-or-later
#include "precisemodel.h"

#include <algorithm>
#include <array>
#include <numbers>

#include <erfa.h>
#include <erfam.h>

namespace mirado {

// The site's part of ERFA's parameters and how the site's hours map to UT1.
struct PreciseNightData
{
    PreciseNightData(TDateRec date, const NightSite &site);

    NightTimeScales time;
    eraASTROM start{}; // star-independent parameters at the span's start (geocentric)
    eraASTROM end{};   // and at its end
    eraASTROM site{};  // the site's: longitude, latitude, diurnal aberration
    std::array<double, kNightPointCount> pointEral{}; // local Earth rotation angle of each point

    // The local Earth rotation angle (ERA plus longitude) at `hours`.
    double LocalRotation(double hours) const
    {
        const JulianDate ut1 = time.Utc(hours);
        return eraEra00(ut1.whole, ut1.fraction) + site.along;
    }
};

PreciseNightData::PreciseNightData(TDateRec date, const NightSite &nightSite)
    : time(date, nightSite.timeZone)
{
    // Geocentric parameters at the span's ends (TT standing in for TDB).
    double equationOfOrigins = 0.0;
    const JulianDate startTt = time.Tt(kNightStartHours);
    const JulianDate endTt = time.Tt(kNightEndHours);
    eraApci13(startTt.whole, startTt.fraction, &start, &equationOfOrigins);
    eraApci13(endTt.whole, endTt.fraction, &end, &equationOfOrigins);

    // The site: height 0, no polar motion, no refraction.
    eraApio(eraSp00(startTt.whole, startTt.fraction), 0.0, nightSite.longitude * kRadiansPerDegree,
            nightSite.latitude * kRadiansPerDegree, 0.0, 0.0, 0.0, 0.0, 0.0, &site);
    for (std::size_t i = 0; i < kNightPointCount; ++i)
        pointEral[i] = LocalRotation(NightPointX(i));
}

namespace {

constexpr double kRadiansPerHourOfRa = 15.0 * kRadiansPerDegree;
constexpr double kSpanHours = kNightEndHours - kNightStartHours;
// The Earth's rotation angle advances by this much per hour of UT1 (IAU 2000).
constexpr double kEarthRotationPerHour = 2.0 * std::numbers::pi * 1.00273781191135448 / 24.0;
constexpr double kSiderealDayHours = 2.0 * std::numbers::pi / kEarthRotationPerHour;

class PreciseObject : public ObjectElevation
{
public:
    PreciseObject(const PreciseNightData &night, TRightAscension ra, TDeclination dec)
        : night_(night)
    {
        // ICRS to the apparent geocentric place at both ends of the span.
        const double rc =
            (ra.hours + ra.minutes / 60.0 + ra.seconds / kSecondsPerHour) * kRadiansPerHourOfRa;
        const double dc =
            dec.sign * ((dec.degrees + dec.minutes / 60.0 + dec.seconds / kSecondsPerHour) *
                        kRadiansPerDegree);
        eraASTROM start = night.start;
        eraASTROM end = night.end;
        double riEnd = 0.0;
        double diEnd = 0.0;
        eraAtciq(rc, dc, 0.0, 0.0, 0.0, 0.0, &start, &ri_, &di_);
        eraAtciq(rc, dc, 0.0, 0.0, 0.0, 0.0, &end, &riEnd, &diEnd);
        riPerHour_ = eraAnpm(riEnd - ri_) / kSpanHours;
        diPerHour_ = (diEnd - di_) / kSpanHours;
    }

    double elevationDeg(double hours) const override
    {
        return ElevationAt(hours, night_.LocalRotation(hours));
    }

    HorizontalPlace placeAt(double hours) const
    {
        double azimuth = 0.0;
        double zenithDistance = 0.0;
        Observe(hours, night_.LocalRotation(hours), azimuth, zenithDistance);
        return {azimuth, std::numbers::pi / 2.0 - zenithDistance};
    }

    NightCurve curve() const override
    {
        NightCurve curve;
        for (std::size_t i = 0; i < curve.size(); ++i) {
            const double x = NightPointX(i);
            curve[i] = {x, ElevationAt(x, night_.pointEral[i])};
        }
        return curve;
    }

    std::vector<Culmination> culminations() const override
    {
        // The hour angle runs at the Earth's rate: step to each moment it is
        // 0 (upper) or pi (lower), then correct once on the hour angle there.
        std::vector<Culmination> found;
        const double startHa = HourAngle(kNightStartHours);
        for (const bool upper : {true, false}) {
            const double target = upper ? 0.0 : std::numbers::pi;
            for (double t = kNightStartHours + eraAnp(target - startHa) / kEarthRotationPerHour;
                 t < kNightEndHours; t += kSiderealDayHours) {
                const double at = t - eraAnpm(HourAngle(t) - target) / kEarthRotationPerHour;
                if (at >= kNightStartHours && at < kNightEndHours)
                    found.push_back({at, upper});
            }
        }
        std::sort(found.begin(), found.end(),
                  [](const Culmination &a, const Culmination &b) { return a.hours < b.hours; });
        return found;
    }

private:
    double HourAngle(double hours) const
    {
        const double ri = ri_ + riPerHour_ * (hours - kNightStartHours);
        return eraAnp(night_.LocalRotation(hours) - ri);
    }

    // The observed azimuth and zenith distance in radians at `hours`, the
    // local Earth rotation angle then being `eral`.
    void Observe(double hours, double eral, double &azimuth, double &zenithDistance) const
    {
        const double sinceStart = hours - kNightStartHours;
        eraASTROM now = night_.site;
        now.eral = eral;
        double hourAngle = 0.0, declination = 0.0, ra = 0.0;
        eraAtioq(ri_ + riPerHour_ * sinceStart, di_ + diPerHour_ * sinceStart, &now, &azimuth,
                 &zenithDistance, &hourAngle, &declination, &ra);
    }

    // The elevation at `hours`, the local Earth rotation angle then being `eral`.
    double ElevationAt(double hours, double eral) const
    {
        double azimuth = 0.0;
        double zenithDistance = 0.0;
        Observe(hours, eral, azimuth, zenithDistance);
        return 90.0 - zenithDistance * kDegreesPerRadian;
    }

    const PreciseNightData &night_;
    double ri_ = 0.0; // apparent place at the span's start, radians
    double di_ = 0.0;
    double riPerHour_ = 0.0;
    double diPerHour_ = 0.0;
};

class PreciseNight : public NightElevationModel
{
public:
    PreciseNight(TDateRec date, const NightSite &site) : data_(date, site) {}

    std::unique_ptr<ObjectElevation> object(TRightAscension ra, TDeclination dec,
                                            WarningReporter) const override
    {
        return std::make_unique<PreciseObject>(data_, ra, dec);
    }

private:
    PreciseNightData data_;
};

} // namespace

PrecisePlaces::PrecisePlaces(TDateRec date, const NightSite &site)
    : data_(std::make_unique<PreciseNightData>(date, site))
{}

PrecisePlaces::~PrecisePlaces() = default;

HorizontalPlace PrecisePlaces::place(TRightAscension ra, TDeclination dec, double hours) const
{
    return PreciseObject(*data_, ra, dec).placeAt(hours);
}

std::string PreciseModel::description() const
{
    return "The precise model: the catalogue's coordinates taken as ICRS (J2000), the apparent "
           "topocentric place from ERFA by the IAU 2006/2000A precession-nutation with light "
           "deflection and annual and diurnal aberration; UT1 = UTC, no polar motion, height 0 m "
           "on the WGS84 ellipsoid; geometric (airless) altitude, no refraction. Every moment is "
           "computed at its own date and time, the morning (from midnight, x from 24) on the "
           "next day.";
}

std::string PreciseModel::titleMark() const
{
    return " (精密)";
}

std::unique_ptr<NightElevationModel> PreciseModel::night(TDateRec date, const NightSite &site) const
{
    return std::make_unique<PreciseNight>(date, site);
}

} // namespace mirado
