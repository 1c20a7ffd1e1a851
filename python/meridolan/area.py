"""The AREA method: slab and subgrade moduli from an interior basin by the closed
forms of an infinite plate.

A plate of stiffness D = E h^3 / (12 (1 - nu^2)) under a uniform pressure q on a
circle of radius a, on a dense liquid of modulus k (radius of relative stiffness
l = (D / k)^(1/4)) or on an elastic solid of modulus Es and Poisson ratio nu_s
(l = (2 D (1 - nu_s^2) / Es)^(1/3)), deflects by the Hankel integrals

    dense liquid:  w(r) = (q a l^3 / D) * int_0^inf J1(t a/l) J0(t r/l) / (t^4 + 1) dt
    elastic solid: w(r) = (q a l^3 / D) * int_0^inf J1(t a/l) J0(t r/l) / (t^4 + t) dt

(the solid's surface answers a pressure of wave number xi with 2 (1 - nu_s^2) /
(Es xi)). For a point load they reduce to Westergaard's w0 = P / (8 k l^2) and
Losberg's w0 = P l^2 / (3 sqrt(3) D). AREA = 6 (1 + 2 d12/d0 + 2 d24/d0 + d36/d0)
(inches, sensors 0, 12, 24 and 36 in from the plate centre) depends on l / a alone;
it is inverted here on the integrals themselves, not on a regression fitted to
them, then D and the support modulus follow from d0.
"""

from __future__ import annotations

import math
from dataclasses import dataclass
from functools import lru_cache

from scipy import integrate, optimize, special

AREA_OFFSETS = (0.0, 12.0, 24.0, 36.0)
SUPPORTS = ("dense-liquid", "elastic-solid")


def _integral(support: str, a_over_l: float, r_over_l: float) -> float:
    """The dimensionless integral of the basin at r (t from 0 to where the Bessel
    product has decayed below the double's precision against the denominator)."""
    if support == "dense-liquid":
        def den(t):
            return t**4 + 1.0
    elif support == "elastic-solid":
        def den(t):
            return t**4 + t
    else:
        raise ValueError(f"support: {support!r} is neither dense-liquid nor elastic-solid")

    def f(t):
        return special.j1(t * a_over_l) * special.j0(t * r_over_l) / den(t)

    # Split at the denominator's knee and integrate the tail in pieces: the Bessel
    # functions oscillate but 1/t^4 leaves nothing to speak of past t = 5000.
    edges = [0.0, 0.5, 1.0, 2.0, 5.0, 10.0, 20.0, 50.0, 200.0, 1000.0, 5000.0]
    return sum(integrate.quad(f, lo, hi, limit=2000, epsabs=1e-12, epsrel=1e-11)[0]
               for lo, hi in zip(edges, edges[1:]))


def deflection(support: str, load: float, radius: float, stiffness: float, l: float, r: float) -> float:
    """w(r) of the infinite plate of stiffness D and radius of relative stiffness l."""
    q = load / (math.pi * radius**2)
    return q * radius * l**3 / stiffness * _integral(support, radius / l, r / l)


@lru_cache(maxsize=4096)
def _area_of(support: str, radius: float, l: float) -> float:
    w = [_integral(support, radius / l, r / l) for r in AREA_OFFSETS]
    return area_of_basin([v / w[0] for v in w])


def area_of_basin(d: list[float]) -> float:
    """AREA (in the length unit) of deflections at 0, 12, 24 and 36."""
    d0, d12, d24, d36 = d
    return 6.0 * (1.0 + 2.0 * d12 / d0 + 2.0 * d24 / d0 + d36 / d0)


@dataclass
class AreaResult:
    support: str
    area: float
    l: float  # radius of relative stiffness
    modulus: float  # slab modulus
    support_modulus: float  # k of the dense liquid or Es of the solid


def area_method(deflections: list[float], load: float, radius: float, thickness: float,
                poisson: float, support: str = "dense-liquid", support_poisson: float = 0.0) -> AreaResult:
    """The slab modulus and the support's modulus of an interior basin at 0, 12, 24, 36."""
    a = area_of_basin(deflections)

    def gap(log_l: float) -> float:
        return _area_of(support, radius, round(math.exp(log_l), 9)) - a

    lo, hi = math.log(2.0 * radius), math.log(400.0 * radius)
    if not gap(lo) < 0.0 < gap(hi):
        raise ValueError(f"AREA {a:.3f} lies outside the range the closed form gives for this plate")
    l = math.exp(optimize.brentq(gap, lo, hi, xtol=1e-12))
    d0 = deflections[0]
    stiffness = deflection(support, load, radius, 1.0, l, 0.0) / d0
    modulus = 12.0 * (1.0 - poisson**2) * stiffness / thickness**3
    if support == "dense-liquid":
        support_modulus = stiffness / l**4
    else:
        support_modulus = 2.0 * stiffness * (1.0 - support_poisson**2) / l**3
    return AreaResult(support, a, l, modulus, support_modulus)


def westergaard_interior(load: float, radius: float, k: float, l: float) -> float:
    """Westergaard's interior deflection of a circular load (small a / l)."""
    gamma = 0.5772156649015329
    return load / (8.0 * k * l**2) * (
        1.0 + (1.0 / (2.0 * math.pi)) * (math.log(radius / (2.0 * l)) + gamma - 1.25) * (radius / l) ** 2)
