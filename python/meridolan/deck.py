"""Decks: a model written as the program's fixed-column deck, and a deck read back.

The writer puts a decimal point in every real field (a number without one would be
read with implied decimals) and refuses, with the model field named, any value that
does not fit its columns. The reader asks the engine for the values it reads, so a
deck means here exactly what it means to the program.
"""

from __future__ import annotations

import math
from decimal import Decimal
from dataclasses import dataclass
from typing import Any, Iterable, Sequence

from . import engine
from .model import (
    Contact,
    Contours,
    Dowels,
    Iteration,
    Joint,
    Joints,
    Layer,
    Load,
    Mesh,
    Model,
    Subgrade,
)


def real_field(value: float, width: int, name: str) -> str:
    """`value` in `width` columns with its decimal point, read back exactly."""
    v = float(value)
    if not math.isfinite(v):
        raise ValueError(f"{name}: {value!r} is not a finite number")
    text = repr(v)
    if "e" in text or "E" in text:
        mantissa, exponent = text.lower().split("e")
        if "." not in mantissa:
            mantissa += "."
        plain = format(Decimal(text), "f")
        candidates = [plain if "." in plain else plain + ".", f"{mantissa}E{int(exponent)}"]
    else:
        candidates = [text]
    # Three decimals where they hold the value exactly and leave a blank before the
    # field, as decks are usually written.
    three = f"{v:.3f}"
    if float(three) == v and len(three) < width:
        candidates.insert(0, three)
    for c in candidates:
        if c.endswith(".0"):
            c = c[:-1]
        for form in (c, c.replace("0.", ".", 1) if c.startswith(("0.", "-0.")) else c):
            if len(form) <= width and "." in form and float(form) == v:
                return form.rjust(width)
    raise ValueError(f"{name}: {value!r} does not fit the {width} columns of its deck field")


def fitted(value: float, width: int) -> float:
    """The value nearest to `value` that a field of `width` columns holds exactly: for
    the values the model computes (temperature differences, tyre prints), not for
    those it is given, which must fit as they are."""
    v = float(value)
    for d in range(width, -1, -1):
        text = f"{v:.{d}f}"
        if text.startswith(("0.", "-0.")):
            text = text.replace("0.", ".", 1)
        if len(text) <= width:
            return float(text)
    raise ValueError(f"{value!r} does not fit {width} columns")


def int_field(value: int, width: int, name: str) -> str:
    if isinstance(value, bool) or int(value) != value:
        raise ValueError(f"{name}: {value!r} is not a whole number")
    text = str(int(value))
    if len(text) > width:
        raise ValueError(f"{name}: {value!r} does not fit the {width} columns of its deck field")
    return text.rjust(width)


def _lines(fields: Sequence[str], per_line: int) -> list[str]:
    return ["".join(fields[i : i + per_line]) for i in range(0, len(fields), per_line)] or [""]


def _check(condition: bool, message: str) -> None:
    if not condition:
        raise ValueError(message)


@dataclass
class NodeLines:
    """Node lines of a mesh, all slab columns (rows) together, with their counts."""

    x: list[float]
    y: list[float]
    nnx: list[int]
    nny: list[int]

    @property
    def nodes(self) -> int:
        return len(self.x) * len(self.y)

    def node(self, ix: int, iy: int) -> int:
        """Node number of x-line ix and y-line iy (both from 0)."""
        return ix * len(self.y) + iy + 1

    def coordinates(self) -> Iterable[tuple[int, float, float]]:
        for ix, x in enumerate(self.x):
            for iy, y in enumerate(self.y):
                yield self.node(ix, iy), x, y

    def joint_lines(self, axis: str) -> list[int]:
        """Index of the last line of each slab column (row) that has a next one."""
        counts = self.nnx if axis == "x" else self.nny
        ends, at = [], 0
        for c in counts[:-1]:
            at += c
            ends.append(at - 1)
        return ends


def node_lines(model: Model) -> NodeLines:
    """The mesh's node lines: as the model gives them, or made by the generator."""
    m = model.mesh
    if m.x is not None and m.y is not None:
        xs, ys = m.x, m.y
    else:
        from .mesh import generate

        made = generate(model)
        xs, ys = made.x_lines, made.y_lines
    _check(1 <= len(xs) <= 10, "mesh.x: one to ten slab columns")
    _check(1 <= len(ys) <= 10, "mesh.y: one to ten slab rows")
    return NodeLines(
        x=[float(c) for col in xs for c in col],
        y=[float(c) for row in ys for c in row],
        nnx=[len(col) for col in xs],
        nny=[len(row) for row in ys],
    )


