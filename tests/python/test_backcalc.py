"""Back-calculation: parameters recovered from basins the program makes itself, the
plate as the circle it stands for, the key paths, the command."""

import copy
import csv
import math

import numpy as np
import pytest

from meridolan import Contact, Gap, Joint, Joints, Layer, Model, Subgrade
from meridolan import backcalc as bc
from meridolan import area

OFFSETS = [0.0, 8.0, 12.0, 18.0, 24.0, 36.0, 48.0, 60.0]


def slab(size=180.0, slabs=1, **subgrade):
    sub = Subgrade("dense-liquid", k=200.0) if not subgrade else Subgrade(**subgrade)
    return Model("FWD", [size] * slabs, [size], [Layer(10.0, 4.0e6, 0.15)], sub)


def basin(x, y, offsets=OFFSETS, direction="x", point="p", group=""):
    return bc.Basin(x, y, 9000.0, 5.9, list(offsets), [0.0] * len(offsets), direction, point, group)


def measured(model, b, noise=0.0, rng=None):
    b = copy.deepcopy(b)
    w = np.asarray(bc.synthetic(model, b))
    if noise:
        w = w * (1.0 + noise * rng.standard_normal(len(w)))
    b.deflections = list(w)
    return b


def start_from(model, **values):
    m = copy.deepcopy(model)
    for k, v in values.items():
        bc.set_value(m, k.replace("__", ".").replace("_1_", ".1."), v)
    return m


def test_plate_is_the_circle_it_stands_for():
    for direction in ("x", "y"):
        loads = bc.plate_loads(50.0, 40.0, 9000.0, 5.9, direction)
        assert len(loads) == 3
        total = sum(ld.force for ld in loads)
        area_ = sum((ld.x[1] - ld.x[0]) * (ld.y[1] - ld.y[0]) for ld in loads)
        assert total == pytest.approx(9000.0, rel=1e-6)
        assert area_ == pytest.approx(math.pi * 5.9**2, rel=1e-3)
        # Centred on the plate, within its circle's extent across and along.
        cx = sum(0.5 * (ld.x[0] + ld.x[1]) * ld.force for ld in loads) / total
        cy = sum(0.5 * (ld.y[0] + ld.y[1]) * ld.force for ld in loads) / total
        assert (cx, cy) == pytest.approx((50.0, 40.0), abs=1e-3)
        across = [c for ld in loads for c in (ld.y if direction == "x" else ld.x)]
        assert min(across) == pytest.approx((40.0 if direction == "x" else 50.0) - 5.9, abs=1e-3)


def test_sensors_sit_on_nodes_and_off_nodes_interpolate():
    m = slab()
    p = bc.prepare(m, basin(90.0, 90.0))
    xs = [c for g in p.model.mesh.x for c in g]
    assert all(any(abs(90.0 + o - c) < 1e-3 for c in xs) for o in OFFSETS)
    # A linear field is reproduced exactly by the corner interpolation.
    nodes = {"x": [0.0, 10.0, 0.0, 10.0], "y": [0.0, 0.0, 10.0, 10.0]}
    weights = bc._sensor_weights(nodes, [(2.5, 7.5), (10.0, 0.0)])
    field = [1.0 + 2.0 * x + 3.0 * y for x, y in zip(nodes["x"], nodes["y"])]
    got = [sum(f * field[r] for r, f in w) for w in weights]
    assert got == pytest.approx([1.0 + 5.0 + 22.5, 21.0])
    with pytest.raises(ValueError, match="off the modelled slabs"):
        bc._sensor_weights(nodes, [(12.0, 5.0)])


def test_key_paths():
    m = slab(slabs=2)
    m.joints = Joints(x=Joint(interlock=5000.0))
    bc.set_value(m, "layers.1.modulus", 3.123456789e6)
    assert m.layers[0].modulus == 3123456.79  # what the deck's ten columns hold
    bc.set_value(m, "joints.x.interlock", 1234.5)
    assert bc.get_value(m, "joints.x.interlock") == 1234.5
    assert bc.get_value(m, "subgrade.k") == 200.0
    for bad, why in (("layers.2.modulus", "no item 2"), ("subgrade.kk", "no 'kk'"),
                     ("joints.y.dowels.support", "no 'dowels'"), ("subgrade.type", "not one number")):
        with pytest.raises(ValueError, match=why):
            bc.get_value(m, bad)


