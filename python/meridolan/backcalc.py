"""Back-calculation: the unknowns of a pavement model fitted to measured deflection
basins by bounded least squares.

A basin is a plate load (load, radius, centre) and the deflections of sensors on a
line from the plate centre. The plate is meshed as a circle: three strips across
the sensor line's cross direction, each a rectangle as wide as the circle's part of
it, so the pressure is the plate's and the load is exact; the mesh generator puts
node lines along their edges. A node line also goes through every sensor, so each
sensor is a node and its deflection is the node's; where the model gives its own
node lines, a sensor off the nodes takes the bilinear interpolation of the four
corner nodes of its element.

The unknowns are named by their model-file key paths (`layers.1.modulus`,
`subgrade.k`, `subgrade.modulus`, `subgrade.shear`, `joints.x.interlock`,
`joints.y.dowels.support`, `contact.gaps.1.gap`, ...), their values in the model
the starting guesses. They are fitted on a logarithmic scale (they are all
positive, and the deflections depend on their ratios), within bounds a hundredfold
either side of the start unless given. Several basins of one slab share one set of
unknowns and are fitted together.
"""

from __future__ import annotations

import argparse
import copy
import csv
import dataclasses
import math
import os
import sys
import time
from concurrent.futures import ThreadPoolExecutor
from dataclasses import dataclass
from typing import Any, Optional, Sequence

import numpy as np
from scipy import optimize

from .deck import fitted
from .engine import run_deck
from .mesh import generate
from .model import Load, Mesh, Model

# Model-file key names that differ from the data classes' field names.
_FIELD_OF_KEY = {"type": "kind", "regions": "soil_regions", "curves": "soil_curves", "print": "print_passes"}
# Width of the deck fields the fitted values are written into.
_FIELD_WIDTH = 10


@dataclass
class Basin:
    """One test point: the plate load and the sensors on a line from its centre."""

    x: float
    y: float
    load: float
    radius: float
    offsets: list[float]
    deflections: list[float]
    direction: str = "x"
    point: str = ""
    group: str = ""  # basins of one group are fitted together

    def sensors(self) -> list[tuple[float, float]]:
        if self.direction == "x":
            return [(self.x + o, self.y) for o in self.offsets]
        return [(self.x, self.y + o) for o in self.offsets]


@dataclass
class Fit:
    """What a fit found: values, standard errors, misfit per sensor and in all."""

    keys: list[str]
    values: dict[str, float]
    errors: dict[str, float]  # standard error of each value (from the Jacobian)
    rms: float
    residuals: list[list[float]]  # per basin, computed minus measured, per sensor
    computed: list[list[float]]
    exit: int  # 0: converged; 1: stopped without converging; 2: failed
    message: str
    runs: int
    seconds: float


# ------------------------------------------------------------------------------------
# Key paths


def _walk(model: Model, key: str) -> tuple[Any, Any]:
    """The object holding the last part of `key` and that part (a field name or a
    list index)."""
    parts = key.split(".")
    obj: Any = model
    for n, part in enumerate(parts):
        last = n == len(parts) - 1
        if part.isdigit():
            i = int(part) - 1
            if not isinstance(obj, list) or not 0 <= i < len(obj):
                raise ValueError(f"{key}: there is no item {part} (items count from 1)")
            if last:
                return obj, i
            obj = obj[i]
            continue
        name = _FIELD_OF_KEY.get(part, part)
        if not hasattr(obj, name) or name.startswith("_"):
            raise ValueError(f"{key}: the model has no {part!r} here")
        if last:
            return obj, name
        obj = getattr(obj, name)
        if obj is None:
            raise ValueError(f"{key}: the model has no {part!r} (give it a starting value)")
    raise ValueError(f"{key}: an empty key")


def get_value(model: Model, key: str) -> float:
    obj, at = _walk(model, key)
    v = obj[at] if isinstance(at, int) else getattr(obj, at)
    if not isinstance(v, (int, float)) or isinstance(v, bool):
        raise ValueError(f"{key}: {v!r} is not one number")
    return float(v)


def set_value(model: Model, key: str, value: float) -> None:
    obj, at = _walk(model, key)
    v = fitted(value, _FIELD_WIDTH)
    if isinstance(at, int):
        obj[at] = v
    else:
        setattr(obj, at, v)


# ------------------------------------------------------------------------------------
# The plate and the sensors


