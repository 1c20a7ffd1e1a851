"""Decks written from models and read back by the engine."""

import pytest

import meridolan as m
from meridolan.deck import int_field, real_field

from conftest import EXAMPLES, bundled_decks


@pytest.mark.parametrize("path", bundled_decks(), ids=lambda p: p.name)
def test_read_then_write_gives_the_same_report(path):
    text = path.read_text()
    model = m.read_deck(text)
    again = model.deck()
    a, b = m.run_deck(text), m.run_deck(again)
    assert a.status == b.status
    assert a.report == b.report
    assert a.contour == b.contour
    # The written deck reads back as the same model.
    assert m.read_deck(again) == model


@pytest.mark.parametrize(
    "value, width, text",
    [
        (4.0e6, 10, "  4000000."),
        (0.15, 5, " 0.15"),
        (2.9e7, 10, " 29000000."),
        (5.5e-6, 10, " 0.0000055"),
        (1.0e-12, 10, "   1.E-12"),
        (-18.0, 10, "   -18.000"),
        (0.0868, 10, "    0.0868"),
        (1.0 / 3.0, 10, None),
    ],
)
def test_real_fields_keep_their_decimal_point_and_their_value(value, width, text):
    if text is None:
        with pytest.raises(ValueError, match="layers.0..thickness: .* does not fit the 10 columns"):
            real_field(value, width, "layers[0].thickness")
        return
    got = real_field(value, width, "x")
    assert len(got) == width and "." in got
    assert float(got) == value
    assert got == text.rjust(width)
    # The engine reads the field as written: a layer modulus of that value.
    deck = m.read_deck((EXAMPLES / "interior_load.dat").read_text())
    deck.layers[0].expansion = value
    deck.contact = m.Contact()
    assert m.read_values(deck.deck())["ALF1"] == value


def test_values_out_of_range_name_the_model_field():
    with pytest.raises(ValueError, match="loads: 100000 does not fit the 5 columns"):
        int_field(100000, 5, "loads")
    with pytest.raises(ValueError, match="not a finite number"):
        real_field(float("nan"), 10, "subgrade.k")
    base = dict(title="T", slabs_x=[120.0], slabs_y=[120.0], layers=[m.Layer(8.0, 4e6, 0.15)],
                subgrade=m.Subgrade(k=100.0), mesh=m.Mesh(size=30.0))
    with pytest.raises(ValueError, match=r"subgrade\.kind: 'peat'"):
        m.Model(**base | {"subgrade": m.Subgrade(kind="peat")}).deck()
    with pytest.raises(ValueError, match="title: one line"):
        m.Model(**base | {"title": "x" * 81}).deck()
    with pytest.raises(ValueError, match=r"layers\[0\].modulus: 3 values for 25 nodes"):
        m.Model(**base | {"layers": [m.Layer(8.0, [1.0, 2.0, 3.0], 0.15)]}).deck()
    with pytest.raises(ValueError, match=r"loads\[0\]: the rectangle x \(100.0, 130.0\)"):
        m.Model(**base | {"loads": [m.Load(50.0, (100.0, 130.0), (0.0, 10.0))]}).deck()
    with pytest.raises(ValueError, match="contact.node_gaps: node numbers run from 1 to 25"):
        m.Model(**base | {"contact": m.Contact(node_gaps=[(26, 0.01)])}).deck()
    with pytest.raises(ValueError, match="symmetry: 'third'"):
        m.Model(**base | {"symmetry": "third"}).deck()


def test_a_changed_example_runs_with_its_change():
    model = m.read_deck((EXAMPLES / "interior_load.dat").read_text())
    model.loads[0].pressure *= 2.0
    text = model.deck()
    assert m.read_values(text)["loads"][0][0] == 2.0 * 62.5
    out = m.run_deck(text)
    assert out.status == 0
    assert "TOTAL APPLIED LOAD IS 18000.000" in out.report_text


def test_regions_become_node_lists():
    # Two slab rows of 60 in, gaps under the second row's far half, soil class 4
    # beyond x = 60, dowels at two positions along the joint between the rows.
    model = m.Model(
        title="REGIONS", slabs_x=[120.0], slabs_y=[60.0, 60.0], layers=[m.Layer(8.0, 4e6, 0.15)],
        subgrade=m.Subgrade(kind="stress-dependent", k=100.0,
                            soil_regions=[m.SoilRegion(x=(60.0, 120.0), y=(0.0, 120.0), soil_class=4)]),
        joints=m.Joints(y=m.Joint(dowels=m.Dowels(1.25, 1.5e6, 0.25, positions=[30.0, 90.0]))),
        loads=[m.Load(100.0, (50.0, 60.0), (50.0, 60.0))],
        mesh=m.Mesh(size=30.0))
    from meridolan.deck import deck_values
    v = deck_values(model)
    xs, ys = v["XC"], v["YC"]
    assert ys.count(60.0) == 2  # the joint's pair of lines
    nyt = len(ys)
    for n, c in enumerate(v["ISOIL"], start=1):
        x = xs[(n - 1) // nyt]
        assert c == (4 if x >= 60.0 else 1)
    # Near-face nodes on the last line of the first row, on the lines at 30 and 90.
    j = ys.index(60.0)
    assert [xs[(n - 1) // nyt] for n in v["NDOWY"]] == [30.0, 90.0]
    assert all((n - 1) % nyt == j for n in v["NDOWY"])
    assert m.run_deck(model.deck()).status == 0
