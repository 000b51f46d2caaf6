#!/usr/bin/python3
"""Writes the block- and external-reference drawings of the dispatcher
tests beside those of make_dispatch_fixtures.py (run from this folder): a
BYBLOCK line at the top level, a block that inserts itself, a reference with
x scale 0, a clipped reference with its frame and a clipped empty block, a
2 x 3 grid of a missing external reference, an overlay met inside an
attached reference and from the top level, attributes under each ATTMODE
with each attribute flag, a layout viewport clipped by a circle beside
the same viewport unclipped, and lines under a linetype whose gap carries
the text "I" in the test font glyphs.shx (one unit up). ezdxf writes no SPATIAL_FILTER: the
clipped references get an XRECORD in its place, which is then rewritten as
the filter; it also leaves out an x scale of 0, which is written in after."""
import re

import ezdxf

FILTER_CLASS = "  0\nCLASS\n  1\nSPATIAL_FILTER\n  2\nAcDbSpatialFilter\n  3\nObjectDBX Classes\n 90\n0\n280\n0\n281\n0\n"


def new():
    doc = ezdxf.new("R2000")
    return doc, doc.modelspace()


def spatial_filter(handle, owner, corners):
    """The tags of a SPATIAL_FILTER with the rectangle's two corners in block
    coordinates, its frame shown, and identity transforms."""
    tags = [(0, "SPATIAL_FILTER"), (5, handle), (330, owner), (100, "AcDbFilter"), (100, "AcDbSpatialFilter"),
            (70, len(corners))]
    for x, y in corners:
        tags += [(10, x), (20, y)]
    tags += [(210, 0.0), (220, 0.0), (230, 1.0), (11, 0.0), (21, 0.0), (31, 0.0), (71, 1), (72, 0), (73, 0)]
    identity = [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0]  # 3 rows of 4, row by row
    tags += [(40, float(v)) for v in identity * 2]
    return "".join(f"{code:>3}\n{value}\n" for code, value in tags)


def clip(insert, corners, filters):
    xdict = insert.new_extension_dict()
    acad_filter = xdict.dictionary.add_new_dict("ACAD_FILTER", hard_owned=True)
    record = acad_filter.add_xrecord("SPATIAL")
    filters.append((record.dxf.handle, acad_filter.dxf.handle, corners))


def save_with_filters(doc, name, filters, patches=()):
    doc.saveas(name)
    text = open(name).read()
    for old, new in patches:
        assert old in text, old
        text = text.replace(old, new, 1)
    for handle, owner, corners in filters:
        pattern = re.compile(r"  0\nXRECORD\n  5\n" + handle + r"\n.*?(?=\n  0\n)\n", re.S)
        text, count = pattern.subn(lambda _: spatial_filter(handle, owner, corners), text, count=1)
        assert count == 1, handle
    text = text.replace("  0\nSECTION\n  2\nCLASSES\n", "  0\nSECTION\n  2\nCLASSES\n" + FILTER_CLASS, 1)
    open(name, "w").write(text)


def references():
    doc, msp = new()
    doc.rootdict.get_required_dict("AcDbVariableDictionary").set_or_add_dict_var("XCLIPFRAME", "1")
    msp.add_line((0, 29), (4, 29), dxfattribs={"color": 0})  # BYBLOCK at the top level: colour 7
    self_block = doc.blocks.new("SELF")  # inserts itself: drawn once
    self_block.add_line((0, 27), (4, 27), dxfattribs={"color": 2})
    self_block.add_blockref("SELF", (10, 0))
    msp.add_blockref("SELF", (0, 0))
    bar = doc.blocks.new("BAR")
    bar.add_line((0, 0), (4, 0), dxfattribs={"color": 3})
    msp.add_blockref("BAR", (2, 25))  # with x scale 0 (below): collapses to a point
    box = doc.blocks.new("BOX")
    box.add_line((0, 0), (10, 0), dxfattribs={"color": 4})
    box.add_line((0, 5), (10, 5), dxfattribs={"color": 4})
    filters = []
    clip(msp.add_blockref("BOX", (5, 5)), [(2, -1), (6, 6)], filters)  # x 7 .. 11 in the world
    doc.blocks.new("EMPTY")
    clip(msp.add_blockref("EMPTY", (5, 15)), [(0, 0), (1, 1)], filters)
    msp.add_line((0, 20), (30, 20), dxfattribs={"color": 5})  # after the empty one: not clipped
    bar_reference = "AcDbBlockReference\n  2\nBAR\n 10\n2.0\n 20\n25.0\n 30\n0.0\n"
    save_with_filters(doc, "references.dxf", filters, [(bar_reference, bar_reference + " 41\n0.0\n")])


