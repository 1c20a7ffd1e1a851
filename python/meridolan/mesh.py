"""The mesh generator: node lines made for a model.

Every slab edge is a node line, so a joint gets its pair of coincident lines; so are
the edges of every load, of the regions of gaps and soils, and the listed dowel
positions. Between them the element size follows

    h(p) = min(h_max, min over features f of (h_f + (ratio - 1) * distance(p, f)))

where the features are the loads (h_f the fine size, the distance zero inside a
load) and the joints (twice the fine size): the elements are finest under the loads
and grow by about `ratio` from one to the next. The fine size keeps the loaded
subareas within the program's 100 (a load covers about (side / h_f)^2 elements).
Without a target size the generator takes the finest mesh whose model fits the work
array (or `memory` words, the size of the run's work array then): the words come
from the engine's own sizing rule.
"""

from __future__ import annotations

import math
from dataclasses import dataclass
from typing import Iterable, Optional

from .model import Model

# Loaded subareas the program holds.
MAX_SUBAREAS = 100


@dataclass
class MeshReport:
    """What the generator made."""

    x_lines: list[list[float]]
    y_lines: list[list[float]]
    fine: float  # element size under the loads
    max_size: float  # the cap of the element size
    nodes: int
    equations: int
    words: int
    max_words: int  # the words the mesh was allowed

    def sizes(self, axis: str) -> tuple[float, float]:
        lines = self.x_lines if axis == "x" else self.y_lines
        d = [b - a for group in lines for a, b in zip(group, group[1:])]
        return min(d), max(d)

    def __str__(self) -> str:
        nx = sum(len(g) for g in self.x_lines)
        ny = sum(len(g) for g in self.y_lines)
        (x0, x1), (y0, y1) = self.sizes("x"), self.sizes("y")
        return (
            f"mesh: {nx} x {ny} node lines, {self.nodes} nodes, {self.equations} equations; "
            f"elements {x0:.3g} to {x1:.3g} along x, {y0:.3g} to {y1:.3g} along y; "
            f"{self.words} of {self.max_words} words"
        )


@dataclass
class _Feature:
    lo: float
    hi: float
    h: float

    def size_at(self, p: float, ratio: float) -> float:
        d = max(self.lo - p, 0.0, p - self.hi)
        return self.h + (ratio - 1.0) * d


def _size(p: float, features: list[_Feature], ratio: float, h_max: float) -> float:
    return min([h_max] + [f.size_at(p, ratio) for f in features])


def _divide(a: float, b: float, features: list[_Feature], ratio: float, h_max: float) -> list[float]:
    """Points strictly between a and b, spaced by the size function: the interval gets
    ceil(integral of 1/h) elements, placed at equal steps of that integral."""
    steps = 400
    xs = [a + (b - a) * i / steps for i in range(steps + 1)]
    inv = [1.0 / _size(x, features, ratio, h_max) for x in xs]
    cum = [0.0]
    for i in range(steps):
        cum.append(cum[-1] + 0.5 * (inv[i] + inv[i + 1]) * (xs[i + 1] - xs[i]))
    n = max(1, math.ceil(cum[-1] - 1e-9))
    points, j = [], 0
    for k in range(1, n):
        target = cum[-1] * k / n
        while cum[j + 1] < target:
            j += 1
        t = (target - cum[j]) / (cum[j + 1] - cum[j])
        points.append(xs[j] + t * (xs[j + 1] - xs[j]))
    return points


def _lines_1d(
    lengths: list[float],
    keys: Iterable[float],
    features: list[_Feature],
    ratio: float,
    h_max: float,
) -> list[list[float]]:
    """Node lines of each slab along one axis; slabs follow each other from 0."""
    keys = sorted(set(keys))
    groups, start = [], 0.0
    for length in lengths:
        end = start + length
        pts = sorted({start, end} | {k for k in keys if start < k < end})
        # Key points closer than a hundredth of the fine size are one line.
        tol = 0.01 * min(f.h for f in features) if features else 1e-9
        merged = [pts[0]]
        for p in pts[1:]:
            if p - merged[-1] > tol:
                merged.append(p)
            else:
                merged[-1] = p if p == end else merged[-1]
        line = [merged[0]]
        for p, q in zip(merged, merged[1:]):
            line += _divide(p, q, features, ratio, h_max)
            line.append(q)
        groups.append([round(c, 4) for c in line])
        start = end
    return groups


def _fine_size(model: Model) -> float:
    """Element size under the loads: a quarter of the smallest load side, made coarser
    when the subareas of all loads would pass the program's 100."""
    if not model.loads:
        return min(model.slabs_x + model.slabs_y) / 8.0
    sides = [min(ld.x[1] - ld.x[0], ld.y[1] - ld.y[0]) for ld in model.loads]
    side = min(s for s in sides if s > 0) if any(s > 0 for s in sides) else 1.0
    h = side / 4.0
    while _subareas(model, h) > MAX_SUBAREAS:
        h *= 1.1
    return h


