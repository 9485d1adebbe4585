// SPDX-License-Identifier: GPL-3.0-or-later
#include "sunmoon.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <erfa.h>
#include <erfam.h>

#include "astro/types.h"
#include "crossings.h"

namespace mirado {

namespace {

using Vector = std::array<double, 3>;

constexpr int kNodeCount = 5;
constexpr double kNodeStepHours = 6.0; // nodes at 12, 18, 24, 30 and 36 h
constexpr double kMidnightHours = 24.0;
constexpr int kMidnightNode = 2;
// The Gaussian gravitational constant: the Sun's GM is its square in au^3/d^2.
constexpr double kGaussianGravity = 0.01720209895;
constexpr double kSampleStepHours = 0.5;
constexpr double kHoursPerDay = 24.0;
// Light time for one au, in days.
constexpr double kAuLightDays = ERFA_AULT / ERFA_DAYSEC;

double Norm(const Vector &v)
{
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

} // namespace

struct SunMoonNight::Setup
{
    explicit Setup(const NightTimeScales &scales) : time(scales) {}

    NightTimeScales time;
    eraASTROM astrom{};
    Vector site{};                        // the site in the terrestrial frame, au
    std::array<Vector, kNodeCount> sun{}; // geocentric, CIRS axes, au
    std::array<Vector, kNodeCount> moon{};
    double illumination = 0.0;

