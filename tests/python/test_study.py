"""Parameter studies: designs, study-file checks, rows against single runs, resume."""

import csv
import json
import os
import signal
import subprocess
import time

import pytest

import meridolan as m
from meridolan import study as st
from conftest import EXAMPLES, ROOT

BASE = EXAMPLES / "interior_load.toml"


def study_text(factors: str, outputs: str = 'values = ["max_deflection", "status"]', head: str = "") -> str:
    return f'model = "{BASE}"\n{head}\n[factors]\n{factors}\n[outputs]\n{outputs}\n'


def read_rows(path):
    with open(path, newline="") as f:
        return list(csv.DictReader(f))


def test_designs_give_their_cases():
    s = st.study_from_toml(study_text('"layers.1.thickness" = [8.0, 10.0]\n'
                                      '"subgrade.k" = { from = 0.1, to = 0.5, step = 0.1 }'))
    assert s.factors[1].levels == [0.1, 0.2, 0.3, 0.4, 0.5]
    cases = st.design_cases(s)
    assert len(cases) == 10 and len({c for c, _ in cases}) == 10
    assert cases[0][1] == {"layers.1.thickness": 8.0, "subgrade.k": 0.1}
    # Ids follow the values, not the order: the same cases listed the other way round.
    flipped = st.study_from_toml(study_text('"layers.1.thickness" = [10.0, 8.0]\n'
                                            '"subgrade.k" = [0.5, 0.4, 0.3, 0.2, 0.1]'))
    assert sorted(st.design_cases(flipped)) == sorted(cases)

    # One at a time: the base (thickness 8, k 200) once, then each factor alone.
    oat = st.study_from_toml(study_text('"layers.1.thickness" = [8.0, 9.0, 10.0]\n"subgrade.k" = [100.0, 300.0]',
                                        head='design = "one-at-a-time"'))
    values = [v for _, v in st.design_cases(oat)]
    assert values == [{"layers.1.thickness": 8.0, "subgrade.k": 200.0},
                      {"layers.1.thickness": 9.0, "subgrade.k": 200.0},
                      {"layers.1.thickness": 10.0, "subgrade.k": 200.0},
                      {"layers.1.thickness": 8.0, "subgrade.k": 100.0},
                      {"layers.1.thickness": 8.0, "subgrade.k": 300.0}]

    # Latin hypercube: each of the n strata of every factor holds exactly one case.
    text = study_text('"layers.1.thickness" = { from = 6.0, to = 12.0 }\n"subgrade.k" = [50.0, 100.0, 150.0, 200.0]',
                      head='design = "latin-hypercube"\ncases = 8\nseed = 7')
    lhs = [v for _, v in st.design_cases(st.study_from_toml(text))]
    assert len(lhs) == 8
    assert sorted(int((v["layers.1.thickness"] - 6.0) / 6.0 * 8) for v in lhs) == list(range(8))
    assert sorted(v["subgrade.k"] for v in lhs) == [50.0, 50.0, 100.0, 100.0, 150.0, 150.0, 200.0, 200.0]
    assert lhs == [v for _, v in st.design_cases(st.study_from_toml(text))]
    other = st.study_from_toml(text.replace("seed = 7", "seed = 8"))
    assert lhs != [v for _, v in st.design_cases(other)]


@pytest.mark.parametrize("text, message", [
    (study_text('"layers.1.thickness" = [8.0]', head='design = "random"'), "design: 'random' is none of"),
    (study_text('"layers.3.thickness" = [8.0]'), "layers.3.thickness: '3' is not an entry 1 to 1"),
    (study_text('"title.x" = [1.0]'), "title.x: 'x' goes into a value"),
    (study_text('"subgrade.k" = { from = 1.0 }'), "factors.subgrade.k: a range needs from and to"),
    (study_text('"subgrade.k" = { from = 1.0, to = 2.0 }'), "a range without a step has no levels"),
    (study_text('"subgrade.k" = [1.0]', outputs='values = ["max_tilt"]'), "'max_tilt' is none of"),
    (study_text('"subgrade.k" = [1.0]', outputs='nodes = [{ node = 1, values = ["tilt"] }]'),
     "outputs.nodes[0]: 'tilt' is no node value"),
    (study_text('"subgrade.k" = [1.0]', outputs="[outputs.more]"), "outputs: unknown key 'more'"),
    (study_text('"subgrade.k" = [1.0]', head="colour = 1"), "study file: unknown key 'colour'"),
])
def test_a_wrong_study_file_is_refused_with_its_key(text, message):
    with pytest.raises(ValueError, match=message.replace("[", r"\[").replace("(", r"\(")):
        st.study_from_toml(text)


