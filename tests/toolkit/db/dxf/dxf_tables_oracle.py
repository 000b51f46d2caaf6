#!/usr/bin/python3
"""Writes what ezdxf's tag reader finds in the tables of the corpus DXF files.

usage: dxf_tables_oracle.py DATA_DIR OUTPUT

One line per table record, tab-separated: FILE TABLE NAME VALUE, where VALUE
is the colour for LAYER, the dash count (group 73, at most 15) for LTYPE and
empty otherwise; BLOCK_RECORD lines come from the BLOCK_RECORD table. A
last line FILE "EOF" 1 or 0 tells whether the file ends with 0 EOF, without
which a DXF reader must refuse it. Only
the first TABLES section counts. Texts are kept as the file's bytes
(latin-1), as the reader keeps them. A file the tag reader rejects is left
out.
"""
import os
import sys

from ezdxf.lldxf.tagger import ascii_tags_loader, binary_tags_loader

TABLES = ("LTYPE", "LAYER", "STYLE", "VPORT", "APPID", "DIMSTYLE", "BLOCK_RECORD")
SENTINEL = b"AutoCAD Binary DXF"
DASH_LIMIT = 15


def read_tags(path):
    with open(path, "rb") as f:
        data = f.read()
    if data.startswith(SENTINEL):
        # ezdxf gives 310..319 and 1004 as bytes; they name no record.
        return list(binary_tags_loader(data, errors="strict"))
    return list(ascii_tags_loader(open(path, encoding="latin-1", newline=None)))


def records(tags):
    """(table, {code: value}) for every record of the first TABLES section."""
    section, table, record, done = None, None, None, False
    for i, tag in enumerate(tags):
        if tag.code == 0 and tag.value == "SECTION" and i + 1 < len(tags):
            section = tags[i + 1].value
            continue
        if section != "TABLES" or done:
            continue
        if tag.code == 0:
            if record is not None:
                yield table, record
                record = None
            if tag.value == "TABLE" and i + 1 < len(tags):
                table = tags[i + 1].value
            elif tag.value == "ENDSEC":
                done = True
            elif tag.value == table and table in TABLES:
                record = {}
        elif record is not None and tag.code not in record:
            record[tag.code] = tag.value


def value_of(table, record):
    if table == "LAYER":
        return str(int(record.get(62, 7)))
    if table == "LTYPE":
        return str(max(0, min(DASH_LIMIT, int(record.get(73, 0)))))
    return ""


def text(value):
    return value.decode("latin-1") if isinstance(value, bytes) else str(value)


def main():
    data_dir, output = sys.argv[1], sys.argv[2]
    lines = []
    folder = os.path.join(data_dir, "dxf")
    for name in sorted(os.listdir(folder)):
        try:
            tags = read_tags(os.path.join(folder, name))
            found = [(table, text(record.get(2, "")).rstrip(" "), value_of(table, record))
                     for table, record in records(tags)]
        except Exception:  # a file the tag reader cannot take is no oracle
            continue
        lines.extend("\t".join((name,) + row) for row in found)
        ends = any(tag.code == 0 and tag.value == "EOF" for tag in tags)
        lines.append(f"{name}\tFILE\tEOF\t{int(ends)}")
    with open(output, "w", encoding="latin-1") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