def _segment_area(a: float, y: float) -> float:
    """Area of the circle of radius a below the chord at height y (from -a)."""
    y = max(-a, min(a, y))
    return y * math.sqrt(a * a - y * y) + a * a * math.asin(y / a) + 0.5 * math.pi * a * a


def plate_loads(x: float, y: float, load: float, radius: float, direction: str = "x",
                strips: int = 3) -> list[Load]:
    """The plate as `strips` rectangles across `direction`, each as long as the
    circle's part of its strip has area; one pressure, the total `load`."""
    a = radius
    bounds = [-a + 2.0 * a * i / strips for i in range(strips + 1)]
    rects = []
    for lo, hi in zip(bounds, bounds[1:]):
        half = (_segment_area(a, hi) - _segment_area(a, lo)) / (2.0 * (hi - lo))
        rects.append(((-half, half), (lo, hi)))  # (along, across) the sensor line
    r3 = lambda v: round(v, 3)  # noqa: E731 - limits as the deck prints them
    placed = []
    for (a0, a1), (c0, c1) in rects:
        if direction == "x":
            placed.append(((r3(x + a0), r3(x + a1)), (r3(y + c0), r3(y + c1))))
        else:
            placed.append(((r3(x + c0), r3(x + c1)), (r3(y + a0), r3(y + a1))))
    area = sum((px[1] - px[0]) * (py[1] - py[0]) for px, py in placed)
    pressure = fitted(load / area, _FIELD_WIDTH)
    return [Load(pressure, px, py) for px, py in placed]


def _insert_line(groups: list[list[float]], c: float, tol: float) -> None:
    """Puts a node line at c in the slab that holds it (unless a line is within tol)."""
    for g in groups:
        if g[0] - tol <= c <= g[-1] + tol:
            if any(abs(v - c) <= tol for v in g):
                return
            if g[0] < c < g[-1]:
                g.append(round(c, 4))
                g.sort()
                return


@dataclass
class _Point:
    """A basin made ready: its model with the plate and the mesh, and how each
    sensor's deflection is read from the node table."""

    basin: Basin
    model: Model
    weights: Optional[list[list[tuple[int, float]]]] = None  # per sensor: (node row, weight)


def prepare(model: Model, basin: Basin) -> _Point:
    """The model of one basin: the plate as its loads and a mesh with node lines
    through the plate's edges and the sensors."""
    if basin.direction not in ("x", "y"):
        raise ValueError(f"direction: {basin.direction!r} is neither x nor y")
    if not (basin.load > 0 and basin.radius > 0):
        raise ValueError("a plate needs a positive load and radius")
    if len(basin.offsets) != len(basin.deflections) or not basin.offsets:
        raise ValueError("a basin needs one deflection per sensor")
    m = copy.deepcopy(model)
    m.loads = plate_loads(basin.x, basin.y, basin.load, basin.radius, basin.direction)
    m.contours = None
    if m.mesh.x is None:
        mesh = m.mesh
        if mesh == Mesh():
            # Fine enough for the basin (a few tenths of a percent from the infinite
            # plate's closed form) and coarse enough for tens of runs a second.
            mesh.ratio = 2.0
        if mesh.fine is None:
            mesh.fine = basin.radius / 2.0
        if mesh.size is None and mesh.memory is None:
            mesh.size = 4.0 * basin.radius
        made = generate(m)
        xs, ys = [list(g) for g in made.x_lines], [list(g) for g in made.y_lines]
        for sx, sy in basin.sensors():
            _insert_line(xs, sx, 1e-3)
            _insert_line(ys, sy, 1e-3)
        m.mesh = dataclasses.replace(mesh, x=xs, y=ys)
    return _Point(basin, m)


