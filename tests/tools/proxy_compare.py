#!/usr/bin/env python3
"""Draws proxy graphics with adrender and with ezdxf's drawing add-on over
the same window and compares where the ink is (as ezdxf_compare.py does):
the generated fixture drawing of tests/data/display/proxy, and every entity
of the corpus DXF drawings that carries proxy graphics (proxies, WIPEOUT,
and classes kept as graphics), each written alone into a copy of its
drawing as a proxy entity, so that both sides draw its graphics with the
drawing's own layers and linetypes. Text records are retyped as skipped
records on both sides: text drawing is not part of this comparison. So are
fill-mode records, with the drawing's FILLMODE set to 0: ezdxf draws
polygons as outlines, so both sides draw outlines here (the display tests
check the fills). A WIPEOUT is also drawn by adrender as itself, alone in
a copy of its drawing, with the same retyped graphics, and compared with
ezdxf's picture of the proxy (ezdxf draws a WIPEOUT as a background-coloured
fill of its boundary, not from its graphics); so is the WIPEOUT of the
fixture wipeout.dxf.

usage: proxy_compare.py FIXTURE_DIR DATA_DIR OUT_DIR COMMAND...  (COMMAND: [emulator] adrender)
Exits 77 (skipped) when ezdxf, matplotlib or the corpus is missing; the
pictures of both sides stay in OUT_DIR to look at.
"""
import glob
import importlib.util
import os
import struct
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import ezdxf_compare as compare  # noqa: E402

SHARE = 0.95
SKIPPED_KINDS = {"IMAGE", "OLE2FRAME"}
RETYPED = {10, 11, 20}
SKIPPED_TYPE = 15


def pairs(path):
    with open(path, encoding="latin-1") as f:
        lines = f.read().splitlines()
    return [(lines[i].strip(), lines[i + 1]) for i in range(0, len(lines) - 1, 2)]


def without_text_and_fill(graphics):
    data = bytearray(graphics)
    at = 8
    while at + 8 <= len(data):
        size, kind = struct.unpack_from("<ii", data, at)
        if size < 8:
            break
        if kind in RETYPED:
            struct.pack_into("<i", data, at + 4, SKIPPED_TYPE)
        at += size
    return bytes(data)


def corpus_entities(path):
    """(name, handle, owner, layer, graphics, groups) of each entity of the
    ENTITIES section that carries graphics."""
    groups = pairs(path)
    try:
        start = groups.index(("2", "ENTITIES"))
    except ValueError:
        return groups, None, []
    end = groups.index(("0", "ENDSEC"), start)
    found = []
    i = start + 1
    while i < end:
        j = i + 1
        while j < end and groups[j][0] != "0":
            j += 1
        entity = groups[i:j]
        name = entity[0][1].strip()
        fields = {}
        graphics = bytearray()
        for k, (code, value) in enumerate(entity):
            if code in ("5", "330", "8") and code not in fields:
                fields[code] = value.strip()
            if code == "92" and k + 1 < len(entity) and entity[k + 1][0] == "310" and not graphics:
                m = k + 1
                while m < len(entity) and entity[m][0] == "310":
                    graphics += bytes.fromhex(entity[m][1].strip())
                    m += 1
        if graphics and len(graphics) > 8 and name not in SKIPPED_KINDS:
            found.append((name, fields.get("5", "FFFF"), fields.get("330", "0"), fields.get("8", "0"), bytes(graphics),
                          entity))
        i = j
    return groups, (start, end), found


def itself(entity):
    """The entity's own groups, its graphics without text and fill (the same
    number of bytes in the same 310 groups)."""
    groups, graphics = list(entity[5]), without_text_and_fill(entity[4])
    first = next(k for k, (code, _) in enumerate(groups) if code == "92" and groups[k + 1][0] == "310")
    at = 0
    for k in range(first + 1, len(groups)):
        if groups[k][0] != "310":
            break
        n = len(bytes.fromhex(groups[k][1].strip()))
        groups[k] = ("310", graphics[at:at + n].hex().upper())
        at += n
    return "".join(f"{c}\n{v}\n" for c, v in groups)


