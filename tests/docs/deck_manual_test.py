#!/usr/bin/env python3
"""docs/deck.md describes every record the deck reader reads: each format that the
program reads a record with appears in the manual, written as it is in the source."""
import os
import re
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
# "static const Format kA("I1"), kB("A80");" defines several at once.
DEFINITION = re.compile(r'\b(k\w+)\s*\(\s*"([^"]*)"\s*\)')


def read_formats(root):
    """The formats passed to a read of the deck, by file: deck.read(kX, ...) or a
    reading helper called as f(deck, ..., kX, ...)."""
    found = {}
    for folder, _, files in os.walk(os.path.join(root, "src")):
        for name in files:
            if not name.endswith(".cpp"):
                continue
            path = os.path.join(folder, name)
            text = open(path, encoding="utf-8").read()
            for ident, fmt in DEFINITION.findall(text):
                if "'" in fmt:
                    continue  # a literal is printed, never read
                used = re.search(r"deck\.read\(\s*" + ident + r"\b", text) or re.search(
                    r"\w+\(\s*deck\s*,[^;]*\b" + ident + r"\b", text)
                if used:
                    found.setdefault(fmt, set()).add(os.path.relpath(path, root))
    return found


def main():
    manual = open(os.path.join(ROOT, "docs", "deck.md"), encoding="utf-8").read()
    formats = read_formats(ROOT)
    # The reader of the deck has far more than a handful of records: a scan that finds
    # few has lost its way in the source.
    if len(formats) < 20:
        print("only %d read formats found: %s" % (len(formats), sorted(formats)))
        return 1
    missing = [f for f in sorted(formats) if "`" + f + "`" not in manual]
    for f in missing:
        print("docs/deck.md lacks the record format `%s` (read in %s)" %
              (f, ", ".join(sorted(formats[f]))))
    print("%d passed, %d failed" % (len(formats) - len(missing), len(missing)))
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
