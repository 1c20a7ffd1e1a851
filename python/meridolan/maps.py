"""Contour maps of a run: from a contour data file, or of any quantity of the results.

Each map shows filled contours over the plan of the pavement, slab by slab on each
slab's own grid of node lines (so a jump across a joint is drawn as a jump), the slab
outlines, the joints by kind (dowelled, interlocked), the loaded areas, nodes out of
contact, a colour bar with units (tension and compression named on stress maps), the
extreme value and its node, and the run title. Half and quarter models are drawn as
the whole pavement they model, mirrored about their lines of symmetry.
"""

from __future__ import annotations

import argparse
import os
import sys
import types
from typing import Iterable, Optional

from .contour import QUANTITIES, ContourData, ContourError, parse_real, split_lines

# Drawing style and legend text of each joint kind, by the deck's transfer code.
JOINT_STYLES = {
    0: ("aggregate interlock", dict(ls="--", color="darkorange", lw=2.2)),
    1: ("dowelled joint", dict(ls="-", color="darkgreen", lw=3.0, alpha=0.8)),
    2: ("dowels and interlock", dict(ls="-.", color="purple", lw=2.6)),
}

MapError = ContourError


class Deck:
    """The things of a deck a map needs, as the engine reads them."""

    def __init__(self, text: str):
        from .engine import read_values

        try:
            v = read_values(text)
        except ValueError as e:
            raise MapError(f"the deck cannot be read: {e}") from None
        self.title = v["TITLE"].strip()
        self.isym = v["ISYM"]
        self.nxt, self.nyt = len(v["XC"]), len(v["YC"])
        self.loads = [tuple(ld) for ld in v["loads"]]
        self.joints = joint_lines(v["XC"], v["YC"], v["LTX"], v["LTY"])


def joint_lines(xc, yc, ltx: int, lty: int) -> list[tuple[str, float, int]]:
    """(axis, coordinate, transfer code) of every joint: two node lines that share a
    coordinate."""
    out = []
    for axis, lines, code in (("x", xc, ltx), ("y", yc, lty)):
        for a, b in zip(lines, lines[1:]):
            if a == b:
                out.append((axis, a, code))
    return out


def band_polygons(cs):
    """The filled regions of each band of a contour set, as lists of polygon vertex
    arrays, one list per band (lowest band first)."""
    from matplotlib.collections import Collection

    if isinstance(cs, Collection):  # matplotlib 3.8 and later: one path per band
        paths = cs.get_paths()
    else:  # earlier: one collection of paths per band
        paths = [c.get_paths() for c in cs.collections]
        return [[poly for p in band for poly in p.to_polygons()] for band in paths]
    return [list(p.to_polygons()) for p in paths]


