#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes sunmoon_reference.csv: the Sun and Moon events of a table of sites
and nights, computed with astropy (Debian python3-astropy 5.2) for the night
tests. Run once by hand; the build and the tests never need astropy:

    /usr/bin/python3 tests/night/make_reference.py > tests/night/sunmoon_reference.csv

Conventions, the same as the night engine's: UT1 = UTC, no polar motion,
height 0 m on the WGS84 ellipsoid, no refraction (pressure 0), apparent
topocentric places. The night of a date runs from 12:00 site time on it to
12:00 the next day; each event is the first crossing of its kind in that
span: sunset and sunrise at -0.8333 degrees for the Sun's centre, civil,
nautical and astronomical dusk and dawn at -6, -12 and -18, moonrise and
moonset at -0.8333 for the Moon's topocentric centre. The Moon's illuminated
fraction is the geocentric one, (1 + cos i) / 2 with i the Sun-Moon-Earth
phase angle, at 00:00 site time of the next day.

Times are written as hours after 00:00 site time of the date (12 to 36).
Each event also carries flags: g when the altitude changes by less than
0.02 degrees a minute around it (a grazing event), m when the body's altitude
has a turning point within 0.01 degrees of the threshold somewhere in the
span (the event may then be reported or not).
"""
import sys
import warnings

import numpy as np
from astropy.utils import iers

iers.conf.auto_download = False
iers.conf.auto_max_age = None

import astropy.units as u  # noqa: E402
from astropy.coordinates import AltAz, EarthLocation, get_body, get_sun  # noqa: E402
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
SUN_EVENTS = [  # name, threshold, +1 rising / -1 setting
    ("sun_set", -0.8333, -1), ("civil_dusk", -6.0, -1), ("nautical_dusk", -12.0, -1),
    ("astronomical_dusk", -18.0, -1), ("astronomical_dawn", -18.0, +1),
    ("nautical_dawn", -12.0, +1), ("civil_dawn", -6.0, +1), ("sun_rise", -0.8333, +1),
]
MOON_EVENTS = [("moon_rise", -0.8333, +1), ("moon_set", -0.8333, -1)]
GRAZING_DEG_PER_MINUTE = 0.02
MARGIN_DEG = 0.01

# name, longitude (deg east), latitude (deg north), time zone (h), date
CASES = [
    ("tokyo", 139.7, 35.7, 9.0, "2024-01-15"),
    ("tokyo", 139.7, 35.7, 9.0, "2024-06-21"),
    ("tokyo", 139.7, 35.7, 9.0, "2001-12-31"),
    ("tokyo", 139.7, 35.7, 9.0, "2024-02-29"),
    ("tokyo", 139.7, 35.7, 9.0, "2100-12-31"),
    ("tokyo", 139.7, 35.7, 9.0, "2025-03-14"),
    ("siding_spring", 149.07, -31.27, 10.0, "2023-07-01"),
    ("cape_town", 18.42, -33.92, 2.0, "2000-12-31"),
    ("paranal", -70.40, -24.63, -4.0, "2030-09-15"),
    ("fiji_dateline", 179.9, -16.5, 12.0, "2024-03-20"),
    ("aleutian_dateline", -179.9, 51.8, -12.0, "2024-10-10"),
    ("st_johns", -52.7, 47.56, -3.5, "2024-11-03"),
    ("kathmandu", 85.32, 27.7, 5.75, "2024-04-15"),
    ("adelaide", 138.6, -34.93, 9.5, "2024-01-01"),
    ("chatham", -176.5, -43.95, 12.75, "2031-05-20"),
    ("longyearbyen", 15.6, 78.2, 1.0, "2024-06-21"),
    ("longyearbyen", 15.6, 78.2, 1.0, "2024-12-21"),
    ("longyearbyen", 15.6, 78.2, 1.0, "2024-04-10"),
    ("mcmurdo", 166.67, -77.85, 12.0, "2024-12-21"),
    ("mcmurdo", 166.67, -77.85, 12.0, "2024-06-21"),
    ("polar_circle", 25.0, 65.8, 2.0, "2024-06-18"),
    ("polar_circle", 25.0, 65.73, 2.0, "2024-06-21"),
    ("tromso", 18.95, 69.65, 1.0, "2024-01-16"),
    ("alaska", -150.0, 66.56, -9.0, "2023-12-21"),
    ("greenwich", 0.0, 51.48, 0.0, "1900-01-15"),
    ("greenwich", 0.0, 51.48, 0.0, "1900-03-01"),
    ("new_york", -74.0, 40.7, -5.0, "2099-07-04"),
    ("quito", -78.5, -0.2, -5.0, "2024-03-20"),
    ("berlin", 13.4, 52.5, 1.0, "1950-05-05"),
    ("hawaii", -155.47, 19.82, -10.0, "2050-08-08"),
    ("kiritimati", -157.4, 1.87, 14.0, "2024-09-01"),
    ("reykjavik", -21.9, 64.15, 0.0, "2024-12-31"),
]


def night_times(date, time_zone, hours):
    """UTC times of the given hours after 00:00 site time of `date`."""
    midnight = Time(date + "T00:00:00", scale="utc")
    t = midnight + (np.asarray(hours) - time_zone) * u.hour
    t = Time(np.atleast_1d(t.jd1), np.atleast_1d(t.jd2), format="jd", scale="utc")
    t.delta_ut1_utc = np.zeros(t.shape)
    return t


def altitude(body, date, time_zone, location, hours):
    t = night_times(date, time_zone, hours)
    frame = AltAz(obstime=t, location=location, pressure=0 * u.hPa)
    if body == "sun":
        coord = get_sun(t)
    else:
        coord = get_body("moon", t, location)
    return coord.transform_to(frame).alt.deg


def turning_points(alt):
    d = np.diff(alt)
    return alt[1:-1][np.sign(d[1:]) != np.sign(d[:-1])]


def events(body, specs, date, time_zone, location):
    hours = 12.0 + np.arange(0, 24 * 60 / STEP_MINUTES + 1) * STEP_MINUTES / 60.0
    alt = altitude(body, date, time_zone, location, hours)
    extremes = turning_points(alt)
    found = {}
    brackets = []
    for name, threshold, direction in specs:
        above = alt >= threshold
        if direction > 0:
            idx = np.nonzero(~above[:-1] & above[1:])[0]
        else:
            idx = np.nonzero(above[:-1] & ~above[1:])[0]
        marginal = bool(np.any(np.abs(extremes - threshold) < MARGIN_DEG))
        if len(idx) == 0:
            found[name] = (None, "m" if marginal else "")
            continue
        k = idx[0]
        rate = abs(alt[k + 1] - alt[k]) / STEP_MINUTES
        flags = ("g" if rate < GRAZING_DEG_PER_MINUTE else "") + ("m" if marginal else "")
        brackets.append([name, threshold, direction, hours[k], hours[k + 1], flags])
    # Bisection of every bracket at once, to well below a second.
    for _ in range(14):
        mids = np.array([(b[3] + b[4]) / 2 for b in brackets])
        if len(mids) == 0:
            break
        alts = altitude(body, date, time_zone, location, mids)
        for b, m, a in zip(brackets, mids, alts):
            is_above = a >= b[1]
            if (is_above and b[2] > 0) or (not is_above and b[2] < 0):
                b[4] = m
            else:
                b[3] = m
    for b in brackets:
        found[b[0]] = ((b[3] + b[4]) / 2, b[5])
    return found, hours, alt


def illumination(date, time_zone):
    t = night_times(date, time_zone, [24.0])
    sun = get_sun(t)
    moon = get_body("moon", t)
    elongation = sun.separation(moon)
    i = np.arctan2(sun.distance * np.sin(elongation),
                   moon.distance - sun.distance * np.cos(elongation))
    return float(((1 + np.cos(i)) / 2)[0])


def main():
    names = [e[0] for e in SUN_EVENTS + MOON_EVENTS]
    header = ["site", "longitude", "latitude", "time_zone", "date"]
    for n in names:
        header += [n, n + "_flags"]
    header += ["sun_alt_00", "sun_alt_18", "moon_alt_00", "moon_alt_18", "moon_illumination"]
    out = sys.stdout
    out.write(",".join(header) + "\n")
    for site, lon, lat, tz, date in CASES:
        location = EarthLocation.from_geodetic(lon * u.deg, lat * u.deg, 0 * u.m)
        sun, sun_hours, sun_alt = events("sun", SUN_EVENTS, date, tz, location)
        moon, moon_hours, moon_alt = events("moon", MOON_EVENTS, date, tz, location)
        row = [site, repr(lon), repr(lat), repr(tz), date]
        for n in names:
            time, flags = {**sun, **moon}[n]
            row += ["" if time is None else "%.6f" % time, flags]
        # Check altitudes at 18:00 and 00:00 (next day) site time.
        at18 = int(round((18 - 12) * 60 / STEP_MINUTES))
        at24 = int(round((24 - 12) * 60 / STEP_MINUTES))
        row += ["%.6f" % sun_alt[at24], "%.6f" % sun_alt[at18],
                "%.6f" % moon_alt[at24], "%.6f" % moon_alt[at18],
                "%.6f" % illumination(date, tz)]
        out.write(",".join(row) + "\n")
        out.flush()


if __name__ == "__main__":
    main()
