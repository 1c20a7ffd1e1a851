"""Parameter studies: many runs of one base model, one table of results.

A study file (TOML, docs/studies.md) names a base model (a model file or a deck),
factors (model-file key paths with their levels), a design that combines them and
the outputs wanted per case. Cases run as Dask tasks in batches; every finished
case is appended to the CSV table at once, so an interrupted study loses nothing
and a rerun skips the cases already in the table.
"""

from __future__ import annotations

import copy
import csv
import hashlib
import itertools
import json
import math
import os
import re
import sys
import time
import tomllib
from dataclasses import dataclass, field
from typing import Any, Callable, Iterable, Optional

DESIGNS = ("factorial", "one-at-a-time", "latin-hypercube")
SUMS = ("applied_load", "reaction_sum")
NODE_VALUES = ("deflection", "rotation_x", "rotation_y", "subgrade_stress", "subgrade_force",
               "in_contact", "gap")
JOINT_VALUES = ("lte", "dowel_total", "interlock_total")
STRESS_QUANTITIES = ("x", "y", "xy", "major", "minor")
FIXED_COLUMNS = ("exit", "message")


def _number_text(v: float) -> str:
    return f"{v:g}".replace("-", "m").replace(".", "p")


def _clean(v: float) -> float:
    # Levels from + i * step carry the rounding of the products; twelve digits keep
    # 0.3 as 0.3 and lose nothing a deck field can hold.
    return float(f"{v:.12g}")


@dataclass
class Factor:
    path: str
    levels: Optional[list[Any]] = None  # listed levels, or those of a range with a step
    low: Optional[float] = None  # a range: its ends (and step)
    high: Optional[float] = None
    step: Optional[float] = None


@dataclass
class NodeOutput:
    name: str
    values: list[str]
    node: Optional[int] = None
    at: Optional[tuple[float, float]] = None


@dataclass
class JointOutput:
    name: str
    joint: int
    values: list[str]


@dataclass
class Outputs:
    values: list[str] = field(default_factory=list)
    nodes: list[NodeOutput] = field(default_factory=list)
    joints: list[JointOutput] = field(default_factory=list)

    def columns(self) -> list[str]:
        cols = list(self.values)
        for n in self.nodes:
            cols += [f"{n.name}.{v}" for v in n.values]
        for j in self.joints:
            cols += [f"{j.name}.{v}" for v in j.values]
        return cols


@dataclass
class Study:
    base: dict[str, Any]  # the base model's tables, as a model file holds them
    factors: list[Factor]
    design: str
    outputs: Outputs
    cases: Optional[int] = None  # latin hypercube
    seed: int = 0

    def columns(self) -> list[str]:
        return ["case"] + [f.path for f in self.factors] + self.outputs.columns() + list(FIXED_COLUMNS)


# ------------------------------------------------------------------------------------
# Reading a study file


def _refuse(where: str, what: str) -> None:
    raise ValueError(f"{where}: {what}")


def _keys(table: Any, where: str, known: Iterable[str]) -> dict[str, Any]:
    if not isinstance(table, dict):
        _refuse(where, "a table was expected")
    unknown = sorted(set(table) - set(known))
    if unknown:
        _refuse(where, f"unknown key {unknown[0]!r} (known: {', '.join(sorted(known))})")
    return table


def _factor(path: str, given: Any) -> Factor:
    where = f"factors.{path}"
    if isinstance(given, list):
        if not given:
            _refuse(where, "no levels")
        return Factor(path, levels=list(given))
    t = _keys(given, where, ("from", "to", "step"))
    if "from" not in t or "to" not in t:
        _refuse(where, "a range needs from and to")
    low, high, step = float(t["from"]), float(t["to"]), t.get("step")
    if step is None:
        return Factor(path, low=low, high=high)
    step = float(step)
    if step <= 0.0 or high < low:
        _refuse(where, "a range runs from its lower end to its upper end by a positive step")
    n = int(math.floor((high - low) / step + 1e-9)) + 1
    return Factor(path, levels=[_clean(low + i * step) for i in range(n)], low=low, high=high, step=step)