class Plan:
    """The plan of the pavement: slabs (mirrored where the deck's symmetry says so)
    and the node values arranged on each slab's grid of node lines."""

    def __init__(self, data, isym=None, mirror=True):
        import numpy as np

        self.data = data  # the node grid: x, y per node, nxt, nyt, nnx, nny, nnode
        xl = [data.x[i * data.nyt] for i in range(data.nxt)]  # coordinates of the node lines
        yl = data.y[:data.nyt]
        self.x0, self.y0 = xl[0], yl[0]
        cols = split_lines(xl, data.nnx)
        rows = split_lines(yl, data.nny)
        self.isym = isym
        self.mirror_x = bool(mirror and isym in (2, 3))  # left edge is a line of symmetry
        self.mirror_y = bool(mirror and isym in (1, 3))  # bottom edge is a line of symmetry
        X = np.array(data.x).reshape(data.nxt, data.nyt)
        Y = np.array(data.y).reshape(data.nxt, data.nyt)
        self.slabs = []  # (X, Y, node numbers) per slab piece drawn
        self.outlines = []
        for a, b in cols:
            for c, d in rows:
                nodes = (np.arange(data.nnode).reshape(data.nxt, data.nyt) + 1)[a:b, c:d]
                self.slabs.append((X[a:b, c:d], Y[a:b, c:d], nodes))
                self.outlines.append([xl[a], xl[b - 1], yl[c], yl[d - 1]])
        if self.mirror_x:
            self._mirror(axis=0)
        if self.mirror_y:
            self._mirror(axis=1)

    def _mirror(self, axis):
        o = self.x0 if axis == 0 else self.y0
        extra, outl = [], []
        for X, Y, nodes in self.slabs:
            if axis == 0:
                extra.append((2 * o - X, Y, nodes))
            else:
                extra.append((X, 2 * o - Y, nodes))
        for r in self.outlines:
            lo, hi = (0, 1) if axis == 0 else (2, 3)
            m = list(r)
            m[lo], m[hi] = 2 * o - r[hi], 2 * o - r[lo]
            if r[lo] == o:  # a slab on the line of symmetry is one slab with its image
                r[lo] = m[lo]
            else:
                outl.append(m)
        self.slabs += extra
        self.outlines += outl

    def mirror_points(self, x1, x2, y1, y2):
        """A rectangle and its images, as (x1, x2, y1, y2) tuples."""
        rects = [(x1, x2, y1, y2)]
        if self.mirror_x:
            rects += [(2 * self.x0 - b, 2 * self.x0 - a, c, d) for a, b, c, d in rects]
        if self.mirror_y:
            rects += [(a, b, 2 * self.y0 - d, 2 * self.y0 - c) for a, b, c, d in rects]
        return rects


