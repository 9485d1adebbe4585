#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes moon_reference.csv: the angle between a star and the Moon's centre,
both in AltAz at the site, computed with astropy (Debian python3-astropy) for
the tests of the events' moon_separation. Run once by hand; the build and the
tests never need astropy:

    /usr/bin/python3 tests/night/make_moon_reference.py > tests/night/moon_reference.csv

Conventions, the same as the events': the catalogue's coordinates as ICRS,
the Moon from astropy's built-in ephemeris seen from the site, AltAz with
UT1 = UTC, no polar motion, height 0 m on the WGS84 ellipsoid, no refraction
(pressure 0). Moments are hours after 00:00 site time of the night's date
(12 to 36, the morning on the next day).
"""
import datetime
import sys
import warnings

import numpy as np
from astropy.utils import iers

iers.conf.auto_download = False
iers.conf.auto_max_age = None

import astropy.units as u  # noqa: E402
from astropy.coordinates import AltAz, EarthLocation, SkyCoord, get_body  # noqa: E402
from astropy.coordinates.builtin_frames import intermediate_rotation_transforms, utils  # noqa: E402
from astropy.coordinates import erfa_astrom  # noqa: E402
from astropy.time import Time  # noqa: E402

warnings.simplefilter("ignore")


def no_polar_motion(time):
    zero = np.zeros(np.shape(time.jd1))
    return zero, zero


for module in (utils, erfa_astrom, intermediate_rotation_transforms):
    module.get_polar_motion = no_polar_motion

HOURS = [19.25, 26.5, 33.75]

# name, right ascension h:m:s, declination d:m:s
STARS = [
    ("Sirius", "6:45:08.9", "-16:42:58"),
    ("Spica", "13:25:11.6", "-11:09:41"),
    ("Regulus", "10:08:22.3", "+11:58:02"),
    ("Antares", "16:29:24.4", "-26:25:55"),
    ("Polaris", "2:31:49.1", "+89:15:51"),
    ("Origin", "0:00:00", "+0:00:00"),
]

# name, longitude (deg east), latitude (deg north), time zone (h), date
CASES = [
    ("tokyo", 139.7, 35.7, 9.0, "2027-06-21"),
    ("equator", 32.58, 0.0, 3.0, "1950-03-21"),
    ("santiago", -70.65, -33.45, -4.0, "2099-06-15"),
    ("tromso", 18.96, 69.65, 1.0, "2010-01-20"),
    ("mcmurdo", 166.67, -77.85, 12.0, "1999-07-01"),
    ("fiji_dateline", 179.9, -16.5, 12.0, "2024-02-29"),
]


def night_time(date, time_zone, hours):
    midnight = datetime.datetime.fromisoformat(date)
    t = Time((midnight + datetime.timedelta(hours=hours - time_zone)).isoformat(),
             format="isot", scale="utc")
    t.delta_ut1_utc = 0.0
    return t


def degrees(text):
    sign = -1.0 if text.startswith("-") else 1.0
    d, m, s = (float(part) for part in text.lstrip("+-").split(":"))
    return sign * (d + m / 60 + s / 3600)


def main():
    out = sys.stdout
    out.write("site,longitude,latitude,time_zone,date,star,ra,dec,hours,separation\n")
    for site, lon, lat, tz, date in CASES:
        location = EarthLocation.from_geodetic(lon * u.deg, lat * u.deg, 0 * u.m)
        for star in STARS:
            _, ra, dec = star
            coord = SkyCoord(ra=degrees(ra) * 15 * u.deg, dec=degrees(dec) * u.deg, frame="icrs")
            for hours in HOURS:
                t = night_time(date, tz, hours)
                frame = AltAz(obstime=t, location=location, pressure=0 * u.hPa)
                moon = get_body("moon", t, location).transform_to(frame)
                separation = coord.transform_to(frame).separation(moon).deg
                out.write(",".join([site, repr(lon), repr(lat), repr(tz), date, *star,
                                    "%.6f" % hours, "%.6f" % separation]) + "\n")
            out.flush()


if __name__ == "__main__":
    main()