def test_interior_basin_recovered_exactly_and_with_noise():
    truth = slab()
    b = measured(truth, basin(90.0, 90.0))
    keys = ["layers.1.modulus", "subgrade.k"]
    guess = start_from(truth, **{"layers.1.modulus": 2.5e6, "subgrade.k": 350.0})
    f = bc.fit(guess, [b], keys)
    assert f.exit == 0, f.message
    assert f.values["layers.1.modulus"] == pytest.approx(4.0e6, rel=5e-3)
    assert f.values["subgrade.k"] == pytest.approx(200.0, rel=5e-3)
    assert f.rms < 1e-4 * b.deflections[0]
    # 1 % noise: within a few standard errors, and the errors say about how far.
    rng = np.random.default_rng(7)
    noisy = measured(truth, basin(90.0, 90.0), noise=0.01, rng=rng)
    g = bc.fit(guess, [noisy], keys)
    assert g.exit == 0
    for k, v in (("layers.1.modulus", 4.0e6), ("subgrade.k", 200.0)):
        assert abs(g.values[k] - v) < 4.0 * g.errors[k] + 1e-3 * v
        assert 0.0 < g.errors[k] < 0.2 * v
    assert 0.002 * noisy.deflections[0] < g.rms < 0.02 * noisy.deflections[0]


def test_joint_basin_gives_interlock_and_its_load_transfer():
    truth = slab(slabs=2)
    truth.joints = Joints(x=Joint(interlock=20000.0))
    # Plate against the joint at x = 180, sensors back across it.
    b = measured(truth, basin(174.0, 90.0, offsets=[-12.0, 0.0, 12.0, 24.0]))
    guess = start_from(truth, **{"joints.x.interlock": 3000.0})
    f = bc.fit(guess, [b], ["joints.x.interlock"])
    assert f.values["joints.x.interlock"] == pytest.approx(20000.0, rel=5e-3)
    lte = bc.load_transfer(b, loaded=0.0, unloaded=12.0)
    assert 0.2 < lte < 0.99
    fitted_lte = f.computed[0][2] / f.computed[0][1]
    assert fitted_lte == pytest.approx(lte, rel=1e-4)


def test_centre_and_edge_basins_fitted_together_on_two_layers():
    truth = slab()
    truth.layers = [Layer(8.0, 4.0e6, 0.15), Layer(6.0, 5.0e5, 0.2)]
    truth.bonded = True
    basins = [measured(truth, basin(90.0, 90.0, offsets=[0.0, 12.0, 24.0, 36.0], point="c", group="s")),
              measured(truth, basin(6.0, 90.0, offsets=[0.0, 12.0, 24.0, 36.0], point="e", group="s"))]
    keys = ["layers.1.modulus", "subgrade.k"]
    guess = start_from(truth, **{"layers.1.modulus": 6.0e6, "subgrade.k": 120.0})
    f = bc.fit(guess, basins, keys)
    assert f.values["layers.1.modulus"] == pytest.approx(4.0e6, rel=5e-3)
    assert f.values["subgrade.k"] == pytest.approx(200.0, rel=5e-3)
    assert len(f.residuals) == 2 and len(f.residuals[1]) == 4


def test_void_under_a_corner():
    # Self-weight and contact iteration on springs, a 0.01 in void under a 2 ft corner.
    truth = Model("VOID", [144.0], [144.0], [Layer(10.0, 4.0e6, 0.15, density=0.087)],
                  Subgrade("springs", k=200.0),
                  contact=Contact(cycles=20, gaps=[Gap((0.0, 24.0), (0.0, 24.0), gap=0.01)]))
    b = measured(truth, basin(6.0, 6.0, offsets=[0.0, 12.0, 24.0, 36.0]))
    f = bc.fit(start_from(truth, **{"contact.gaps.1.gap": 0.003}), [b], ["contact.gaps.1.gap"])
    assert f.exit == 0
    assert f.values["contact.gaps.1.gap"] == pytest.approx(0.01, rel=5e-3)


