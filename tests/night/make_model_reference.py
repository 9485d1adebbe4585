#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes model_reference.csv: altitudes, rises, sets and transits of a table
of stars at sites from the equator to 78 degrees north and south, on nights
from 1950 to 2099, computed with astropy (Debian python3-astropy 5.2) for the
tests of the precise elevation model. Run once by hand; the build and the
tests never need astropy:

    /usr/bin/python3 tests/night/make_model_reference.py > tests/night/model_reference.csv

Conventions, the same as the precise model's: the catalogue's coordinates as
ICRS, AltAz with UT1 = UTC, no polar motion, height 0 m on the WGS84
ellipsoid, no refraction (pressure 0). Moments are hours after 00:00 site
time of the night's date (12 to 36, the morning on the next day).

One row per value: kind "altitude" (degrees at `hours`), "rise" and "set"
(the first crossing of 0 degrees in the span 12 to 36, upwards or
downwards; empty when there is none) and "transit" (the first upper
culmination in the span, from the peak of the altitude). Flags: g when the
altitude changes by less than 0.05 degrees a minute at the crossing (a
grazing event), m when a turning point lies within 0.01 degrees of the
horizon (the event may then be found or not), e when the transit lies within
a sampling step of the span's ends.
"""
import datetime
import sys
import warnings

import numpy as np
from astropy.utils import iers

iers.conf.auto_download = False
iers.conf.auto_max_age = None

import astropy.units as u  # noqa: E402
from astropy.coordinates import AltAz, EarthLocation, SkyCoord  # noqa: E402
from astropy.coordinates.builtin_frames import intermediate_rotation_transforms, utils  # noqa: E402
from astropy.coordinates import erfa_astrom  # noqa: E402
from astropy.time import Time  # noqa: E402

warnings.simplefilter("ignore")


def no_polar_motion(time):
    zero = np.zeros(np.shape(time.jd1))
    return zero, zero


for module in (utils, erfa_astrom, intermediate_rotation_transforms):
    module.get_polar_motion = no_polar_motion

STEP_MINUTES = 2.0
GRAZING_DEG_PER_MINUTE = 0.05
MARGIN_DEG = 0.01
ALTITUDE_HOURS = [17.0, 21.5, 24.25, 27.75, 31.5]

# name, right ascension h:m:s, declination d:m:s
STARS = [
    ("Sirius", "6:45:08.9", "-16:42:58"),
    ("Vega", "18:36:56.3", "+38:47:01"),
    ("Canopus", "6:23:57.1", "-52:41:45"),
    ("Spica", "13:25:11.6", "-11:09:41"),
    ("Capella", "5:16:41.4", "+45:59:53"),
    ("Achernar", "1:37:42.8", "-57:14:12"),
    ("Altair", "19:50:47.0", "+08:52:06"),
    ("M31", "0:42:44.3", "+41:16:09"),
    ("M42", "5:35:17.3", "-5:23:28"),
    ("Antares", "16:29:24.4", "-26:25:55"),
    ("Fomalhaut", "22:57:39.0", "-29:37:20"),
    ("Deneb", "20:41:25.9", "+45:16:49"),
    ("Regulus", "10:08:22.3", "+11:58:02"),
    ("Arcturus", "14:15:39.7", "+19:10:57"),
    ("Alpha Cen", "14:39:36.5", "-60:50:02"),
    ("Polaris", "2:31:49.1", "+89:15:51"),
    ("Origin", "0:00:00", "+0:00:00"),
]

# name, longitude (deg east), latitude (deg north), time zone (h), date
CASES = [
    ("equator", 32.58, 0.0, 3.0, "1950-03-21"),
    ("tokyo", 139.7, 35.7, 9.0, "2026-12-07"),
    ("santiago", -70.65, -33.45, -4.0, "2099-06-15"),
    ("cape_town", 18.47, -33.93, 2.0, "1985-11-11"),
    ("tromso", 18.96, 69.65, 1.0, "2010-01-20"),
    ("svalbard", 15.6, 78.0, 1.0, "2040-10-30"),
    ("mcmurdo", 166.67, -77.85, 12.0, "1999-07-01"),
    ("mauna_kea", -155.47, 19.82, -10.0, "2075-04-04"),
    ("kathmandu", 85.32, 27.7, 5.75, "1968-08-08"),
    ("greenwich_leap_second", 0.0, 51.48, 0.0, "2016-12-31"),
    ("chatham", -176.5, -43.95, 12.75, "2030-02-28"),
    ("reykjavik_leap_second", -21.9, 64.15, 0.0, "1972-06-30"),
    ("ushuaia", -68.3, -54.8, -3.0, "2060-09-09"),
    ("fiji_dateline", 179.9, -16.5, 12.0, "2024-02-29"),
]


def night_times(date, time_zone, hours):
    """The UTC clock times of the given site hours. Formed on the calendar,
    not by adding seconds to a Time, so that a leap second in the night
    does not move the later moments off their clock times."""
    midnight = datetime.datetime.fromisoformat(date)
    texts = [(midnight + datetime.timedelta(hours=float(h) - time_zone)).isoformat()
             for h in np.atleast_1d(hours)]
    t = Time(texts, format="isot", scale="utc")
    t.delta_ut1_utc = np.zeros(t.shape)
    return t


def degrees(text):
    sign = -1.0 if text.startswith("-") else 1.0
    d, m, s = (float(part) for part in text.lstrip("+-").split(":"))
    return sign * (d + m / 60 + s / 3600)


def altitude(star, date, time_zone, location, hours):
    _, ra, dec = star
    t = night_times(date, time_zone, hours)
    coord = SkyCoord(ra=degrees(ra) * 15 * u.deg, dec=degrees(dec) * u.deg, frame="icrs")
    frame = AltAz(obstime=t, location=location, pressure=0 * u.hPa)
    return coord.transform_to(frame).alt.deg


def crossing(star, date, tz, location, a, b, rising):
    for _ in range(24):
        m = (a + b) / 2
        above = altitude(star, date, tz, location, [m])[0] >= 0
        if above == rising:
            b = m
        else:
            a = m
    return (a + b) / 2


def peak(star, date, tz, location, a, b):
    inverse_golden = (np.sqrt(5) - 1) / 2
    for _ in range(40):
        x1 = b - inverse_golden * (b - a)
        x2 = a + inverse_golden * (b - a)
        f1, f2 = altitude(star, date, tz, location, [x1, x2])
        if f1 > f2:
            b = x2
        else:
            a = x1
    return (a + b) / 2


def main():
    out = sys.stdout
    out.write("site,longitude,latitude,time_zone,date,star,ra,dec,kind,hours,altitude,flags\n")
    for c, (site, lon, lat, tz, date) in enumerate(CASES):
        location = EarthLocation.from_geodetic(lon * u.deg, lat * u.deg, 0 * u.m)
        for k in range(3):
            star = STARS[(3 * c + k) % len(STARS)]
            head = [site, repr(lon), repr(lat), repr(tz), date, *star]
            for hours, alt in zip(ALTITUDE_HOURS,
                                  altitude(star, date, tz, location, ALTITUDE_HOURS)):
                out.write(",".join(head + ["altitude", "%.6f" % hours, "%.9f" % alt, ""]) + "\n")

            hours = 12.0 + np.arange(0, 24 * 60 / STEP_MINUTES + 1) * STEP_MINUTES / 60.0
            alt = altitude(star, date, tz, location, hours)
            d = np.diff(alt)
            turning = alt[1:-1][np.sign(d[1:]) != np.sign(d[:-1])]
            marginal = "m" if np.any(np.abs(turning) < MARGIN_DEG) else ""
            above = alt >= 0
            for name, rising in (("rise", True), ("set", False)):
                idx = np.nonzero((~above[:-1] & above[1:]) if rising
                                 else (above[:-1] & ~above[1:]))[0]
                if len(idx) == 0:
                    out.write(",".join(head + [name, "", "", marginal]) + "\n")
                    continue
                j = idx[0]
                rate = abs(alt[j + 1] - alt[j]) / STEP_MINUTES
                flags = ("g" if rate < GRAZING_DEG_PER_MINUTE else "") + marginal
                t = crossing(star, date, tz, location, hours[j], hours[j + 1], rising)
                out.write(",".join(head + [name, "%.7f" % t, "", flags]) + "\n")

            maxima = np.nonzero((d[:-1] > 0) & (d[1:] <= 0))[0] + 1
            before = altitude(star, date, tz, location, [hours[0] - STEP_MINUTES / 60])[0]
            near_start = d[0] <= 0 and before < alt[0]
            near_end = len(maxima) > 0 and maxima[0] >= len(hours) - 2
            edge = "e" if near_start or near_end or len(maxima) == 0 else ""
            j = maxima[0] if len(maxima) else int(np.argmax(alt))
            lo = hours[max(j - 1, 0)]
            hi = hours[min(j + 1, len(hours) - 1)]
            t = peak(star, date, tz, location, lo, hi)
            out.write(",".join(head + ["transit", "%.7f" % t, "", edge]) + "\n")
            out.flush()


if __name__ == "__main__":
    main()
