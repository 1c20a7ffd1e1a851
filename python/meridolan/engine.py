"""The engine in-process: the extension module, with plain results."""

from __future__ import annotations

import json
from dataclasses import dataclass
from typing import Any, Optional



def _engine():
    """The extension module; imported when first asked for, so that the parts of the
    package that only read files (contour data, maps) work without it."""
    try:
        import _meridolan
    except ImportError as e:
        raise ImportError(
            "the engine module _meridolan is not on the Python path (build it with CMake; "
            "build/meridolan-model sets the path)") from e
    return _meridolan


@dataclass
class RunOutput:
    """What one run of a deck gives: exit status, report (bytes as printed, with
    their carriage control), messages, the JSON results and the contour data."""

    status: int
    report: bytes
    errors: str
    results: Optional[dict[str, Any]]
    contour: Optional[str]

    @property
    def report_text(self) -> str:
        return self.report.decode("latin-1")


def default_memory_words() -> int:
    """The work array's size of a run that names none."""
    return _engine().default_memory_words


def run_deck(deck: str, memory_words: Optional[int] = None) -> RunOutput:
    """Runs a deck with a work array of `memory_words` (the program's default when
    None); the interpreter lock is released while the engine works."""
    engine = _engine()
    out = engine.run(deck, engine.default_memory_words if memory_words is None else memory_words)
    results = json.loads(out["results"]) if out["results"] else None
    return RunOutput(out["status"], out["report"], out["errors"], results, out["contour"])


def read_values(deck: str, memory_words: Optional[int] = None) -> dict[str, Any]:
    """The values the engine reads from a deck, named as its records name them. The
    work array is the default one, or as large as the deck's model needs when that
    is more (reading does not judge the size; a run does)."""
    engine = _engine()
    if memory_words is None:
        memory_words = engine.default_memory_words
        try:
            memory_words = max(memory_words, dimensions(deck)["words"])
        except ValueError:
            pass  # the read says what is wrong with the control records
    return engine.read(deck, memory_words)


def dimensions(deck: str) -> dict[str, int]:
    """Nodes, equations and the words of the work array the deck's model needs,
    by the engine's own sizing rule."""
    return _engine().dimensions(deck)
