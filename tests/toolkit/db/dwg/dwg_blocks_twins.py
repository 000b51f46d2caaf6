#!/usr/bin/python3
"""Writes the classes, dimension styles and blocks the DXF twins of the corpus
DWG files hold.

usage: dwg_blocks_twins.py DATA_DIR OUTPUT

For every DWG of version AC1012..AC1015 whose DXF twin the manifest names,
one tab-separated line per record: NAME KIND VALUE, KIND being
  CLASS     the class's DXF record name (group 1)
  DIMSTYLE  the style's name, text style handle (340), $DIMASZ (41) and
            $DIMCLRT (178), defaults where the record has none
  BLOCK     the name of a BLOCK_RECORD and its layout's handle (340, 0 for none)
"""
import os
import sys


sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from dwg_header_twins import read_tags, twins  # noqa: E402

KINDS = {"CLASS": "CLASS", "DIMSTYLE": "DIMSTYLE", "BLOCK_RECORD": "BLOCK"}


DIMSTYLE_VALUES = ((340, "0"), (41, "0.18"), (178, "0"))


def records(tags):
    """(kind, {code: first value}) for every CLASS, DIMSTYLE and BLOCK_RECORD
    record; the table heads carry no name."""
    kind, record = None, {}
    for tag in tags:
        if tag.code == 0:
            if kind is not None and (1 if kind == "CLASS" else 2) in record:
                yield kind, record
            kind, record = KINDS.get(tag.value), {}
        elif kind is not None:
            record.setdefault(tag.code, str(tag.value).strip())


def line_of(stem, kind, record):
    if kind == "CLASS":
        return [stem, kind, record[1]]
    if kind == "DIMSTYLE":
        values = [record.get(code, default) for code, default in DIMSTYLE_VALUES]
    else:
        values = [record.get(340, "0")]
    return [stem, kind, record[2]] + values


def main():
    data_dir, output = sys.argv[1], sys.argv[2]
    lines = []
    for stem in twins(data_dir):
        tags = read_tags(os.path.join(data_dir, "dxf", stem + ".dxf"))
        lines += ["\t".join(line_of(stem, kind, record)) for kind, record in records(tags)]
    with open(output, "w", encoding="latin-1") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
