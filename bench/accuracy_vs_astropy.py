#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Compares mirado-night's elevation curves and object events with astropy.

For each site and date, runs mirado-night on a catalogue (CSV output) with
the chosen elevation model and computes the same objects' altitude with
astropy's AltAz frame: no refraction (pressure 0), the catalogue's
coordinates taken as ICRS (J2000), UT1 = UTC and no polar motion as the
precise model has them. Prints, per site and date, the largest |difference|
in degrees over the points where the object is above the horizon, split
into the evening (17:00 to midnight) and the morning (midnight to 07:50),
then the ranges of those maxima over all sites and dates, and the largest
and the 95th percentile of every |difference|, in degrees and arcseconds.

Then the same for the events (mirado-night --events): each object's rise and
set against the moment astropy's altitude crosses 0 degrees and its transit
against astropy's highest point, found on a one-minute grid (a crossing
interpolated linearly, a peak by a parabola through three points), in
seconds. mirado-night prints its times to the second, so the differences
include up to half a second of rounding.

Not part of the build. Needs Debian's python3-astropy and nothing from the
network: astropy's bundled Earth-orientation tables are used, and dates past
their end use the last values (UT1-UTC is then off by under a second, which
moves an elevation by under 0.005 degrees).

    /usr/bin/python3 bench/accuracy_vs_astropy.py [--night build/tools/mirado-night]
        [--catalogue examples/tokyo/catalogue.txt] [--dates 2026-01-15,...]
        [--model chart|precise]
"""

import argparse
import csv
import datetime
import io
import pathlib
import subprocess
import warnings

import numpy as np
from astropy import units as u
from astropy.coordinates import AltAz, EarthLocation, SkyCoord
from astropy.coordinates import erfa_astrom
from astropy.coordinates.builtin_frames import intermediate_rotation_transforms, utils
from astropy.time import Time
from astropy.utils import iers

iers.conf.auto_download = False
iers.conf.auto_max_age = None
iers.conf.iers_degraded_accuracy = "warn"


def no_polar_motion(time):
    zero = np.zeros(np.shape(time.jd1))
    return zero, zero


for module in (utils, erfa_astrom, intermediate_rotation_transforms):
    module.get_polar_motion = no_polar_motion

ROOT = pathlib.Path(__file__).resolve().parent.parent

# name, longitude (degrees east), latitude (degrees north), time zone (hours)
SITES = [
    ("Tokyo", 139.7, 35.7, 9.0),
    ("Cape Town", 18.47, -33.93, 2.0),
    ("Santiago", -70.65, -33.45, -4.0),
    ("Tromso", 18.96, 69.65, 1.0),
]
DATES = ["2026-01-15", "2026-04-15", "2026-07-15", "2026-10-15"]
MIDNIGHT = 24.0
GRID_MINUTES = 1.0
UNMATCHED_SECONDS = 3600.0


def read_catalogue(path):
    """The catalogue's lines as (right ascension in hours, declination in
    degrees), by line number from 1; the file is Shift-JIS or UTF-8."""
    raw = path.read_bytes()
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError:
        text = raw.decode("cp932")
    objects = {}
    for number, line in enumerate(text.splitlines(), start=1):
        fields = [field.strip() for field in line.split(",")]
        if len(fields) < 3:
            continue
        h, m, s = (float(part) for part in fields[-2].split(":"))
        d, dm, ds = (float(part) for part in fields[-1].lstrip("+-").split(":"))
        sign = -1.0 if fields[-1].startswith("-") else 1.0
        objects[number] = (h + m / 60 + s / 3600, sign * (d + dm / 60 + ds / 3600))
    return objects


def run_night(night, catalogue, site, date, model, *extra):
    _, longitude, latitude, zone = site
    return subprocess.run(
        [night, "--catalogue", str(catalogue), "--longitude", str(longitude),
         "--latitude", str(latitude), "--timezone", str(zone), "--date", date,
         "--all", "--format", "csv", "--model", model, *extra],
        check=True, capture_output=True, text=True).stdout


def mirado_curves(night, catalogue, site, date, model):
    """mirado-night's points: {line: [(x, elevation)]}."""
    output = run_night(night, catalogue, site, date, model)
    curves = {}
    for row in csv.DictReader(io.StringIO(output)):
        curves.setdefault(int(row["line"]), []).append(
            (float(row["x"]), float(row["elevation"])))
    return curves


def astropy_altitudes(objects, lines, xs, site, date):
    """Altitudes in degrees, one row per line, one column per x: x hours
    after midnight at the start of `date`, local time."""
    _, longitude, latitude, zone = site
    location = EarthLocation.from_geodetic(longitude * u.deg, latitude * u.deg, 0 * u.m)
    times = Time(f"{date}T00:00:00", scale="utc") + (np.asarray(xs) - zone) * u.hour
    times = Time(times.jd1, times.jd2, format="jd", scale="utc")
    times.delta_ut1_utc = np.zeros(times.shape)
    ra = np.array([objects[line][0] for line in lines]) * 15 * u.deg
    dec = np.array([objects[line][1] for line in lines]) * u.deg
    stars = SkyCoord(ra=ra[:, None], dec=dec[:, None], frame="icrs")
    frame = AltAz(obstime=times[None, :], location=location, pressure=0 * u.hPa)
    return stars.transform_to(frame).alt.deg