def _node_output(t: Any, where: str) -> NodeOutput:
    t = _keys(t, where, ("node", "at", "values", "name"))
    if ("node" in t) == ("at" in t):
        _refuse(where, "give a node or a point (at), one of them")
    values = list(t.get("values", []))
    for v in values:
        if v not in NODE_VALUES and not _is_stress(v):
            _refuse(where, f"{v!r} is no node value ({', '.join(NODE_VALUES)}, "
                           "or a stress <x|y|xy|major|minor>_<top|bottom>_<layer>)")
    if "node" in t:
        return NodeOutput(t.get("name", f"node_{int(t['node'])}"), values, node=int(t["node"]))
    x, y = (float(c) for c in t["at"])
    return NodeOutput(t.get("name", f"at_{_number_text(x)}_{_number_text(y)}"), values, at=(x, y))


def _joint_output(t: Any, where: str) -> JointOutput:
    t = _keys(t, where, ("joint", "values", "name"))
    if "joint" not in t:
        _refuse(where, "joint is missing")
    values = list(t.get("values", ["lte"]))
    for v in values:
        if v not in JOINT_VALUES:
            _refuse(where, f"{v!r} is no joint value ({', '.join(JOINT_VALUES)})")
    return JointOutput(t.get("name", f"joint_{int(t['joint'])}"), int(t["joint"]), values)


def _is_stress(name: str) -> bool:
    parts = name.split("_")
    return (len(parts) == 3 and parts[0] in STRESS_QUANTITIES and parts[1] in ("top", "bottom")
            and parts[2].isdigit())


EXTREMES = re.compile(r"(max_deflection|min_deflection|max_subgrade_stress"
                      r"|(max|min)_(x|y|major|minor)_stress_bottom_[12])(\.node)?")


def _value_name_known(name: str) -> bool:
    return name in SUMS or name in ("status", "passes", "nodes", "memory_words") or bool(
        EXTREMES.fullmatch(name))


def _outputs(t: Any) -> Outputs:
    t = _keys(t, "outputs", ("values", "nodes", "joints"))
    values = list(t.get("values", []))
    for v in values:
        if not _value_name_known(v):
            _refuse("outputs.values", f"{v!r} is none of the results' extremes (max_deflection, "
                                      "min_x_stress_bottom_1, ..., with .node for its node), "
                                      f"{', '.join(SUMS)}, status, passes, nodes, memory_words")
    out = Outputs(values, [_node_output(n, f"outputs.nodes[{i}]") for i, n in enumerate(t.get("nodes", []))],
                  [_joint_output(j, f"outputs.joints[{i}]") for i, j in enumerate(t.get("joints", []))])
    cols = out.columns()
    if len(set(cols)) != len(cols):
        _refuse("outputs", "two outputs have the same column name")
    return out


def base_tables(path: str, deck: bool) -> dict[str, Any]:
    """The base model as model-file tables: read from a model file, or a deck read
    by the engine and written as a model file."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    if not deck:
        return tomllib.loads(text)
    from .deck import read_deck
    from .modelfile import model_to_toml

    return tomllib.loads(model_to_toml(read_deck(text)))


def study_from_toml(text: str, folder: str = ".") -> Study:
    """The study of a study file's text; file names in it are relative to `folder`."""
    data = _keys(tomllib.loads(text), "study file",
                 ("model", "deck", "design", "cases", "seed", "factors", "outputs"))
    if ("model" in data) == ("deck" in data):
        _refuse("study file", "give the base model as model or deck, one of them")
    which = "model" if "model" in data else "deck"
    base = base_tables(os.path.join(folder, data[which]), which == "deck")
    design = data.get("design", "factorial")
    if design not in DESIGNS:
        _refuse("design", f"{design!r} is none of {', '.join(DESIGNS)}")
    table = data.get("factors", {})
    if not isinstance(table, dict):
        _refuse("factors", "a table was expected")
    factors = [_factor(p, s) for p, s in table.items()]
    if not factors:
        _refuse("factors", "no factor")
    cases = data.get("cases")
    if design == "latin-hypercube":
        if not isinstance(cases, int) or cases < 1:
            _refuse("cases", "a latin hypercube needs its number of cases")
    else:
        for f in factors:
            if f.levels is None:
                _refuse(f"factors.{f.path}", f"a range without a step has no levels for a {design} design")
    if "outputs" not in data:
        _refuse("study file", "outputs is missing")
    for f in factors:
        get_path(base, f.path, must_exist=False)  # a path through a value is refused now
    return Study(base, factors, design, _outputs(data["outputs"]), cases, int(data.get("seed", 0)))


