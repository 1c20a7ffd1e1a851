#!/usr/bin/python3
"""Contour maps from a MERIDOLAN contour data file (the package's map code).

Usage: meridolan-map [--deck DECK] [--out-dir DIR] [--format png,svg] CONTOUR_FILE
"""

import os
import sys

# From the checkout: the package beside this folder and the engine module of the
# default build (the installed command has both on its path already).
_ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
for _p in (os.path.join(_ROOT, "python"), os.path.join(_ROOT, "build", "python")):
    if os.path.isdir(_p) and _p not in sys.path:
        sys.path.append(_p)

from meridolan.maps import (  # noqa: E402,F401
    QUANTITIES,
    ContourData,
    Deck,
    MapError,
    Plan,
    band_polygons,
    draw_map,
    main,
    parse_real,
    render,
    split_lines,
)

if __name__ == "__main__":
    sys.exit(main())
