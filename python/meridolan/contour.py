"""The contour data file the program writes: its header and node values."""

from __future__ import annotations

import re

FIELD = 15  # every header and data field of the contour file is 15 columns wide
HEADER_VALUES = 23

QUANTITIES = [
    # key, column of the data stream, title, unit kind
    ("deflection", 0, "Deflection (positive downwards)", "length"),
    ("x_stress", 1, "x-stress at the bottom of the top layer (compression positive)", "stress"),
    ("major_stress", 2, "Major principal stress at the bottom of the top layer", "stress"),
    ("minor_stress", 3, "Minor principal stress at the bottom of the top layer", "stress"),
]


class ContourError(ValueError):
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
        raise ContourError(f"not a number: {text!r}")
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
                raise ContourError("the header ends early")
            try:
                ints += [int(f) for f in _fields(lines[k])]
            except ValueError as e:
                raise ContourError(f"header line {k + 1}: {e}") from None
            k += 1
        if len(ints) != HEADER_VALUES:
            raise ContourError(f"the header holds {len(ints)} values, not {HEADER_VALUES}")
        (self.memcon, self.nnode, self.ngrid, *rest) = ints
        self.nnx = rest[0:3]
        self.nny = rest[3:5]
        self.nstrv, self.nxt, self.nyt = rest[5:8]
        self.icont = rest[8:14]
        self.icont2 = rest[14:20]
        if self.nnode != self.nxt * self.nyt or self.nxt < 2 or self.nyt < 2:
            raise ContourError(f"inconsistent mesh: NNODE {self.nnode}, NXT {self.nxt}, NYT {self.nyt}")
        values = []
        for n, line in enumerate(lines[k:], start=k + 1):
            try:
                values += [parse_real(f) for f in _fields(line)]
            except ContourError as e:
                raise ContourError(f"line {n}: {e}") from None
        want = 1 + 6 * self.nnode
        if len(values) != want:
            raise ContourError(f"the data hold {len(values)} values, not {want}")
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
