#!/usr/bin/python3
"""Writes one drawing in both DXF forms for the form-identity test.

usage: dxf_forms_drawing.py OUT_DIR
Writes r12.dxf, r12.dxb, r2000.dxf and r2000.dxb (ASCII and binary DXF of the
same drawing at R12 and at R2000). Exits 77 when ezdxf is not installed.
"""
import math
import os
import sys

try:
    import ezdxf
except ImportError:
    sys.exit(77)


def build(version):
    doc = ezdxf.new(version, setup=True)
    doc.header["$CLAYER"] = "WALLS"
    # Reals that must come through both forms alike.
    doc.header["$EXTMIN"] = (-1.5, -2.25, 0.125)
    doc.header["$EXTMAX"] = (12.75, 1e-7, 3.0e5)
    doc.layers.add("WALLS", color=3, linetype="DASHED")
    doc.layers.add("DOORS", color=5)
    doc.layers.add("NOTES", color=7)
    doc.appids.add("VT_FORMS")
    doc.styles.add("NARROW", font="txt.shx").dxf.width = 0.8

    door = doc.blocks.new("DOOR", base_point=(0, 0))
    door.add_line((0, 0), (0, 1), dxfattribs={"layer": "DOORS"})
    door.add_arc((0, 0), 1, 0, 90, dxfattribs={"layer": "DOORS"})
    door.add_attdef("TAG", (0.2, 0.2), dxfattribs={"height": 0.1, "style": "NARROW"})
    mark = doc.blocks.new("MARK", base_point=(1, 1))
    mark.add_circle((1, 1), 0.25)
    mark.add_blockref("DOOR", (2, 0))

    msp = doc.modelspace()
    msp.add_line((0, 0), (10, 0), dxfattribs={"layer": "WALLS", "color": 1})
    line = msp.add_line((10, 0), (10, 8), dxfattribs={"layer": "WALLS", "linetype": "DASHED"})
    line.set_xdata("VT_FORMS", [(1000, "wall"), (1040, 2.5), (1070, 7), (1010, (1, 2, 3))])
    msp.add_circle((5, 4), 1.5, dxfattribs={"layer": "NOTES", "thickness": 0.5})
    msp.add_arc((3, 3), 2, 30, 300)
    msp.add_point((7, 7))
    msp.add_text("Plan", dxfattribs={"height": 0.5, "style": "NARROW", "insert": (1, 9), "rotation": 15})
    msp.add_solid([(0, 0), (1, 0), (0, 1), (1, 1)])
    msp.add_3dface([(0, 0, 0), (1, 0, 0), (1, 1, 1), (0, 1, 1)])
    msp.add_polyline2d([(0, 0), (2, 0), (2, 2), (0, 2)], close=True)
    msp.add_polyline2d([(0, 0), (1, 0), (1, 0), (1, 1)])
    msp.add_polyline2d([(0, 0, 0.5), (3, 0, 0), (3, 3, -0.5)], format="xyb")
    msp.add_polyline3d([(0, 0, 0), (1, 2, 3), (4, 5, 6)])
    insert = msp.add_blockref("DOOR", (4, 0), dxfattribs={"xscale": 2, "rotation": 90})
    insert.add_attrib("TAG", "D1", (4.2, 0.2))
    msp.add_blockref("MARK", (8, 8))
    if version != "R12":
        msp.add_lwpolyline([(0, 0, 0, 0, 0.5), (5, 0), (5, 5, 0.1, 0.2, 0)], format="xyseb", close=True)
        msp.add_ellipse((0, 0), major_axis=(3, 1), ratio=0.5, start_param=0.2, end_param=math.pi)
        msp.add_spline([(0, 0), (1, 2), (3, 1), (5, 4)])
        msp.add_mtext("Line one\\PLine two", dxfattribs={"char_height": 0.3, "insert": (2, 12)})
        msp.add_xline((0, 0), (1, 1))
        msp.add_ray((1, 1), (0, 1))
        hatch = msp.add_hatch(color=2)
        hatch.paths.add_polyline_path([(0, 0), (4, 0), (4, 4), (0, 4)], is_closed=True)
        msp.add_leader([(0, 0), (2, 2), (4, 2)])
        group = doc.groups.new("KEYS")
        group.extend([line])
        doc.objects.add_xrecord(doc.rootdict.dxf.handle).reset([(1, "kept"), (40, 1.25), (70, 3)])
        doc.rootdict.add_new_dict("VT_FORMS_DICT")
    doc.layout("Layout1").add_line((0, 0), (3, 3))
    return doc


def main():
    out = sys.argv[1]
    for version, stem in (("R12", "r12"), ("R2000", "r2000")):
        doc = build(version)
        doc.saveas(os.path.join(out, stem + ".dxf"))
        doc.saveas(os.path.join(out, stem + ".dxb"), fmt="bin")


main()
