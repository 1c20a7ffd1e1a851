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
    return model_from_data(tomllib.loads(text))


def model_from_data(data: dict[str, Any]) -> Model:
    """The model of a model file's tables as TOML reads them."""
    top = _take(data, "model file", {k: k for k in (
        "title", "slabs", "layers", "bonded", "subgrade", "joints", "loads", "temperature", "contact",
        "symmetry", "iteration", "contours", "mesh", "input_mode", "composite_code")})
    for need in ("title", "slabs", "layers", "subgrade"):
        if need not in top:
            raise ValueError(f"model file: {need} is missing")
    slabs = _take(top["slabs"], "slabs", {"x": "x", "y": "y"})
    kw: dict[str, Any] = dict(
        title=top["title"], slabs_x=[float(v) for v in slabs["x"]], slabs_y=[float(v) for v in slabs["y"]],
        layers=_layers(top["layers"]), subgrade=_subgrade(top["subgrade"]),
        loads=_loads(top.get("loads", [])), bonded=bool(top.get("bonded", False)),
        symmetry=top.get("symmetry", "whole"), input_mode=top.get("input_mode", 1),
        composite_code=top.get("composite_code"))
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
                                              "node_gaps": "node_gaps", "code": "code",
                                              "winkler_code": "winkler_code"})
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
        mesh = _take(top["mesh"], "mesh", {k: k for k in ("size", "ratio", "fine", "max_size", "memory", "x", "y")})
        for k in ("x", "y"):
            if k in mesh:
                mesh[k] = [[float(c) for c in g] for g in mesh[k]]
        kw["mesh"] = Mesh(**mesh)
    return Model(**kw)


def read_model_file(path: str) -> Model:
    with open(path, encoding="utf-8") as f:
        return model_from_toml(f.read())


# ------------------------------------------------------------------------------------
# Writing a model file


def _value(v: Any) -> str:
    if isinstance(v, bool):
        return "true" if v else "false"
    if isinstance(v, int):
        return str(v)
    if isinstance(v, float):
        return repr(v)
    if isinstance(v, str):
        return '"' + v.replace("\\", "\\\\").replace('"', '\\"') + '"'
    if isinstance(v, (list, tuple)):
        return "[" + ", ".join(_value(x) for x in v) + "]"
    if isinstance(v, dict):
        return "{ " + ", ".join(f"{k} = {_value(x)}" for k, x in v.items()) + " }"
    raise ValueError(f"model file: cannot write {v!r}")


def _long_list(values: list[Any], per_line: int = 8) -> str:
    if len(values) <= per_line:
        return _value(list(values))
    rows = [", ".join(_value(x) for x in values[i : i + per_line]) for i in range(0, len(values), per_line)]
    return "[\n  " + ",\n  ".join(rows) + ",\n]"


def _table(lines: list[str], header: str, items: dict[str, Any]) -> None:
    lines.append(header)
    for k, v in items.items():
        if v is None:
            continue
        lines.append(f"{k} = {_long_list(v) if isinstance(v, list) else _value(v)}")


def model_to_toml(model: Model) -> str:
    """The model file of a model; model_from_toml reads it back as the same model."""
    out: list[str] = [f"title = {_value(model.title)}"]
    if model.symmetry != "whole":
        out.append(f"symmetry = {_value(model.symmetry)}")
    if model.bonded:
        out.append("bonded = true")
    if model.composite_code is not None:
        out.append(f"composite_code = {model.composite_code}")
    if model.input_mode != 1:
        out.append(f"input_mode = {model.input_mode}")
    _table(out, "[slabs]", {"x": model.slabs_x, "y": model.slabs_y})
    for layer in model.layers:
        _table(out, "[[layers]]", {
            "thickness": layer.thickness, "modulus": layer.modulus, "poisson": layer.poisson,
            "density": layer.density or None, "temperature_difference": layer.temperature_difference or None,
            "expansion": layer.expansion or None})
    s = model.subgrade
    _table(out, "[subgrade]", {
        "type": s.kind, "k": s.k, "matrix": None if s.matrix == "consistent" else s.matrix,
        "modulus": s.modulus or None, "poisson": s.poisson or None, "shear": s.shear or None,
        "code": s.code, "soil_class": s.soil_class, "soil_classes": s.soil_classes,
        "curves": [list(c) for c in s.soil_curves] or None})
    for r in s.soil_regions:
        _table(out, "[[subgrade.regions]]", {"x": list(r.x), "y": list(r.y), "class": r.soil_class})
    for axis in ("x", "y"):
        j = getattr(model.joints, axis)
        if j == Joint():
            continue
        dowels = None
        if j.dowels is not None:
            d = j.dowels
            dowels = {k: v for k, v in (
                ("diameter", d.diameter), ("spacing", d.spacing), ("modulus", d.modulus),
                ("poisson", d.poisson), ("support", d.support), ("width", d.width),
                ("inner_diameter", d.inner_diameter or None), ("nodes", d.nodes or None),
                ("positions", d.positions or None)) if v is not None}
        _table(out, f"[joints.{axis}]", {
            "dowels": dowels, "interlock": j.interlock,
            "switches": None if tuple(j.switches) == (0, 1, 1) else list(j.switches), "transfer": j.transfer})
    for ld in model.loads:
        _table(out, "[[loads]]", {"pressure": ld.pressure, "x": list(ld.x), "y": list(ld.y)})
    t = model.temperature
    if t is not None:
        _table(out, "[temperature]", {"difference": t.difference, "expansion": t.expansion,
                                      "profile": [list(p) for p in t.profile] or None})
    c = model.contact
    if c is not None:
        _table(out, "[contact]", {
            "winkler": c.winkler, "cycles": c.cycles, "code": None if c.code == 1 else c.code,
            "winkler_code": c.winkler_code, "node_gaps": [list(g) for g in c.node_gaps] or None,
            "zero_pressure_nodes": c.zero_pressure_nodes or None})
        for g in c.gaps:
            _table(out, "[[contact.gaps]]", {"x": list(g.x), "y": list(g.y), "gap": g.gap})
        for r in c.zero_pressure:
            _table(out, "[[contact.zero_pressure]]", {"x": list(r.x), "y": list(r.y)})
    if model.iteration is not None:
        it = model.iteration
        _table(out, "[iteration]", {"passes": it.passes, "tol1": it.tol1, "tol2": it.tol2,
                                    "print": it.print_passes})
    if model.contours is not None:
        ct = model.contours
        _table(out, "[contours]", {"digits": list(ct.digits), "grid": ct.grid, "digits2": list(ct.digits2),
                                   "scale": ct.scale})
    m = model.mesh
    mesh = {k: getattr(m, k) for k in ("size", "fine", "max_size", "memory")}
    mesh["ratio"] = None if m.ratio == 1.5 else m.ratio
    if m.x is not None:
        mesh["x"] = [list(g) for g in m.x]
        mesh["y"] = [list(g) for g in m.y or []]
    if any(v is not None for v in mesh.values()):
        lines = ["[mesh]"]
        for k, v in mesh.items():
            if v is None:
                continue
            if k in ("x", "y"):
                groups = []
                for g in v:
                    rows = [", ".join(_value(x) for x in g[i : i + 8]) for i in range(0, len(g), 8)]
                    groups.append("  [" + ",\n   ".join(rows) + "],\n")
                lines.append(f"{k} = [  # node lines of each slab column (row)\n" + "".join(groups) + "]")
            else:
                lines.append(f"{k} = {_value(v)}")
        out += lines
    return "\n".join(out) + "\n"