def read_study(path: str) -> Study:
    with open(path, encoding="utf-8") as f:
        return study_from_toml(f.read(), os.path.dirname(os.path.abspath(path)))


# ------------------------------------------------------------------------------------
# Key paths into the model's tables


def _step(node: Any, key: str, path: str) -> tuple[Any, Any]:
    if isinstance(node, list):
        if not key.isdigit() or not 1 <= int(key) <= len(node):
            _refuse(path, f"{key!r} is not an entry 1 to {len(node)} of the array")
        return node, int(key) - 1
    if isinstance(node, dict):
        return node, key
    _refuse(path, f"{key!r} goes into a value that is no table or array")
    raise AssertionError


def get_path(data: dict[str, Any], path: str, must_exist: bool = True) -> Any:
    """The value at a key path; None where a table on the way has no such key (unless
    the path must exist)."""
    node: Any = data
    for key in path.split("."):
        holder, k = _step(node, key, path)
        if isinstance(holder, dict) and k not in holder:
            if must_exist:
                _refuse(path, "the base model has no such key")
            return None
        node = holder[k]
    return node


def set_path(data: dict[str, Any], path: str, value: Any) -> None:
    """Sets the value at a key path; tables missing on the way are made."""
    keys = path.split(".")
    node: Any = data
    for key in keys[:-1]:
        holder, k = _step(node, key, path)
        if isinstance(holder, dict) and k not in holder:
            holder[k] = {}
        node = holder[k]
    holder, k = _step(node, keys[-1], path)
    holder[k] = value


# ------------------------------------------------------------------------------------
# Designs


def case_id(values: dict[str, Any]) -> str:
    """A case's id: a digest of its factor values, the same in every run of the study
    whatever the order or number of its other cases."""
    text = json.dumps(values, sort_keys=True, separators=(",", ":"))
    return hashlib.sha1(text.encode("utf-8")).hexdigest()[:12]


def _hypercube(factors: list[Factor], n: int, seed: int) -> list[dict[str, Any]]:
    import numpy as np

    rng = np.random.default_rng(seed)
    columns = []
    for f in factors:
        # One point in each of the n strata of [0, 1), the strata in random order.
        u = (rng.permutation(n) + rng.random(n)) / n
        if f.step is not None or f.low is None:
            levels = f.levels or []
            columns.append([levels[min(int(x * len(levels)), len(levels) - 1)] for x in u])
        else:
            columns.append([_clean(f.low + (f.high - f.low) * x) for x in u])
    return [{f.path: col[i] for f, col in zip(factors, columns)} for i in range(n)]


def design_cases(study: Study) -> list[tuple[str, dict[str, Any]]]:
    """Every case of the study in design order, as (id, factor values); a case that
    the design gives twice (the base of a one-at-a-time sweep) is kept once."""
    fs = study.factors
    if study.design == "factorial":
        combos = [dict(zip((f.path for f in fs), vals)) for vals in itertools.product(*(f.levels for f in fs))]
    elif study.design == "one-at-a-time":
        base = {}
        for f in fs:
            v = get_path(study.base, f.path, must_exist=False)
            base[f.path] = v if v is not None else f.levels[0]
        combos = [dict(base)] + [{**base, f.path: lv} for f in fs for lv in f.levels]
    else:
        combos = _hypercube(fs, study.cases, study.seed)
    seen: dict[str, dict[str, Any]] = {}
    for c in combos:
        seen.setdefault(case_id(c), c)
    return list(seen.items())


# ------------------------------------------------------------------------------------
# One case


@dataclass
class CaseRow:
    case: str
    factors: dict[str, Any]
    outputs: dict[str, Any]
    exit: int
    message: str
    results: Optional[str] = None  # the JSON results, when kept
    engine_seconds: float = 0.0


def _status_word(exit_status: int) -> str:
    return {0: "done", 1: "refused", 2: "refused", 3: "stopped"}.get(exit_status, "failed")


def _nearest(nodes: dict[str, list[Any]], at: tuple[float, float]) -> int:
    best = min(range(len(nodes["number"])),
               key=lambda i: ((nodes["x"][i] - at[0]) ** 2 + (nodes["y"][i] - at[1]) ** 2, i))
    return int(nodes["number"][best])