def independent_model(thickness: float, k: float) -> m.Model:
    """interior_load.toml's model written out here with the case's values."""
    x = [0.0, 24.0, 48.0, 66.0, 78.0, 84.0, 90.0, 96.0, 102.0, 114.0, 132.0, 156.0, 180.0]
    y = [0.0, 24.0, 42.0, 54.0, 60.0, 66.0, 72.0, 78.0, 84.0, 90.0, 102.0, 120.0, 144.0]
    return m.Model(
        title="SINGLE SLAB 15 X 12 FT ON A DENSE LIQUID, 9000-LB INTERIOR WHEEL LOAD",
        slabs_x=[180.0], slabs_y=[144.0], layers=[m.Layer(thickness, 4.0e6, 0.15)],
        subgrade=m.Subgrade("dense-liquid", k=k, code=5), loads=[m.Load(62.5, (84.0, 96.0), (66.0, 78.0))],
        iteration=m.Iteration(1, 0.0, 0.0, 0), contours=m.Contours(), mesh=m.Mesh(x=[x], y=[y]))


OUTPUTS = '''values = ["max_deflection", "max_deflection.node", "min_minor_stress_bottom_1", "reaction_sum",
          "passes", "status"]
nodes = [{ at = [90.0, 72.0], values = ["deflection", "major_bottom_1"] }, { node = 1, values = ["gap"] }]'''


def test_every_row_is_the_single_run_of_its_case(tmp_path):
    text = study_text('"layers.1.thickness" = [6.0, 8.0, 10.0]\n"subgrade.k" = [100.0, 200.0]', OUTPUTS)
    s = st.study_from_toml(text)
    table = tmp_path / "t.csv"
    done = st.run_study(s, str(table), workers=0, progress=None, keep_results=str(tmp_path / "json"))
    assert (done.total, done.ran, done.failed) == (6, 6, 0)
    rows = read_rows(table)
    assert list(rows[0]) == ["case", "layers.1.thickness", "subgrade.k", "max_deflection", "max_deflection.node",
                             "min_minor_stress_bottom_1", "reaction_sum", "passes", "status",
                             "at_90_72.deflection", "at_90_72.major_bottom_1", "node_1.gap", "exit", "message"]
    for row in rows[::2]:
        data = m.run_deck(independent_model(float(row["layers.1.thickness"]), float(row["subgrade.k"])).deck()).results
        # Node 85 is the middle of the 13 x 13 mesh, at (90, 72).
        assert data["nodes"]["x"][84] == 90.0 and data["nodes"]["y"][84] == 72.0
        assert float(row["max_deflection"]) == data["extremes"]["max_deflection"]["value"]
        assert int(row["max_deflection.node"]) == data["extremes"]["max_deflection"]["node"]
        assert float(row["min_minor_stress_bottom_1"]) == data["extremes"]["min_minor_stress_bottom_1"]["value"]
        assert float(row["reaction_sum"]) == data["sums"]["reaction_sum"]
        assert float(row["at_90_72.deflection"]) == data["nodes"]["deflection"][84]
        assert float(row["at_90_72.major_bottom_1"]) == data["stresses"][0]["bottom"]["major"][84]
        assert (row["passes"], row["status"], row["exit"], row["message"]) == ("0", "done", "0", "")
        assert json.loads((tmp_path / "json" / f"{row['case']}.json").read_text()) == data


def test_refused_and_stopped_cases_get_their_rows(tmp_path):
    # The whole slab loaded covers 144 elements, beyond the engine's 100 loaded subareas.
    text = study_text('"loads.1.x" = [[84.0, 96.0], [0.0, 180.0]]\n"loads.1.y" = [[66.0, 78.0], [0.0, 144.0]]\n'
                      '"symmetry" = ["whole", "diagonal"]')
    table = tmp_path / "t.csv"
    done = st.run_study(st.study_from_toml(text), str(table), workers=0, progress=None)
    rows = {(r["loads.1.x"], r["loads.1.y"], r["symmetry"]): r for r in read_rows(table)}
    assert done.ran == 8 and done.failed == 5
    ok = rows[("[84.0, 96.0]", "[66.0, 78.0]", "whole")]
    assert ok["exit"] == "0" and ok["status"] == "done" and float(ok["max_deflection"]) > 0
    out = rows[("[0.0, 180.0]", "[0.0, 144.0]", "whole")]
    assert (out["exit"], out["status"], out["max_deflection"]) == ("3", "stopped", "")
    assert out["message"] == "NUMBER OF LOADED SUBAREAS EXCEEDS MAXSUB** NLSATT= 144 MAXSUB= 100"
    for key, row in rows.items():
        if key[2] == "diagonal":
            assert (row["exit"], row["status"]) == ("1", "refused")
            assert row["message"].startswith("model: symmetry: 'diagonal' is none of")


