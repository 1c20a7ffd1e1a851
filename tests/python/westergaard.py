"""Closed forms of a large slab on a dense liquid, as re-examined by Ioannides,
Thompson and Barenberg (1985), and the three models that check them.

A square load of side c stands for the circle of the same area (radius
a = c / sqrt(pi)); the corner formula is in terms of c itself. l is the radius of
relative stiffness, (E h^3 / (12 (1 - nu^2) k))^(1/4).
"""

import math

import meridolan as m

E, H, NU, K, P, C = 4.0e6, 10.0, 0.15, 100.0, 9000.0, 10.0
L = (E * H**3 / (12.0 * (1.0 - NU**2) * K)) ** 0.25
A = C / math.sqrt(math.pi)
EULER = 0.5772156649015329

INTERIOR = P / (8.0 * K * L * L) * (
    1.0 + (math.log(A / (2.0 * L)) + EULER - 1.25) / (2.0 * math.pi) * (A / L) ** 2)
EDGE = math.sqrt(2.0 + 1.2 * NU) * P / math.sqrt(E * H**3 * K) * (1.0 - (0.76 + 0.4 * NU) * A / L)
CORNER = P / (K * L * L) * (1.205 - 0.69 * C / L)


def model(case: str, mesh: m.Mesh) -> m.Model:
    """A slab of 10 l by 10 l with the load at its centre (a quarter model), at the
    middle of an edge (half) or at a corner; the load's node is node 1."""
    side = 10.0 * L
    p = P / C**2
    loads = {
        "interior": (m.Load(p, (0.0, C / 2), (0.0, C / 2)), "quarter"),
        "edge": (m.Load(p, (0.0, C), (0.0, C / 2)), "half-y"),
        "corner": (m.Load(p, (0.0, C), (0.0, C)), "whole"),
    }
    load, symmetry = loads[case]
    return m.Model(title=f"WESTERGAARD {case.upper()}", slabs_x=[side], slabs_y=[side],
                   layers=[m.Layer(H, E, NU)], subgrade=m.Subgrade(k=K), loads=[load],
                   symmetry=symmetry, contours=m.Contours(), mesh=mesh)


CLOSED_FORM = {"interior": INTERIOR, "edge": EDGE, "corner": CORNER}
