"""The TOML model file (docs/model.md lists every key).

Every table is read strictly: a key the file format does not have is refused with
its place in the file named, so that a misspelt key never passes unnoticed.
"""

from __future__ import annotations

import tomllib
from typing import Any, Optional

from . import loads as wheels
from .model import (
    Contact,
    Contours,
    Dowels,
    Gap,
    Iteration,
    Joint,
    Joints,
    Layer,
    Load,
    Mesh,
    Model,
    Region,
    SoilRegion,
    Subgrade,
)
from .temperature import Temperature


def _take(table: dict[str, Any], where: str, keys: dict[str, Any]) -> dict[str, Any]:
    """The table's values under their field names; unknown keys are refused."""
    if not isinstance(table, dict):
        raise ValueError(f"{where}: a table was expected")
    unknown = sorted(set(table) - set(keys))
    if unknown:
        raise ValueError(f"{where}: unknown key {unknown[0]!r} (known: {', '.join(sorted(keys))})")
    return {keys[k]: v for k, v in table.items()}


def _pair(v: Any, where: str) -> tuple[float, float]:
    if not (isinstance(v, list) and len(v) == 2):
        raise ValueError(f"{where}: [lower, upper] was expected")
    return float(v[0]), float(v[1])


def _layers(items: list[dict[str, Any]]) -> list[Layer]:
    keys = {k: k for k in ("thickness", "modulus", "poisson", "density", "expansion")}
    keys["temperature_difference"] = "temperature_difference"
    out = []
    for i, t in enumerate(items):
        f = _take(t, f"layers[{i}]", keys)
        for need in ("thickness", "modulus", "poisson"):
            if need not in f:
                raise ValueError(f"layers[{i}]: {need} is missing")
        out.append(Layer(**f))
    return out


def _subgrade(t: dict[str, Any]) -> Subgrade:
    f = _take(t, "subgrade", {
        "type": "kind", "k": "k", "matrix": "matrix", "modulus": "modulus", "poisson": "poisson",
        "shear": "shear", "code": "code", "soil_class": "soil_class", "soil_classes": "soil_classes",
        "regions": "soil_regions", "curves": "soil_curves"})
    f["soil_regions"] = [
        SoilRegion(**{**_take(r, f"subgrade.regions[{i}]", {"x": "x", "y": "y", "class": "soil_class"}),
                      "x": _pair(r.get("x"), f"subgrade.regions[{i}].x"),
                      "y": _pair(r.get("y"), f"subgrade.regions[{i}].y")})
        for i, r in enumerate(f.get("soil_regions", []))]
    f["soil_curves"] = [tuple(float(x) for x in c) for c in f.get("soil_curves", [])]
    return Subgrade(**f)


def _joint(t: dict[str, Any], where: str) -> Joint:
    f = _take(t, where, {"dowels": "dowels", "interlock": "interlock", "switches": "switches",
                         "transfer": "transfer"})
    if "dowels" in f:
        d = _take(f["dowels"], f"{where}.dowels", {k: k for k in (
            "diameter", "spacing", "modulus", "poisson", "support", "width", "inner_diameter",
            "nodes", "positions")})
        for need in ("diameter", "support", "width"):
            if need not in d:
                raise ValueError(f"{where}.dowels: {need} is missing")
        f["dowels"] = Dowels(**d)
    if "switches" in f:
        f["switches"] = tuple(f["switches"])
    return Joint(**f)


def _loads(items: list[dict[str, Any]]) -> list[Load]:
    out: list[Load] = []
    for i, t in enumerate(items):
        where = f"loads[{i}]"
        kind = t.get("kind", "rectangle")
        if kind == "rectangle":
            f = _take(t, where, {"kind": "kind", "pressure": "pressure", "x": "x", "y": "y"})
            out.append(Load(float(f["pressure"]), _pair(f.get("x"), f"{where}.x"), _pair(f.get("y"), f"{where}.y")))
            continue
        if kind not in wheels.CONFIGURATIONS:
            raise ValueError(f"{where}.kind: {kind!r} is none of rectangle, {', '.join(wheels.CONFIGURATIONS)}")
        f = _take(t, where, {k: k for k in ("kind", "load", "pressure", "at", "direction", "spacing",
                                            "track", "axle_spacing")})
        f.pop("kind")
        f["at"] = tuple(f.get("at", (0.0, 0.0)))
        try:
            out += wheels.CONFIGURATIONS[kind](**f)
        except TypeError as e:
            raise ValueError(f"{where}: {e}") from None
    return out


