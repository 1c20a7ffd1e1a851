#!/usr/bin/python3
"""Scatter of back-calculated values over many noisy draws of synthetic basins, and
the time per fitted test point.

    PYTHONPATH=python:build/python /usr/bin/python3 scripts/backcalc_scatter.py [DRAWS] [NOISE]

Basins made by the program from known values (interior of a 15 x 15 ft slab with
eight sensors; a joint basin between two panels; the centre and edge basins of a
two-layer slab fitted together), each sensor scaled by 1 + NOISE * N(0, 1); every
draw is fitted from the same wrong start. Prints, per case and key, the mean and
the standard deviation of the fitted over the true value, the mean standard error
the fit itself gave, and the runs and the seconds (processor and wall) per fit.
"""

import copy
import sys
import time

import numpy as np

from meridolan import Joint, Joints, Layer, Model, Subgrade
from meridolan import backcalc as bc

FULL = [0.0, 8.0, 12.0, 18.0, 24.0, 36.0, 48.0, 60.0]


def case_interior():
    m = Model("FWD", [180.0], [180.0], [Layer(10.0, 4.0e6, 0.15)], Subgrade("dense-liquid", k=200.0))
    return m, [bc.Basin(90.0, 90.0, 9000.0, 5.9, FULL, [0.0] * 8)], {
        "layers.1.modulus": (4.0e6, 2.5e6), "subgrade.k": (200.0, 350.0)}


def case_joint():
    m = Model("FWD", [180.0, 180.0], [144.0], [Layer(10.0, 4.0e6, 0.15)], Subgrade("dense-liquid", k=200.0))
    m.joints = Joints(x=Joint(interlock=20000.0))
    return m, [bc.Basin(90.0, 72.0, 9000.0, 5.9, FULL, [0.0] * 8),
               bc.Basin(174.0, 72.0, 9000.0, 5.9, [0.0, 12.0, 24.0, 36.0], [0.0] * 4)], {
        "layers.1.modulus": (4.0e6, 2.5e6), "subgrade.k": (200.0, 350.0), "joints.x.interlock": (20000.0, 3000.0)}


def case_two_layers():
    m = Model("FWD", [180.0], [180.0], [Layer(8.0, 4.0e6, 0.15), Layer(6.0, 5.0e5, 0.2)],
              Subgrade("dense-liquid", k=200.0), bonded=True)
    return m, [bc.Basin(90.0, 90.0, 9000.0, 5.9, FULL, [0.0] * 8),
               bc.Basin(6.0, 90.0, 9000.0, 5.9, [0.0, 12.0, 24.0, 36.0], [0.0] * 4)], {
        "layers.1.modulus": (4.0e6, 6.0e6), "subgrade.k": (200.0, 120.0)}


def main() -> None:
    draws = int(sys.argv[1]) if len(sys.argv) > 1 else 50
    noise = float(sys.argv[2]) if len(sys.argv) > 2 else 0.01
    rng = np.random.default_rng(1)
    for name, make in (("interior", case_interior), ("joint", case_joint), ("two layers", case_two_layers)):
        truth, basins, keys = make()
        exact = [bc.synthetic(truth, b) for b in basins]
        guess = copy.deepcopy(truth)
        for k, (_, s) in keys.items():
            bc.set_value(guess, k, s)
        ratios = {k: [] for k in keys}
        errors = {k: [] for k in keys}
        runs, cpu, wall, failed = [], [], [], 0
        for d in range(draws + 1):
            noisy = []
            for b, w in zip(basins, exact):
                b = copy.deepcopy(b)
                scale = 1.0 + (noise * rng.standard_normal(len(w)) if d else 0.0)
                b.deflections = list(np.asarray(w) * scale)
                noisy.append(b)
            c0, w0 = time.process_time(), time.perf_counter()
            f = bc.fit(guess, noisy, list(keys))
            c1, w1 = time.process_time(), time.perf_counter()
            if d == 0:
                print(f"{name}: exact data: " + ", ".join(
                    f"{k} {f.values[k] / v[0] - 1:+.2e}" for k, v in keys.items())
                    + f"; {f.runs} runs, {c1 - c0:.2f} s processor, {w1 - w0:.2f} s wall")
                continue
            if f.exit != 0:
                failed += 1
                continue
            for k, (v, _) in keys.items():
                ratios[k].append(f.values[k] / v)
                errors[k].append(f.errors[k] / v)
            runs.append(f.runs)
            cpu.append(c1 - c0)
            wall.append(w1 - w0)
        print(f"{name}: {draws} draws of {noise:.0%} noise, {failed} failed; per fit {np.mean(runs):.1f} runs, "
              f"{np.mean(cpu):.2f} s processor, {np.mean(wall):.2f} s wall, {len(basins)} basins")
        for k in keys:
            r = np.asarray(ratios[k])
            print(f"  {k}: fitted/true mean {r.mean():.4f}, sd {r.std(ddof=1):.4f}, "
                  f"range {r.min():.4f} to {r.max():.4f}; mean standard error {np.mean(errors[k]):.4f}")


if __name__ == "__main__":
    main()