def _per_node(value: Any, nodes: int, name: str) -> list[float] | None:
    """A per-node list checked for length; None for a single value."""
    if isinstance(value, (list, tuple)):
        _check(len(value) == nodes, f"{name}: {len(value)} values for {nodes} nodes")
        return [float(v) for v in value]
    return None


def _region_nodes(lines: NodeLines, regions: Iterable[Any]) -> Iterable[tuple[Any, int]]:
    for r in regions:
        for n, x, y in lines.coordinates():
            if r.contains(x, y):
                yield r, n


def deck_values(model: Model, lines: NodeLines | None = None) -> dict[str, Any]:
    """The model in the names of the deck's records (those the engine reads), on the
    given node lines or the model's own."""
    lines = lines or node_lines(model)
    nn = lines.nodes
    v: dict[str, Any] = {}
    _check(model.input_mode in (1, 2), "input_mode: 1 (full deck) or 2")
    v["INMODE"] = model.input_mode
    _check(len(model.title) <= 80 and "\n" not in model.title, "title: one line of up to 80 characters")
    v["TITLE"] = model.title
    v["NLAREA"] = len(model.loads)
    v["ISYM"] = model.symmetry_code()
    c = model.contact or (Contact() if model.temperature is not None else None)
    v["ICURL"] = 0 if c is None else c.code
    v["IWINK"] = 0 if c is None else (c.winkler_code if c.winkler_code is not None else int(c.winkler))
    v["NNX"] = lines.nnx
    v["NNY"] = lines.nny
    _check(len(model.layers) in (1, 2), "layers: one or two")
    v["NLAYER"] = len(model.layers)
    v["ICOMP"] = model.composite_code if model.composite_code is not None else int(model.bonded)
    s = model.subgrade
    code = s.deck_code()
    v["ISUBGR"] = code
    k_nodes = _per_node(s.k, nn, "subgrade.k")
    v["SUBK"] = 0.0 if k_nodes is not None else float(s.k)
    v["ESUB"] = s.shear if code == 9 else s.modulus
    v["PRSUB"] = s.poisson
    it = model.iteration or (Iteration(10, 0.02, 0.01) if code <= 3 else Iteration())
    v["MAXIT"], v["TOL1"], v["TOL2"], v["IPRIT"] = it.passes, it.tol1, it.tol2, it.print_passes
    ct = model.contours
    v["ICONT"] = list(ct.digits) if ct else [0] * 6
    v["NGRID"] = ct.grid if ct else 0
    v["ICONT2"] = list(ct.digits2) if ct else [0] * 6
    v["CSCALE"] = ct.scale if ct else 0.0
    v["XC"], v["YC"] = lines.x, lines.y
    for i, layer in enumerate(model.layers, start=1):
        t = _per_node(layer.thickness, nn, f"layers[{i - 1}].thickness")
        e = _per_node(layer.modulus, nn, f"layers[{i - 1}].modulus")
        v[f"TH{i}"] = 0.0 if t is not None else float(layer.thickness)
        v[f"E{i}"] = 0.0 if e is not None else float(layer.modulus)
        v[f"THN{i}"], v[f"EN{i}"] = t or [], e or []
        v[f"PR{i}"] = layer.poisson
        v[f"GAM{i}"], v[f"DT{i}"] = layer.density, layer.temperature_difference
        v[f"ALF{i}"] = layer.expansion
    t = model.temperature
    if t is not None:
        top = model.layers[0]
        _check(not isinstance(top.thickness, list), "temperature: the top layer needs one thickness")
        v["DT1"], v["ALF1"] = fitted(t.linear_difference(float(top.thickness)), 10), t.expansion
    v["SKN"] = k_nodes or []
    v["KDEF"] = k_nodes[0] if k_nodes else 0.0
    for axis, joint in (("X", model.joints.x), ("Y", model.joints.y)):
        v["LT" + axis] = joint.deck_code()
        v["JSW" + axis] = list(joint.switches)
        d = joint.dowels or Dowels(0.0, 0.0, 0.0, 0.0, 0.0)
        v["DI" + axis], v["DO" + axis], v["ED" + axis] = d.inner_diameter, d.diameter, d.modulus
        v["SP" + axis], v["WJ" + axis] = d.spacing, d.width
        v["PRD" + axis], v["KDC" + axis] = d.poisson, d.support
        v["NDOW" + axis] = list(d.nodes) or _dowel_nodes(lines, axis.lower(), d.positions)
        v["AGG" + axis] = joint.interlock or 0.0
    x_lo, x_hi, y_lo, y_hi = lines.x[0], lines.x[-1], lines.y[0], lines.y[-1]
    for k, ld in enumerate(model.loads):
        _check(x_lo <= ld.x[0] < ld.x[1] <= x_hi and y_lo <= ld.y[0] < ld.y[1] <= y_hi,
               f"loads[{k}]: the rectangle x {ld.x}, y {ld.y} is not inside the plan "
               f"x ({x_lo}, {x_hi}), y ({y_lo}, {y_hi}) with its lower limits below the upper")
    v["loads"] = [(ld.pressure, ld.x[0], ld.x[1], ld.y[0], ld.y[1]) for ld in model.loads]
    v["ISOIL"] = _soil_classes(s, lines) if code == 0 else []
    v["soil_cards"] = [tuple(c) for c in s.soil_curves]
    for name, nodes in (("joints.x.dowels.nodes", v["NDOWX"]), ("joints.y.dowels.nodes", v["NDOWY"])):
        _check(all(1 <= n <= nn for n in nodes), f"{name}: node numbers run from 1 to {nn}")
    if c is not None:
        for name, nodes in (("contact.zero_pressure_nodes", c.zero_pressure_nodes),
                            ("contact.node_gaps", [n for n, _ in c.node_gaps])):
            _check(all(1 <= n <= nn for n in nodes), f"{name}: node numbers run from 1 to {nn}")
        zero = list(c.zero_pressure_nodes) + [n for _, n in _region_nodes(lines, c.zero_pressure)]
        gaps = list(c.node_gaps) + [(n, r.gap) for r, n in _region_nodes(lines, c.gaps)]
        v["IZRP"], v["gaps"], v["ICYCLE"] = zero, gaps, c.cycles
    else:
        v["IZRP"], v["gaps"], v["ICYCLE"] = [], [], 0
    return v