def _node_value(data: dict[str, Any], node: int, name: str) -> Any:
    i = node - 1
    if _is_stress(name):
        q, face, layer = name.split("_")
        for entry in data.get("stresses") or []:
            if entry["layer"] == int(layer) and entry.get(face):
                return entry[face][q][i]
        return None
    return data["nodes"][name][i]


def extract(outputs: Outputs, data: Optional[dict[str, Any]], exit_status: int) -> dict[str, Any]:
    """The outputs of one case from its JSON results; empty cells where the run did
    not reach them."""
    data = data or {}
    row: dict[str, Any] = {c: None for c in outputs.columns()}
    extremes, sums, model = data.get("extremes") or {}, data.get("sums") or {}, data.get("model") or {}
    for v in outputs.values:
        if v == "status":
            row[v] = _status_word(exit_status)
        elif v == "passes":
            row[v] = len(data.get("passes") or []) if data else None
        elif v in SUMS:
            row[v] = sums.get(v)
        elif v in ("nodes", "memory_words"):
            row[v] = model.get(v)
        elif v.endswith(".node"):
            row[v] = (extremes.get(v[:-5]) or {}).get("node")
        else:  # an extreme; those of a second layer are empty for one layer
            row[v] = (extremes.get(v) or {}).get("value")
    nodes = data.get("nodes") or {}
    for n in outputs.nodes:
        if not nodes.get("number"):
            continue
        number = n.node if n.node is not None else _nearest(nodes, n.at)
        if not 1 <= number <= len(nodes["number"]):
            raise ValueError(f"outputs.nodes: node {number} is not in the mesh of {len(nodes['number'])} nodes")
        for v in n.values:
            row[f"{n.name}.{v}"] = _node_value(data, number, v)
    joints = data.get("joints") or []
    for j in outputs.joints:
        if not data.get("joints") and not data.get("nodes"):
            continue
        if not 1 <= j.joint <= len(joints):
            raise ValueError(f"outputs.joints: the model has {len(joints)} joint lines, not joint {j.joint}")
        for v in j.values:
            row[f"{j.name}.{v}"] = joints[j.joint - 1].get(v)
    return row


def case_model(base: dict[str, Any], values: dict[str, Any]):
    """The model of one case: the base model with the case's factor values."""
    from .modelfile import model_from_data

    data = copy.deepcopy(base)
    for path, v in values.items():
        set_path(data, path, v)
    return model_from_data(data)


def run_case(base: dict[str, Any], case: str, values: dict[str, Any], outputs: Outputs,
             keep: bool = False) -> CaseRow:
    """Runs one case; every failure ends in its row, never in an exception."""
    from .engine import run_deck

    try:
        deck = case_model(base, values).deck()
    except (ValueError, TypeError, KeyError) as e:
        return CaseRow(case, values, extract(outputs, None, 1), 1, f"model: {e}")
    start = time.perf_counter()
    out = run_deck(deck)
    seconds = time.perf_counter() - start
    data = out.results
    message = ((data or {}).get("status") or {}).get("message") or out.errors.strip().replace("\n", " ")
    try:
        row = extract(outputs, data, out.status)
    except ValueError as e:
        return CaseRow(case, values, extract(outputs, None, 1), 1, str(e), engine_seconds=seconds)
    kept = json.dumps(data, indent=1) + "\n" if keep and data is not None else None
    return CaseRow(case, values, row, out.status, message or "", kept, seconds)


def run_batch(base: dict[str, Any], cases: list[tuple[str, dict[str, Any]]], outputs: Outputs,
              keep: bool = False) -> list[CaseRow]:
    """A Dask task: a batch of cases, so that the task's overhead is shared by many
    runs of milliseconds."""
    rows = []
    for case, values in cases:
        try:
            rows.append(run_case(base, case, values, outputs, keep))
        except Exception as e:  # an engine fault stays in its row  # noqa: BLE001
            rows.append(CaseRow(case, values, extract(outputs, None, 1), 1, f"{type(e).__name__}: {e}"))
    return rows


# ------------------------------------------------------------------------------------
# The table


def _cell(v: Any) -> Any:
    if v is None:
        return ""
    if isinstance(v, bool):
        return "true" if v else "false"
    if isinstance(v, (list, tuple, dict)):
        return json.dumps(v)
    return v


