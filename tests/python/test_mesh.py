"""The mesh generator: its lines, its fit to the work array, and plate theory."""

import pytest

import meridolan as m
from meridolan.contour import ContourData
from meridolan.deck import deck_values
from meridolan.mesh import generate

import westergaard as W


def deflection_under_load(model):
    out = m.run_deck(model.deck())
    assert out.status == 0, out.report_text[-2000:]
    return ContourData(out.contour).fields[0][0]  # node 1 stands under the load


# Closed form within 1 % (interior), 2 % (edge and corner) on the default mesh.
@pytest.mark.parametrize("case, tolerance", [("interior", 0.01), ("edge", 0.02), ("corner", 0.02)])
def test_default_mesh_agrees_with_westergaard(case, tolerance):
    w = deflection_under_load(W.model(case, m.Mesh()))
    assert abs(w / W.CLOSED_FORM[case] - 1.0) < tolerance


# Halving the element sizes moves the deflection less each time, towards the
# default mesh's value (the finest that fits): the sequence converges.
@pytest.mark.parametrize("case", ["interior", "edge", "corner"])
def test_refinement_converges(case, capsys):
    sizes = [80.0, 40.0, 20.0]
    ws = [deflection_under_load(W.model(case, m.Mesh(size=s, fine=s / 8))) for s in sizes]
    ws.append(deflection_under_load(W.model(case, m.Mesh())))
    steps = [b - a for a, b in zip(ws, ws[1:])]
    with capsys.disabled():
        ref = W.CLOSED_FORM[case]
        print(f"\n{case}: closed form {ref:.7f}; " + ", ".join(
            f"{s}: {w:.7f} ({100 * (w / ref - 1):+.2f} %)" for s, w in zip(sizes + ["default"], ws)))
    assert all(s > 0 for s in steps)
    assert all(abs(b) < abs(a) for a, b in zip(steps, steps[1:]))


def jointed():
    return m.Model(
        title="JOINTED", slabs_x=[180.0, 180.0], slabs_y=[144.0],
        layers=[m.Layer(10.0, 4e6, 0.15)], subgrade=m.Subgrade(k=150.0),
        joints=m.Joints(x=m.Joint(dowels=m.Dowels(1.25, 1.5e6, 0.25, spacing=12.0))),
        loads=[m.Load(62.5, (168.0, 180.0), (12.0, 24.0)), m.Load(80.0, (250.5, 262.0), (100.0, 112.5))],
        mesh=m.Mesh(ratio=1.3))


def test_lines_at_slab_edges_joints_and_load_edges_growing_by_the_ratio():
    made = generate(jointed())
    xs = [c for g in made.x_lines for c in g]
    ys = [c for g in made.y_lines for c in g]
    assert made.x_lines[0][0] == 0.0 and made.x_lines[0][-1] == 180.0 == made.x_lines[1][0]
    assert made.x_lines[1][-1] == 360.0 and made.y_lines == [made.y_lines[0]]
    for c in (168.0, 250.5, 262.0):
        assert c in xs
    for c in (12.0, 24.0, 100.0, 112.5, 144.0):
        assert c in ys
    for group in made.x_lines + made.y_lines:
        d = [b - a for a, b in zip(group, group[1:])]
        assert min(d) > 0
        # One element to the next grows by the ratio, with room for the rounding of
        # the element count between two fixed lines.
        assert max(max(a / b, b / a) for a, b in zip(d, d[1:])) < 1.3 * 1.35
    assert made.words <= made.max_words
    assert made.nodes == len(xs) * len(ys) and made.equations == 3 * made.nodes
    assert "node lines" in str(made) and f"{made.words} of 2000000 words" in str(made)


def test_finest_mesh_that_fits_the_words_given():
    small = jointed()
    small.mesh.memory = 200000
    made = generate(small)
    assert made.words <= 200000
    # A slightly finer cap of the element size would not fit.
    from meridolan.mesh import _measure, make_lines
    xs, ys = make_lines(small, made.fine, made.max_size * 0.97)
    assert _measure(small, xs, ys)["words"] > 200000
    full = generate(jointed())
    assert full.words > 5 * made.words


def test_a_target_size_that_does_not_fit_is_refused():
    model = jointed()
    model.mesh = m.Mesh(size=1.0)
    with pytest.raises(ValueError, match=r"mesh.size: 1.0 makes a model of \d+ words"):
        generate(model)


def test_elastic_solid_gets_the_largest_mesh_its_packed_matrix_allows():
    model = m.Model(title="SOLID", slabs_x=[72.0], slabs_y=[72.0], layers=[m.Layer(10.0, 4e6, 0.15)],
                    subgrade=m.Subgrade(kind="elastic-solid", modulus=15000.0, poisson=0.35),
                    loads=[m.Load(62.5, (0.0, 6.0), (0.0, 6.0))], symmetry="quarter")
    made = generate(model)
    assert 1500000 < made.words <= 2000000
    out = m.run_deck(model.deck())
    assert out.status == 0
    assert "SUM OF REACTION FORCES =   2250.00" in out.report_text


def test_loaded_subareas_stay_within_the_program_limit():
    # Twelve tyres: the fine size is coarsened so that their subareas fit in 100.
    loads = [m.Load(100.0, (20.0 + 30.0 * i, 28.0 + 30.0 * i), (20.0 + 40 * j, 30.0 + 40 * j))
             for i in range(4) for j in range(3)]
    model = m.Model(title="MANY", slabs_x=[180.0], slabs_y=[144.0], layers=[m.Layer(10.0, 4e6, 0.15)],
                    subgrade=m.Subgrade(k=150.0), loads=loads)
    values = m.read_values(model.deck())
    assert values["dimensions"]["words"] <= 2000000
    out = m.run_deck(model.deck())
    assert out.status == 0
    assert "TOTAL APPLIED LOAD IS 96000.000" in out.report_text


def test_a_larger_work_array_takes_a_finer_mesh_and_runs_with_it():
    model = jointed()
    model.mesh.memory = 4000000
    made = generate(model)
    assert 2000000 < made.words <= 4000000 and made.max_words == 4000000
    text = model.deck()
    r = model.run()
    assert r.status == 0 and r.data["model"]["memory_words"] == made.words
    assert "4000000" in r.report_text
    # The same deck with the program's default work array is refused for its size;
    # read back, it is the same model's deck.
    assert m.run_deck(text).status == 3
    assert m.read_deck(text).deck() == text
