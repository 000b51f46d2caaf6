#!/usr/bin/python3
"""Writes what ezdxf reads from every DXF of the corpus, in the canonical
summary that corpus_summary.h makes of a loaded drawing.

usage: corpus_summary.py DATA_DIR OUTPUT

One tab-separated line per record, each starting with the DXF's file stem:
  STEM TABLE LAYER name
  STEM COUNT container type n
  STEM GEOMETRY container type values...
  STEM HANDLES handle...        (every handle the file gives a record)
  STEM REFUSED reason          (ezdxf could not read the file)
The container is MODEL, PAPER or the block's name (an anonymous block's as
below). GEOMETRY lines come in
the order of the entities in their container; numbers are written exactly
(repr), texts start with "=". Texts are written back in the file's code page,
as the toolkit keeps them.

The database is not a copy of the file; every difference of representation
between it and ezdxf's document is made good here and nowhere else (how a
DWG and its DXF twin differ as files is corpus_compare.cpp's matter):
- Paper space is the active layout's block (*Paper_Space); the blocks of the
  other layouts are plain blocks to the database, so they are here too.
  R12 files have no paper-space block: ezdxf makes one for entities with the
  paper-space flag, which is what the database's paper-space list holds.
- SEQEND ends a POLYLINE or an attributed INSERT and carries nothing; ezdxf
  keeps it out of the layout, so it is not counted. A POLYLINE's VERTEX
  records and an INSERT's ATTRIB records are counted under their own types,
  as the database keeps them as entities of the same list.
- The database turns a simple 2D POLYLINE into an LWPOLYLINE while loading:
  no curve-fit, spline-fit, 3D, mesh or polyface flag (0x5E), no vertex equal
  to the one before it, no vertex with extended data and no vertex with the
  curve-fit-extra flag (2). Such a POLYLINE counts as one LWPOLYLINE here,
  without its vertices, with the vertices' x, y and bulge as its geometry.
- A 3DLINE is kept as a LINE.
- An entity whose name is no entity type of the database and no class of the
  file (nor one of the classes the database always knows) is passed over by
  the database's reader: it is not counted.
- The database keeps an ACAD_ZOMBIE_ENTITY as a proxy entity.
- An ACAD_PROXY_ENTITY whose application class (group 91) is a class of the
  file that the database keeps as a proxy takes that class as its type, so
  it is counted under the class's name.
- ezdxf gathers the linked columns of an MTEXT into the first one and takes
  them out of the layout; in the file, and in the database, each is an MTEXT
  of its own, so they are put back in their place in the file (ezdxf's
  entity database keeps the file's order).
- ezdxf makes every standard arrowhead block when it upgrades an R13 or R14
  file to R2000; the file does not hold them, so ezdxf is kept from doing it.
- A file of a version the database does not know (after AC1015) is read as
  AC1009, and in files older than AC1015 the database leaves out (and notes)
  a paper-space VIEWPORT without extended data; such viewports are not
  counted.
- A DWG file names every anonymous block by its kind alone ("*D") and every
  extra layout's block "*Paper_Space", where a DXF writer numbers them; a
  block whose name starts with "*" is named by that kind, upper-cased, and
  its rank among the blocks of that kind by handle ("*D#0"), here and in
  corpus_summary.cpp alike.
- Arc angles are degrees in DXF and radians in the database; the summary
  gives the direction of each end in radians in [0, 2 pi), since the
  database keeps an angle either as the file gives it or raised by whole
  turns above the start angle.
- ezdxf adds the layers "0" and "Defpoints" when the file lacks them; it is
  kept from doing so. The database always holds a layer "0" (it makes one
  when the table lacks it), so "0" is listed whatever the file holds.
- Layers: the database creates a layer that an entity names but the LAYER
  table lacks, so such names are listed too, once, in order of first use.
"""
import math
import os
import sys

import ezdxf

NOT_CONVERTIBLE = 0x5E
FIXED_TYPES = frozenset((
    "LINE POINT CIRCLE SHAPE ELLIPSE SPLINE TEXT ARC TRACE REGION SOLID INSERT ATTDEF ATTRIB POLYLINE VERTEX "
    "3DLINE 3DFACE DIMENSION VIEWPORT 3DSOLID RAY XLINE MTEXT LEADER TOLERANCE MLINE BODY ACAD_PROXY_ENTITY "
    "ACAD_ZOMBIE_ENTITY").split())
