"""Fleets: groups per second of varnel.fit_groups, of a plain Python loop of varnel.fit over the
same groups, and of `varnel --life --by` on the same table as a CSV, without and with bounds, in
one run on the same machine state.

    python bench/fleet_speed.py BUILD/varnel [GROUPS]

The table: GROUPS (default 100,000) part numbers of 20 records each, Weibull times with one in
five a suspension. Two parameters; "no bounds" is bounds="none" (--bounds none), "bounds" fit's
default (Fisher and likelihood-ratio bounds of the B1 and B10 lives). The loop runs over the
first 10,000 groups only (it would take minutes over all): its rate is per group all the same.
"""
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import numpy as np
import pandas as pd

import varnel

PER_GROUP = 20
LOOP_GROUPS = 10_000
# The machine is shared: other work only ever adds time, so the least of a few runs is the steadiest.
REPETITIONS = 3


def fleet(groups):
    rng = np.random.default_rng(2024)
    n = groups * PER_GROUP
    return pd.DataFrame({"part": np.repeat([f"P{g:06d}" for g in range(groups)], PER_GROUP),
                         "time": np.round(1000 * rng.weibull(1.5, n), 2),
                         "state": np.where(rng.random(n) < 0.2, "S", "F")})


def least_seconds(run, repetitions=REPETITIONS):
    best = float("inf")
    for _ in range(repetitions):
        start = time.perf_counter()
        run()
        best = min(best, time.perf_counter() - start)
    return best


def loop_of_fit(frame, bounds):
    for _, rows in frame.groupby("part", sort=True):
        varnel.fit(rows.time.to_numpy(), rows.state.to_numpy(), model="2p", bounds=bounds)


def command_line(program, path, bounds):
    words = [program, "--life", "--by", "part", "--two-parameter"] + (["--bounds", "none"] if bounds == "none" else [])
    with open("/dev/null", "wb") as sink:
        status = subprocess.run(words + [path], stdout=sink).returncode
    if status != 0:
        sys.exit(f"varnel --by exited {status}")


def main():
    program = sys.argv[1]
    groups = int(sys.argv[2]) if len(sys.argv) > 2 else 100_000
    frame = fleet(groups)
    loop_frame = frame.iloc[:LOOP_GROUPS * PER_GROUP]
    with tempfile.TemporaryDirectory() as folder:
        csv = str(Path(folder) / "fleet.csv")
        frame.to_csv(csv, index=False)
        print(f"{groups} groups of {PER_GROUP} records; least of {REPETITIONS} runs; groups per second")
        print(f"{'':<10}{'fit_groups':>12}{'loop of fit':>13}{'ratio':>7}{'--by (CSV)':>12}")
        for bounds in ("none", "both"):
            grouped = least_seconds(lambda: varnel.fit_groups(frame, "part", "time", "state", model="2p",
                                                              bounds=bounds))
            loop = least_seconds(lambda: loop_of_fit(loop_frame, bounds), 1)
            cli = least_seconds(lambda: command_line(program, csv, bounds))
            name = "no bounds" if bounds == "none" else "bounds"
            rate, loop_rate = groups / grouped, min(groups, LOOP_GROUPS) / loop
            print(f"{name:<10}{rate:>12,.0f}{loop_rate:>13,.0f}{rate / loop_rate:>6.1f}x{groups / cli:>12,.0f}")


if __name__ == "__main__":
    main()
