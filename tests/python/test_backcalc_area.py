"""The AREA method's closed forms: their point-load limits, Westergaard's circular
load, and the inversion of basins they make."""

import math

import pytest

from meridolan import area


def stiffness(e=4.0e6, h=10.0, nu=0.15):
    return e * h**3 / (12.0 * (1.0 - nu**2))


def test_integrals_reduce_to_the_point_load_forms():
    d = stiffness()
    l = (d / 200.0) ** 0.25
    # A plate of vanishing radius: Westergaard's P / (8 k l^2) and Losberg's
    # P l^2 / (3 sqrt 3 D).
    assert area.deflection("dense-liquid", 9000.0, 0.01, d, l, 0.0) == pytest.approx(
        9000.0 / (8.0 * 200.0 * l**2), rel=1e-5)
    le = (2.0 * d * (1.0 - 0.4**2) / 20000.0) ** (1.0 / 3.0)
    assert area.deflection("elastic-solid", 9000.0, 0.01, d, le, 0.0) == pytest.approx(
        9000.0 * le**2 / (3.0 * math.sqrt(3.0) * d), rel=1e-5)
    # The 5.9 in plate against Westergaard's series for a circle.
    assert area.deflection("dense-liquid", 9000.0, 5.9, d, l, 0.0) == pytest.approx(
        area.westergaard_interior(9000.0, 5.9, 200.0, l), rel=1e-4)
    # Far away the basin of the dense liquid dies out; the solid's lingers.
    far = [area.deflection(s, 9000.0, 5.9, d, l, 8.0 * l) / area.deflection(s, 9000.0, 5.9, d, l, 0.0)
           for s in area.SUPPORTS]
    assert abs(far[0]) < 0.01 < far[1]


@pytest.mark.parametrize("support,modulus,support_modulus,nus", [
    ("dense-liquid", 4.0e6, 200.0, 0.0), ("dense-liquid", 6.0e6, 50.0, 0.0),
    ("elastic-solid", 4.0e6, 20000.0, 0.4), ("elastic-solid", 3.0e6, 60000.0, 0.3)])
def test_area_inversion_recovers_the_closed_forms_moduli(support, modulus, support_modulus, nus):
    d = stiffness(modulus)
    if support == "dense-liquid":
        l = (d / support_modulus) ** 0.25
    else:
        l = (2.0 * d * (1.0 - nus**2) / support_modulus) ** (1.0 / 3.0)
    w = [area.deflection(support, 9000.0, 5.9, d, l, r) for r in area.AREA_OFFSETS]
    got = area.area_method(w, 9000.0, 5.9, 10.0, 0.15, support, nus)
    assert 11.04 < got.area < 36.0
    assert got.l == pytest.approx(l, rel=1e-6)
    assert got.modulus == pytest.approx(modulus, rel=1e-6)
    assert got.support_modulus == pytest.approx(support_modulus, rel=1e-6)


def test_area_outside_the_closed_forms_is_refused():
    with pytest.raises(ValueError, match="outside"):
        area.area_method([1.0, 1.0, 1.0, 1.0], 9000.0, 5.9, 10.0, 0.15)