BUILTIN_CLASSES = frozenset("LWPOLYLINE OLE2FRAME HATCH IMAGE ARCALIGNEDTEXT RTEXT WIPEOUT".split())
FIRST_CLASS_NUMBER = 500
KNOWN_VERSIONS = ("AC1002", "AC1003", "AC1004", "AC1006", "AC1009", "AC1012", "AC1014", "AC1015")

ezdxf.document.Drawing.create_all_arrow_blocks = lambda self: None
ezdxf.document.Drawing._create_required_layers = lambda self: None


def text(value):
    return "=" + value


def number(value):
    return repr(float(value))


def radians(degrees):
    """The direction in [0, 2 pi); within 1e-9 below a whole turn counts as 0, as in corpus_summary.cpp."""
    angle = math.radians(degrees) % (2.0 * math.pi)
    return 0.0 if angle > 2.0 * math.pi - 1e-9 else angle


def layer_of(entity):
    """The layer an entity names; entities ezdxf does not know keep it in their tags."""
    if entity.dxf.is_supported("layer"):
        return entity.dxf.get("layer", "0")
    (layer,) = tag_values(entity, (8,))
    return layer or "0"


def convertible(polyline):
    if polyline.dxf.flags & NOT_CONVERTIBLE:
        return False
    previous = None
    for vertex in polyline.vertices:
        point = tuple(vertex.dxf.location)
        if point == previous or vertex.xdata is not None or vertex.dxf.flags & 2:
            return False
        previous = point
    return True


def lwpolyline_values(points):
    values = [str(len(points))]
    for x, y, bulge in points:
        values += [number(x), number(y), number(bulge)]
    return values


def raw_tags(entity):
    """The tags ezdxf keeps of an entity it does not read, or of a proxy's own part."""
    if hasattr(entity, "xtags"):
        return [tag for subclass in entity.xtags.subclasses for tag in subclass]
    return list(getattr(entity, "acdb_proxy_entity", []))


def tag_values(entity, codes):
    """Values of the first tags with these codes; 0 for a missing one."""
    found = {}
    for tag in raw_tags(entity):
        if tag.code in codes and tag.code not in found:
            found[tag.code] = tag.value
    return [found.get(code, 0) for code in codes]


def point(value):
    """A point tag as three coordinates (a 2D point has z 0)."""
    coordinates = tuple(value) if hasattr(value, "__iter__") else ()
    return (coordinates + (0.0, 0.0, 0.0))[:3]


def canonical_names(blocks):
    """Block name -> its name in the summary, for (name, handle) pairs."""
    canonical, kinds = {}, {}
    for name, handle in blocks:
        canonical[name] = name
        if name.startswith("*"):
            kinds.setdefault(name.rstrip("0123456789").upper(), []).append((int(handle, 16), name))
    for kind, members in kinds.items():
        for rank, (_, name) in enumerate(sorted(members)):
            canonical[name] = f"{kind}#{rank}"
    return canonical


def geometry(entity, kind, blocks):
    dxf = entity.dxf
    if kind == "LINE" and entity.dxftype() == "3DLINE":
        start, end = tag_values(entity, (10, 11))
        return [number(v) for v in point(start) + point(end)]
    if kind == "LINE":
        return [number(v) for v in tuple(dxf.start) + tuple(dxf.end)]
    if kind == "CIRCLE":
        return [number(v) for v in tuple(dxf.center) + (dxf.radius,)]
    if kind == "ARC":
        return [number(v) for v in tuple(dxf.center) + (dxf.radius,)] + [
            number(radians(dxf.start_angle)), number(radians(dxf.end_angle))]
    if kind == "LWPOLYLINE" and entity.dxftype() == "LWPOLYLINE":
        return lwpolyline_values(list(entity.get_points("xyb")))
    if kind == "LWPOLYLINE":
        return lwpolyline_values([(v.dxf.location[0], v.dxf.location[1], v.dxf.bulge) for v in entity.vertices])
    if kind == "TEXT":
        return [text(dxf.text)]
    if kind == "MTEXT":
        return [text(entity.text)]
    if kind == "INSERT":
        return [text(blocks.get(dxf.name, dxf.name))] + [number(v) for v in (dxf.xscale, dxf.yscale, dxf.zscale)]
    if kind == "DIMENSION":
        name = dxf.get("geometry", "")
        return [text(blocks.get(name, name))]
    return None