def hours_of(text, date):
    """Hours after 00:00 of `date` of a site-local YYYY-MM-DDTHH:MM:SS."""
    moment = datetime.datetime.fromisoformat(text)
    start = datetime.datetime.fromisoformat(date)
    return (moment - start).total_seconds() / 3600


def mirado_events(night, catalogue, site, date, model):
    """mirado-night's events: {line: {"rise", "set", "transit"}} in hours."""
    output = run_night(night, catalogue, site, date, model, "--events")
    events = {}
    for row in csv.DictReader(io.StringIO(output)):
        events[int(row["line"])] = {
            kind: hours_of(row[kind], date) if row[kind] else None
            for kind in ("rise", "set", "transit")}
    return events


def astropy_events(objects, lines, site, date):
    """The first rise, set and transit of each line in the night's span
    (12:00 to 12:00), on a one-minute grid: {line: {kind: hours}}."""
    hours = 12.0 + np.arange(0, 24 * 60 / GRID_MINUTES + 1) * GRID_MINUTES / 60
    alt = astropy_altitudes(objects, lines, hours, site, date)
    events = {}
    for row, line in zip(alt, lines):
        found = {}
        above = row >= 0
        for kind, edges in (("rise", ~above[:-1] & above[1:]),
                            ("set", above[:-1] & ~above[1:])):
            idx = np.nonzero(edges)[0]
            if len(idx):
                k = idx[0]
                found[kind] = hours[k] + (hours[k + 1] - hours[k]) * row[k] / (row[k] - row[k + 1])
        d = np.diff(row)
        peaks = np.nonzero((d[:-1] > 0) & (d[1:] <= 0))[0] + 1
        if len(peaks):
            k = peaks[0]
            a, b, c = row[k - 1], row[k], row[k + 1]
            found["transit"] = hours[k] + 0.5 * (a - c) / (a - 2 * b + c) * (hours[1] - hours[0])
        events[line] = found
    return events


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--night", default=str(ROOT / "build/tools/mirado-night"))
    parser.add_argument("--catalogue", default=str(ROOT / "examples/tokyo/catalogue.txt"))
    parser.add_argument("--dates", default=",".join(DATES))
    parser.add_argument("--model", default="chart", choices=["chart", "precise"])
    args = parser.parse_args()
    catalogue = pathlib.Path(args.catalogue)
    objects = read_catalogue(catalogue)
    warnings.simplefilter("ignore")

    print(f"{len(objects)} objects of {catalogue.name}, the {args.model} model; "
          "|mirado - astropy| in degrees where the object is above the horizon")
    print(f"{'site':<10} {'date':<10} {'evening max':>12} {'morning max':>12} {'points':>7}")
    evening_maxima, morning_maxima, differences, event_seconds = [], [], [], []
    unmatched = 0
    for site in SITES:
        for date in args.dates.split(","):
            curves = mirado_curves(args.night, catalogue, site, date, args.model)
            lines = sorted(curves)
            xs = [x for x, _ in curves[lines[0]]]
            mirado = np.array([[elevation for _, elevation in curves[line]] for line in lines])
            truth = astropy_altitudes(objects, lines, xs, site, date)
            above = truth > 0
            difference = np.abs(mirado - truth)
            evening = above & (np.asarray(xs) < MIDNIGHT)[None, :]
            morning = above & (np.asarray(xs) >= MIDNIGHT)[None, :]
            evening_max = difference[evening].max() if evening.any() else float("nan")
            morning_max = difference[morning].max() if morning.any() else float("nan")
            differences.extend(difference[above])
            ours = mirado_events(args.night, catalogue, site, date, args.model)
            theirs = astropy_events(objects, lines, site, date)
            for line in lines:
                for kind, hours in theirs[line].items():
                    # An event near the span's ends may be a day's other one.
                    if ours[line][kind] is not None:
                        seconds = abs(ours[line][kind] - hours) * 3600
                        if seconds < UNMATCHED_SECONDS:
                            event_seconds.append(seconds)
                        else:
                            unmatched += 1
            evening_maxima.append(evening_max)
            morning_maxima.append(morning_max)
            print(f"{site[0]:<10} {date:<10} {evening_max:12.3f} {morning_max:12.3f} "
                  f"{int(above.sum()):7d}")
    print(f"evening: largest |difference| per night {np.nanmin(evening_maxima):.2f} to "
          f"{np.nanmax(evening_maxima):.2f} degrees")
    print(f"morning: largest |difference| per night {np.nanmin(morning_maxima):.2f} to "
          f"{np.nanmax(morning_maxima):.2f} degrees")
    differences = np.asarray(differences)
    print(f"altitudes, {len(differences)} points: largest {differences.max():.6f} degrees "
          f"({differences.max() * 3600:.3f}\"), 95th percentile "
          f"{np.percentile(differences, 95):.6f} degrees "
          f"({np.percentile(differences, 95) * 3600:.3f}\")")
    event_seconds = np.asarray(event_seconds)
    print(f"rise, set and transit, {len(event_seconds)} events: largest "
          f"{event_seconds.max():.1f} s, 95th percentile {np.percentile(event_seconds, 95):.1f} s; "
          f"{unmatched} a day's other event (over an hour apart), left out")


if __name__ == "__main__":
    main()
