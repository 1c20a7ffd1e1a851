#!/usr/bin/env python3
"""Plots the worked study's table: the tensile stress at the slab bottom, the largest
deflection and the joint's load-transfer efficiency against the wheel's position along
the joint, one line per temperature difference.

    build/meridolan-study run examples/joint_study/study.toml -o joint_study.csv
    python3 examples/joint_study/plot.py joint_study.csv -o joint_study.png
"""

import argparse

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import pandas as pd  # noqa: E402


def main() -> None:
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("table", help="the study's CSV table")
    ap.add_argument("-o", "--output", default="joint_study.png", help="the picture (PNG or SVG)")
    a = ap.parse_args()
    t = pd.read_csv(a.table)
    t = t[t["exit"] == 0]
    # Compression is positive: the most tensile principal stress is the smallest minor one.
    t["tension"] = -t["min_minor_stress_bottom_1"]
    fig, axes = plt.subplots(1, 3, figsize=(15, 4.8))
    panels = [("tension", "largest tensile stress, slab bottom (psi)"),
              ("max_deflection", "largest deflection (in)"),
              ("joint_1.lte", "load-transfer efficiency of the joint")]
    for ax, (col, label) in zip(axes, panels):
        for dt, g in t.sort_values("loads.1.at.2").groupby("temperature.difference"):
            ax.plot(g["loads.1.at.2"], g[col], marker="o", ms=3, label=f"{dt:+g} F")
        ax.set_xlabel("wheel position along the joint, y (in)")
        ax.set_ylabel(label)
        ax.grid(alpha=0.3)
    worst = t.loc[t["tension"].idxmax()]
    axes[0].annotate(f"{worst['tension']:.0f} psi at y = {worst['loads.1.at.2']:g} in, "
                     f"{worst['temperature.difference']:+g} F",
                     (worst["loads.1.at.2"], worst["tension"]), textcoords="offset points",
                     xytext=(12, -4), fontsize=8)
    axes[2].legend(title="top minus bottom", fontsize=8)
    fig.suptitle("9,000 lb wheel along a dowelled joint, curled panels: "
                 f"{len(t)} cases")
    fig.tight_layout()
    fig.savefig(a.output, dpi=110)


if __name__ == "__main__":
    main()