class Table:
    """The CSV table of a study: rows are appended and flushed as cases finish."""

    def __init__(self, path: str, columns: list[str]):
        self.path, self.columns = path, columns
        self.done = self._read_done()
        self._synced = 0.0
        self._file = open(path, "a", newline="", encoding="utf-8")
        self._writer = csv.writer(self._file, lineterminator="\n")
        if not self.done and self._file.tell() == 0:
            self._writer.writerow(columns)
            self._file.flush()

    def _read_done(self) -> set[str]:
        if not os.path.exists(path := self.path) or os.path.getsize(path) == 0:
            return set()
        with open(path, "rb") as f:
            raw = f.read()
        if not raw.endswith(b"\n"):
            # An interrupted write left half a row: cut it off, its case runs again.
            with open(path, "r+b") as f:
                f.truncate(raw.rfind(b"\n") + 1)
            raw = raw[: raw.rfind(b"\n") + 1]
        rows = list(csv.reader(raw.decode("utf-8").splitlines()))
        if not rows:
            return set()
        if rows[0] != self.columns:
            raise ValueError(f"{path}: its columns are not this study's ({', '.join(rows[0][:4])}, ...); "
                             "name another table")
        return {r[0] for r in rows[1:] if r}

    def append(self, rows: list[CaseRow]) -> None:
        for r in rows:
            self._writer.writerow([r.case] + [_cell(v) for v in r.factors.values()]
                                  + [_cell(v) for v in r.outputs.values()] + [r.exit, r.message])
            self.done.add(r.case)
        self._file.flush()
        # Flushed rows survive the end of this process; to the disk itself they go at
        # most once a second, which a study of short runs would otherwise wait on.
        if time.monotonic() - self._synced >= 1.0:
            os.fsync(self._file.fileno())
            self._synced = time.monotonic()

    def close(self) -> None:
        self._file.close()


def _write_kept(folder: str, row: CaseRow) -> None:
    if row.results is None:
        return
    from .cli import write_file

    write_file(os.path.join(folder, f"{row.case}.json"), row.results.encode("utf-8"))


# ------------------------------------------------------------------------------------
# Running a study


class Progress:
    """Cases done, rate and time left on standard error, at most once a second."""

    def __init__(self, total: int, already: int, stream=sys.stderr, every: float = 1.0):
        self.total, self.done, self.start, self.last = total, already, time.monotonic(), 0.0
        self.already, self.stream, self.every = already, stream, every

    def add(self, n: int, final: bool = False) -> None:
        self.done += n
        now = time.monotonic()
        if self.stream is None or (not final and now - self.last < self.every):
            return
        self.last = now
        rate = (self.done - self.already) / max(now - self.start, 1e-9)
        left = (self.total - self.done) / rate if rate > 0 else float("inf")
        self.stream.write(f"meridolan-study: {self.done}/{self.total} cases, {rate:.1f} cases/s, "
                          f"{left:.0f} s left\n" if not final else
                          f"meridolan-study: {self.done}/{self.total} cases, {rate:.1f} cases/s, "
                          f"{now - self.start:.1f} s\n")
        self.stream.flush()


@dataclass
class StudyRun:
    total: int  # cases of the design
    skipped: int  # already in the table
    ran: int
    failed: int  # rows whose exit status is not 0
    seconds: float
    engine_seconds: float


def _batches(cases: list[Any], size: int) -> list[list[Any]]:
    return [cases[i : i + size] for i in range(0, len(cases), size)]


def run_study(study: Study, table_path: str, workers: int = 0, scheduler: Optional[str] = None,
              client: Any = None, batch: Optional[int] = None, keep_results: Optional[str] = None,
              progress=sys.stderr, on_rows: Optional[Callable[[list[CaseRow]], None]] = None) -> StudyRun:
    """Runs the cases of a study that are not yet in its table.

    workers 0 without a scheduler or client: in this process, without Dask. Otherwise
    a Dask client: the one given, one joined to `scheduler`, or a local cluster of
    `workers` processes.
    """
    start = time.monotonic()
    cases = design_cases(study)
    table = Table(table_path, study.columns())
    todo = [c for c in cases if c[0] not in table.done]
    if keep_results:
        os.makedirs(keep_results, exist_ok=True)
    prog = Progress(len(cases), len(cases) - len(todo), progress)
    summary = StudyRun(len(cases), len(cases) - len(todo), 0, 0, 0.0, 0.0)

    def take(rows: list[CaseRow]) -> None:
        table.append(rows)
        for r in rows:
            summary.ran += 1
            summary.failed += r.exit != 0
            summary.engine_seconds += r.engine_seconds
            if keep_results:
                _write_kept(keep_results, r)
        if on_rows:
            on_rows(rows)
        prog.add(len(rows))

    try:
        if client is None and scheduler is None and workers == 0:
            for b in _batches(todo, batch or 1):
                take(run_batch(study.base, b, study.outputs, bool(keep_results)))
        else:
            _run_on_dask(study, todo, take, workers, scheduler, client, batch, bool(keep_results))
    finally:
        table.close()
    prog.add(0, final=True)
    summary.seconds = time.monotonic() - start
    return summary