def draw_map(plan, q, title, units, loads, note, values=None, joints=(), out_of_contact=()):
    """One map: returns the figure and the contour sets of its slabs.

    q is (key, column, label, kind); the values are the node values in node order
    (by default the column of the contour data). `joints` are (axis, coordinate,
    transfer code) to draw by kind; `out_of_contact` the nodes to shade."""
    import numpy as np
    import matplotlib
    from matplotlib import colors, ticker
    import matplotlib.pyplot as plt
    from matplotlib.collections import LineCollection
    from matplotlib.patches import Rectangle

    key, col, label, kind = q
    values = np.array(plan.data.fields[col] if values is None else values, dtype=float)
    vmin, vmax = float(values.min()), float(values.max())
    if vmax - vmin <= 1e-12 * max(1.0, abs(vmax)):
        levels = np.array([vmin - 1.0, vmin, vmin + 1.0]) if vmin == 0 else \
            np.array([vmin - abs(vmin) * 0.01, vmin + abs(vmin) * 0.01])
    else:
        levels = ticker.MaxNLocator(nbins=12).tick_values(vmin, vmax)
    if kind == "stress":
        # Zero in the middle of the colour scale, equal steps on both sides: tension
        # (negative) is blue and compression red on every stress map, and a small
        # stress of one sign is not painted as strongly as a large one.
        cmap = matplotlib.colormaps["RdBu_r"]
        m = max(-levels[0], levels[-1])
        norm = colors.Normalize(vmin=-m, vmax=m)
    else:
        cmap = matplotlib.colormaps["viridis"]
        norm = colors.Normalize(vmin=levels[0], vmax=levels[-1])

    # A fixed layout: plan, colour bar and legend in set places (a computed layout
    # costs more than the drawing itself).
    fig = plt.figure(figsize=(8.5, 7.0))
    ax = fig.add_axes([0.09, 0.13, 0.74, 0.72])
    cax = fig.add_axes([0.86, 0.17, 0.03, 0.64])
    sets = []
    for X, Y, nodes in plan.slabs:
        Z = values[nodes - 1]
        sets.append(ax.contourf(X, Y, Z, levels=levels, cmap=cmap, norm=norm))
        # the mesh, faintly: node lines of the slab
        segs = [np.column_stack([X[i], Y[i]]) for i in range(X.shape[0])]
        segs += [np.column_stack([X[:, j], Y[:, j]]) for j in range(X.shape[1])]
        ax.add_collection(LineCollection(segs, colors="k", linewidths=0.3, alpha=0.15))
    for x1, x2, y1, y2 in plan.outlines:
        ax.add_patch(Rectangle((x1, y1), x2 - x1, y2 - y1, fill=False, ec="k", lw=1.6))
    handles = [Rectangle((0, 0), 1, 1, fill=False, ec="k", lw=1.6, label="slab edges and joints")]
    xmin, xmax = min(r[0] for r in plan.outlines), max(r[1] for r in plan.outlines)
    ymin, ymax = min(r[2] for r in plan.outlines), max(r[3] for r in plan.outlines)
    drawn = set()
    for axis, c, code in joints:
        style = JOINT_STYLES.get(code)
        if style is None:
            continue
        for cc in {c, 2 * (plan.x0 if axis == "x" else plan.y0) - c} if (
                plan.mirror_x if axis == "x" else plan.mirror_y) else {c}:
            xs, ys = ([cc, cc], [ymin, ymax]) if axis == "x" else ([xmin, xmax], [cc, cc])
            ax.plot(xs, ys, **style[1], zorder=4)
        if code not in drawn:
            drawn.add(code)
            handles.append(matplotlib.lines.Line2D([], [], **style[1], label=style[0]))
    lifted = list(out_of_contact)
    if lifted:
        for X, Y, nodes in plan.slabs:
            mask = np.isin(nodes, lifted)
            ax.scatter(X[mask], Y[mask], s=14, marker="s", c="0.55", alpha=0.7, zorder=3, gid="out-of-contact")
        handles.append(matplotlib.lines.Line2D([], [], ls="", marker="s", color="0.55",
                                               label="out of contact"))
    if plan.mirror_x or plan.mirror_y:
        if plan.mirror_x:
            ax.plot([plan.x0, plan.x0], [ymin, ymax], ls="-.", color="0.25", lw=1.0)
        if plan.mirror_y:
            ax.plot([xmin, xmax], [plan.y0, plan.y0], ls="-.", color="0.25", lw=1.0)
        handles.append(matplotlib.lines.Line2D([], [], ls="-.", color="0.25",
                                               label="line of symmetry"))
    for i, (p, x1, x2, y1, y2) in enumerate(loads):
        for a, b, c, d in plan.mirror_points(x1, x2, y1, y2):
            ax.add_patch(Rectangle((a, c), b - a, d - c, fill=False, ec="magenta", lw=1.8,
                                   hatch="////"))
    if loads:
        ps = sorted({p for p, *_ in loads})
        txt = ", ".join(f"{p:g}" for p in ps)
        handles.append(Rectangle((0, 0), 1, 1, fill=False, ec="magenta", hatch="////",
                                 label=f"loaded area ({txt} {units['stress']})"))

    # The extreme value: the largest deflection; for a stress the value of largest
    # magnitude (the bottom of the slab is in tension, printed negative, under a load).
    i = int(values.argmax()) if kind == "length" else int(np.abs(values).argmax())
    node, xe, ye, ve = i + 1, plan.data.x[i], plan.data.y[i], float(values[i])
    unit = units[kind]
    ax.plot([xe], [ye], marker="o", ms=7, mfc="white", mec="k", zorder=5)
    ax.annotate(f"{'max' if kind == 'length' else 'extreme'} {ve:.5g} {unit}\nat node {node}",
                xy=(xe, ye), xytext=(12, 12), textcoords="offset points", fontsize=9,
                bbox=dict(boxstyle="round", fc="white", alpha=0.85), zorder=6,
                arrowprops=dict(arrowstyle="-", color="k"))

    cb = fig.colorbar(sets[0], cax=cax)
    cb.set_label(f"{label.split(' (')[0]} [{unit}]")
    if kind == "stress":
        # Compression is printed positive: name the two ends of the scale.
        cax.text(0.5, 1.02, "compression", ha="center", va="bottom", fontsize=8, transform=cax.transAxes)
        cax.text(0.5, -0.02, "tension", ha="center", va="top", fontsize=8, transform=cax.transAxes)
    ax.set_aspect("equal")
    # keep the slab outlines off the frame
    pad = 0.03 * max(xmax - xmin, ymax - ymin)
    ax.set_xlim(xmin - pad, xmax + pad)
    ax.set_ylim(ymin - pad, ymax + pad)
    ax.set_xlabel(f"x [{units['length']}]")
    ax.set_ylabel(f"y [{units['length']}]")
    fig.suptitle(title, fontsize=11, fontweight="bold", y=0.975)
    ax.set_title(f"{label}\nrange {vmin:.5g} to {vmax:.5g} {unit}" + (f"\n{note}" if note else ""),
                 fontsize=9)
    fig.legend(handles=handles, loc="lower left", bbox_to_anchor=(0.08, 0.005), ncol=3,
               fontsize=8, frameon=False)
    return fig, sets


