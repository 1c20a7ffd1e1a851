"""Temperature through the slab: a linear difference, or a profile reduced to the
linear difference of the same moment.

With z the depth below the top surface, h the thickness and T(z) the profile (linear
between the given points), the moment-equivalent linear difference (top minus bottom)
and the mean temperature are

    dT = -12 / h^2 * integral_0^h T(z) (z - h/2) dz,    T_mean = integral_0^h T(z) dz / h,

and the linear profile T_lin(z) = T_mean + dT (1/2 - z/h) bends the slab as T(z) does.
The rest, T(z) - T_lin(z), neither stretches nor bends a slab whose sections stay
plane: it is held by the self-equilibrating stress

    sigma(z) = E alpha / (1 - nu) * (T(z) - T_lin(z))        (compression positive),

which adds to the stresses of the analysis at every point of the plan.
"""

from __future__ import annotations

from dataclasses import dataclass, field
from typing import Optional, Sequence


def _check_profile(profile: Sequence[tuple[float, float]], thickness: float) -> None:
    depths = [z for z, _ in profile]
    if len(profile) < 2 or depths[0] != 0.0 or abs(depths[-1] - thickness) > 1e-9 * thickness:
        raise ValueError("temperature.profile: points from depth 0 to the layer's thickness")
    if any(b <= a for a, b in zip(depths, depths[1:])):
        raise ValueError("temperature.profile: depths must increase")


def moments(profile: Sequence[tuple[float, float]], thickness: float) -> tuple[float, float]:
    """(mean temperature, moment-equivalent linear difference top minus bottom); the
    integrals are exact for the piecewise linear profile."""
    _check_profile(profile, thickness)
    h = thickness
    area = first = 0.0
    for (z0, t0), (z1, t1) in zip(profile, profile[1:]):
        d = z1 - z0
        area += 0.5 * (t0 + t1) * d
        # integral of T(z) (z - h/2) over the segment, T linear
        c0, c1 = z0 - h / 2, z1 - h / 2
        first += d * (t0 * (2 * c0 + c1) + t1 * (c0 + 2 * c1)) / 6.0
    return area / h, -12.0 * first / h**2


def nonlinear_stress(profile: Sequence[tuple[float, float]], thickness: float, modulus: float,
                     poisson: float, expansion: float) -> list[tuple[float, float, float, float]]:
    """(depth, temperature, linear temperature, stress) at each point of the profile."""
    mean, dt = moments(profile, thickness)
    factor = modulus * expansion / (1.0 - poisson)
    out = []
    for z, t in profile:
        lin = mean + dt * (0.5 - z / thickness)
        out.append((z, t, lin, factor * (t - lin)))
    return out


@dataclass
class Temperature:
    """Temperature of the top layer: `difference` (top minus bottom) or a `profile` of
    (depth, temperature) points from the top to the bottom surface; `expansion` is
    the coefficient of thermal expansion."""

    difference: Optional[float] = None
    profile: list[tuple[float, float]] = field(default_factory=list)
    expansion: float = 0.0

    def linear_difference(self, thickness: float) -> float:
        if self.profile:
            if self.difference is not None:
                raise ValueError("temperature: give a difference or a profile, not both")
            return moments(self.profile, thickness)[1]
        return self.difference or 0.0
