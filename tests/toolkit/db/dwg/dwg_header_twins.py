#!/usr/bin/python3
"""Writes what the DXF twins of the corpus DWG files say about their header.

usage: dwg_header_twins.py DATA_DIR OUTPUT [fixed]

For every dwg/NAME.dwg of version AC1012..AC1015 (with "fixed": AC1002..AC1009,
whose twins carry no handles, so without $CLAYER and LAYERS) whose dxf/NAME.dxf the
manifest calls its DXF ("DXF of dwg/NAME.dwg"), one line per value:
NAME KEY VALUE... The values are the DXF file's own text,
taken from its tags as they stand (ezdxf's document loader would update some
variables on loading). $CLAYER becomes the handle of the layer it names;
LAYERS is the number of records of the LAYER table.
"""
import os
import sys

from ezdxf.lldxf.tagger import ascii_tags_loader

VERSIONS = ("ac1012_", "ac1014_", "ac1015_")
FIXED = ("ac1002_", "ac1003_", "ac1004_", "ac1006_", "ac1009_")
POINTS = ("$EXTMIN", "$EXTMAX", "$LIMMIN", "$LIMMAX")
SINGLE = ("$HANDSEED", "$TDCREATE", "$DIMSCALE")


def read_tags(path):
    with open(path, encoding="cp1252", errors="replace") as f:
        return list(ascii_tags_loader(f))


def header_and_layers(tags):
    header, layers = {}, {}
    section, previous, record, current = None, None, None, None
    for tag in tags:
        if previous is not None and previous.code == 0 and previous.value == "SECTION" and tag.code == 2:
            section = tag.value
        previous = tag
        if tag.code == 0:
            record = {} if tag.value == "LAYER" and section == "TABLES" else None
            current = None
        elif section == "HEADER":
            if tag.code == 9:
                current = header.setdefault(tag.value, [])
            elif current is not None:
                current.append(tag.value)
        elif record is not None and tag.code in (2, 5):
            record[tag.code] = tag.value
            if 2 in record and 5 in record:
                layers[record[2].upper()] = record[5]
    return header, layers


def twins(data_dir, versions=VERSIONS):
    """The DWG names of the given versions whose DXF twin the manifest names."""
    names = []
    with open(os.path.join(data_dir, "MANIFEST.tsv"), encoding="utf-8") as f:
        columns = f.readline().rstrip("\n").split("\t")
        for line in f:
            row = dict(zip(columns, line.rstrip("\n").split("\t")))
            path, description = row.get("path", ""), row.get("description", "")
            stem = os.path.splitext(os.path.basename(path))[0]
            if path.startswith("dxf/") and stem.startswith(versions) and f"DXF of dwg/{stem}.dwg" in description:
                names.append(stem)
    return sorted(names)


def main():
    data_dir, output = sys.argv[1], sys.argv[2]
    fixed = sys.argv[3:] == ["fixed"]
    lines = []
    for stem in twins(data_dir, FIXED if fixed else VERSIONS):
        twin = os.path.join(data_dir, "dxf", stem + ".dxf")
        header, layers = header_and_layers(read_tags(twin))
        for key in POINTS + SINGLE:
            if key in header:
                lines.append(" ".join([stem, key] + header[key]))
        if fixed:
            continue
        layer = header.get("$CLAYER", [None])[0]
        if layer is not None and layer.upper() in layers:
            lines.append(f"{stem} $CLAYER {layers[layer.upper()]}")
        lines.append(f"{stem} LAYERS {len(layers)}")
    with open(output, "w", encoding="ascii") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