def _run_on_dask(study, todo, take, workers, scheduler, client, batch, keep) -> None:
    from distributed import Client, LocalCluster, as_completed

    own = []
    if client is None:
        if scheduler:
            client = Client(scheduler)
        else:
            import logging

            cluster = LocalCluster(n_workers=workers or os.cpu_count() or 1, threads_per_worker=1,
                                   processes=True, dashboard_address=None, silence_logs=logging.ERROR)
            own.append(cluster)
            client = Client(cluster)
        own.insert(0, client)
    try:
        slots = max(1, sum(client.nthreads().values()))
        # Several batches per worker thread keep every worker busy to the end; at most
        # 50 cases a batch keep a lost worker's loss small.
        size = batch or max(1, min(50, math.ceil(len(todo) / (slots * 4))))
        # The base model goes with each task: small, and never lost with a worker.
        futures = [client.submit(run_batch, study.base, b, study.outputs, keep, pure=False)
                   for b in _batches(todo, size)]
        pending = {f.key: b for f, b in zip(futures, _batches(todo, size))}
        for fut in as_completed(futures):
            b = pending.pop(fut.key)
            try:
                take(fut.result())
            except Exception as e:  # noqa: BLE001
                # The batch could not be run (its workers kept dying): each case then
                # gets its row with the reason.
                take([CaseRow(c, v, extract(study.outputs, None, 1), 1, f"{type(e).__name__}: {e}")
                      for c, v in b])
            fut.release()
    finally:
        for o in own:
            o.close()


# ------------------------------------------------------------------------------------
# The command


def main(argv: Optional[list[str]] = None) -> int:
    import argparse

    ap = argparse.ArgumentParser(prog="meridolan-study", description="Runs a MERIDOLAN parameter study.")
    sub = ap.add_subparsers(dest="command", required=True)
    r = sub.add_parser("run", help="run the cases not yet in the table")
    r.add_argument("study", help="the TOML study file")
    r.add_argument("-o", "--output", required=True, help="the CSV table (appended to; a rerun resumes)")
    r.add_argument("--workers", type=int, default=None,
                   help="processes of the local cluster (default: the cores; 0: in this process)")
    r.add_argument("--scheduler", help="address of a running Dask scheduler to join")
    r.add_argument("--batch", type=int, help="cases per task (default: chosen from cases and workers)")
    r.add_argument("--keep-results", metavar="DIR", help="write each case's JSON results to DIR/CASE.json")
    r.add_argument("-q", "--quiet", action="store_true", help="no progress on standard error")
    c = sub.add_parser("cases", help="print the cases of the design as CSV")
    c.add_argument("study", help="the TOML study file")
    a = ap.parse_args(argv)
    try:
        study = read_study(a.study)
        if a.command == "cases":
            w = csv.writer(sys.stdout, lineterminator="\n")
            w.writerow(["case"] + [f.path for f in study.factors])
            for case, values in design_cases(study):
                w.writerow([case] + [_cell(values[f.path]) for f in study.factors])
            return 0
        workers = a.workers if a.workers is not None else (0 if a.scheduler else os.cpu_count() or 1)
        done = run_study(study, a.output, workers, a.scheduler, batch=a.batch, keep_results=a.keep_results,
                         progress=None if a.quiet else sys.stderr)
    except (OSError, ValueError, tomllib.TOMLDecodeError) as e:
        print(f"meridolan-study: {e}", file=sys.stderr)
        return 1
    if not a.quiet:
        print(f"meridolan-study: {done.ran} cases run, {done.skipped} already in the table, "
              f"{done.failed} not finished normally", file=sys.stderr)
    return 0
