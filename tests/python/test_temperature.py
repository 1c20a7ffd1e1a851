"""A temperature profile reduced to its moment-equivalent linear difference."""

import pytest

import meridolan as m
from meridolan.temperature import Temperature, moments, nonlinear_stress


def test_a_linear_profile_is_its_own_difference_and_leaves_no_stress():
    mean, dt = moments([(0.0, 70.0), (4.0, 62.0), (10.0, 50.0)], 10.0)
    assert mean == pytest.approx(60.0) and dt == pytest.approx(20.0)
    for _, _, _, s in nonlinear_stress([(0.0, 70.0), (10.0, 50.0)], 10.0, 4e6, 0.15, 5.5e-6):
        assert s == pytest.approx(0.0, abs=1e-9)


def test_a_parabolic_profile():
    # T = z^2 over h = 1: mean 1/3, first moment about mid-depth 1/12, so dT = -1;
    # the nonlinear part z^2 - (1/3 - (1/2 - z)) holds a stress without force or moment.
    h = 1.0
    pts = [(i / 200, (i / 200) ** 2) for i in range(201)]
    mean, dt = moments(pts, h)
    assert mean == pytest.approx(1 / 3, rel=1e-4) and dt == pytest.approx(-1.0, rel=1e-4)
    rows = nonlinear_stress(pts, h, 1.0, 0.0, 1.0)
    force = sum(0.5 * (a[3] + b[3]) * (b[0] - a[0]) for a, b in zip(rows, rows[1:]))
    moment = sum(0.5 * (a[3] * (a[0] - 0.5) + b[3] * (b[0] - 0.5)) * (b[0] - a[0]) for a, b in zip(rows, rows[1:]))
    assert force == pytest.approx(0.0, abs=1e-4) and moment == pytest.approx(0.0, abs=1e-4)
    # Hotter than the straight line at the faces: compression there (positive).
    assert rows[0][3] > 0 and rows[-1][3] > 0 and rows[100][3] < 0


def test_a_profile_goes_into_the_deck_as_its_difference():
    model = m.Model(title="CURL", slabs_x=[180.0], slabs_y=[144.0], layers=[m.Layer(9.0, 4e6, 0.15, density=0.087)],
                    subgrade=m.Subgrade(kind="springs", k=150.0), mesh=m.Mesh(size=18.0),
                    temperature=Temperature(profile=[(0.0, 60.0), (3.0, 70.0), (9.0, 78.0)], expansion=5.5e-6),
                    contact=m.Contact(winkler=True))
    v = m.read_values(model.deck())
    assert v["ICURL"] == 1 and v["IWINK"] == 1
    assert v["DT1"] == pytest.approx(moments(model.temperature.profile, 9.0)[1], abs=5e-4)
    assert v["ALF1"] == 5.5e-6
    with pytest.raises(ValueError, match="profile: points from depth 0"):
        moments([(1.0, 5.0), (9.0, 6.0)], 9.0)