def missing_grid():
    doc, msp = new()
    doc.add_xref_def("no_such_grid.dxf", "GONE")
    msp.add_blockref("GONE", (5, 5)).grid(size=(2, 3), spacing=(5, 5))
    doc.saveas("xref_missing_grid.dxf")


def overlays():
    inner, imsp = new()
    imsp.add_line((0, 0), (5, 0))
    inner.saveas("xref_overlaid.dxf")
    outer, omsp = new()
    omsp.add_line((0, 0), (0, 5))
    outer.add_xref_def("xref_overlaid.dxf", "OVER", flags=4 | 8)  # external, overlay
    omsp.add_blockref("OVER", (0, 0))
    outer.saveas("xref_attached.dxf")
    doc, msp = new()
    doc.add_xref_def("xref_attached.dxf", "ATTACHED")
    doc.add_xref_def("xref_overlaid.dxf", "OVER", flags=4 | 8)
    msp.add_blockref("ATTACHED", (5, 5))
    msp.add_blockref("OVER", (5, 20))
    doc.saveas("xref_overlay_host.dxf")


def attributes():
    # One INSERT with an attribute of each flag (none, invisible, constant,
    # verify, preset), drawn under ATTMODE 0, 1 and 2.
    for mode in (0, 1, 2):
        doc, msp = new()
        doc.header["$ATTMODE"] = mode
        doc.blocks.new("TAGGED").add_line((0, 0), (1, 0))
        ref = msp.add_blockref("TAGGED", (5, 5))
        for i, flags in enumerate((0, 1, 2, 4, 8)):
            ref.add_attrib(f"A{i}", f"value {flags}", (5, 6 + 2 * i), dxfattribs={"flags": flags})
        doc.saveas(f"attributes_mode{mode}.dxf")


def clipped_viewports():
    # A 1:1 window 8 units wide at (12, 7) on the sheet over a model line
    # through its middle; the clipped one shows it through a circle of
    # radius 3 about the window's centre.
    for name, clipped in (("viewport_clipped.dxf", True), ("viewport_square.dxf", False)):
        doc, msp = new()
        doc.header["$TILEMODE"] = 0
        msp.add_line((-10, 0), (10, 0))
        paper = doc.layout("Layout1")
        paper.page_setup(size=(24, 14), margins=(0, 0, 0, 0), units="inch")
        window = paper.add_viewport(center=(12, 7), size=(8, 8), view_center_point=(0, 0), view_height=8)
        if clipped:
            circle = paper.add_circle((12, 7), 3)
            window.dxf.clipping_boundary_handle = circle.dxf.handle
            window.dxf.flags = window.dxf.flags | 0x10000
        doc.saveas(name)


def linetype_elements():
    doc, msp = new()
    doc.styles.new("GLYPHS", dxfattribs={"font": "glyphs.shx"})
    doc.linetypes.new("ITEXT", dxfattribs={"description": "dash, I, gap", "length": 4.0,
                                           "pattern": 'A,2,-1,["I",GLYPHS,S=10,R=0.0,X=0,Y=0],-1'})
    msp.add_line((0, 5), (20, 5), dxfattribs={"linetype": "ITEXT"})
    msp.add_line((25, 2), (25, 22), dxfattribs={"linetype": "ITEXT"})
    doc.saveas("linetype_elements.dxf")


references()
missing_grid()
overlays()
attributes()
clipped_viewports()
linetype_elements()