    // The body's observed azimuth and zenith distance in radians at `hours`.
    void Observe(const std::array<Vector, kNodeCount> &nodes, double hours, double &azimuth,
                 double &zenithDistance) const;
    double Altitude(const std::array<Vector, kNodeCount> &nodes, double hours) const;
};

SunMoonNight::SunMoonNight(TDateRec date, const NightSite &site)
    : setup_(std::make_unique<Setup>(NightTimeScales(date, site.timeZone)))
{
    Setup &s = *setup_;
    const double elong = site.longitude * kRadiansPerDegree;
    const double phi = site.latitude * kRadiansPerDegree;

    // TT of an instant of the night.
    const auto tt = [&s](double hours, double &tt1, double &tt2) {
        const JulianDate t = s.time.Tt(hours);
        tt1 = t.whole;
        tt2 = t.fraction;
    };

    // The Earth's place and velocity at midnight (TT standing in for TDB).
    double tt1 = 0.0;
    double tt2 = 0.0;
    tt(kMidnightHours, tt1, tt2);
    double pvh[2][3];
    double pvb[2][3];
    eraEpv00(tt1, tt2, pvh, pvb);

    // Site and Earth orientation at midnight: UT1 = UTC, height 0, no polar
    // motion, no refraction; the celestial intermediate pole by IAU 2000B,
    // good to a milliarcsecond.
    double x = 0.0, y = 0.0, cioLocator = 0.0;
    eraXys00b(tt1, tt2, &x, &y, &cioLocator);
    const JulianDate midnight = s.time.Utc(kMidnightHours);
    eraApco(tt1, tt2, pvb, pvh[0], x, y, cioLocator, eraEra00(midnight.whole, midnight.fraction),
            elong, phi, 0.0, 0.0, 0.0, eraSp00(tt1, tt2), 0.0, 0.0, &s.astrom);
    double xyz[3];
    eraGd2gc(ERFA_WGS84, elong, phi, 0.0, xyz);
    for (int k = 0; k < 3; ++k)
        s.site[k] = xyz[k] / ERFA_DAU;

    // The bodies' geocentric places at the nodes.
    Vector sunGcrs{};
    Vector moonGcrs{};
    const double sunDistance0 = eraPm(pvh[0]);
    const double gravity = -kGaussianGravity * kGaussianGravity / std::pow(sunDistance0, 3);
    for (int n = 0; n < kNodeCount; ++n) {
        const double hours = kNightStartHours + n * kNodeStepHours;
        const double dt = (hours - kMidnightHours) / kHoursPerDay;

        // The Sun: the Earth's heliocentric place reversed, carried from
        // midnight along its velocity and the Sun's pull, with the annual
        // aberration of the Earth's barycentric velocity.
        double sun[3];
        for (int k = 0; k < 3; ++k)
            sun[k] = -(pvh[0][k] + pvh[1][k] * dt + 0.5 * gravity * pvh[0][k] * dt * dt);
        double sunDir[3];
        double sunDistance = 0.0;
        eraPn(sun, &sunDistance, sunDir);
        double apparent[3];
        eraAb(sunDir, s.astrom.v, sunDistance, s.astrom.bm1, apparent);
        eraSxp(sunDistance, apparent, apparent);
        if (n == kMidnightNode)
            sunGcrs = {apparent[0], apparent[1], apparent[2]};
        eraRxp(s.astrom.bpn, apparent, apparent);
        s.sun[n] = {apparent[0], apparent[1], apparent[2]};

        // The Moon, geometric, at the instant its light left it. The annual
        // aberration of so near a body is cancelled by the Earth's own
        // motion during the light time, so none is applied.
        tt(hours, tt1, tt2);
        double pv[2][3];
        eraMoon98(tt1, tt2, pv);
        const double lightDays = eraPm(pv[0]) * kAuLightDays;
        double moon[3];
        for (int k = 0; k < 3; ++k)
            moon[k] = pv[0][k] - pv[1][k] * lightDays;
        if (n == kMidnightNode)
            moonGcrs = {moon[0], moon[1], moon[2]};
        eraRxp(s.astrom.bpn, moon, moon);
        s.moon[n] = {moon[0], moon[1], moon[2]};
    }

    // Illuminated fraction from the geocentric phase angle at midnight.
    const double sunDistance = Norm(sunGcrs);
    const double moonDistance = Norm(moonGcrs);
    const double cosElongation =
        (sunGcrs[0] * moonGcrs[0] + sunGcrs[1] * moonGcrs[1] + sunGcrs[2] * moonGcrs[2]) /
        (sunDistance * moonDistance);
    const double elongation = std::acos(std::clamp(cosElongation, -1.0, 1.0));
    const double phase = std::atan2(sunDistance * std::sin(elongation),
                                    moonDistance - sunDistance * std::cos(elongation));
    s.illumination = (1.0 + std::cos(phase)) / 2.0;
}

SunMoonNight::~SunMoonNight() = default;
SunMoonNight::SunMoonNight(SunMoonNight &&) noexcept = default;
SunMoonNight &SunMoonNight::operator=(SunMoonNight &&) noexcept = default;

void SunMoonNight::Setup::Observe(const std::array<Vector, kNodeCount> &nodes, double hours,
                                  double &azimuth, double &zenithDistance) const
{
    // The geocentric place by Lagrange interpolation between the nodes.
    const double u = (hours - kNightStartHours) / kNodeStepHours;
    Vector geo{};
    for (int n = 0; n < kNodeCount; ++n) {
        double w = 1.0;
        for (int m = 0; m < kNodeCount; ++m) {
            if (m != n)
                w *= (u - m) / (n - m);
        }
        for (int k = 0; k < 3; ++k)
            geo[k] += w * nodes[n][k];
    }

    // Earth rotation to the moment.
    const JulianDate utc = time.Utc(hours);
    eraASTROM now = astrom;
    eraAper13(utc.whole, utc.fraction, &now);
    const double era = now.eral - now.along;

    // From the Earth's centre to the site (the site turned into CIRS axes).
    const double c = std::cos(era);
    const double sn = std::sin(era);
    double topo[3] = {geo[0] - (c * site[0] - sn * site[1]), geo[1] - (sn * site[0] + c * site[1]),
                      geo[2] - site[2]};

    // CIRS to observed, with diurnal aberration.
    double ri = 0.0;
    double di = 0.0;
    eraC2s(topo, &ri, &di);
    double hob = 0.0, dob = 0.0, rob = 0.0;
    eraAtioq(ri, di, &now, &azimuth, &zenithDistance, &hob, &dob, &rob);
}

double SunMoonNight::Setup::Altitude(const std::array<Vector, kNodeCount> &nodes,
                                     double hours) const
{
    double azimuth = 0.0;
    double zenithDistance = 0.0;
    Observe(nodes, hours, azimuth, zenithDistance);
    return 90.0 - zenithDistance * kDegreesPerRadian;
}

double SunMoonNight::SunAltitudeDeg(double hours) const
{
    return setup_->Altitude(setup_->sun, hours);
}

double SunMoonNight::MoonAltitudeDeg(double hours) const
{
    return setup_->Altitude(setup_->moon, hours);
}

HorizontalPlace SunMoonNight::MoonPlace(double hours) const
{
    double azimuth = 0.0;
    double zenithDistance = 0.0;
    setup_->Observe(setup_->moon, hours, azimuth, zenithDistance);
    return {azimuth, ERFA_DPI / 2.0 - zenithDistance};
}

double SunMoonNight::MoonIllumination() const
{
    return setup_->illumination;
}

std::vector<NightCrossing> MoonHorizonCrossings(const SunMoonNight &night)
{
    const auto moon = [&night](double hours) { return night.MoonAltitudeDeg(hours); };
    return FindCrossings(moon, SampledBreakpoints(moon, kSampleStepHours), kMoonriseAltitudeDeg);
}

NightEvents SunMoonEvents(TDateRec date, const NightSite &site)
{
    return SunMoonEvents(SunMoonNight(date, site));
}

NightEvents SunMoonEvents(const SunMoonNight &night)
{
    NightEvents events;

    const auto sun = [&night](double hours) { return night.SunAltitudeDeg(hours); };
    const std::vector<NightSample> sunBreaks = SampledBreakpoints(sun, kSampleStepHours);
    const auto sunCrossings = [&](double threshold) {
        return FindCrossings(sun, sunBreaks, threshold);
    };
    const auto set = sunCrossings(kSunsetAltitudeDeg);
    events.sunSet = FirstCrossing(set, false);
    events.sunRise = FirstCrossing(set, true);
    const auto civil = sunCrossings(kCivilTwilightDeg);
    events.civilDusk = FirstCrossing(civil, false);
    events.civilDawn = FirstCrossing(civil, true);
    const auto nautical = sunCrossings(kNauticalTwilightDeg);
    events.nauticalDusk = FirstCrossing(nautical, false);
    events.nauticalDawn = FirstCrossing(nautical, true);
    const auto astronomical = sunCrossings(kAstronomicalTwilightDeg);
    events.astronomicalDusk = FirstCrossing(astronomical, false);
    events.astronomicalDawn = FirstCrossing(astronomical, true);
    events.darkIntervals =
        IntervalsOf(sunBreaks, astronomical, kAstronomicalTwilightDeg, /*above=*/false);

    const std::vector<NightCrossing> moonCrossings = MoonHorizonCrossings(night);
    events.moonRise = FirstCrossing(moonCrossings, true);
    events.moonSet = FirstCrossing(moonCrossings, false);
    events.moonIllumination = night.MoonIllumination();
    return events;
}

} // namespace mirado
