"""The TOML model file and the model command."""

import json
import os
import subprocess

import pytest

import meridolan as m
from meridolan.modelfile import model_from_toml, model_to_toml, read_model_file

from conftest import EXAMPLES


@pytest.mark.parametrize("toml", sorted(p for p in EXAMPLES.glob("*.toml") if p.with_suffix(".dat").exists()),
                         ids=lambda p: p.name)
def test_example_model_files_print_the_report_of_their_decks(toml):
    model = read_model_file(str(toml))
    assert m.run_deck(model.deck()).report == m.run_deck(toml.with_suffix(".dat").read_text()).report
    assert model_from_toml(model_to_toml(model)) == model


def test_every_bundled_deck_has_its_model_file():
    assert {p.stem for p in EXAMPLES.glob("*.dat")} <= {p.stem for p in EXAMPLES.glob("*.toml")}


def test_the_keys_of_the_issue_example_make_a_graded_mesh_with_its_size():
    model = read_model_file(str(EXAMPLES / "edge_load.toml"))
    assert model.subgrade.kind == "dense-liquid" and model.subgrade.k == 200.0
    assert model.loads == [m.Load(100.0, (84.0, 96.0), (0.0, 9.0))]
    v = m.read_values(model.deck())
    for c in (84.0, 96.0):
        assert c in v["XC"]
    assert 9.0 in v["YC"]
    steps = [b - a for a, b in zip(v["XC"], v["XC"][1:])]
    assert max(steps) <= 6.0 + 1e-9


MINIMAL = """
title = "T"
[slabs]
x = [120.0]
y = [96.0]
[[layers]]
thickness = 8.0
modulus = 4.0e6
poisson = 0.15
[subgrade]
k = 100.0
"""


@pytest.mark.parametrize("extra, message", [
    ("[mesh]\nsise = 6.0\n", "mesh: unknown key 'sise'"),
    ("[[loads]]\npressure = 1.0\nx = [1.0]\ny = [0.0, 1.0]\n", r"loads\[0\].x: \[lower, upper\]"),
    ("[[loads]]\nkind = \"bicycle\"\nload = 1.0\npressure = 1.0\n", r"loads\[0\].kind: 'bicycle'"),
    ("[joints.x]\ndowels = { diameter = 1.25 }\n", r"joints.x.dowels: support is missing"),
    ("colour = 1\n", "subgrade: unknown key 'colour'"),  # TOML: a key after [subgrade] is its
])
def test_mistakes_are_named_where_they_are(extra, message):
    with pytest.raises(ValueError, match=message):
        model_from_toml(MINIMAL + extra)


def test_wheel_configurations_place_their_tyres_and_carry_their_load():
    text = MINIMAL.replace("x = [120.0]", "x = [240.0]") + (
        "[[loads]]\nkind = \"tandem\"\nload = 34000.0\npressure = 100.0\nat = [120.0, 48.0]\n"
        "direction = \"x\"\n")
    model = model_from_toml(text)
    assert len(model.loads) == 8
    assert sum(ld.force for ld in model.loads) == pytest.approx(34000.0, rel=1e-7)
    centres = sorted(((ld.x[0] + ld.x[1]) / 2, (ld.y[0] + ld.y[1]) / 2) for ld in model.loads)
    assert centres[0] == pytest.approx((95.0, 48.0 - 36.0 - 6.75))
    assert centres[-1] == pytest.approx((145.0, 48.0 + 36.0 + 6.75))
    # Each tyre is the PCA rectangle: 0.8712 L along travel, 0.6 L across.
    ld = model.loads[0]
    length, width = ld.x[1] - ld.x[0], ld.y[1] - ld.y[0]
    assert length / width == pytest.approx(0.8712 / 0.6, rel=1e-3)
    assert ld.pressure == pytest.approx(100.0, rel=1e-3)
    out = m.run_deck(model.deck())
    assert out.status == 0
    total = out.report_text.split("TOTAL APPLIED LOAD IS")[1].split()[0]
    assert float(total) == pytest.approx(34000.0, abs=0.01)


def test_command_writes_deck_report_and_results(tmp_path, program):
    launcher = os.path.join(os.path.dirname(program), "meridolan-model")
    done = subprocess.run([launcher, "run", str(EXAMPLES / "interior_load.toml"), "-o", str(tmp_path)],
                          capture_output=True, text=True)
    assert done.returncode == 0, done.stderr
    report = (tmp_path / "report.txt").read_bytes()
    assert report == subprocess.run([program], stdin=open(EXAMPLES / "interior_load.dat", "rb"),
                                    capture_output=True, cwd=tmp_path).stdout
    assert m.read_deck((tmp_path / "model.dat").read_text()) == read_model_file(str(EXAMPLES / "interior_load.toml"))
    results = json.loads((tmp_path / "results.json").read_text())
    assert results["format"] == "meridolan-results" and results["status"] == {"exit": 0, "message": None}
    maps = subprocess.run([launcher, "run", str(EXAMPLES / "edge_load.toml"), "-o", str(tmp_path / "e"), "--maps"],
                          capture_output=True, text=True)
    assert maps.returncode == 0, maps.stderr
    assert "mesh: 37 x 29 node lines" in maps.stderr
    assert (tmp_path / "e" / "map_deflection.png").stat().st_size > 10000
    bad = subprocess.run([launcher, "run", str(tmp_path / "missing.toml")], capture_output=True, text=True)
    assert bad.returncode == 1 and "missing.toml" in bad.stderr
