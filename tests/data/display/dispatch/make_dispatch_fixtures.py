#!/usr/bin/python3
"""Writes the small DXF drawings the dispatcher tests draw (run from this
folder): points on layer 0 and DEFPOINTS, lines on layers on, off and
frozen, a SOLID whose fourth corner is its first, an XLINE, and three lines
whose draw order a SORTENTSTABLE turns round; block references: nested
blocks with layer-0 and BYBLOCK entities, a rotated 2 x 3 MINSERT,
attributes, a frozen INSERT, a cycle of blocks and a DIMENSION; line
weights given, by layer, by block and by default; external
references: present, missing, without extension, an overlay, and a part
that refers back to its host."""
import ezdxf


def new():
    doc = ezdxf.new("R2000")
    return doc, doc.modelspace()


def points():
    doc, msp = new()
    # ezdxf names the layer "Defpoints"; only "DEFPOINTS" is the special one.
    doc.layers.get("Defpoints").dxf.name = "DEFPOINTS"
    msp.add_point((10, 10))
    msp.add_point((20, 10), dxfattribs={"layer": "DEFPOINTS"})
    doc.saveas("points.dxf")


def layers():
    doc, msp = new()
    doc.layers.add("SHOWN", color=1)
    doc.layers.add("OFF", color=2).off()
    doc.layers.add("FROZEN", color=3).freeze()
    for y, layer in ((5, "SHOWN"), (10, "OFF"), (15, "FROZEN")):
        msp.add_line((0, y), (30, y), dxfattribs={"layer": layer})
    msp.add_line((0, 20), (30, 20), dxfattribs={"layer": "SHOWN", "color": 5})
    doc.saveas("layers.dxf")


def solid():
    doc, msp = new()
    solid = msp.add_solid([(5, 5), (25, 5), (15, 25), (5, 5)])
    solid.dxf.vtx3 = (5, 5, 0)
    doc.saveas("solid.dxf")


def xline():
    doc, msp = new()
    msp.add_xline((15, 15), (1, 1))
    doc.saveas("xline.dxf")


def draw_order():
    doc, msp = new()
    lines = [msp.add_line((0, y), (30, y), dxfattribs={"color": c}) for y, c in ((5, 1), (10, 2), (15, 3))]
    # The last line first, the first line last.
    msp.set_redraw_order({lines[0].dxf.handle: "FFF0", lines[1].dxf.handle: "FF00", lines[2].dxf.handle: "F000"})
    doc.saveas("draw_order.dxf")


def blocks():
    doc, msp = new()
    doc.layers.add("L1", color=1)
    doc.layers.add("L2", color=2)
    doc.layers.add("FROZEN", color=3).freeze()
    inner = doc.blocks.new("INNER")
    inner.add_line((0, 0), (2, 0))                           # layer 0: takes the inner INSERT's layer
    inner.add_line((0, 1), (2, 1), dxfattribs={"color": 0})  # BYBLOCK
    outer = doc.blocks.new("OUTER", base_point=(1, 1))
    outer.add_blockref("INNER", (1, 1), dxfattribs={"layer": "L2", "color": 0})
    msp.add_blockref("OUTER", (5, 5), dxfattribs={"layer": "L1"})
    # A 2 x 3 grid turned by 90 degrees: a dot per cell.
    dot = doc.blocks.new("DOT")
    dot.add_point((0, 0))
    grid = msp.add_blockref("DOT", (20, 5), dxfattribs={"rotation": 90})
    grid.grid(size=(2, 3), spacing=(5, 10))
    # Attributes: BYBLOCK takes the INSERT's colour; a frozen INSERT hides its own.
    tag = doc.blocks.new("TAG")
    tag.add_line((0, 0), (1, 0))
    for layer, y in (("L2", 20), ("FROZEN", 25)):
        ref = msp.add_blockref("TAG", (5, y), dxfattribs={"layer": layer, "color": 4})
        ref.add_attrib("A", "by block", (5, y), dxfattribs={"color": 0})
        ref.add_attrib("B", "red", (5, y + 1), dxfattribs={"color": 1})
    # A inserts B and B inserts A.
    a = doc.blocks.new("CYCLE_A")
    b = doc.blocks.new("CYCLE_B")
    a.add_line((0, 0), (0, 1))
    a.add_blockref("CYCLE_B", (1, 0))
    b.add_line((0, 0), (0, 1))
    b.add_blockref("CYCLE_A", (1, 0))
    msp.add_blockref("CYCLE_A", (25, 25))
    doc.saveas("blocks.dxf")