def _sensor_weights(nodes: dict[str, list[float]], sensors: list[tuple[float, float]]):
    """Node rows and weights that give each sensor's deflection: the node at the
    sensor (the mean of a joint's coincident pair), else the bilinear interpolation
    of its element's corners."""
    xs, ys = np.asarray(nodes["x"]), np.asarray(nodes["y"])
    tol = 1e-3

    def at(px: float, py: float) -> list[int]:
        return list(np.flatnonzero((np.abs(xs - px) <= tol) & (np.abs(ys - py) <= tol)))

    ux, uy = np.unique(np.round(xs, 4)), np.unique(np.round(ys, 4))
    out = []
    for sx, sy in sensors:
        rows = at(sx, sy)
        if rows:
            out.append([(int(r), 1.0 / len(rows)) for r in rows])
            continue
        i, j = np.searchsorted(ux, sx), np.searchsorted(uy, sy)
        if not (0 < i < len(ux) and 0 < j < len(uy)):
            raise ValueError(f"the sensor at ({sx:g}, {sy:g}) lies off the modelled slabs")
        x0, x1, y0, y1 = ux[i - 1], ux[i], uy[j - 1], uy[j]
        s, t = (sx - x0) / (x1 - x0), (sy - y0) / (y1 - y0)
        w: list[tuple[int, float]] = []
        for cx, cy, f in ((x0, y0, (1 - s) * (1 - t)), (x1, y0, s * (1 - t)),
                          (x0, y1, (1 - s) * t), (x1, y1, s * t)):
            corner = at(cx, cy)
            if not corner:
                raise ValueError(f"no node at ({cx:g}, {cy:g}) around the sensor at ({sx:g}, {sy:g})")
            w += [(int(r), f / len(corner)) for r in corner]
        out.append(w)
    return out


def forward(point: _Point) -> list[float]:
    """The model's deflections at the basin's sensors."""
    out = run_deck(point.model.deck(), point.model.mesh.memory)
    if out.status != 0 or out.results is None:
        raise RuntimeError(f"the engine stopped with status {out.status}: {out.errors.strip()}")
    message = out.results.get("status", {}).get("message")
    if message:
        raise RuntimeError(f"the engine stopped: {message}")
    nodes = out.results["nodes"]
    if point.weights is None:
        point.weights = _sensor_weights(nodes, point.basin.sensors())
    w = nodes["deflection"]
    return [sum(f * w[r] for r, f in ws) for ws in point.weights]


def synthetic(model: Model, basin: Basin) -> list[float]:
    """The deflections the model itself gives at the basin's sensors."""
    return forward(prepare(model, basin))


# ------------------------------------------------------------------------------------
# The fit


