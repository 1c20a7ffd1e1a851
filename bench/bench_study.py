#!/usr/bin/env python3
"""Timing of a parameter study (run by hand, not by CI).

A study of 2,000 cases of a 20 x 20 node slab (10 thicknesses x 10 subgrade moduli x
20 load positions): cases per second in this process without Dask, on a local Dask
cluster of one worker and of two, and the same cases as separate runs of the program
on decks written beforehand; the share of the study's time spent outside the engine.

    PYTHONPATH=python:build/python python3 bench/bench_study.py --program build/meridolan
"""

from __future__ import annotations

import argparse
import logging
import os
import subprocess
import sys
import tempfile
import time

from meridolan import study as st

MODEL = """title = "20 X 20 NODES, STUDY BENCHMARK"
[slabs]
x = [180.0]
y = [180.0]
[[layers]]
thickness = 10.0
modulus = 4.0e6
poisson = 0.15
[subgrade]
type = "dense-liquid"
k = 200.0
[[loads]]
pressure = 62.5
x = [84.0, 96.0]
y = [84.0, 96.0]
[mesh]
x = [[{lines}]]
y = [[{lines}]]
"""


def study_text(folder: str, cases: int) -> str:
    lines = ", ".join(repr(round(180.0 * i / 19, 4)) for i in range(20))
    model = os.path.join(folder, "model.toml")
    with open(model, "w") as f:
        f.write(MODEL.format(lines=lines))
    positions = [[round(6.0 + 8.0 * i, 1), round(18.0 + 8.0 * i, 1)] for i in range(20)]
    per = max(1, round((cases / 20) ** 0.5))
    thick = [round(6.0 + 0.5 * i, 1) for i in range(per)]
    ks = [100.0 + 25.0 * i for i in range(per)]
    return f"""model = "{model}"
[factors]
"layers.1.thickness" = {thick}
"subgrade.k" = {ks}
"loads.1.x" = {positions}
[outputs]
values = ["max_deflection", "min_minor_stress_bottom_1", "reaction_sum", "status"]
"""


def dask_run(study, folder: str, workers: int, name: str) -> tuple[float, float, st.StudyRun]:
    from distributed import Client, LocalCluster

    t0 = time.monotonic()
    with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True, dashboard_address=None,
                      silence_logs=logging.ERROR) as cluster, Client(cluster) as client:
        client.wait_for_workers(workers)
        started = time.monotonic() - t0
        done = st.run_study(study, os.path.join(folder, name), client=client, progress=None)
    return started, done.seconds, done


def main() -> int:
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("--program", default="build/meridolan", help="the program, for the separate runs")
    ap.add_argument("--cases", type=int, default=2000)
    a = ap.parse_args()
    with tempfile.TemporaryDirectory() as folder:
        study = st.study_from_toml(study_text(folder, a.cases))
        cases = st.design_cases(study)
        n = len(cases)
        print(f"{n} cases of a 20 x 20 node slab; load average {os.getloadavg()[0]:.1f} on {os.cpu_count()} cores")

        serial = st.run_study(study, os.path.join(folder, "serial.csv"), workers=0, progress=None)
        print(f"in-process, no Dask : {n / serial.seconds:8.1f} cases/s ({serial.seconds:.2f} s; "
              f"engine {serial.engine_seconds:.2f} s, outside it {1 - serial.engine_seconds / serial.seconds:.1%})")
        rates = {}
        for w in (1, 2):
            started, seconds, done = dask_run(study, folder, w, f"dask{w}.csv")
            rates[w] = n / seconds
            outside = 1 - done.engine_seconds / (seconds * w)
            print(f"Dask, {w} worker{'s' if w > 1 else ' '}     : {rates[w]:8.1f} cases/s ({seconds:.2f} s after a "
                  f"cluster start of {started:.1f} s; outside the engine {outside:.1%} of the workers' time)")
        print(f"two workers / one   : {rates[2] / rates[1]:8.2f}")

        decks = []
        for i, (case, values) in enumerate(cases):
            path = os.path.join(folder, f"{i}.dat")
            with open(path, "w") as f:
                f.write(st.case_model(study.base, values).deck())
            decks.append(path)
        t0 = time.monotonic()
        for path in decks:
            subprocess.run([a.program, path, path + ".txt", "-c", path + ".cnt"], check=True)
        separate = time.monotonic() - t0
        print(f"separate runs       : {n / separate:8.1f} cases/s ({separate:.2f} s for {n} runs of the program)")
        print(f"study on two workers / separate runs: {rates[2] / (n / separate):.2f}; "
              f"in-process / separate runs: {(n / serial.seconds) / (n / separate):.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
