#!/usr/bin/python3
"""Writes the named-object dictionary tree and the layouts the DXF twins of
the corpus DWG files hold.

usage: dwg_objects_twins.py DATA_DIR OUTPUT

For every DWG of version AC1012..AC1015 whose DXF twin the manifest names,
one tab-separated line per record: NAME KIND VALUES...
  ENTRY   the entry's path from the named-object dictionary (names joined
          by "/") and the DXF type of the object it names ("-" when the
          file has no such object); dictionaries are walked recursively
  LAYOUT  the layout's name, tab order (71) and block record handle (the
          330 of its AcDbLayout part)
Values are the file's tags as ezdxf's tag reader gives them. Entries with
an empty name and a null handle name nothing and are left out.

The twin of ac1015_ts1_sampler comes from a later save of the drawing: its
dictionaries name entries (XCLIPFRAME, JitterOff ...) that the DWG does not
hold at any bit offset, so only its layouts are written.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from dwg_header_twins import read_tags, twins  # noqa: E402

LAYOUTS_ONLY = ("ac1015_ts1_sampler",)
DICTIONARIES = ("DICTIONARY", "ACDBDICTIONARYWDFLT")


def objects_of(tags):
    """[(type, handle, entries, layout)] of the OBJECTS section in file
    order; entries are (name, handle) pairs, layout (name, tab order, block
    record) or None."""
    found = []
    section, previous, current = None, None, None
    for tag in tags:
        if previous is not None and previous.code == 0 and previous.value == "SECTION" and tag.code == 2:
            section = tag.value
        previous = tag
        if section != "OBJECTS":
            continue
        if tag.code == 0:
            current = {"type": tag.value, "entries": [], "subclass": None, "layout": {}}
            if tag.value not in ("SECTION", "ENDSEC"):
                found.append(current)
            continue
        if current is None:
            continue
        value = str(tag.value).strip()
        if tag.code == 5 and "handle" not in current:
            current["handle"] = value.upper()
        elif tag.code == 100:
            current["subclass"] = value
        elif tag.code == 3 and current["type"] in DICTIONARIES:
            current["entries"].append([value, None])
        elif tag.code in (350, 360) and current["entries"] and current["entries"][-1][1] is None:
            current["entries"][-1][1] = value.upper()
        elif current["subclass"] == "AcDbLayout" and tag.code in (1, 71, 330):
            current["layout"].setdefault(tag.code, value)
    return found


def lines_of(stem, found):
    by_handle = {o.get("handle"): o for o in found}
    lines = []
    seen = set()

    def walk(dictionary, path):
        if dictionary.get("handle") in seen:
            return
        seen.add(dictionary.get("handle"))
        for name, handle in dictionary["entries"]:
            if not name and handle in (None, "0"):
                continue
            target = by_handle.get(handle)
            entry = path + [name]
            lines.append("\t".join([stem, "ENTRY", "/".join(entry), target["type"] if target else "-"]))
            if target is not None and target["type"] in DICTIONARIES:
                walk(target, entry)

    if found and stem not in LAYOUTS_ONLY:
        walk(found[0], [])
    for o in found:
        layout = o["layout"]
        if o["type"] == "LAYOUT" and 1 in layout:
            lines.append("\t".join([stem, "LAYOUT", layout[1], layout.get(71, "0"), layout.get(330, "0").upper()]))
    return lines


def main():
    data_dir, output = sys.argv[1], sys.argv[2]
    lines = []
    for stem in twins(data_dir):
        lines += lines_of(stem, objects_of(read_tags(os.path.join(data_dir, "dxf", stem + ".dxf"))))
    with open(output, "w", encoding="latin-1") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