def fit(model: Model, basins: Sequence[Basin], keys: Sequence[str],
        bounds: Optional[dict[str, tuple[float, float]]] = None,
        start: Optional[dict[str, float]] = None, tolerance: float = 1e-8,
        max_runs: int = 200) -> Fit:
    """Fits `keys` of `model` to the basins together (the model's values, or
    `start`, the first guesses)."""
    t0 = time.perf_counter()
    keys = list(keys)
    if not keys:
        raise ValueError("name at least one key to fit")
    base = copy.deepcopy(model)
    x0, lo, hi = [], [], []
    for k in keys:
        v = (start or {}).get(k, get_value(base, k))
        if not v > 0:
            raise ValueError(f"{k}: the starting value {v!r} must be positive")
        b = (bounds or {}).get(k, (v / 100.0, v * 100.0))
        if not 0 < b[0] < b[1]:
            raise ValueError(f"{k}: bounds {b!r} are not 0 < lower < upper")
        v = min(max(v, b[0]), b[1])
        x0.append(math.log(v))
        lo.append(math.log(b[0]))
        hi.append(math.log(b[1]))
    points = [prepare(base, b) for b in basins]
    measured = np.concatenate([np.asarray(b.deflections, float) for b in basins])
    scale = float(np.max(np.abs(measured))) or 1.0
    runs = 0
    last: dict[str, Any] = {}

    def computed_at(z: np.ndarray) -> list[list[float]]:
        nonlocal runs
        out = []
        for p in points:
            for k, v in zip(keys, z):
                set_value(p.model, k, math.exp(v))
            out.append(forward(p))
            runs += 1
        return out

    def residual(z: np.ndarray) -> np.ndarray:
        c = computed_at(z)
        last["c"] = c
        return (np.concatenate([np.asarray(v) for v in c]) - measured) / scale

    n_data, n_keys = len(measured), len(keys)
    try:
        # Differences in the logarithm of at least 1e-4: the deck holds ten columns.
        res = optimize.least_squares(residual, np.asarray(x0), bounds=(lo, hi), method="trf",
                                     diff_step=1e-4, xtol=tolerance, ftol=tolerance,
                                     gtol=tolerance, max_nfev=max(1, max_runs // max(1, len(points))))
    except (RuntimeError, ValueError) as e:
        return Fit(keys, {}, {}, math.nan, [], [], 2, str(e), runs, time.perf_counter() - t0)
    values = {k: fitted(math.exp(v), _FIELD_WIDTH) for k, v in zip(keys, res.x)}
    computed = computed_at(res.x)
    resid = [list(np.asarray(c) - np.asarray(b.deflections)) for c, b in zip(computed, basins)]
    flat = np.concatenate([np.asarray(r) for r in resid])
    rms = float(np.sqrt(np.mean(flat**2)))
    # Standard errors from the Jacobian at the solution: the covariance of the
    # logarithms is s^2 (J^T J)^-1 with s^2 the residual variance.
    errors: dict[str, float] = {}
    jac = res.jac * scale
    dof = n_data - n_keys
    try:
        cov = np.linalg.inv(jac.T @ jac) * (float(flat @ flat) / dof if dof > 0 else math.nan)
        for i, k in enumerate(keys):
            errors[k] = values[k] * math.sqrt(max(cov[i, i], 0.0))
    except np.linalg.LinAlgError:
        errors = {k: math.inf for k in keys}
    status = 0 if res.status > 0 else 1
    return Fit(keys, values, errors, rms, resid, computed, status, res.message, runs,
               time.perf_counter() - t0)


def load_transfer(basin: Basin, loaded: float, unloaded: float) -> float:
    """Deflection load-transfer efficiency: the unloaded side's sensor over the loaded
    side's, from their offsets."""
    d = dict(zip(basin.offsets, basin.deflections))
    return d[unloaded] / d[loaded]


# ------------------------------------------------------------------------------------
# The command: a CSV of test points in, a CSV of fitted values out


def read_basins(path: str) -> list[Basin]:
    with open(path, newline="", encoding="utf-8") as f:
        rows = list(csv.DictReader(f))
    out = []
    for n, row in enumerate(rows, start=2):
        try:
            sensors = sorted(((float(k[2:]), float(v)) for k, v in row.items()
                              if k and k.startswith("d_") and v not in (None, "")), key=lambda s: s[0])
            out.append(Basin(
                x=float(row["x"]), y=float(row["y"]), load=float(row["load"]), radius=float(row["radius"]),
                offsets=[s[0] for s in sensors], deflections=[s[1] for s in sensors],
                direction=(row.get("direction") or "x").strip(), point=row["point"],
                group=(row.get("group") or "").strip()))
        except (KeyError, ValueError) as e:
            raise ValueError(f"{path}:{n}: {e}") from None
    return out


def _groups(basins: list[Basin]) -> list[list[Basin]]:
    """Basins with one `group` fitted together; one without a group alone."""
    order: dict[str, list[Basin]] = {}
    for i, b in enumerate(basins):
        order.setdefault(b.group or f"\0{i}", []).append(b)
    return list(order.values())


def area_estimate(model: Model, basin: Basin) -> Optional[dict[str, float]]:
    """The AREA method's values for a basin with sensors at 0, 12, 24 and 36 on a
    one-layer model on a dense liquid or an elastic solid, by model-file key
    (with `area`); None where it does not apply."""
    from .area import AREA_OFFSETS, area_method

    d = dict(zip(basin.offsets, basin.deflections))
    support = model.subgrade.kind
    if (not all(o in d for o in AREA_OFFSETS) or len(model.layers) != 1
            or support not in ("dense-liquid", "elastic-solid")):
        return None
    top = model.layers[0]
    if not isinstance(top.thickness, (int, float)):
        return None
    try:
        a = area_method([d[o] for o in AREA_OFFSETS], basin.load, basin.radius, float(top.thickness),
                        top.poisson, support, model.subgrade.poisson)
    except ValueError:
        return None
    key = "subgrade.k" if support == "dense-liquid" else "subgrade.modulus"
    return {"area": a.area, "layers.1.modulus": a.modulus, key: a.support_modulus}


def fit_points(model: Model, basins: list[Basin], keys: Sequence[str], jobs: int = 0,
               area_start: bool = False, **kw) -> list[tuple[list[Basin], Fit]]:
    """Every group of basins fitted, `jobs` at once on threads (the engine lets go of
    the interpreter lock while it runs; 0: one per core); with `area_start` from the
    AREA method's values where it gives them."""
    groups = _groups(basins)
    workers = jobs or os.cpu_count() or 1

    def one(g: list[Basin]) -> Fit:
        try:
            args = dict(kw)
            if area_start:
                # The first basin's AREA values, for the keys it gives.
                est = area_estimate(model, g[0]) or {}
                args["start"] = {k: v for k, v in est.items() if k in keys}
            return fit(model, g, keys, **args)
        except (RuntimeError, ValueError) as e:
            return Fit(list(keys), {}, {}, math.nan, [], [], 2, str(e), 0, 0.0)

    with ThreadPoolExecutor(max_workers=workers) as pool:
        fits = list(pool.map(one, groups))
    return list(zip(groups, fits))


def write_fits(path: str, keys: Sequence[str], results: list[tuple[list[Basin], Fit]],
               model: Optional[Model] = None) -> None:
    """One row per test point; with the model, the AREA method's values beside."""
    from .cli import write_file

    offsets = sorted({o for g, _ in results for b in g for o in b.offsets})
    areas = {id(b): area_estimate(model, b) for g, _ in results for b in g} if model is not None else {}
    area_cols = sorted({k for e in areas.values() if e for k in e}, key=lambda k: (k != "area", k))
    cols = (["point"] + list(keys) + [f"{k}.se" for k in keys] + ["rms"]
            + [f"r_{_num(o)}" for o in offsets] + [c if c == "area" else f"area.{c}" for c in area_cols]
            + ["runs", "seconds", "exit", "message"])
    lines = [",".join(cols)]
    for group, f in results:
        for i, b in enumerate(group):
            row = {"point": b.point, "rms": _num(f.rms), "runs": str(f.runs), "seconds": f"{f.seconds:.3f}",
                   "exit": str(f.exit), "message": _quote(f.message)}
            for k in keys:
                row[k] = _num(f.values.get(k, math.nan))
                row[f"{k}.se"] = _num(f.errors.get(k, math.nan))
            if f.residuals:
                for o, r in zip(b.offsets, f.residuals[i]):
                    row[f"r_{_num(o)}"] = _num(r)
            for k, v in (areas.get(id(b)) or {}).items():
                row[k if k == "area" else f"area.{k}"] = _num(v)
            lines.append(",".join(row.get(c, "") for c in cols))
    write_file(path, ("\n".join(lines) + "\n").encode("utf-8"))


def _num(v: float) -> str:
    if isinstance(v, float) and v.is_integer() and abs(v) < 1e15:
        return str(int(v))
    return f"{v:.6g}"


def _quote(s: str) -> str:
    return '"' + s.replace('"', '""') + '"' if ("," in s or '"' in s) else s


def _bounds(items: list[str]) -> dict[str, tuple[float, float]]:
    out = {}
    for item in items:
        key, _, rng = item.partition("=")
        lo, _, hi = rng.partition(":")
        try:
            out[key] = (float(lo), float(hi))
        except ValueError:
            raise ValueError(f"--bounds {item!r}: KEY=LOWER:UPPER") from None
    return out


def main(argv: list[str] | None = None) -> int:
    from .modelfile import read_model_file

    ap = argparse.ArgumentParser(prog="meridolan-backcalc",
                                 description="Fits model parameters to measured deflection basins.")
    ap.add_argument("basins", help="CSV of test points: point, x, y, load, radius, direction, d_OFFSET...")
    ap.add_argument("--model", required=True, help="the TOML model file (its values are the first guesses)")
    ap.add_argument("--fit", required=True, help="keys to fit, comma-separated (layers.1.modulus,subgrade.k)")
    ap.add_argument("-o", "--output", required=True, help="CSV of fitted values, one row per test point")
    ap.add_argument("--bounds", action="append", default=[], help="KEY=LOWER:UPPER (default: start/100 to start*100)")
    ap.add_argument("--jobs", type=int, default=0, help="test points fitted at once (default: one per core)")
    ap.add_argument("--area", action="store_true",
                    help="the AREA method's values beside the fit, and as the first guesses where it gives them")
    a = ap.parse_args(argv)
    keys = [k.strip() for k in a.fit.split(",") if k.strip()]
    try:
        model = read_model_file(a.model)
        for k in keys:
            get_value(model, k)
        basins = read_basins(a.basins)
        results = fit_points(model, basins, keys, jobs=a.jobs, area_start=a.area, bounds=_bounds(a.bounds))
        write_fits(a.output, keys, results, model if a.area else None)
    except (OSError, ValueError) as e:
        print(f"meridolan-backcalc: {e}", file=sys.stderr)
        return 1
    failed = sum(1 for _, f in results if f.exit != 0)
    for g, f in results:
        print(f"{', '.join(b.point for b in g)}: rms {f.rms:.3g}, {f.runs} runs, {f.seconds:.2f} s"
              + ("" if f.exit == 0 else f" ({f.message})"), file=sys.stderr)
    return 0 if failed == 0 else 3


if __name__ == "__main__":
    sys.exit(main())
