#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The same 1,000 objects x 96 points as tool_bench, computed by astropy.

A comparison for the benchmark only, not a dependency of Mirado: Debian's
python3-astropy, run with /usr/bin/python3. The imports are timed apart and
left out; the IERS tables are not downloaded. Prints the first call in this
fresh interpreter and the fastest of the warm calls after it.

    /usr/bin/python3 bench/astropy_night.py
"""
import time

started = time.perf_counter()
import warnings

import numpy as np
from astropy import units as u
from astropy.coordinates import AltAz, EarthLocation, SkyCoord
from astropy.time import Time
from astropy.utils import iers
from astropy.utils.exceptions import AstropyWarning

iers.conf.auto_download = False
iers.conf.auto_max_age = None
warnings.simplefilter("ignore", AstropyWarning)
warnings.simplefilter("ignore", UserWarning)
imported = time.perf_counter() - started

OBJECTS = 1000
LONGITUDE, LATITUDE, TIME_ZONE = 135.0, 35.0, 9.0
DATE = "2026-12-07"


def catalogue():
    """Object i: right ascension i * 7919 s of time modulo a day, declination
    -60 + (i * 37 mod 140) degrees, as tool_bench writes them."""
    i = np.arange(OBJECTS)
    ra_deg = (i * 7919 % 86400) / 240.0
    dec_deg = -60.0 + (i * 37 % 140)
    return ra_deg, dec_deg


def moments():
    """The 96 clock times mirado-night computes a night for, as universal time:
    17:00 to 24:50 and 00:00 to 07:50 of the date, every 10 minutes."""
    minutes = [h * 60 + m for h in range(17, 25) for m in range(0, 60, 10)]
    minutes += [h * 60 + m for h in range(0, 8) for m in range(0, 60, 10)]
    local = Time(DATE) + np.array(minutes) * u.min
    return local - TIME_ZONE * u.hour


def elevations(ra_deg, dec_deg, times, site):
    stars = SkyCoord(ra=ra_deg[:, None] * u.deg, dec=dec_deg[:, None] * u.deg, frame="icrs")
    frame = AltAz(obstime=times[None, :], location=site)
    return stars.transform_to(frame).alt.deg


def timed(ra_deg, dec_deg):
    start = time.perf_counter()
    times = moments()
    site = EarthLocation(lon=LONGITUDE * u.deg, lat=LATITUDE * u.deg, height=0 * u.m)
    alt = elevations(ra_deg, dec_deg, times, site)
    assert alt.shape == (OBJECTS, 96)
    return (time.perf_counter() - start) * 1000.0


ra, dec = catalogue()
first = timed(ra, dec)
warm = min(timed(ra, dec) for _ in range(5))
print(f"astropy imports (left out)             {imported * 1000.0:8.1f} ms")
print(f"1,000 objects x 96 points, first call  {first:8.1f} ms")
print(f"1,000 objects x 96 points, warm call   {warm:8.1f} ms")
