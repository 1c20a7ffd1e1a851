"""meridolan-model: runs a TOML model file.

    meridolan-model run MODEL.toml -o DIR [--maps] [--format png,svg] [--memory WORDS]
    meridolan-model deck MODEL.toml        (the deck on standard output)
    meridolan-model mesh MODEL.toml        (what the mesh generator makes)

`run` writes DIR/model.dat, DIR/report.txt, DIR/results.json (when the engine gives
results) and, with --maps, the contour maps; it exits with the engine's status.
"""

from __future__ import annotations

import argparse
import dataclasses
import json
import os
import sys
import tempfile

from .mesh import generate
from .modelfile import read_model_file


def write_file(path: str, data: bytes) -> None:
    """Writes to a temporary file beside `path` and renames it into place."""
    folder = os.path.dirname(os.path.abspath(path))
    fd, tmp = tempfile.mkstemp(dir=folder, prefix=".tmp-")
    try:
        with os.fdopen(fd, "wb") as f:
            f.write(data)
        os.replace(tmp, path)
    except BaseException:
        if os.path.exists(tmp):
            os.unlink(tmp)
        raise


def _load(path: str, memory: int | None):
    model = read_model_file(path)
    if memory is not None:
        model.mesh.memory = memory
    return model


def main(argv: list[str] | None = None) -> int:
    ap = argparse.ArgumentParser(prog="meridolan-model", description="Runs a MERIDOLAN model file.")
    sub = ap.add_subparsers(dest="command", required=True)
    r = sub.add_parser("run", help="write the deck, run it, write report, results and maps")
    r.add_argument("-o", "--out-dir", default=".", help="folder of the outputs (default: .)")
    r.add_argument("--maps", action="store_true", help="draw the contour maps too")
    r.add_argument("--format", default="png", help="map formats: png, svg or both (default: png)")
    d = sub.add_parser("deck", help="print the deck of the model")
    g = sub.add_parser("mesh", help="print what the mesh generator makes for the model")
    for p in (r, d, g):
        p.add_argument("model", help="the TOML model file")
        p.add_argument("--memory", type=int,
                       help="words of the work array: the generated mesh fits them and the run has them")
    a = ap.parse_args(argv)
    try:
        model = _load(a.model, a.memory)
        if a.command == "mesh":
            print(generate(model) if model.mesh.x is None else "the model gives its own node lines")
            return 0
        if a.command == "run" and model.mesh.x is None:
            # The generated mesh, once: reported, then used for the deck.
            made = generate(model)
            print(made, file=sys.stderr)
            model.mesh = dataclasses.replace(model.mesh, x=made.x_lines, y=made.y_lines)
        deck = model.deck()
        if a.command == "deck":
            sys.stdout.write(deck)
            return 0
        os.makedirs(a.out_dir, exist_ok=True)
        write_file(os.path.join(a.out_dir, "model.dat"), deck.encode("ascii"))
        res = model.run()
    except (OSError, ValueError) as e:
        print(f"meridolan-model: {e}", file=sys.stderr)
        return 1
    write_file(os.path.join(a.out_dir, "report.txt"), res.report)
    if res.data is not None:
        write_file(os.path.join(a.out_dir, "results.json"),
                   (json.dumps(res.data, indent=1) + "\n").encode("utf-8"))
    sys.stderr.write(res.errors)
    if a.maps and res.status == 0:
        from .maps import maps_of_results

        formats = [f.strip() for f in a.format.split(",") if f.strip()]
        for path in maps_of_results(res, a.out_dir, formats):
            print(path)
    return res.status