def _dowel_nodes(lines: NodeLines, axis: str, positions: Sequence[float]) -> list[int]:
    """Near-face nodes of every joint of a direction at the listed positions: the node
    line nearest to each position along the joint."""
    if not positions:
        return []
    along = lines.y if axis == "x" else lines.x
    nodes = []
    for j in lines.joint_lines(axis):
        for p in positions:
            k = min(range(len(along)), key=lambda i: abs(along[i] - p))
            nodes.append(lines.node(j, k) if axis == "x" else lines.node(k, j))
    return nodes


def _soil_classes(s: Subgrade, lines: NodeLines) -> list[int]:
    if s.soil_classes is not None:
        _check(len(s.soil_classes) == lines.nodes, "subgrade.soil_classes: one class per node")
        return [int(c) for c in s.soil_classes]
    classes = [s.soil_class or 1] * lines.nodes
    for r, n in _region_nodes(lines, s.soil_regions):
        classes[n - 1] = r.soil_class
    return classes


def write_values(v: dict[str, Any]) -> str:
    """The deck of a set of record values (the names of deck_values())."""
    out: list[str] = []
    f, i = real_field, int_field

    def ints(names: Sequence[str], values: Sequence[int], width: int = 5) -> str:
        return "".join(i(x, width, n) for n, x in zip(names, values))

    out.append(i(v["INMODE"], 1, "input_mode"))
    out.append(v["TITLE"])
    out.append(ints(["loads", "symmetry", "contact", "contact.winkler"],
                    [v["NLAREA"], v["ISYM"], v["ICURL"], v["IWINK"]]))
    for axis in ("NNX", "NNY"):
        counts = list(v[axis])
        while counts and counts[-1] == 0:
            counts.pop()
        _check(len(counts) <= 10, f"mesh.{axis[-1].lower()}: at most ten slabs")
        out.append(ints([f"mesh.{axis[-1].lower()}"] * 10, counts))
    nslab = sum(1 for c in v["NNX"] if c) * sum(1 for c in v["NNY"] if c)
    out.append(i(v["NLAYER"], 5, "layers") + i(v["ICOMP"], 5, "bonded")
               + f(v["SUBK"], 10, "subgrade.k") + f(v["ESUB"], 10, "subgrade.modulus")
               + f(v["PRSUB"], 10, "subgrade.poisson"))
    out.append(i(v["ISUBGR"], 5, "subgrade.kind") + i(v["MAXIT"], 5, "iteration.passes")
               + f(v["TOL1"], 5, "iteration.tol1") + f(v["TOL2"], 5, "iteration.tol2")
               + i(v["IPRIT"], 5, "iteration.print_passes"))
    out.append("".join(i(d, 1, "contours.digits") for d in v["ICONT"]) + i(v["NGRID"], 4, "contours.grid"))
    nnx2 = len(v["NNX"]) > 1 and v["NNX"][1] != 0
    nny2 = len(v["NNY"]) > 1 and v["NNY"][1] != 0
    for axis, present in (("X", nnx2), ("Y", nny2)):
        if nslab != 1 and present:
            out.append(ints([f"joints.{axis.lower()}"] * 4, [v["LT" + axis], *v["JSW" + axis]]))
    out += _lines([f(x, 10, "mesh.x") for x in v["XC"]], 8)
    out += _lines([f(y, 10, "mesh.y") for y in v["YC"]], 8)
    for n in range(1, v["NLAYER"] + 1):
        name = f"layers[{n - 1}]"
        out.append(f(v[f"TH{n}"], 10, f"{name}.thickness") + f(v[f"E{n}"], 10, f"{name}.modulus")
                   + f(v[f"PR{n}"], 10, f"{name}.poisson") + f(v[f"GAM{n}"], 10, f"{name}.density")
                   + f(v[f"DT{n}"], 10, f"{name}.temperature_difference")
                   + f(v[f"ALF{n}"], 10, f"{name}.expansion"))
        if v[f"TH{n}"] == 0:
            out += _lines([f(t, 10, f"{name}.thickness") for t in v[f"THN{n}"]], 8)
        if v[f"E{n}"] == 0:
            out += _lines([f(e, 10, f"{name}.modulus") for e in v[f"EN{n}"]], 8)
    if v["SUBK"] == 0 and v["ISUBGR"] != 8:
        skn = v["SKN"]
        kdef = v["KDEF"]
        pairs = [(n, k) for n, k in enumerate(skn, start=1) if k != kdef]
        out.append(f(kdef, 10, "subgrade.k") + i(len(pairs), 5, "subgrade.k"))
        if pairs:
            out += _lines([i(n, 3, "subgrade.k (node numbers up to 999)") + f(k, 10, "subgrade.k")
                           for n, k in pairs], 6)
    for axis, present in (("X", nnx2), ("Y", nny2)):
        if nslab == 1 or not present:
            continue
        name = f"joints.{axis.lower()}"
        lt = v["LT" + axis]
        if lt != 0:
            d = f"{name}.dowels"
            out.append(f(v["DI" + axis], 10, f"{d}.inner_diameter") + f(v["DO" + axis], 10, f"{d}.diameter")
                       + f(v["ED" + axis], 10, f"{d}.modulus") + f(v["SP" + axis], 10, f"{d}.spacing")
                       + f(v["WJ" + axis], 10, f"{d}.width") + f(v["PRD" + axis], 10, f"{d}.poisson")
                       + f(v["KDC" + axis], 10, f"{d}.support"))
            if v["SP" + axis] == 0:
                nodes = v["NDOW" + axis]
                out.append(i(len(nodes), 5, f"{d}.nodes"))
                if nodes:
                    out += _lines([i(n, 5, f"{d}.nodes") for n in nodes], 16)
        if lt != 1:
            out.append(f(v["AGG" + axis], 10, f"{name}.interlock"))
    for k, ld in enumerate(v["loads"]):
        out.append("".join(f(x, 10, f"loads[{k}]") for x in ld))
    if v["ISUBGR"] == 0:
        out += _lines([i(c, 5, "subgrade.soil_classes") for c in v["ISOIL"]], 8)
    if v["ICURL"] != 0:
        out.append(ints(["contact.zero_pressure", "contact.gaps", "contact.cycles"],
                        [len(v["IZRP"]), len(v["gaps"]), v["ICYCLE"]]))
        if v["IZRP"]:
            out += _lines([i(n, 5, "contact.zero_pressure") for n in v["IZRP"]], 16)
        if v["gaps"]:
            out += _lines([i(n, 5, "contact.gaps") + f(g, 10, "contact.gaps") for n, g in v["gaps"]], 5)
    for card in v["soil_cards"]:
        out.append("".join(f(x, 10, "subgrade.soil_curves") for x in card))
    if sum(v["ICONT"]) != 0:
        out.append("".join(i(d, 1, "contours.digits2") for d in v["ICONT2"])
                   + f(v["CSCALE"], 10, "contours.scale"))
    return "\n".join(out) + "\n"