def dimension():
    doc, msp = new()
    msp.add_linear_dim(base=(5, 10), p1=(5, 5), p2=(25, 5)).render()
    doc.saveas("dimension.dxf")


def xrefs():
    part, pmsp = new()
    pmsp.add_line((0, 0), (10, 0))
    part.saveas("xref_part.dxf")
    # The part refers back to its host: the cycle ends there.
    host, msp = new()
    host.add_xref_def("xref_host.dxf", "HOST")
    loop, lmsp = new()
    lmsp.add_line((0, 0), (0, 10))
    loop.add_xref_def("xref_host.dxf", "HOST")
    lmsp.add_blockref("HOST", (0, 0))
    loop.saveas("xref_loop.dxf")
    doc, msp = new()
    doc.add_xref_def("xref_part", "PART")            # no extension: ".dxf" is added
    doc.add_xref_def("xref_part.Dxf", "CASED")       # an extension in mixed case
    doc.add_xref_def("no_such_part.dxf", "MISSING")
    doc.add_xref_def("xref_loop.dxf", "LOOP")
    msp.add_blockref("PART", (0, 5))
    msp.add_blockref("CASED", (0, 10))
    msp.add_blockref("MISSING", (0, 15))
    msp.add_blockref("LOOP", (20, 0))
    doc.saveas("xref_host.dxf")


def outlines():
    # Clip entities of non-rectangular viewports, in this order.
    doc, msp = new()
    msp.add_circle((10, 10), 5)
    msp.add_lwpolyline([(0, 0), (4, 0), (4, 4), (0, 4)], close=True)
    msp.add_lwpolyline([(0, 0, 0), (4, 0, 0), (4, 0, 0), (4, 4, 0), (0, 4, 1)], format="xyb", close=True)
    msp.add_ellipse((10, 10), major_axis=(4, 0, 0), ratio=0.5)
    msp.add_spline([(0, 0), (3, 5), (6, 0)])
    msp.add_line((0, 0), (1, 1))
    doc.saveas("outlines.dxf")


def visretain():
    # The part's WALLS layer is red; the hosts have a green PART|WALLS and
    # insert the part on a blue layer, which the part's layer 0 takes.
    part, pmsp = new()
    part.layers.add("WALLS", color=1)
    pmsp.add_line((0, 0), (10, 0), dxfattribs={"layer": "WALLS"})
    pmsp.add_line((0, 2), (10, 2))
    part.saveas("xref_walls.dxf")
    for retain in (0, 1):
        doc, msp = new()
        doc.header["$VISRETAIN"] = retain
        doc.layers.add("PART|WALLS", color=3)
        doc.layers.add("BLUE", color=5)
        doc.add_xref_def("xref_walls.dxf", "PART")
        msp.add_blockref("PART", (5, 5), dxfattribs={"layer": "BLUE"})
        doc.saveas(f"xref_visretain{retain}.dxf")


def weights():
    doc, msp = new()
    doc.header["$LWDISPLAY"] = 1
    doc.layers.add("HEAVY", color=1, lineweight=100)
    part = doc.blocks.new("PART")
    part.add_line((0, 0), (10, 0), dxfattribs={"lineweight": -2})
    msp.add_line((0, 5), (30, 5), dxfattribs={"layer": "HEAVY", "lineweight": 211})
    msp.add_line((0, 10), (30, 10), dxfattribs={"layer": "HEAVY", "lineweight": -1})
    msp.add_blockref("PART", (0, 15), dxfattribs={"layer": "HEAVY", "lineweight": 211})
    msp.add_line((0, 20), (30, 20), dxfattribs={"layer": "HEAVY", "lineweight": -3})
    doc.saveas("weights.dxf")


points()
layers()
solid()
xline()
draw_order()
blocks()
dimension()
xrefs()
outlines()
visretain()
weights()
