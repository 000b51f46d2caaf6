#!/usr/bin/env python3
"""Lets ezdxf judge the DXF files of AC1012..AC1015 our writer made from the
corpus. Each must load with a clean audit. Where ezdxf reads the DXF source
too, it must find in our file:
- the same entities per type, in model space and in the active paper space,
  for sources up to AC1015 (a later source reads as AC1009, whose files hold
  no objects: its images lose their definitions, which ezdxf then drops);
- the same layers, linetypes and styles; our reader also makes the layers
  that entities name without a LAYER record, so those may be more;
- for an AC1015 source saved at AC1015, the same dictionary tree.

usage: dxf_r13_peers.py MANIFEST   (lines: source TAB output TAB version)
Exits 77 (skipped) when ezdxf is absent.
"""
import collections
import sys

SOURCE_CACHE = {}
# The entity kinds of AC1015 files; later kinds are not read, so not written.
KINDS = {"3DFACE", "3DSOLID", "ARC", "ARCALIGNEDTEXT", "ATTDEF", "ATTRIB", "BODY", "CIRCLE", "DIMENSION",
         "ELLIPSE", "HATCH", "IMAGE", "INSERT", "LEADER", "LINE", "MLINE", "MTEXT", "OLE2FRAME", "POINT",
         "POLYLINE", "RAY", "REGION", "RTEXT", "SOLID", "SPLINE", "TEXT", "TOLERANCE", "TRACE", "VIEWPORT",
         "WIPEOUT", "XLINE"}
# Taken out of the root dictionary by every save to another version.
ROUND_TRIP_ENTRY = "ACDBHEADERROUNDTRIPXREC"


def counts(doc):
    """Entities per (space, type) of the kinds an AC1015 file holds; our
    reader makes simple POLYLINEs LWPOLYLINEs and 3DLINEs LINEs, so both
    count alike."""
    result = collections.Counter()
    for space, layout in (("MODEL", doc.modelspace()), ("PAPER", doc.layout())):
        if layout.name == "Model" and space == "PAPER":
            continue
        for entity in layout:
            kind = {"LWPOLYLINE": "POLYLINE", "3DLINE": "LINE"}.get(entity.dxftype(), entity.dxftype())
            if kind in KINDS:
                result[(space, kind)] += 1
    return result


def tables(doc):
    return {name: sorted(entry.dxf.name.upper() for entry in getattr(doc, name))
            for name in ("layers", "linetypes", "styles")}


def named_layers(doc):
    """The layers the entities of every layout and block name."""
    names = set()
    for block in doc.blocks:
        for entity in block:
            if entity.dxf.hasattr("layer"):
                names.add(entity.dxf.layer.upper())
    return names


def later_than_ac1015(doc):
    return doc.dxfversion > "AC1015"


def tree(doc):
    """The names under the root dictionary, dictionaries opened."""
    seen = set()

    def walk(dictionary, prefix):
        names = []
        for key, value in sorted(dictionary.items()):
            names.append(prefix + key)
            if hasattr(value, "items") and value.dxf.handle not in seen:
                seen.add(value.dxf.handle)
                names.extend(walk(value, prefix + key + "/"))
        return names

    return sorted(name for name in walk(doc.rootdict, "") if not name.startswith(ROUND_TRIP_ENTRY))


def source_doc(path):
    import ezdxf
    if path not in SOURCE_CACHE:
        try:
            SOURCE_CACHE[path] = ezdxf.readfile(path)
        except Exception:  # ezdxf cannot read the source: nothing to compare
            SOURCE_CACHE[path] = None
    return SOURCE_CACHE[path]


def main():
    try:
        import ezdxf
    except ImportError:
        print("python3-ezdxf is not installed")
        return 77
    failures = []
    checked = 0
    for line in open(sys.argv[1], encoding="utf-8"):
        source, output, version = line.rstrip("\n").split("\t")
        label = f"{source.rsplit('/', 1)[-1]} as {version}: "
        checked += 1
        try:
            doc = ezdxf.readfile(output)
            auditor = doc.audit()
        except Exception as error:
            failures.append(label + f"ezdxf: {type(error).__name__}: {error}")
            continue
        if auditor.has_errors:
            failures.append(label + f"audit: {[e.message for e in auditor.errors][:3]}")
        if not source.endswith(".dxf"):
            continue
        original = source_doc(source)
        if original is None:
            continue
        if not later_than_ac1015(original):
            ours, theirs = counts(doc), counts(original)
            if ours != theirs:
                failures.append(label + f"entities {dict(ours - theirs)} more, {dict(theirs - ours)} fewer")
        ours_tables, theirs_tables = tables(doc), tables(original)
        for table, names in theirs_tables.items():
            fewer = set(names) - set(ours_tables[table])
            more = set(ours_tables[table]) - set(names)
            if table == "layers":
                more -= named_layers(original)
            if fewer or more:
                failures.append(label + f"{table}: {sorted(more)} more, {sorted(fewer)} fewer")
        if original.dxfversion == "AC1015" and version == "AC1015" and tree(doc) != tree(original):
            ours_tree, theirs_tree = set(tree(doc)), set(tree(original))
            failures.append(label + f"dictionary tree: {sorted(ours_tree - theirs_tree)[:6]} more, "
                            f"{sorted(theirs_tree - ours_tree)[:6]} fewer")
    for failure in failures:
        print(failure)
    print(f"{checked} files checked, {len(failures)} failures")
    return 1 if failures or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
