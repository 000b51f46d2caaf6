#!/usr/bin/python3
"""Writes what the DXF twins of the corpus DWG files hold in their tables.

usage: dwg_tables_twins.py DATA_DIR OUTPUT [fixed]

For every DWG of version AC1012..AC1015 (with "fixed": AC1002..AC1009) whose
DXF twin the manifest names, one tab-separated line per table record:
NAME TABLE RECORD VALUES...
  LAYER  name colour linetype flags
  LTYPE  name dash-count pattern-length
  STYLE  name font-file
  APPID  name
  VPORT  name
and one line NAME COUNT TABLE n per table. Values are the file's tags as
they stand; the linetype a layer names is given by its LTYPE record's handle,
or by its name for the fixed-header versions, whose twins carry no handles.
Those versions give counts only of the tables their twin has, the LTYPE one
with the BYBLOCK and BYLAYER records the loader adds.
"""
import os
import sys

here = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, here)
sys.path.insert(0, os.path.join(os.path.dirname(here), "dxf"))  # the DXF tables oracle
from dwg_header_twins import FIXED, read_tags, twins  # noqa: E402
from dxf_tables_oracle import records  # noqa: E402

TABLES = ("LAYER", "LTYPE", "STYLE", "APPID", "VPORT")


def lines_of(stem, found, fixed=False):
    ltypes = {r[2].upper(): r.get(5, "0") for t, r in found if t == "LTYPE" and 2 in r}
    counts = dict.fromkeys(TABLES, 0)
    lines = []
    for table, r in found:
        if table not in TABLES or 2 not in r:
            continue
        counts[table] += 1
        name = r[2]
        if table == "LAYER":
            linetype = r.get(6, "") if fixed else ltypes.get(r.get(6, "").upper(), "0")
            values = [r.get(62, "7"), linetype, r.get(70, "0")]
        elif table == "LTYPE":
            values = [r.get(73, "0"), r.get(40, "0")]
        elif table == "STYLE":
            values = [r.get(3, "")]
        else:
            values = []
        lines.append("\t".join([stem, table, name] + [str(v).strip() for v in values]))
    if fixed:
        counts = {table: n + 2 if table == "LTYPE" else n for table, n in counts.items() if n > 0}
    lines += [f"{stem}\tCOUNT\t{table}\t{n}" for table, n in counts.items()]
    return lines


def main():
    data_dir, output = sys.argv[1], sys.argv[2]
    fixed = sys.argv[3:] == ["fixed"]
    lines = []
    for stem in twins(data_dir, FIXED) if fixed else twins(data_dir):
        tags = read_tags(os.path.join(data_dir, "dxf", stem + ".dxf"))
        lines += lines_of(stem, list(records(tags)), fixed)
    with open(output, "w", encoding="latin-1") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