def symmetry_note(isym: Optional[int], mirror: bool) -> str:
    part = {1: "half", 2: "half", 3: "quarter"}.get(isym)
    if part and mirror:
        return f"whole pavement drawn from a {part} model (symmetry index {isym}), mirrored"
    if part:
        return f"the modelled {part} only (symmetry index {isym})"
    if isym:
        return f"symmetry index {isym}: the modelled part only"
    return ""


def _save(fig, out_dir: str, name: str, formats: Iterable[str]) -> list[str]:
    files = []
    for ext in formats:
        path = os.path.join(out_dir, f"{name}.{ext}")
        fig.savefig(path, dpi=110)
        files.append(path)
    return files


def render(contour_file, deck_file=None, out_dir=".", formats=("png", "svg"), mirror=True,
           units=None, prefix=None, keep=False):
    """Draws every map of a contour data file. Returns a list of
    (quantity key, written files, contour sets); figures are closed unless `keep`."""
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    units = units or {"length": "in", "stress": "psi"}
    with open(contour_file, encoding="ascii", errors="replace") as f:
        data = ContourData(f.read())
    deck = None
    if deck_file:
        with open(deck_file, encoding="ascii", errors="replace") as f:
            deck = Deck(f.read())
        if (deck.nxt, deck.nyt) != (data.nxt, data.nyt):
            raise MapError(f"the deck has {deck.nxt} x {deck.nyt} node lines, the contour file "
                           f"{data.nxt} x {data.nyt}: not the deck of this file")
    isym = deck.isym if deck else None
    plan = Plan(data, isym, mirror)
    if deck is None:
        title = os.path.basename(contour_file)
        note = "no deck given: loads, title and symmetry unknown; drawn as the modelled part"
    else:
        title = deck.title or os.path.basename(deck_file)
        note = symmetry_note(isym, mirror)
    prefix = prefix or os.path.splitext(os.path.basename(contour_file))[0]
    os.makedirs(out_dir, exist_ok=True)
    loads = deck.loads if deck else []
    result = []
    for q in QUANTITIES:
        fig, sets = draw_map(plan, q, title, units, loads, note, joints=deck.joints if deck else ())
        result.append((q[0], _save(fig, out_dir, f"{prefix}_{q[0]}", formats), sets))
        if not keep:
            plt.close(fig)
    return result


# Quantities of the results: key, label, kind. Stresses are named
# "<component>_<face>_<layer>", e.g. "major_bottom_1".
RESULT_QUANTITIES = {
    "deflection": ("Deflection (positive downwards)", "length"),
    "subgrade_stress": ("Subgrade stress", "stress"),
}
STRESS_NAMES = {"x": "sigma_x", "y": "sigma_y", "xy": "tau_xy", "major": "major", "minor": "minor"}


def result_values(results, quantity: str):
    """(values in node order, label, kind) of a quantity of the results."""
    if quantity in RESULT_QUANTITIES:
        label, kind = RESULT_QUANTITIES[quantity]
        return results.nodes[quantity].to_numpy(), label, kind
    try:
        comp, face, layer = quantity.split("_")
        col = STRESS_NAMES[comp]
        assert face in ("top", "bottom")
        layer_no = int(layer)
    except (ValueError, KeyError, AssertionError):
        raise ValueError(f"unknown quantity {quantity!r}: deflection, subgrade_stress or "
                         "<x|y|xy|major|minor>_<top|bottom>_<layer>") from None
    label = {"x": "x-stress", "y": "y-stress", "xy": "shear stress xy", "major": "Major principal stress",
             "minor": "Minor principal stress"}[comp]
    s = results.stress(col, layer_no, face)
    return s.to_numpy(), f"{label} at the {face} of layer {layer_no} (compression positive)", "stress"


