#!/usr/bin/python3
"""Contour maps from a MERIDOLAN contour data file.

Draws one map per quantity the file holds: the deflection and, at the bottom of
the top layer, the x-stress and the major and minor principal stresses. Each map
shows filled contours over the plan of the pavement, the slab outlines and joints,
the loaded areas (when the deck is given), a colour bar with units, the extreme
value and its node, and the title of the run (taken from the deck).

Usage: meridolan-map [--deck DECK] [--out-dir DIR] [--format png,svg] CONTOUR_FILE
"""

import argparse
import os
import re
import sys

FIELD = 15  # every header and data field of the contour file is 15 columns wide
HEADER_VALUES = 23

QUANTITIES = [
    # key, column of the data stream, title, unit kind
    ("deflection", 0, "Deflection (positive downwards)", "length"),
    ("x_stress", 1, "x-stress at the bottom of the top layer (compression positive)", "stress"),
    ("major_stress", 2, "Major principal stress at the bottom of the top layer", "stress"),
    ("minor_stress", 3, "Minor principal stress at the bottom of the top layer", "stress"),
]


class MapError(Exception):
    """A file that cannot be read as what it should be."""


# --------------------------------------------------------------------------------------
# The contour data file


def _fields(line):
    line = line.rstrip("\r\n")
    return [line[i:i + FIELD] for i in range(0, len(line), FIELD) if line[i:i + FIELD].strip()]


_REAL = re.compile(r"^([+-]?(?:\d+\.?\d*|\.\d+))(?:[EeDd]([+-]?\d+)|([+-]\d+))?$")


def parse_real(text):
    """A number in exponent form as the program prints it: .12345678E+02, or
    .12345678+101 when the exponent needs three digits."""
    t = text.strip()
    m = _REAL.match(t)
    if not m:
        raise MapError(f"not a number: {text!r}")
    mant, exp1, exp2 = m.groups()
    exp = exp1 if exp1 is not None else exp2
    return float(mant) * (10.0 ** int(exp) if exp is not None else 1.0)


class ContourData:
    """Header values and node values of one contour data file."""

    def __init__(self, text):
        lines = text.splitlines()
        ints, k = [], 0
        while len(ints) < HEADER_VALUES:
            if k == len(lines):
                raise MapError("the header ends early")
            try:
                ints += [int(f) for f in _fields(lines[k])]
            except ValueError as e:
                raise MapError(f"header line {k + 1}: {e}") from None
            k += 1
        if len(ints) != HEADER_VALUES:
            raise MapError(f"the header holds {len(ints)} values, not {HEADER_VALUES}")
        (self.memcon, self.nnode, self.ngrid, *rest) = ints
        self.nnx = rest[0:3]
        self.nny = rest[3:5]
        self.nstrv, self.nxt, self.nyt = rest[5:8]
        self.icont = rest[8:14]
        self.icont2 = rest[14:20]
        if self.nnode != self.nxt * self.nyt or self.nxt < 2 or self.nyt < 2:
            raise MapError(f"inconsistent mesh: NNODE {self.nnode}, NXT {self.nxt}, NYT {self.nyt}")
        values = []
        for n, line in enumerate(lines[k:], start=k + 1):
            try:
                values += [parse_real(f) for f in _fields(line)]
            except MapError as e:
                raise MapError(f"line {n}: {e}") from None
        want = 1 + 6 * self.nnode
        if len(values) != want:
            raise MapError(f"the data hold {len(values)} values, not {want}")
        self.cscale = values[0]
        n = self.nnode
        col = lambda i: values[1 + i * n:1 + (i + 1) * n]
        self.x, self.y = col(0), col(1)
        # deflection, x-stress, major, minor principal stress
        self.fields = [col(2), col(3), col(4), col(5)]


def split_lines(coords, counts):
    """Index ranges [a, b) of the node lines of each slab along one direction.

    The file gives the node counts of the first slabs only (three columns, two
    rows); the rest are found from the joints, where the last node line of one
    slab and the first of the next carry the same coordinate."""
    total = len(coords)
    ranges, a = [], 0
    for c in counts:
        if c <= 0:
            continue
        if a + c > total:
            break
        ranges.append((a, a + c))
        a += c
    start = a
    for i in range(a, total - 1):
        if coords[i + 1] == coords[i]:
            ranges.append((start, i + 1))
            start = i + 1
    if start < total:
        ranges.append((start, total))
    return ranges


# --------------------------------------------------------------------------------------
# The deck: title, symmetry index and loaded areas


_DECK_REAL = re.compile(r"^([+-]?)(\d*)(?:\.(\d*))?(?:[EeDd]([+-]?\d+)|([+-]\d+))?$")


def _read(line, fmt):
    """Reads fixed-column fields: fmt is a list of (kind, width, decimals) with kind
    'I', 'F' or 'A'. Blank fields are zero, a field without a decimal point has
    `decimals` implied decimals, and a comma ends a field early."""
    line = line.rstrip("\r\n")
    out, col = [], 0
    for kind, w, d in fmt:
        raw = line[col:col + w]
        nxt = col + w
        if kind != "A" and "," in raw:
            raw = raw[:raw.index(",")]
            nxt = col + len(raw) + 1
        col = nxt
        if kind == "A":
            out.append(raw)
            continue
        t = raw.replace(" ", "")
        if t == "":
            out.append(0 if kind == "I" else 0.0)
            continue
        if kind == "I":
            out.append(int(t))
            continue
        m = _DECK_REAL.match(t)
        if not m or not (m.group(2) or m.group(3)):
            raise ValueError(f"not a number: {raw!r}")
        sign, ip, fp, e1, e2 = m.groups()
        if fp is not None:
            v = float(f"{ip or '0'}.{fp or '0'}")
        else:  # no decimal point: the last d digits are the fraction
            v = int(ip) / 10**d
        exp = e1 if e1 is not None else e2
        if exp is not None:
            v *= 10.0 ** int(exp)
        out.append(-v if sign == "-" else v)
    return out


