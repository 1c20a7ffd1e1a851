"""Shared helpers of the package's tests: where the sources and the program are."""

import os
import pathlib

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
EXAMPLES = ROOT / "examples"
TEST_DATA = ROOT / "tests" / "data"


@pytest.fixture(scope="session")
def program():
    exe = os.environ.get("MERIDOLAN_EXE")
    if not exe:
        pytest.skip("MERIDOLAN_EXE names no program")
    return exe


def bundled_decks():
    return sorted(EXAMPLES.glob("*.dat")) + sorted(TEST_DATA.glob("*.dat"))


def refused_deck():
    """The interior-load example with its load moved beyond the slab's edge x = 180:
    the engine refuses it (the Python model would refuse it before)."""
    text = (EXAMPLES / "interior_load.dat").read_text()
    assert text.count("    84.000    96.000") == 1
    return text.replace("    84.000    96.000", "   170.000   200.000")
