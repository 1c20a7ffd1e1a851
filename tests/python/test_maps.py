"""Maps drawn by the package: joints by kind, the stress scale's ends named."""

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import pytest  # noqa: E402

import meridolan as m  # noqa: E402
from meridolan.maps import JOINT_STYLES, joint_lines, render  # noqa: E402

from conftest import EXAMPLES  # noqa: E402


def test_joints_are_found_from_coincident_lines_and_drawn_by_kind(tmp_path):
    deck = EXAMPLES / "jointed_pavement.dat"
    out = m.run_deck(deck.read_text())
    cnt = tmp_path / "jointed.cnt"
    cnt.write_text(out.contour)
    v = m.read_values(deck.read_text())
    assert joint_lines(v["XC"], v["YC"], v["LTX"], v["LTY"]) == [("x", 180.0, 1), ("y", 144.0, 0)]
    maps = render(str(cnt), str(deck), str(tmp_path), ("png",), keep=True)
    try:
        fig = plt.figure(plt.get_fignums()[0])
        ax = fig.axes[0]
        lines = {(tuple(l.get_xdata()), tuple(l.get_ydata())): l for l in ax.get_lines()}
        dowelled = lines[((180.0, 180.0), (0.0, 288.0))]
        interlocked = lines[((0.0, 360.0), (144.0, 144.0))]
        assert dowelled.get_color() == JOINT_STYLES[1][1]["color"] and dowelled.get_linestyle() == "-"
        assert interlocked.get_color() == JOINT_STYLES[0][1]["color"] and interlocked.get_linestyle() == "--"
        labels = [t.get_text() for t in fig.legends[0].get_texts()]
        assert "dowelled joint" in labels and "aggregate interlock" in labels
        # A stress map names the two ends of its scale.
        stress_fig = plt.figure(plt.get_fignums()[1])
        texts = [t.get_text() for t in stress_fig.axes[1].texts]
        assert texts == ["compression", "tension"]
    finally:
        plt.close("all")
    assert [q for q, _, _ in maps] == ["deflection", "x_stress", "major_stress", "minor_stress"]


def test_gap_and_zero_pressure_regions_become_the_decks_node_lists():
    model = m.Model(
        title="VOID", slabs_x=[120.0], slabs_y=[96.0], layers=[m.Layer(9.0, 4e6, 0.15, density=0.087)],
        subgrade=m.Subgrade(kind="springs", k=150.0), mesh=m.Mesh(size=24.0),
        loads=[m.Load(100.0, (0.0, 10.0), (0.0, 9.0))],
        contact=m.Contact(gaps=[m.Gap(x=(96.0, 120.0), y=(72.0, 96.0), gap=0.01)],
                          zero_pressure=[m.Region(x=(0.0, 0.0), y=(96.0, 96.0))]))
    v = m.read_values(model.deck())
    nyt = len(v["YC"])
    where = lambda n: (v["XC"][(n - 1) // nyt], v["YC"][(n - 1) % nyt])
    assert v["gaps"] and all(96.0 <= where(n)[0] and 72.0 <= where(n)[1] and g == 0.01 for n, g in v["gaps"])
    assert len(v["gaps"]) == sum(1 for x in v["XC"] if x >= 96.0) * sum(1 for y in v["YC"] if y >= 72.0)
    assert [where(n) for n in v["IZRP"]] == [(0.0, 96.0)]
    out = m.run_deck(model.deck())
    assert out.status == 0, out.report_text[-1500:]
