"""Wheels and axles: each tyre a rectangle of the contact area its load and pressure
give.

A tyre of load P at pressure p touches A = P / p. Its rectangle is the one the PCA
design procedure uses for a tyre print: 0.8712 L long (in the direction of travel)
by 0.6 L wide, with L = sqrt(A / 0.5227), so that its area is A and its pressure p.
A configuration is placed by the centre of its tyres (`at`) and the direction of
travel ("x" or "y"); every tyre load is the group load shared equally.
"""

from __future__ import annotations

import math

from .deck import fitted
from .model import Load


def tyre(load: float, pressure: float, at: tuple[float, float], direction: str = "x") -> Load:
    """One tyre centred at `at`."""
    if not (load > 0 and pressure > 0):
        raise ValueError(f"loads: a tyre needs a positive load and pressure, not {load!r} and {pressure!r}")
    if direction not in ("x", "y"):
        raise ValueError(f"loads.direction: {direction!r} is neither 'x' nor 'y'")
    unit = math.sqrt(load / pressure / 0.5227)
    length, width = 0.8712 * unit, 0.6 * unit
    dx, dy = (length, width) if direction == "x" else (width, length)
    x, y = at
    # Limits to a thousandth, as the deck prints them; the pressure then gives the
    # tyre's load over the rectangle as it stands.
    x1, x2, y1, y2 = (round(c, 3) for c in (x - dx / 2, x + dx / 2, y - dy / 2, y + dy / 2))
    return Load(fitted(load / ((x2 - x1) * (y2 - y1)), 10), (x1, x2), (y1, y2))


def _group(load: float, pressure: float, at, direction: str, offsets) -> list[Load]:
    """Tyres at (along, across) offsets from the centre of the group."""
    share = load / len(offsets)
    x, y = at
    out = []
    for along, across in offsets:
        c = (x + along, y + across) if direction == "x" else (x + across, y + along)
        out.append(tyre(share, pressure, c, direction))
    return out


def single_wheel(load: float, pressure: float, at, direction: str = "x") -> list[Load]:
    return _group(load, pressure, at, direction, [(0.0, 0.0)])


def dual_wheels(load: float, pressure: float, at, direction: str = "x", spacing: float = 13.5) -> list[Load]:
    """Two tyres `spacing` apart (centre to centre) across the direction of travel."""
    return _group(load, pressure, at, direction, [(0.0, -spacing / 2), (0.0, spacing / 2)])


def _axles(count: int, axle_spacing: float, track: float, spacing: float):
    offsets = []
    for i in range(count):
        along = (i - (count - 1) / 2) * axle_spacing
        for side in (-track / 2, track / 2):
            offsets += [(along, side - spacing / 2), (along, side + spacing / 2)]
    return offsets


def single_axle(load: float, pressure: float, at, direction: str = "x", track: float = 72.0,
                spacing: float = 13.5) -> list[Load]:
    """An axle with dual wheels at each end: `track` between the centres of the duals."""
    return _group(load, pressure, at, direction, _axles(1, 0.0, track, spacing))


def tandem(load: float, pressure: float, at, direction: str = "x", axle_spacing: float = 50.0,
           track: float = 72.0, spacing: float = 13.5) -> list[Load]:
    """Two axles with duals, `axle_spacing` apart; `load` is the load of the group."""
    return _group(load, pressure, at, direction, _axles(2, axle_spacing, track, spacing))


def tridem(load: float, pressure: float, at, direction: str = "x", axle_spacing: float = 50.0,
           track: float = 72.0, spacing: float = 13.5) -> list[Load]:
    """Three axles with duals, `axle_spacing` apart."""
    return _group(load, pressure, at, direction, _axles(3, axle_spacing, track, spacing))


CONFIGURATIONS = {
    "single-wheel": single_wheel,
    "dual-wheels": dual_wheels,
    "single-axle": single_axle,
    "tandem": tandem,
    "tridem": tridem,
}