def _subareas(model: Model, h: float) -> int:
    # Elements a load covers, counting a partial element at each end: the most it can
    # be split into.
    return sum(
        (math.ceil((ld.x[1] - ld.x[0]) / h - 1e-9) + 1) * (math.ceil((ld.y[1] - ld.y[0]) / h - 1e-9) + 1)
        for ld in model.loads
    )


def _features(model: Model, axis: str, h_fine: float) -> tuple[list[_Feature], list[float]]:
    i = 0 if axis == "x" else 1
    feats, keys = [], []
    for ld in model.loads:
        lo, hi = (ld.x if i == 0 else ld.y)
        feats.append(_Feature(lo, hi, h_fine))
        keys += [lo, hi]
    lengths = model.slabs_x if axis == "x" else model.slabs_y
    at = 0.0
    for length in lengths[:-1]:
        at += length
        feats.append(_Feature(at, at, 2.0 * h_fine))
    regions = list(model.subgrade.soil_regions)
    if model.contact is not None:
        regions += list(model.contact.gaps) + list(model.contact.zero_pressure)
    for r in regions:
        keys += list(r.x if i == 0 else r.y)
    # Dowel positions lie along the joints: y-positions for the joints across x.
    joint = model.joints.x if axis == "y" else model.joints.y
    if joint.dowels is not None:
        keys += list(joint.dowels.positions)
    return feats, keys


def make_lines(model: Model, h_fine: float, h_max: float) -> tuple[list[list[float]], list[list[float]]]:
    ratio = model.mesh.ratio
    if not ratio >= 1.0:
        raise ValueError(f"mesh.ratio: {ratio!r} must be at least 1")
    fx, kx = _features(model, "x", h_fine)
    fy, ky = _features(model, "y", h_fine)
    return (
        _lines_1d(model.slabs_x, kx, fx, ratio, h_max),
        _lines_1d(model.slabs_y, ky, fy, ratio, h_max),
    )


def _measure(model: Model, xs, ys) -> dict[str, int]:
    from .deck import NodeLines, deck_values, write_values
    from .engine import dimensions

    lines = NodeLines(
        x=[c for g in xs for c in g], y=[c for g in ys for c in g],
        nnx=[len(g) for g in xs], nny=[len(g) for g in ys],
    )
    return dimensions(write_values(deck_values(model, lines)))


def generate(model: Model) -> MeshReport:
    """The node lines for a model: the target size of `model.mesh`, or the finest mesh
    that fits the work array (or `model.mesh.memory` words)."""
    m = model.mesh
    for name, lengths in (("slabs_x", model.slabs_x), ("slabs_y", model.slabs_y)):
        if not 1 <= len(lengths) <= 10 or any(not (v > 0) for v in lengths):
            raise ValueError(f"{name}: one to ten positive slab lengths")
    h_fine = m.fine if m.fine is not None else _fine_size(model)
    if m.size is not None:
        if not m.size > 0:
            raise ValueError(f"mesh.size: {m.size!r} must be positive")
        h_fine = min(h_fine, m.size)
        made = _report(model, h_fine, m.size)
        limit = made.max_words
        if made.words > limit:
            raise ValueError(f"mesh.size: {m.size!r} makes a model of {made.words} words, "
                             f"more than the {limit} that fit")
        return made
    cap = m.max_size if m.max_size is not None else max(model.slabs_x + model.slabs_y)

    def fits(hf: float, hm: float) -> Optional[dict[str, int]]:
        xs, ys = make_lines(model, hf, hm)
        if sum(len(g) for g in xs) > 2000 or sum(len(g) for g in ys) > 2000:
            return None
        d = _measure(model, xs, ys)
        return d if d["words"] <= _limit(model) else None

    # Coarsen the fine size until the mesh fits with elements as large as allowed...
    while fits(h_fine, cap) is None:
        h_fine *= 1.25
        if h_fine > cap:
            raise ValueError("mesh: no mesh of this model fits the work array")
    # ... then take the smallest cap of the element size that still fits.
    lo, hi = h_fine, cap
    if fits(h_fine, lo) is not None:
        hi = lo
    for _ in range(30):
        if hi - lo <= 0.01 * hi:
            break
        mid = math.sqrt(lo * hi)
        if fits(h_fine, mid) is not None:
            hi = mid
        else:
            lo = mid
    return _report(model, h_fine, hi)


def _limit(model: Model) -> int:
    """Words the model may take: `mesh.memory`, or the work array of a run that names
    no size."""
    from .engine import default_memory_words

    return model.mesh.memory if model.mesh.memory is not None else default_memory_words()


def _report(model: Model, h_fine: float, h_max: float) -> MeshReport:
    xs, ys = make_lines(model, h_fine, h_max)
    d = _measure(model, xs, ys)
    return MeshReport(xs, ys, h_fine, h_max, d["nodes"], d["equations"], d["words"], _limit(model))