def write_alone(groups, section, entity, out_path, fixtures, as_itself=False):
    """A copy of the drawing whose only entity is this one, as a proxy entity
    or as itself, with FILLMODE 0."""
    name, handle, owner, layer, graphics, _ = entity
    start, end = section
    groups = list(groups)
    for i in range(len(groups) - 2):
        if groups[i] == ("9", "$FILLMODE") and groups[i + 1][0] == "70":
            groups[i + 1] = ("70", "0")
    text = "".join(f"{c}\n{v}\n" for c, v in groups[:start + 1])
    if as_itself:
        text += itself(entity)
    else:
        text += fixtures.proxy_entity(handle, owner, layer, without_text_and_fill(graphics))
    text += "".join(f"{c}\n{v}\n" for c, v in groups[end:])
    with open(out_path, "w", encoding="latin-1") as f:
        f.write(text)


def window_of(path):
    """The extents of what ezdxf makes of the proxy's graphics, with a margin;
    None when it makes nothing."""
    import ezdxf
    from ezdxf import bbox
    doc = ezdxf.readfile(path)
    entities = []
    for e in doc.modelspace():
        try:
            entities += list(e.virtual_entities())
        except Exception:  # ezdxf cannot read these graphics
            return None
    box = bbox.extents(entities)
    if not box.has_data:
        return None
    (x1, y1, _), (x2, y2, _) = box.extmin, box.extmax
    margin = max(x2 - x1, y2 - y1, 1e-6) * 0.1
    return (x1 - margin, y1 - margin, x2 + margin, y2 + margin)


def run(command, path, window, out_dir, label, failures, their_path=None):
    """adrender draws path, ezdxf draws their_path (path when not given)."""
    pictures = compare.draw_both(command, path, window, out_dir, label, failures, their_path)
    if pictures:
        compare.compare_ink(label, *pictures, SHARE, failures)


def main():
    if len(sys.argv) < 5:
        print(__doc__)
        return 2
    fixture_dir, data_dir, out_dir, command = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    for module in ("ezdxf", "matplotlib", "numpy", "PIL"):
        if importlib.util.find_spec(module) is None:
            print(f"skipped: no {module}")
            return 77
    if not os.path.isdir(os.path.join(data_dir, "dxf")):
        print(f"skipped: no corpus drawings under {data_dir}")
        return 77
    spec = importlib.util.spec_from_file_location("fixtures", os.path.join(fixture_dir, "make_proxy_fixtures.py"))
    fixtures = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(fixtures)
    os.makedirs(out_dir, exist_ok=True)
    failures = []
    for name, window in sorted(fixtures.WINDOWS.items()):
        run(command, os.path.join(fixture_dir, name), window, out_dir, name, failures)
    compared = 0
    wipeouts = 0
    paths = [os.path.join(fixture_dir, "wipeout.dxf")] + sorted(glob.glob(os.path.join(data_dir, "dxf", "*.dxf")))
    for path in paths:
        with open(path, "rb") as f:
            if f.read(22).startswith(b"AutoCAD Binary DXF"):
                continue
        groups, section, entities = corpus_entities(path)
        for n, entity in enumerate(entities):
            label = f"{os.path.basename(path)}.{n}.{entity[0]}"
            alone = os.path.join(out_dir, label + ".dxf")
            write_alone(groups, section, entity, alone, fixtures)
            window = window_of(alone)
            if window is None:
                print(f"{label}: ezdxf draws nothing of these graphics; not compared")
                continue
            run(command, alone, window, out_dir, label, failures)
            compared += 1
            if entity[0] == "WIPEOUT":
                as_itself = os.path.join(out_dir, label + ".itself.dxf")
                write_alone(groups, section, entity, as_itself, fixtures, as_itself=True)
                run(command, as_itself, window, out_dir, label + ".itself", failures, their_path=alone)
                wipeouts += 1
    print(f"{compared} entities compared, {wipeouts} wipeouts drawn as themselves")
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures or compared == 0 or wipeouts == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