def linked_columns(mtext):
    return mtext._columns.linked_columns if mtext.has_columns else []


def type_name(entity, classes):
    """The name the database gives the entity's type; None when it drops it."""
    kind = entity.dxftype()
    if kind == "3DLINE":
        return "LINE"
    if kind in ("ACAD_PROXY_ENTITY", "ACAD_ZOMBIE_ENTITY"):
        (number,) = tag_values(entity, (91,))
        name = classes.get(int(number or 0))
        return name if name and name not in BUILTIN_CLASSES else "ACAD_PROXY_ENTITY"
    if kind in FIXED_TYPES or kind in BUILTIN_CLASSES or kind in classes.values():
        return kind
    return None


def viewports_need_xdata(doc):
    version = doc.loaded_dxfversion or "AC1009"
    return version not in KNOWN_VERSIONS or version < "AC1015"


def in_file_order(entities, order):
    found = []
    for entity in entities:
        found.append(entity)
        if entity.dxftype() == "MTEXT":
            found += linked_columns(entity)
    return sorted(found, key=lambda entity: order.get(entity.dxf.handle, -1))


def summarize(container, entities, lines, layers, classes, blocks, bare_viewports_left_out):
    counts = {}
    for entity in entities:
        kind = type_name(entity, classes)
        if kind is None:
            continue
        if kind == "VIEWPORT" and container == "PAPER" and bare_viewports_left_out and entity.xdata is None:
            continue
        subs = list(entity.vertices) if kind == "POLYLINE" else list(entity.attribs) if kind == "INSERT" else []
        if kind == "POLYLINE" and convertible(entity):
            kind = "LWPOLYLINE"
        elif kind == "POLYLINE":
            counts["VERTEX"] = counts.get("VERTEX", 0) + len(entity.vertices)
        elif kind == "INSERT" and subs:
            counts["ATTRIB"] = counts.get("ATTRIB", 0) + len(subs)
        counts[kind] = counts.get(kind, 0) + 1
        for sub in [entity] + subs:
            layer = layer_of(sub)
            if layer.upper() not in layers:
                layers[layer.upper()] = layer
        values = geometry(entity, kind, blocks)
        if values is not None:
            lines.append(["GEOMETRY", container, kind] + values)
    for kind in sorted(counts):
        lines.append(["COUNT", container, kind, str(counts[kind])])


def summary(path):
    doc = ezdxf.readfile(path)
    lines = []
    layers = {"0": "0"}
    for layer in doc.layers:
        layers.setdefault(layer.dxf.name.upper(), layer.dxf.name)
    paper = doc.layouts.active_layout().block_record.dxf.name.upper()
    model = doc.modelspace().block_record.dxf.name.upper()
    classes = {FIRST_CLASS_NUMBER + i: c.dxf.name for i, c in enumerate(doc.classes)}
    order = {handle: i for i, handle in enumerate(doc.entitydb.keys())}
    spaces = {model: "MODEL", paper: "PAPER"}
    blocks = canonical_names([(block.name, block.block_record.dxf.handle) for block in doc.blocks
                              if block.name.upper() not in spaces])
    for block in doc.blocks:
        container = spaces.get(block.name.upper()) or blocks[block.name]
        summarize(container, in_file_order(block, order), lines, layers, classes, blocks, viewports_need_xdata(doc))
    lines += [["TABLE", "LAYER", name] for name in layers.values()]
    lines.append(["HANDLES"] + [handle.upper().lstrip("0") or "0" for handle in order])
    return lines, doc.encoding


def main():
    data_dir, output = sys.argv[1], sys.argv[2]
    folder = os.path.join(data_dir, "dxf")
    with open(output, "wb") as out:
        for name in sorted(os.listdir(folder)):
            if not name.endswith(".dxf"):
                continue
            stem = name[:-4]
            try:
                lines, encoding = summary(os.path.join(folder, name))
            except Exception as error:  # noqa: BLE001 - any refusal is reported as such
                lines, encoding = [["REFUSED", type(error).__name__]], "ascii"
            for line in lines:
                out.write("\t".join([stem] + line).encode(encoding, errors="replace") + b"\n")


if __name__ == "__main__":
    main()
