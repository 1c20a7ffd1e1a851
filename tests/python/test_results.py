"""Results as tables, checked by statics and by the tables against each other."""

import json

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import pandas as pd  # noqa: E402
import pytest  # noqa: E402

import meridolan as m  # noqa: E402
from meridolan.maps import maps_of_results, plot  # noqa: E402
from meridolan.temperature import Temperature  # noqa: E402

from conftest import EXAMPLES, refused_deck  # noqa: E402


def example(name):
    return m.read_deck((EXAMPLES / f"{name}.dat").read_text()).run()


def test_springs_carry_the_applied_load():
    r = example("springs_edge_load")
    assert r.status == 0 and r.message is None
    nodes = r.nodes
    assert len(nodes) == r.data["model"]["nodes"] and list(nodes.index) == list(range(1, len(nodes) + 1))
    assert nodes["subgrade_force"].sum() == pytest.approx(r.sums["applied_load"], rel=1e-9)
    assert r.sums["reaction_sum"] == pytest.approx(r.sums["applied_load"], rel=1e-9)


def test_joint_efficiency_is_the_ratio_of_the_two_faces_deflections():
    r = example("jointed_pavement")
    w = r.nodes["deflection"]
    pairs = r.joints
    assert set(pairs["direction"]) == {"x", "y"}
    near, far = w[pairs["near_node"]].to_numpy(), w[pairs["far_node"]].to_numpy()
    loaded = pd.Series(near).where(abs(near) >= abs(far), far)
    unloaded = pd.Series(far).where(abs(near) >= abs(far), near)
    assert (unloaded / loaded).to_numpy() == pytest.approx(pairs["lte"].to_numpy(), rel=1e-12)
    totals = r.joint_totals.set_index("direction")
    dowelled = pairs[pairs["direction"] == "x"]
    assert dowelled["dowel_load"].sum() == pytest.approx(totals.loc["x", "dowel_total"], rel=1e-12)
    assert pairs[pairs["direction"] == "y"]["dowel_load"].abs().sum() == 0.0


def test_two_layers_have_both_faces_and_the_principal_values_bound_the_components():
    r = example("quarter_model_two_layers")
    s = r.stresses
    assert sorted(set(zip(s["layer"], s["face"]))) == [(1, "bottom"), (1, "top"), (2, "bottom"), (2, "top")]
    assert len(s) == 4 * len(r.nodes)
    tol = 1e-9 * s[["sigma_x", "sigma_y"]].abs().to_numpy().max()
    assert (s["major"] >= s[["sigma_x", "sigma_y"]].max(axis=1) - tol).all()
    assert (s["minor"] <= s[["sigma_x", "sigma_y"]].min(axis=1) + tol).all()
    assert (s["major"] + s["minor"]).to_numpy() == pytest.approx((s["sigma_x"] + s["sigma_y"]).to_numpy(), abs=tol)
    ext = r.extremes
    worst = r.stress("major", 2, "bottom").min()
    assert ext.loc["min_major_stress_bottom_2", "value"] == worst


def test_iteration_history_of_the_stress_dependent_subgrade():
    p = example("stress_dependent_two_soils").passes
    assert list(p["pass"]) == [1, 2, 3] and p["fraction_off"].iloc[-1] == 0.0
    c = example("curling_contact").passes
    assert (c["kind"] == "contact").all() and c["nodes_out"].is_monotonic_increasing


def test_a_refused_run_has_its_status_its_message_and_empty_tables(tmp_path):
    text = refused_deck()
    r = m.Results.from_run(m.run_deck(text), text)
    assert r.status == 3
    assert r.message.startswith("LOADED AREA 1 LIES OUTSIDE THE MESH")
    assert r.nodes.empty and r.stresses.empty and r.joints.empty
    assert r.to_csv(str(tmp_path)) == []


def test_tables_export_to_csv_and_json(tmp_path):
    r = example("curling_winkler")
    files = r.to_csv(str(tmp_path))
    assert {f.split("/")[-1] for f in files} >= {"nodes.csv", "stresses.csv", "extremes.csv", "passes.csv"}
    back = pd.read_csv(tmp_path / "nodes.csv")
    pd.testing.assert_frame_equal(back, r.nodes.reset_index(drop=True), check_dtype=False)
    r.to_json(str(tmp_path / "r.json"))
    assert json.loads((tmp_path / "r.json").read_text()) == r.data


def test_maps_of_results_shade_the_nodes_out_of_contact(tmp_path):
    r = example("curling_winkler")
    lifted = int((~r.nodes["in_contact"]).sum())
    assert 0 < lifted < len(r.nodes)
    fig = r.plot("deflection")
    try:
        shaded = sum(len(c.get_offsets()) for c in fig.axes[0].collections if c.get_gid() == "out-of-contact")
        assert shaded == lifted
    finally:
        plt.close(fig)
    files = maps_of_results(r, str(tmp_path / "maps"), ("png",), ("deflection", "minor_top_1"))
    assert [f.split("/")[-1] for f in files] == ["map_deflection.png", "map_minor_top_1.png"]
    with pytest.raises(ValueError, match="unknown quantity 'sideways'"):
        plot(r, "sideways")


def test_a_profile_reports_its_self_equilibrating_stress():
    model = m.read_deck((EXAMPLES / "curling_winkler.dat").read_text())
    model.layers[0].temperature_difference = 0.0
    model.temperature = Temperature(profile=[(0.0, 60.0), (2.0, 66.0), (9.0, 80.0)], expansion=5.5e-6)
    r = model.run()
    assert r.status == 0
    t = r.temperature_stress
    assert list(t["depth"]) == [0.0, 2.0, 9.0]
    # Hotter than the equivalent line in the middle point: compression there.
    assert t["stress"].iloc[1] > 0 and t["stress"].iloc[0] < 0
