#!/usr/bin/python3
"""Writes one small DXF drawing per group of entity types that the display
engine draws itself (run from this folder). Each is drawn by adrender and by
ezdxf's drawing add-on over the same window and compared (see
tests/tools/ezdxf_compare.py); the window of each drawing is in WINDOWS. Name drawings to write only
those."""
import math
import sys

import ezdxf

WINDOWS = {
    "lines.dxf": (0, 0, 40, 30),
    "arcs.dxf": (0, 0, 40, 30),
    "ellipses.dxf": (0, 0, 40, 30),
    "quads.dxf": (0, 0, 40, 30),
    "blocks.dxf": (0, 0, 40, 30),
    "polylines.dxf": (0, 0, 40, 30),
    "splines.dxf": (0, 0, 40, 30),
}


def lines(msp):
    for i in range(12):
        a = math.radians(15 * i)
        msp.add_line((20, 15), (20 + 13 * math.cos(a), 15 + 12 * math.sin(a)))
    msp.add_line((2, 2), (38, 2), dxfattribs={"color": 1})
    msp.add_line((2, 28), (38, 28), dxfattribs={"color": 3})


def arcs(msp):
    msp.add_circle((10, 15), 8)
    msp.add_circle((10, 15), 3, dxfattribs={"color": 2})
    msp.add_arc((28, 10), 7, 0, 135)
    msp.add_arc((28, 20), 6, 300, 60, dxfattribs={"color": 4})  # across angle 0
    msp.add_arc((30, 24), 2, 90, 270)


def ellipses(msp):
    msp.add_ellipse((12, 15), major_axis=(9, 3, 0), ratio=0.4)
    msp.add_ellipse((30, 15), major_axis=(0, 10, 0), ratio=0.5, start_param=0.5, end_param=4.0)
    msp.add_ellipse((30, 6), major_axis=(-6, 0, 0), ratio=0.3)


def quads(msp):
    msp.add_solid([(2, 2), (12, 2), (2, 12), (12, 12)], dxfattribs={"color": 1})
    msp.add_solid([(16, 2), (26, 2), (21, 12)], dxfattribs={"color": 3})
    msp.add_trace([(30, 2), (38, 4), (30, 10), (38, 12)], dxfattribs={"color": 5})
    msp.add_3dface([(4, 16), (16, 16), (16, 28), (4, 26)])
    msp.add_3dface([(22, 16), (36, 16), (36, 28), (22, 28)], dxfattribs={"invisible": 0b0101})


def blocks(msp):
    doc = msp.doc
    doc.layers.add("RED", color=1)
    mark = doc.blocks.new("MARK", base_point=(1, 1))
    mark.add_circle((1, 1), 1)
    mark.add_line((0, 1), (2, 1), dxfattribs={"color": 0})  # BYBLOCK
    frame = doc.blocks.new("FRAME")
    frame.add_lwpolyline([(0, 0), (6, 0), (6, 4), (0, 4)], close=True)
    frame.add_blockref("MARK", (3, 2), dxfattribs={"layer": "RED", "color": 0})
    msp.add_blockref("FRAME", (2, 2), dxfattribs={"color": 3})
    msp.add_blockref("FRAME", (30, 2), dxfattribs={"rotation": 90, "xscale": 1.5, "yscale": 0.5})
    grid = msp.add_blockref("MARK", (12, 16), dxfattribs={"rotation": 30, "color": 5})
    grid.grid(size=(2, 3), spacing=(4, 5))


def polylines(msp):
    # Thin with bulges; wide with a right-angle turn and a hairpin; tapered.
    msp.add_lwpolyline([(2, 2, 0, 0, 0.5), (10, 2, 0, 0, 0), (10, 8)], format="xyseb")
    msp.add_lwpolyline([(14, 2), (22, 2), (22, 10), (16, 4)], dxfattribs={"const_width": 1.0, "color": 2})
    msp.add_lwpolyline([(26, 2, 0, 2, 0), (38, 2, 2, 0, 1), (38, 10, 0, 0, 0)], format="xyseb",
                       dxfattribs={"color": 3})
    # Closed and wide, with an arc side.
    square = msp.add_lwpolyline([(3, 14, 0.8, 0.8, 0), (11, 14, 0.8, 0.8, 0.4), (11, 22, 0.8, 0.8, 0),
                                 (3, 22, 0.8, 0.8, 0)], format="xyseb", close=True, dxfattribs={"color": 4})
    square.dxf.const_width = 0.8
    # An old-style 2D polyline with per-vertex widths and bulges, and a 3D one.
    pl = msp.add_polyline2d([(15, 14), (22, 14), (26, 20), (30, 14)], dxfattribs={"color": 5})
    pl.vertices[0].dxf.start_width = 0.5
    pl.vertices[0].dxf.end_width = 1.5
    pl.vertices[1].dxf.bulge = -0.6
    msp.add_polyline3d([(32, 16, 0), (38, 16, 2), (38, 26, 4), (32, 26, 0)], close=True, dxfattribs={"color": 6})
    # A wide arc wider than its diameter.
    msp.add_lwpolyline([(16, 25, 0, 0, 1), (18, 25, 0, 0, 0)], format="xyseb",
                       dxfattribs={"const_width": 3.0, "color": 1})


def splines(msp):
    from ezdxf.math import BSpline
    # Control points, clamped cubic; the same with weights; a degree-2 one
    # with stored unclamped-looking but valid knots; one from fit points.
    msp.add_open_spline([(2, 2), (6, 12), (12, -2), (18, 10), (20, 3)], degree=3)
    msp.add_rational_spline([(2, 14), (8, 24), (14, 14), (20, 24)], weights=[1, 3, 0.5, 1], degree=3,
                            dxfattribs={"color": 2})
    spline = msp.add_spline(dxfattribs={"color": 3})
    spline.apply_construction_tool(BSpline([(24, 2), (28, 12), (34, 2), (38, 12)], order=3,
                                           knots=[0, 0, 0, 0.4, 1, 1, 1]))
    msp.add_spline([(24, 16), (27, 26), (31, 18), (35, 27), (38, 20)], dxfattribs={"color": 4})


BUILDERS = {"lines.dxf": lines, "arcs.dxf": arcs, "ellipses.dxf": ellipses, "quads.dxf": quads, "blocks.dxf": blocks,
            "polylines.dxf": polylines, "splines.dxf": splines}


def main(names):
    for name in names or BUILDERS:
        doc = ezdxf.new("R2000")
        BUILDERS[name](doc.modelspace())
        doc.saveas(name)


if __name__ == "__main__":
    main(sys.argv[1:])