def write_deck(model: Model) -> str:
    return write_values(deck_values(model))


def _slab_lengths(lines: list[float], counts: list[int]) -> tuple[list[list[float]], list[float]]:
    groups, at = [], 0
    for c in counts:
        if c:
            groups.append(lines[at : at + c])
        at += c
    return groups, [g[-1] - g[0] for g in groups]


def model_from_values(v: dict[str, Any]) -> Model:
    """A model holding exactly the values of a deck (the engine's names)."""
    x_groups, slabs_x = _slab_lengths(v["XC"], v["NNX"])
    y_groups, slabs_y = _slab_lengths(v["YC"], v["NNY"])
    _check(v["NLAYER"] in (1, 2), f"read_deck: {v['NLAYER']} layers (control record 6) is no model of one or two")
    layers = []
    for n in range(1, v["NLAYER"] + 1):
        th, e = v[f"TH{n}"], v[f"E{n}"]
        layers.append(Layer(
            thickness=list(v[f"THN{n}"]) if th == 0 and v[f"THN{n}"] else th,
            modulus=list(v[f"EN{n}"]) if e == 0 and v[f"EN{n}"] else e,
            poisson=v[f"PR{n}"], density=v[f"GAM{n}"],
            temperature_difference=v[f"DT{n}"], expansion=v[f"ALF{n}"]))
    code = v["ISUBGR"]
    kind = {8: "elastic-solid", 9: "vlasov", 7: "springs"}.get(code, "dense-liquid")
    if code <= 3:
        kind = "stress-dependent"
    k_nodes = v["SKN"] if v["SUBK"] == 0 and code != 8 else None
    sub = Subgrade(kind=kind, k=list(k_nodes) if k_nodes else v["SUBK"], code=code,
                   modulus=v["ESUB"] if code != 9 else 0.0, poisson=v["PRSUB"],
                   shear=v["ESUB"] if code == 9 else 0.0,
                   soil_classes=list(v["ISOIL"]) if code == 0 else None,
                   soil_curves=[tuple(c) for c in v["soil_cards"]])
    nslab = len(x_groups) * len(y_groups)
    joints = Joints()
    for axis in ("X", "Y"):
        lt = v["LT" + axis]
        if nslab == 1 or lt == -1:
            continue
        dowels = None
        if lt != 0:
            dowels = Dowels(diameter=v["DO" + axis], support=v["KDC" + axis], width=v["WJ" + axis],
                            modulus=v["ED" + axis], poisson=v["PRD" + axis], spacing=v["SP" + axis],
                            inner_diameter=v["DI" + axis], nodes=list(v["NDOW" + axis]))
        joint = Joint(dowels=dowels, interlock=v["AGG" + axis] if lt != 1 else None,
                      switches=tuple(v["JSW" + axis]))
        if joint.deck_code() != lt:
            joint.transfer = lt
        setattr(joints, axis.lower(), joint)
    contact = None
    if v["ICURL"] != 0:
        contact = Contact(winkler=v["IWINK"] == 1, cycles=v["ICYCLE"], node_gaps=list(v["gaps"]),
                          zero_pressure_nodes=list(v["IZRP"]), code=v["ICURL"],
                          winkler_code=v["IWINK"] if v["IWINK"] not in (0, 1) else None)
    contours = None
    if sum(v["ICONT"]) != 0:
        contours = Contours(digits=tuple(v["ICONT"]), grid=v["NGRID"], digits2=tuple(v["ICONT2"]),
                            scale=v["CSCALE"])
    isym = v["ISYM"]
    symmetry = {0: "whole", 1: "half-y", 2: "half-x", 3: "quarter"}.get(isym, isym)
    return Model(
        title=v["TITLE"].rstrip(),
        slabs_x=slabs_x, slabs_y=slabs_y, layers=layers, subgrade=sub,
        loads=[Load(p, (x1, x2), (y1, y2)) for p, x1, x2, y1, y2 in v["loads"]],
        bonded=v["ICOMP"] == 1,
        composite_code=v["ICOMP"] if v["ICOMP"] not in (0, 1) else None,
        joints=joints, symmetry=symmetry, contact=contact,
        iteration=Iteration(v["MAXIT"], v["TOL1"], v["TOL2"], v["IPRIT"]),
        contours=contours, mesh=Mesh(x=x_groups, y=y_groups), input_mode=v["INMODE"])


def read_deck(text: str) -> Model:
    """The model of a deck, as the engine reads it."""
    values = engine.read_values(text)
    _check(values["INMODE"] != 0, "read_deck: a deck of input mode 0 gives no model values")
    return model_from_values(values)