def test_large_slab_agrees_with_the_area_method():
    # 50 ft square: the interior of an infinite plate as far as the basin goes.
    truth = slab(size=600.0)
    b = measured(truth, basin(300.0, 300.0, offsets=[0.0, 12.0, 24.0, 36.0]))
    a = area.area_method(b.deflections, 9000.0, 5.9, 10.0, 0.15)
    guess = start_from(truth, **{"layers.1.modulus": 2.0e6, "subgrade.k": 400.0})
    f = bc.fit(guess, [b], ["layers.1.modulus", "subgrade.k"])
    assert f.values["layers.1.modulus"] == pytest.approx(a.modulus, rel=0.05)
    assert f.values["subgrade.k"] == pytest.approx(a.support_modulus, rel=0.05)
    assert a.modulus == pytest.approx(4.0e6, rel=0.05)


def test_command_fits_every_point(tmp_path):
    from meridolan.modelfile import model_to_toml

    truth = slab()
    points = [measured(truth, basin(90.0, 90.0, offsets=[0.0, 12.0, 24.0, 36.0], point="P1")),
              measured(truth, basin(90.0, 60.0, offsets=[0.0, 12.0, 24.0, 36.0], direction="y", point="P2"))]
    guess = start_from(truth, **{"layers.1.modulus": 3.0e6, "subgrade.k": 250.0})
    (tmp_path / "model.toml").write_text(model_to_toml(guess))
    with open(tmp_path / "basins.csv", "w", newline="") as f:
        w = csv.writer(f)
        w.writerow(["point", "x", "y", "load", "radius", "direction", "d_0", "d_12", "d_24", "d_36"])
        for b in points:
            w.writerow([b.point, b.x, b.y, b.load, b.radius, b.direction] + [repr(d) for d in b.deflections])
    out = tmp_path / "fitted.csv"
    status = bc.main([str(tmp_path / "basins.csv"), "--model", str(tmp_path / "model.toml"),
                      "--fit", "layers.1.modulus,subgrade.k", "-o", str(out), "--jobs", "2",
                      "--bounds", "subgrade.k=50:1000"])
    assert status == 0
    rows = list(csv.DictReader(open(out)))
    assert [r["point"] for r in rows] == ["P1", "P2"]
    for r in rows:
        assert r["exit"] == "0"
        assert float(r["layers.1.modulus"]) == pytest.approx(4.0e6, rel=5e-3)
        assert float(r["subgrade.k"]) == pytest.approx(200.0, rel=5e-3)
        assert float(r["rms"]) < 1e-7
        assert {"r_0", "r_36", "layers.1.modulus.se", "runs"} <= set(r)
    # A key the model does not have stops the command before any run.
    assert bc.main([str(tmp_path / "basins.csv"), "--model", str(tmp_path / "model.toml"),
                    "--fit", "subgrade.q", "-o", str(out)]) == 1


def test_basin_file_and_area_columns(tmp_path):
    path = tmp_path / "b.csv"
    path.write_text("point,group,x,y,load,radius,direction,d_-12,d_0,d_12,d_24,d_36\n"
                    "J,S,174,72,9000,5.9,x,0.003,0.005,,0.004,0.003\n"
                    "C,S,90,72,9000,5.9,y,,0.005,0.0045,0.0040,0.0034\n"
                    "D,,90,72,9000,5.9,,,0.005,0.0045,0.0040,0.0034\n")
    j, c, d = bc.read_basins(str(path))
    assert (j.offsets, j.deflections) == ([-12.0, 0.0, 24.0, 36.0], [0.003, 0.005, 0.004, 0.003])
    assert (c.direction, d.direction, j.group, d.group) == ("y", "x", "S", "")
    assert [[b.point for b in g] for g in bc._groups([j, c, d])] == [["J", "C"], ["D"]]
    # The AREA values of a one-layer model where the four sensors are there, and
    # they are the closed form's; none without the 12 in sensor or on two layers.
    m = slab()
    est = bc.area_estimate(m, c)
    a = area.area_method([0.005, 0.0045, 0.0040, 0.0034], 9000.0, 5.9, 10.0, 0.15)
    assert est == {"area": a.area, "layers.1.modulus": a.modulus, "subgrade.k": a.support_modulus}
    assert bc.area_estimate(m, j) is None
    m.layers.append(Layer(6.0, 5.0e5, 0.2))
    assert bc.area_estimate(m, c) is None
    path.write_text("point,x,y,load,radius,d_0\nP,1,2,three,5.9,0.1\n")
    with pytest.raises(ValueError, match="b.csv:2"):
        bc.read_basins(str(path))