class Deck:
    """The few things of a deck a map needs, found by walking its records in order."""

    def __init__(self, text):
        self._lines = text.splitlines()
        self._k = 0
        self.title = ""
        self.isym = 0
        self.nxt = self.nyt = 0
        self.loads = []  # (pressure, x1, x2, y1, y2)
        self._parse()

    def _next(self):
        if self._k >= len(self._lines):
            raise MapError("the deck ends before its loaded-area records")
        line = self._lines[self._k]
        self._k += 1
        return line

    def _rec(self, fmt):
        return _read(self._next(), fmt)

    def _list(self, n, per_line, fmt):
        vals = []
        while len(vals) < n:
            vals += self._rec(fmt * min(per_line, n - len(vals)))
        return vals

    def _parse(self):
        I5, F10, E10 = ("I", 5, 0), ("F", 10, 3), ("F", 10, 3)
        (inmode,) = self._rec([("I", 1, 0)])
        self.title = self._next().rstrip("\r\n")[:80].strip()
        nlarea, self.isym, _icurl, _iwink = self._rec([I5] * 4)
        nnx = self._rec([I5] * 10)
        nny = self._rec([I5] * 10)
        self.nxt, self.nyt = sum(nnx), sum(nny)
        last = lambda v: max([i + 1 for i, c in enumerate(v) if c != 0], default=0)
        nslab = last(nnx) * last(nny)
        if inmode == 0:
            return  # no loaded-area records in this mode
        nlayer, _icomp, subk, _esub, _prsub = self._rec([I5, I5, F10, F10, F10])
        isubgr = self._rec([I5])[0]
        self._rec([("I", 1, 0)] * 6)  # contour requests
        ltx = lty = -1
        if nslab != 1:
            if nnx[1] != 0:
                ltx = self._rec([I5])[0]
            if nny[1] != 0:
                lty = self._rec([I5])[0]
        self._list(self.nxt, 8, [F10])
        self._list(self.nyt, 8, [F10])
        nnode = self.nxt * self.nyt
        for layer in range(1 if nlayer == 1 else 2):
            th, e = self._rec([F10, E10])
            if th == 0:
                self._list(nnode, 8, [F10])
            if e == 0:
                self._list(nnode, 8, [E10])
        if subk == 0 and isubgr != 8:
            _kdef, nksp = self._rec([F10, I5])
            if nksp > 0:
                self._list(nksp, 6, [("I", 3, 0), F10])
        if nslab != 1:
            for count, lt in ((nnx[1], ltx), (nny[1], lty)):
                if count == 0:
                    continue
                if lt != 0:
                    sp = self._rec([F10, F10, E10, F10])[3]
                    if sp == 0:
                        nd = self._rec([I5])[0]
                        if nd > 0:
                            self._list(nd, 16, [I5])
                if lt != 1:
                    self._rec([E10])
        for _ in range(max(nlarea, 0)):
            self.loads.append(tuple(self._rec([F10] * 5)))


# --------------------------------------------------------------------------------------
# Drawing


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

        self.data = data
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


def draw_map(plan, q, title, units, loads, note):
    """One map: returns the figure and the contour sets of its slabs."""
    import numpy as np
    import matplotlib
    from matplotlib import colors, ticker
    import matplotlib.pyplot as plt
    from matplotlib.collections import LineCollection
    from matplotlib.patches import Rectangle

    key, col, label, kind = q
    values = np.array(plan.data.fields[col])
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
        note = ""
        part = {1: "half", 2: "half", 3: "quarter"}.get(isym)
        if part and mirror:
            note = f"whole pavement drawn from a {part} model (symmetry index {isym}), mirrored"
        elif part:
            note = f"the modelled {part} only (symmetry index {isym})"
        elif isym:
            note = f"symmetry index {isym}: the modelled part only"
    prefix = prefix or os.path.splitext(os.path.basename(contour_file))[0]
    os.makedirs(out_dir, exist_ok=True)
    loads = deck.loads if deck else []
    result = []
    for q in QUANTITIES:
        fig, sets = draw_map(plan, q, title, units, loads, note)
        files = []
        for ext in formats:
            path = os.path.join(out_dir, f"{prefix}_{q[0]}.{ext}")
            fig.savefig(path, dpi=110)
            files.append(path)
        result.append((q[0], files, sets))
        if not keep:
            plt.close(fig)
    return result


def main(argv=None):
    ap = argparse.ArgumentParser(
        prog="meridolan-map",
        description="Contour maps (deflection, x-stress, major and minor principal stress at the "
        "bottom of the top layer) from a MERIDOLAN contour data file.")
    ap.add_argument("contour_file", nargs="?", default="meridolan.cnt",
                    help="contour data file (default: meridolan.cnt)")
    ap.add_argument("--deck", help="the input deck of the run: title, loaded areas, symmetry")
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
