"""The contour map command: reading contour files and decks, the plan of the
pavement, and the maps of the bundled examples checked from their drawn data.

Run by CTest with MERIDOLAN_EXE naming the program that writes the contour files."""

import os
import subprocess
import sys
import tempfile
import types
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path.insert(0, os.path.join(ROOT, "tools"))

import matplotlib  # noqa: E402

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

import meridolan_map as mm  # noqa: E402

EXAMPLES = os.path.join(ROOT, "examples")
EXE = os.environ.get("MERIDOLAN_EXE", os.path.join(ROOT, "build", "meridolan"))


def read(path):
    with open(path) as f:
        return f.read()


def contour_file(deck, folder):
    """Runs the program on a deck and returns the contour file it wrote."""
    path = os.path.join(folder, os.path.splitext(os.path.basename(deck))[0] + ".cnt")
    done = subprocess.run([EXE, "-c", path, deck, os.devnull], capture_output=True, text=True)
    if done.returncode != 0:
        raise AssertionError(f"{deck}: status {done.returncode}: {done.stderr}")
    return path


def layout(nnx, nny, xc, yc):
    """The mesh part of a contour file's contents for a layout of slabs."""
    nyt = len(yc)
    n = len(xc) * nyt
    return types.SimpleNamespace(
        nnx=nnx, nny=nny, nxt=len(xc), nyt=nyt, nnode=n,
        x=[xc[i // nyt] for i in range(n)], y=[yc[i % nyt] for i in range(n)])


class ContourFileReading(unittest.TestCase):
    def test_fields_and_number_forms(self):
        self.assertEqual(mm.parse_real("  .12345678E+01"), 1.2345678)
        self.assertEqual(mm.parse_real(" -.50000000E-01"), -0.05)
        self.assertEqual(mm.parse_real("  .10000000+101"), 1e100)  # three-digit exponent
        self.assertEqual(mm.parse_real("  .25000000D+01"), 2.5)
        with self.assertRaises(mm.MapError):
            mm.parse_real("***************")

    def test_file_layout_and_counts(self):
        head = "".join(f"{v:15d}" for v in [249, 4, 3, 2, 0, 0, 2, 0, 24, 2, 2] + [0] * 12)
        head = "\n".join(head[i:i + 105] for i in range(0, len(head), 105))
        vals = [2.5, 0, 0, 100, 100, 0, 80, 0, 80] + [0.05] * 4 + [-1.0] * 12
        body = "".join(f"{v:15.8E}" for v in vals)
        text = head + "\n" + "\n".join(body[i:i + 120] for i in range(0, len(body), 120))
        d = mm.ContourData(text + "\n")
        self.assertEqual((d.nnode, d.nxt, d.nyt, d.nnx, d.nny), (4, 2, 2, [2, 0, 0], [2, 0]))
        self.assertEqual((d.cscale, d.x, d.y), (2.5, [0, 0, 100, 100], [0, 80, 0, 80]))
        self.assertEqual(d.fields[0], [0.05] * 4)
        with self.assertRaises(mm.MapError):  # one value short
            mm.ContourData(text[:-15] + "\n")


class PlanOfThePavement(unittest.TestCase):
    def test_slabs_beyond_the_three_counted_columns_are_found_at_the_joints(self):
        # Four slab columns of 3 node lines: the file counts only the first three;
        # the fourth starts where two node lines share a coordinate.
        xc = [0, 6, 12, 12, 18, 24, 24, 30, 36, 36, 42, 48]
        yc = [0, 10, 20, 20, 30]
        self.assertEqual(mm.split_lines(xc, [3, 3, 3]), [(0, 3), (3, 6), (6, 9), (9, 12)])
        self.assertEqual(mm.split_lines(yc, [3, 2]), [(0, 3), (3, 5)])
        # Counts that stop short are completed from the coordinates, zeros skipped.
        self.assertEqual(mm.split_lines(xc, [3, 0, 3]), [(0, 3), (3, 6), (6, 9), (9, 12)])
        plan = mm.Plan(layout([3, 3, 3], [3, 2], xc, yc))
        self.assertEqual(len(plan.slabs), 8)
        self.assertIn([36, 48, 20, 30], plan.outlines)
        # Each slab is drawn from its own nodes: the joint nodes are not merged.
        self.assertEqual(plan.slabs[0][2][-1, -1], 2 * 5 + 3)
        self.assertEqual(plan.slabs[1][2][0, 0], 4)

    def test_symmetric_models_are_mirrored_into_whole_slabs(self):
        d = layout([3], [3], [0, 5, 10], [0, 4, 8])
        quarter = mm.Plan(d, isym=3)
        self.assertEqual(quarter.outlines, [[-10, 10, -8, 8]])
        self.assertEqual(len(quarter.slabs), 4)
        self.assertEqual(quarter.mirror_points(1, 2, 0, 3),
                         [(1, 2, 0, 3), (-2, -1, 0, 3), (1, 2, -3, 0), (-2, -1, -3, 0)])
        half = mm.Plan(d, isym=1)
        self.assertEqual(half.outlines, [[0, 10, -8, 8]])
        self.assertEqual(mm.Plan(d, isym=3, mirror=False).outlines, [[0, 10, 0, 8]])


class DeckReading(unittest.TestCase):
    def test_bundled_decks(self):
        q = mm.Deck(read(os.path.join(EXAMPLES, "quarter_model_two_layers.dat")))
        self.assertEqual(q.isym, 3)
        self.assertEqual(q.loads, [(80.0, 0.0, 6.0, 0.0, 6.0)])
        s = mm.Deck(read(os.path.join(EXAMPLES, "springs_edge_load.dat")))
        self.assertEqual(s.title, "SLAB ON NODAL SPRINGS, DUAL WHEELS AT THE FREE EDGE")
        self.assertEqual(s.loads, [(90.0, 0.0, 10.0, 42.0, 52.0), (90.0, 0.0, 10.0, 55.0, 65.0)])

    def test_records_before_the_loads_are_walked_in_order(self):
        # Two slab columns with a dowel list and aggregate interlock, per-node
        # thickness, per-node subgrade moduli, implied decimals: read by the engine.
        deck = ("1\nJOINTED\n    1    0    0    0\n    2    2\n    3\n    1    0     0.000\n"
                "    5    1\n100000   0\n    2    0    1    1\n"
                "     0.000    50.000    50.000   100.000\n     0.000    40.000    80.000\n"
                "     0.000 4.000E+06     0.150\n" + "     8.000" * 8 + "\n" + "     8.000" * 4
                + "\n   100.000    2\n  3   200.000  5   300.000\n"
                "     0.000     1.250 2.900E+07     0.000     0.250     0.300 1.000E+06\n"
                "    3\n    4    5    6\n 1.000E+05\n"
                "     10000     0.000    20.0001.5,20.5\n000000 1.0000000\n")
        d = mm.Deck(deck)
        self.assertEqual((d.nxt, d.nyt), (4, 3))
        self.assertEqual(d.loads, [(10.0, 0.0, 20.0, 1.5, 20.5)])
        self.assertEqual(d.joints, [("x", 50.0, 2)])


class MapsOfTheExamples(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        cls.cnt = {}
        for name in sorted(os.listdir(EXAMPLES)):
            if name.endswith(".dat"):
                cls.cnt[name[:-4]] = contour_file(os.path.join(EXAMPLES, name), cls.tmp.name)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_highest_deflection_contour_sits_under_the_load(self):
        deck = os.path.join(EXAMPLES, "interior_load.dat")
        out = mm.render(self.cnt["interior_load"], deck, self.tmp.name, ("png",), keep=True)
        try:
            key, files, sets = out[0]
            self.assertEqual(key, "deflection")
            (cs,) = sets  # one slab
            bands = mm.band_polygons(cs)
            top = max(i for i, b in enumerate(bands) if b)
            data = mm.ContourData(read(self.cnt["interior_load"]))
            wmax = max(data.fields[0])
            self.assertLessEqual(cs.levels[top], wmax)
            self.assertLessEqual(wmax, cs.levels[top + 1])
            self.assertGreaterEqual(top, 8, "the map is divided into many bands")
            # Every vertex of the highest band lies inside the loaded area.
            ((p, x1, x2, y1, y2),) = mm.Deck(read(deck)).loads
            v = np.vstack(bands[top])
            self.assertTrue(np.all((v[:, 0] >= x1) & (v[:, 0] <= x2)), v)
            self.assertTrue(np.all((v[:, 1] >= y1) & (v[:, 1] <= y2)), v)
            # The bands below it ring it: the next one reaches beyond the load.
            below = np.vstack(bands[top - 1])
            self.assertLess(below[:, 0].min(), x1)
        finally:
            plt.close("all")

    def test_every_example_renders_all_maps_in_both_formats(self):
        for name, cnt in self.cnt.items():
            with self.subTest(name):
                out_dir = os.path.join(self.tmp.name, name)
                deck = os.path.join(EXAMPLES, name + ".dat")
                self.assertEqual(mm.main([cnt, "--deck", deck, "-o", out_dir]), 0)
                for q in ("deflection", "x_stress", "major_stress", "minor_stress"):
                    png = os.path.join(out_dir, f"{name}_{q}.png")
                    svg = os.path.join(out_dir, f"{name}_{q}.svg")
                    with open(svg) as f:
                        self.assertIn("<svg", f.read(2000))
                    img = plt.imread(png)
                    # a picture, not a blank page: many distinct colours
                    rgb = (img[:, :, :3] * 255).astype(np.int64)
                    colours = np.unique(rgb[:, :, 0] << 16 | rgb[:, :, 1] << 8 | rgb[:, :, 2])
                    self.assertGreater(len(colours), 50, png)

    def test_quarter_model_drawn_whole_or_labelled(self):
        cnt = self.cnt["quarter_model_two_layers"]
        deck = os.path.join(EXAMPLES, "quarter_model_two_layers.dat")
        whole = mm.render(cnt, deck, self.tmp.name, ("png",), keep=True)
        try:
            ax = whole[0][2][0].axes
            self.assertLess(ax.get_xlim()[0], -85)
            self.assertLess(ax.get_ylim()[0], -85)
            self.assertEqual(len(whole[0][2]), 4)  # the slab and its three images
            self.assertIn("quarter model", ax.get_title())
        finally:
            plt.close("all")
        alone = mm.render(cnt, None, self.tmp.name, ("png",), keep=True)
        try:
            ax = alone[0][2][0].axes
            self.assertGreater(ax.get_xlim()[0], -10)
            self.assertIn("modelled part", ax.get_title())
        finally:
            plt.close("all")


if __name__ == "__main__":
    unittest.main(verbosity=2)
