#!/usr/bin/env python3
"""Writes the sample measurement files shipped in share/samples (deterministic).

pipe_8mm.mem      a thickness scan of an 8 mm pipe wall: corrosion pits, a thinned band,
                  single lost readings and a run of lost contact
pipe_8mm_previous.mem  the previous inspection of the same line, five years earlier: the
                  same wall with every pit 0.3-0.6 mm shallower, the scan started 37 points
                  (74 mm) before the later one, its own noise and lost readings
single_readings.mem  a series of single readings (regime 0)
relief/           eight parallel scans across one corroded patch, for the relief view

With --survey DIR it writes instead a large survey for the corrosion map's benchmark (not
shipped): --scans parallel scans (default 500) of --points points (default 4100), 10 mm
apart, over a tank floor with scattered pits, a corroded band and lost readings.
"""
import argparse
import math
import os
import random

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "share", "samples")


def write_mem(path, regime, values):
    lines = ["Regime:", str(regime), "Total quantity of points:", " %d " % len(values), "Data:"]
    for v in values:
        cents = int(math.floor(v * 100 + 0.5 + 1e-9))
        lines.append("%d.%02d" % (cents // 100, cents % 100))
    with open(path, "wb") as f:
        f.write(("\r\n".join(lines) + "\r\n").encode("ascii"))


def pit(x, centre, width, depth):
    return depth * math.exp(-((x - centre) / width) ** 2)


def pipe_scan(rng, n, nominal, pits, band=None, lost=(), lost_runs=(), start=0.0):
    """`start` is the wall coordinate (mm) of the scan's first point."""
    values = []
    for i in range(n):
        x = start + 2.0 * i
        t = nominal + 0.04 * math.sin(x / 37.0) + rng.gauss(0, 0.015)
        for c, w, d in pits:
            t -= pit(x, c, w, d)
        if band and band[0] <= x <= band[1]:
            t -= band[2]
        values.append(max(t, 0.5))
    for i in lost:
        values[i] = 0.0
    for a, b in lost_runs:
        for i in range(a, b):
            values[i] = 0.0
    return values


def survey(folder, scans, points):
    rng = random.Random(4100500)
    os.makedirs(folder, exist_ok=True)
    spacing = 10.0
    # Pits: (along mm, across mm, radius mm, depth mm); a band of general wall loss across.
    pits = [(rng.uniform(0, 2.0 * points), rng.uniform(0, spacing * scans), rng.uniform(8, 60),
             rng.uniform(0.8, 4.5)) for _ in range(60)]
    for k in range(scans):
        across = spacing * k
        near = [(c, w, d * math.exp(-((across - a) / w) ** 2)) for c, a, w, d in pits
                if abs(across - a) < 3 * w]
        band = (3000.0, 3600.0, 0.6) if 1200 <= across <= 2600 else None
        lost = [rng.randrange(points) for _ in range(3)]
        values = pipe_scan(rng, points, 10.25, pits=near, band=band, lost=lost)
        write_mem(os.path.join(folder, "scan%04d.mem" % (k + 1)), 255, values)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--survey", metavar="DIR", help="write a large survey folder instead")
    parser.add_argument("--scans", type=int, default=500)
    parser.add_argument("--points", type=int, default=4100)
    args = parser.parse_args()
    if args.survey:
        survey(args.survey, args.scans, args.points)
        return
    rng = random.Random(20261206)
    os.makedirs(os.path.join(ROOT, "relief"), exist_ok=True)

    pipe_pits = [(520, 9, 2.1), (560, 5, 1.2), (1710, 14, 3.4), (2450, 6, 0.9)]
    pipe = pipe_scan(rng, 1500, 8.0, pits=pipe_pits,
                     band=(1100, 1400, 0.35), lost=(210, 777, 1203), lost_runs=((905, 912),))
    write_mem(os.path.join(ROOT, "pipe_8mm.mem"), 255, pipe)

    readings = [round(rng.uniform(7.6, 8.1), 2) for _ in range(36)]
    readings[7] = 5.85
    readings[19] = 6.40
    readings[28] = 0.0
    write_mem(os.path.join(ROOT, "single_readings.mem"), 0, readings)

    # Eight parallel lines 20 mm apart over the same wall: the patch shows in several of them.
    for k in range(8):
        lateral = 20.0 * k
        depth = 2.8 * math.exp(-((lateral - 70.0) / 45.0) ** 2)
        scan = pipe_scan(rng, 600, 10.0,
                         pits=[(640, 40, depth), (300, 8, 0.6 if k in (2, 3) else 0.0)],
                         lost=(50 + 37 * k,), lost_runs=(((400, 404),) if k == 5 else ()))
        write_mem(os.path.join(ROOT, "relief", "line%02d.mem" % (k + 1)), 255, scan)

    # Its own generator, so the samples above stay as they were.
    before = random.Random(20211206)
    shallower = [(c, w, d - before.uniform(0.3, 0.6)) for c, w, d in pipe_pits]
    previous = pipe_scan(before, 1500, 8.0, pits=shallower, band=(1100, 1400, 0.35),
                         lost=(120, 640), lost_runs=((1300, 1306),), start=-74.0)
    write_mem(os.path.join(ROOT, "pipe_8mm_previous.mem"), 255, previous)


if __name__ == "__main__":
    main()
