#!/usr/bin/env python3
"""Lets ezdxf judge the DXF files of AC1012..AC1015 our writer made from the
corpus. Each must load with a clean audit. Where ezdxf reads the DXF source
too, it must find in our file:
- the same entities per type, in model space and in the active paper space,
  for sources up to AC1015 (a later source reads as AC1009, whose files hold
  no objects: its images lose their definitions, which ezdxf then drops; an
  AC1012 file has no image definitions at all);
- the same layers, linetypes and styles (before AC1015 with blanks and
  brackets made underscores); our reader also makes the layers that entities
  name without a LAYER record, so those may be more;
- for an AC1015 source saved at AC1015, the same dictionary tree, but for
  objects of classes the source does not register, which our reader passes
  over.

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
    """Entities per (space, type) of the kinds an AC1015 file holds, in model
    space and in the active paper space. Our reader makes simple POLYLINEs
    LWPOLYLINEs and 3DLINEs LINEs, so both count alike."""
    result = collections.Counter()
    paper = doc.layouts.active_layout()
    for space, layout in (("MODEL", doc.modelspace()), ("PAPER", paper)):
        for entity in layout:
            kind = {"LWPOLYLINE": "POLYLINE", "3DLINE": "LINE"}.get(entity.dxftype(), entity.dxftype())
            if kind in KINDS:
                result[(space, kind)] += 1
    return result


def at_version(entities, version):
    """AC1012 files have no image definitions, without which ezdxf drops an
    IMAGE: there IMAGEs do not count."""
    return collections.Counter({key: n for key, n in entities.items() if not (key[1] == "IMAGE" and version == "AC1012")})


def legal(name):
    """A symbol name as files before AC1015 allow it: blanks and brackets
    become underscores."""
    return "".join("_" if c in " ()[]" else c for c in name)


def tables(doc, version="AC1015"):
    shape = (lambda name: name) if version == "AC1015" else legal
    return {name: sorted(shape(entry.dxf.name.upper()) for entry in getattr(doc, name))
            for name in ("layers", "linetypes", "styles")}


def named_layers(path):
    """The layers that the groups 8 of an ASCII source name."""
    with open(path, "rb") as source:
        text = source.read()
    if text.startswith(b"AutoCAD Binary DXF"):
        return set()
    lines = text.decode("latin-1").splitlines()
    return {lines[i + 1].strip().upper() for i in range(0, len(lines) - 1, 2) if lines[i].strip() == "8"}


def later_than_ac1015(doc):
    return doc.dxfversion > "AC1015"


# The objects our reader reads itself; an object of any other kind it keeps
# only when the drawing registers the kind's class in CLASSES.
READ_OBJECTS = {"DICTIONARY", "MLINESTYLE", "GROUP", "XRECORD", "DIMASSOC", "IDBUFFER", "DICTIONARYVAR",
                "IMAGEDEF", "IMAGEDEF_REACTOR", "LAYER_INDEX", "OBJECT_PTR", "RASTERVARIABLES", "SORTENTSTABLE",
                "SPATIAL_FILTER", "SPATIAL_INDEX", "ACDBDICTIONARYWDFLT", "ACDBPLACEHOLDER", "LAYOUT",
                "PLOTSETTINGS", "VBA_PROJECT", "WIPEOUTVARIABLES"}


def tree(doc, kept):
    """The names under the root dictionary, dictionaries opened; an entry
    whose object is of no kind in kept is left out."""
    seen = set()

    def walk(dictionary, prefix):
        names = []
        for key, value in sorted(dictionary.items()):
            if hasattr(value, "dxftype") and value.dxftype() not in kept:
                continue
            names.append(prefix + key)
            if hasattr(value, "items") and value.dxf.handle not in seen:
                seen.add(value.dxf.handle)
                names.extend(walk(value, prefix + key + "/"))
        return names

    return sorted(name for name in walk(doc.rootdict, "") if not name.startswith(ROUND_TRIP_ENTRY))


def kept_objects(source):
    """The object kinds of the source that our reader keeps."""
    return READ_OBJECTS | {entry.dxf.name for entry in source.classes}


def source_doc(path):
    """ezdxf's reading of a source and its entity counts, then audited as our
    file is: both lose what ezdxf's audit takes out (dictionary entries
    without an object and the like). The counts come before the audit, which
    drops kinds our reader converts (3DLINE). None when ezdxf cannot read
    it."""
    import ezdxf
    if path not in SOURCE_CACHE:
        try:
            doc = ezdxf.readfile(path)
            entities = counts(doc)
            doc.audit()
            SOURCE_CACHE[path] = (doc, entities, named_layers(path))
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
    # Per source, per output: which checks ran and passed (A audit, C entity
    # counts, T tables, D dictionary tree; "." not compared, "!" failed).
    grid = collections.defaultdict(dict)
    for line in open(sys.argv[1], encoding="utf-8"):
        source, output, version = line.rstrip("\n").split("\t")
        label = f"{source.rsplit('/', 1)[-1]} as {version}: "
        with open(output, "rb") as written:
            form = "binary" if written.read(18) == b"AutoCAD Binary DXF" else "ASCII"
        marks = grid[source.rsplit("/", 1)[-1]].setdefault(f"{version} {form}", {})
        checked += 1
        before = len(failures)

        def mark(letter):
            marks[letter] = letter if len(failures) == before else "!"

        try:
            doc = ezdxf.readfile(output)
            auditor = doc.audit()
        except Exception as error:
            failures.append(label + f"ezdxf: {type(error).__name__}: {error}")
            mark("A")
            continue
        if auditor.has_errors:
            failures.append(label + f"audit: {[e.message for e in auditor.errors][:3]}")
        mark("A")
        if not source.endswith(".dxf"):
            continue
        known = source_doc(source)
        if known is None:
            continue
        original, source_counts, source_layers = known
        if not later_than_ac1015(original):
            ours, theirs = at_version(counts(doc), version), at_version(source_counts, version)
            if ours != theirs:
                failures.append(label + f"entities {dict(ours - theirs)} more, {dict(theirs - ours)} fewer")
            mark("C")
        ours_tables, theirs_tables = tables(doc), tables(original, version)
        for table, names in theirs_tables.items():
            fewer = set(names) - set(ours_tables[table])
            more = set(ours_tables[table]) - set(names)
            if table == "layers":
                more -= {legal(name) if version != "AC1015" else name for name in source_layers}
            if fewer or more:
                failures.append(label + f"{table}: {sorted(more)} more, {sorted(fewer)} fewer")
        mark("T")
        kept = kept_objects(original)
        if original.dxfversion == "AC1015" and version == "AC1015" and tree(doc, kept) != tree(original, kept):
            ours_tree, theirs_tree = set(tree(doc, kept)), set(tree(original, kept))
            failures.append(label + f"dictionary tree: {sorted(ours_tree - theirs_tree)[:6]} more, "
                            f"{sorted(theirs_tree - ours_tree)[:6]} fewer")
        if original.dxfversion == "AC1015" and version == "AC1015":
            mark("D")
    columns = sorted({column for row in grid.values() for column in row})
    print("| source | " + " | ".join(columns) + " |")
    print("|---" * (len(columns) + 1) + "|")
    for source, row in sorted(grid.items()):
        cells = ["".join(row[c].get(k, ".") for k in "ACTD") if c in row else "" for c in columns]
        print(f"| {source} | " + " | ".join(cells) + " |")
    for failure in failures:
        print(failure)
    print(f"{checked} files checked, {len(failures)} failures")
    return 1 if failures or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