def plot(results, quantity: str = "deflection", mirror: bool = True, units=None):
    """A map of one quantity of a run's results; returns the matplotlib figure."""
    import numpy as np

    data = results.data
    if data is None:
        raise ValueError(f"the run wrote no results (exit status {results.status})")
    from .engine import read_values

    nodes = results.nodes
    values, label, kind = result_values(results, quantity)
    read = read_values(results.deck)
    xc, yc = read["XC"], read["YC"]
    grid = types.SimpleNamespace(
        x=list(nodes["x"]), y=list(nodes["y"]), nxt=len(xc), nyt=len(yc), nnode=len(nodes),
        nnx=[c for c in read["NNX"] if c], nny=[c for c in read["NNY"] if c])
    isym = read["ISYM"]
    plan = Plan(grid, isym, mirror)
    lifted = list(nodes["number"][~nodes["in_contact"].astype(bool)]) if "in_contact" in nodes else []
    title = (data.get("title") or read["TITLE"]).strip()
    fig, _ = draw_map(plan, (quantity, 0, label, kind), title, units or {"length": "in", "stress": "psi"},
                      [tuple(ld) for ld in read["loads"]], symmetry_note(isym, mirror),
                      values=np.asarray(values), joints=joint_lines(xc, yc, read["LTX"], read["LTY"]),
                      out_of_contact=lifted)
    return fig


DEFAULT_MAPS = ("deflection", "x_bottom_1", "major_bottom_1", "minor_bottom_1", "subgrade_stress")


def maps_of_results(results, out_dir: str, formats=("png",), quantities=DEFAULT_MAPS) -> list[str]:
    """Draws maps of a run's results into `out_dir`; returns the files written."""
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    os.makedirs(out_dir, exist_ok=True)
    files = []
    for q in quantities:
        fig = plot(results, q)
        files += _save(fig, out_dir, f"map_{q}", formats)
        plt.close(fig)
    return files


def main(argv=None):
    ap = argparse.ArgumentParser(
        prog="meridolan-map",
        description="Contour maps (deflection, x-stress, major and minor principal stress at the "
        "bottom of the top layer) from a MERIDOLAN contour data file.")
    ap.add_argument("contour_file", nargs="?", default="meridolan.cnt",
                    help="contour data file (default: meridolan.cnt)")
    ap.add_argument("--deck", help="the input deck of the run: title, loaded areas, symmetry, joints")
    ap.add_argument("-o", "--out-dir", default=".", help="folder for the maps (default: .)")
    ap.add_argument("--format", default="png,svg", help="png, svg or both (default: png,svg)")
    ap.add_argument("--no-mirror", action="store_true",
                    help="draw only the modelled part of a symmetric (half or quarter) model")
    ap.add_argument("--length-unit", default="in", help="unit of the deck's lengths (default: in)")
    ap.add_argument("--stress-unit", default="psi",
                    help="unit of the deck's pressures and stresses (default: psi)")
    a = ap.parse_args(argv)
    formats = [f.strip().lower() for f in a.format.split(",") if f.strip()]
    bad = [f for f in formats if f not in ("png", "svg")]
    if bad or not formats:
        ap.error(f"unknown format: {','.join(bad) or a.format!r} (png, svg)")
    try:
        out = render(a.contour_file, a.deck, a.out_dir, formats, not a.no_mirror,
                     {"length": a.length_unit, "stress": a.stress_unit})
    except (OSError, MapError, ValueError) as e:
        print(f"meridolan-map: {e}", file=sys.stderr)
        return 1
    for _, files, _ in out:
        for p in files:
            print(p)
    return 0


if __name__ == "__main__":
    sys.exit(main())