def _regions(items: list[dict[str, Any]], where: str, cls=Region, extra: Optional[str] = None):
    out = []
    for i, r in enumerate(items):
        keys = {"x": "x", "y": "y"} | ({extra: extra} if extra else {})
        f = _take(r, f"{where}[{i}]", keys)
        f["x"], f["y"] = _pair(f.get("x"), f"{where}[{i}].x"), _pair(f.get("y"), f"{where}[{i}].y")
        out.append(cls(**f))
    return out


def model_from_toml(text: str) -> Model:
    data = tomllib.loads(text)
    top = _take(data, "model file", {k: k for k in (
        "title", "slabs", "layers", "bonded", "subgrade", "joints", "loads", "temperature", "contact",
        "symmetry", "iteration", "contours", "mesh")})
    for need in ("title", "slabs", "layers", "subgrade"):
        if need not in top:
            raise ValueError(f"model file: {need} is missing")
    slabs = _take(top["slabs"], "slabs", {"x": "x", "y": "y"})
    kw: dict[str, Any] = dict(
        title=top["title"], slabs_x=[float(v) for v in slabs["x"]], slabs_y=[float(v) for v in slabs["y"]],
        layers=_layers(top["layers"]), subgrade=_subgrade(top["subgrade"]),
        loads=_loads(top.get("loads", [])), bonded=bool(top.get("bonded", False)),
        symmetry=top.get("symmetry", "whole"))
    if "joints" in top:
        j = _take(top["joints"], "joints", {"x": "x", "y": "y"})
        kw["joints"] = Joints(**{a: _joint(t, f"joints.{a}") for a, t in j.items()})
    if "temperature" in top:
        t = _take(top["temperature"], "temperature", {"difference": "difference", "profile": "profile",
                                                       "expansion": "expansion"})
        t["profile"] = [(float(z), float(v)) for z, v in t.get("profile", [])]
        kw["temperature"] = Temperature(**t)
    if "contact" in top:
        c = _take(top["contact"], "contact", {"winkler": "winkler", "cycles": "cycles", "gaps": "gaps",
                                              "zero_pressure": "zero_pressure",
                                              "zero_pressure_nodes": "zero_pressure_nodes",
                                              "node_gaps": "node_gaps"})
        c["gaps"] = _regions(c.get("gaps", []), "contact.gaps", Gap, "gap")
        c["zero_pressure"] = _regions(c.get("zero_pressure", []), "contact.zero_pressure")
        c["node_gaps"] = [(int(n), float(g)) for n, g in c.get("node_gaps", [])]
        kw["contact"] = Contact(**c)
    if "iteration" in top:
        kw["iteration"] = Iteration(**_take(top["iteration"], "iteration", {
            "passes": "passes", "tol1": "tol1", "tol2": "tol2", "print": "print_passes"}))
    if "contours" in top:
        c = _take(top["contours"], "contours", {"digits": "digits", "grid": "grid", "digits2": "digits2",
                                                "scale": "scale"})
        for k in ("digits", "digits2"):
            if k in c:
                c[k] = tuple(c[k])
        kw["contours"] = Contours(**c)
    if "mesh" in top:
        kw["mesh"] = Mesh(**_take(top["mesh"], "mesh", {k: k for k in (
            "size", "ratio", "fine", "max_size", "memory", "x", "y")}))
    return Model(**kw)


def read_model_file(path: str) -> Model:
    with open(path, encoding="utf-8") as f:
        return model_from_toml(f.read())