def test_an_interrupted_study_resumes_with_every_case_once(tmp_path):
    text = study_text('"layers.1.thickness" = { from = 6.0, to = 11.0, step = 1.0 }\n"subgrade.k" = [100.0, 200.0]')
    s = st.study_from_toml(text)
    table = tmp_path / "t.csv"
    st.run_study(s, str(table), workers=0, progress=None)
    whole = read_rows(table)
    # Cut the table after three rows and half of the fourth, as a kill mid-write leaves it.
    lines = table.read_text().splitlines(keepends=True)
    table.write_text("".join(lines[:4]) + lines[4][:20])
    again = st.run_study(s, str(table), workers=0, progress=None)
    assert (again.skipped, again.ran) == (3, 9)
    rows = read_rows(table)
    assert sorted(r["case"] for r in rows) == sorted(r["case"] for r in whole)
    assert sorted(rows, key=lambda r: r["case"]) == sorted(whole, key=lambda r: r["case"])
    assert st.run_study(s, str(table), workers=0, progress=None).ran == 0
    # A table of another study is never appended to.
    other = st.study_from_toml(study_text('"subgrade.k" = [100.0]'))
    with pytest.raises(ValueError, match="its columns are not this study's"):
        st.run_study(other, str(table), workers=0, progress=None)


def command(program):
    exe = os.path.join(os.path.dirname(program), "meridolan-study")
    if not os.path.exists(exe):
        pytest.skip("no meridolan-study beside the program")
    return exe


def test_the_command_killed_mid_study_and_run_again_completes(program, tmp_path):
    exe = command(program)
    study = tmp_path / "s.toml"
    study.write_text(study_text('"layers.1.thickness" = { from = 6.0, to = 12.0, step = 0.25 }\n'
                                '"subgrade.k" = [100.0, 150.0, 200.0]'))
    table = tmp_path / "t.csv"
    first = subprocess.Popen([exe, "run", str(study), "-o", str(table), "--workers", "0"],
                             stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 60
    while time.monotonic() < deadline and (not table.exists() or len(table.read_text().splitlines()) < 6):
        time.sleep(0.01)
    first.send_signal(signal.SIGKILL)
    first.wait()
    partial = len(read_rows(table))
    assert 5 <= partial < 75
    again = subprocess.run([exe, "run", str(study), "-o", str(table), "--workers", "0"],
                           capture_output=True, text=True, check=True)
    assert f"{75 - partial} cases run, {partial} already in the table, 0 not finished normally" in again.stderr
    cases = [r["case"] for r in read_rows(table)]
    assert len(cases) == len(set(cases)) == 75
    listed = subprocess.run([exe, "cases", str(study)], capture_output=True, text=True, check=True)
    assert sorted(r["case"] for r in csv.DictReader(listed.stdout.splitlines())) == sorted(cases)


def test_the_worked_study_reads():
    s = st.read_study(str(ROOT / "examples" / "joint_study" / "study.toml"))
    assert len(st.design_cases(s)) == 12 * 9


def test_a_deck_as_base_gives_the_rows_of_its_model_file(tmp_path):
    factors = '"subgrade.k" = [150.0, 250.0]'
    outputs = 'values = ["max_deflection", "max_x_stress_bottom_2", "nodes", "status"]'
    tables = []
    for base in (f'deck = "{EXAMPLES / "interior_load.dat"}"', f'model = "{BASE}"'):
        text = f"{base}\n[factors]\n{factors}\n[outputs]\n{outputs}\n"
        st.run_study(st.study_from_toml(text), str(tmp_path / "t.csv"), workers=0, progress=None)
        tables.append((tmp_path / "t.csv").read_text())
        (tmp_path / "t.csv").unlink()
    assert tables[0] == tables[1]
    rows = list(csv.DictReader(tables[0].splitlines()))
    # One layer: its second layer's extremes are empty cells.
    assert [(r["nodes"], r["max_x_stress_bottom_2"], r["status"]) for r in rows] == [("169", "", "done")] * 2
    assert float(rows[0]["max_deflection"]) > float(rows[1]["max_deflection"])
