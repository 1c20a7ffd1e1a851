"""Results of a run as pandas tables, with the report and the JSON document.

The tables come from the engine's JSON results (docs/results.md): one row per node,
per node and layer face, per joint node pair, per extreme value and per pass.
Stresses follow the report's sign convention: compression positive.
"""

from __future__ import annotations

import json
import os
from dataclasses import dataclass
from typing import Any, Optional

import pandas as pd

from .engine import RunOutput


NODE_COLUMNS = ["number", "x", "y", "deflection", "rotation_x", "rotation_y", "subgrade_stress",
                "subgrade_force", "in_contact", "gap"]


@dataclass
class Results:
    status: int
    report: bytes
    errors: str
    data: Optional[dict[str, Any]]  # the JSON document, None when the run wrote none
    deck: str
    contour: Optional[str] = None
    model: Any = None

    @classmethod
    def from_run(cls, out: RunOutput, deck: str, model: Any = None) -> "Results":
        return cls(out.status, out.report, out.errors, out.results, deck, out.contour, model)

    @property
    def report_text(self) -> str:
        return self.report.decode("latin-1")

    @property
    def message(self) -> Optional[str]:
        """The message that stopped the run, if one did."""
        return (self.data or {}).get("status", {}).get("message")

    def _need(self, key: str) -> Any:
        if self.data is None:
            raise ValueError(f"the run wrote no results (exit status {self.status})")
        return self.data.get(key)

    @property
    def nodes(self) -> pd.DataFrame:
        """Coordinates, deflection, rotations, subgrade stress and force, contact, gap."""
        cols = self._need("nodes") or {}
        if not cols.get("number"):
            return pd.DataFrame(columns=NODE_COLUMNS)
        return pd.DataFrame(cols).set_index("number", drop=False)

    @property
    def stresses(self) -> pd.DataFrame:
        """One row per layer, face and node: sigma_x, sigma_y, tau_xy, major, minor."""
        nodes = self.nodes
        frames = []
        for entry in self._need("stresses") or []:
            for face in ("top", "bottom"):
                cols = entry.get(face)
                if not cols:
                    continue
                f = pd.DataFrame(cols).rename(columns={"x": "sigma_x", "y": "sigma_y", "xy": "tau_xy"})
                f.insert(0, "node", nodes["number"].to_numpy()[: len(f)])
                f.insert(0, "face", face)
                f.insert(0, "layer", entry["layer"])
                f["x"] = nodes["x"].to_numpy()[: len(f)]
                f["y"] = nodes["y"].to_numpy()[: len(f)]
                frames.append(f)
        if not frames:
            return pd.DataFrame(columns=["layer", "face", "node", "sigma_x", "sigma_y", "tau_xy",
                                         "major", "minor", "x", "y"])
        return pd.concat(frames, ignore_index=True)

    def stress(self, quantity: str = "major", layer: int = 1, face: str = "bottom") -> pd.Series:
        """One stress at every node, indexed by node."""
        s = self.stresses
        s = s[(s["layer"] == layer) & (s["face"] == face)]
        if s.empty:
            raise ValueError(f"no stresses of layer {layer} at its {face} face in these results")
        return s.set_index("node")[quantity]

    @property
    def joints(self) -> pd.DataFrame:
        """One row per joint node pair: loads by dowels and interlock and the pair's
        load-transfer efficiency (unloaded over loaded deflection)."""
        frames = []
        for i, j in enumerate(self._need("joints") or []):
            f = pd.DataFrame(j.get("pairs") or {})
            f.insert(0, "coordinate", j.get("coordinate"))
            f.insert(0, "direction", j.get("direction"))
            f.insert(0, "joint", i + 1)
            frames.append(f)
        return pd.concat(frames, ignore_index=True) if frames else pd.DataFrame()

    @property
    def joint_totals(self) -> pd.DataFrame:
        """One row per joint line: its totals and its efficiency."""
        rows = [{k: v for k, v in j.items() if k != "pairs"} for j in self._need("joints") or []]
        return pd.DataFrame(rows)

    @property
    def extremes(self) -> pd.DataFrame:
        """The summary's values, by name, with their nodes."""
        rows = []
        for name, v in (self._need("extremes") or {}).items():
            if isinstance(v, dict):
                rows.append({"name": name, **v})
            else:
                rows.append({"name": name, "value": v})
        return pd.DataFrame(rows).set_index("name") if rows else pd.DataFrame()

    @property
    def sums(self) -> dict[str, Any]:
        return dict(self._need("sums") or {})

    @property
    def passes(self) -> pd.DataFrame:
        """The iteration history: stress-dependent passes or contact iterations."""
        p = self._need("passes")
        if isinstance(p, dict):
            return pd.DataFrame(p)
        return pd.DataFrame(p or [])

    @property
    def temperature_stress(self) -> pd.DataFrame:
        """The self-equilibrating stress of the nonlinear part of a temperature profile
        (compression positive), by depth in the top layer; empty without a profile."""
        from .temperature import nonlinear_stress

        m = self.model
        if m is None or m.temperature is None or not m.temperature.profile:
            return pd.DataFrame(columns=["depth", "temperature", "linear", "stress"])
        top = m.layers[0]
        rows = nonlinear_stress(m.temperature.profile, float(top.thickness), float(top.modulus),
                                top.poisson, m.temperature.expansion)
        return pd.DataFrame(rows, columns=["depth", "temperature", "linear", "stress"])

    def plot(self, quantity: str = "deflection", mirror: bool = True):
        """A contour map of one quantity (meridolan.maps.plot); returns the figure."""
        from .maps import plot

        return plot(self, quantity, mirror)

    def to_json(self, path: str) -> None:
        """The engine's JSON document as it came."""
        with open(path, "w", encoding="utf-8") as f:
            json.dump(self._need("format") and self.data, f, indent=1)
            f.write("\n")

    def to_csv(self, folder: str) -> list[str]:
        """Every table as a CSV file in `folder`; returns the files written."""
        os.makedirs(folder, exist_ok=True)
        written = []
        tables = {"nodes": self.nodes, "stresses": self.stresses, "joints": self.joints,
                  "joint_totals": self.joint_totals, "extremes": self.extremes, "passes": self.passes,
                  "temperature_stress": self.temperature_stress}
        for name, table in tables.items():
            if table.empty:
                continue
            path = os.path.join(folder, f"{name}.csv")
            table.to_csv(path, index=name == "extremes")
            written.append(path)
        return written
