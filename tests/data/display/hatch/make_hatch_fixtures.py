#!/usr/bin/python3
"""Writes hatches.dxf, the HATCH drawing of the hatch tests (run from this
folder). Each case is one hatch on a layer named for it, in its own 20 x 20
cell: patterns ANSI31 (also turned), ANSI37, AR-BRSTD and NET, solid fill;
a square with a square island and three nested squares under each hatch
style, pattern and solid; boundaries of clockwise and counter-clockwise arc
edges, an elliptic arc edge, a spline edge and a bulged polyline; a text
box inside the outer loop, pattern and solid."""
import ezdxf

NORMAL, OUTER, IGNORE = 0, 1, 2
EXTERNAL, TEXTBOX = 1, 8


def square(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def moved(points, cx, cy):
    return [(x + cx, y + cy) + tuple(rest) for x, y, *rest in points]


class Cells:
    def __init__(self, msp):
        self.msp = msp
        self.count = 0

    def hatch(self, name, style=NORMAL, pattern="ANSI31", scale=0.2, angle=0.0):
        cx, cy = (self.count % 6) * 20.0, (self.count // 6) * 20.0
        self.count += 1
        doc = self.msp.doc
        if name not in doc.layers:
            doc.layers.add(name)
        h = self.msp.add_hatch(color=7, dxfattribs={"layer": name})
        # The fills set the hatch style too.
        if pattern == "SOLID":
            h.set_solid_fill(color=7, style=style)
        else:
            h.set_pattern_fill(pattern, color=7, scale=scale, angle=angle, style=style)
        return h, cx, cy


def main():
    doc = ezdxf.new("R2000")
    cells = Cells(doc.modelspace())

    for name, pattern, scale, angle in (
        ("ANSI31", "ANSI31", 0.2, 0.0),
        ("ANSI31_TURNED", "ANSI31", 0.2, 30.0),
        ("ANSI37", "ANSI37", 0.2, 0.0),
        ("AR_BRSTD", "AR-BRSTD", 0.01, 0.0),
        ("NET", "NET", 0.2, 0.0),
        ("SOLID", "SOLID", 1.0, 0.0),
    ):
        h, cx, cy = cells.hatch(name, pattern=pattern, scale=scale, angle=angle)
        h.paths.add_polyline_path(moved([(0, 0), (12, 0), (12, 8), (6, 12), (0, 8)], cx, cy), flags=EXTERNAL)

    for kind in ("PATTERN", "SOLID"):
        for style, label in ((NORMAL, "NORMAL"), (OUTER, "OUTER"), (IGNORE, "IGNORE")):
            for loops, title in ((2, "ISLAND"), (3, "NESTED")):
                h, cx, cy = cells.hatch(f"{title}_{label}_{kind}", style=style,
                                        pattern="SOLID" if kind == "SOLID" else "ANSI31")
                for k in range(loops):
                    d = 2.0 * k
                    h.paths.add_polyline_path(moved(square(d, d, 12 - d, 12 - d), cx, cy), flags=EXTERNAL)

    # A circle of two arc edges, one clockwise, with a clockwise circle island.
    for kind in ("PATTERN", "SOLID"):
        h, cx, cy = cells.hatch(f"ARCS_{kind}", pattern="SOLID" if kind == "SOLID" else "ANSI31")
        e = h.paths.add_edge_path(flags=EXTERNAL)
        e.add_arc((cx + 6, cy + 6), 6, 0, 180, ccw=True)
        e.add_arc((cx + 6, cy + 6), 6, 180, 360, ccw=True)
        e = h.paths.add_edge_path(flags=EXTERNAL)
        e.add_arc((cx + 6, cy + 6), 2, 0, 90, ccw=False)
        e.add_arc((cx + 6, cy + 6), 2, 90, 360, ccw=False)
        # A half disc: a line closes a clockwise arc from 180 to 0 degrees
        # over the top. DXF stores it by its angles negated, 180 and 360;
        # ezdxf 0.18 writes 360 less the end and start it is given.
        h, cx, cy = cells.hatch(f"HALF_DISC_{kind}", pattern="SOLID" if kind == "SOLID" else "ANSI37")
        e = h.paths.add_edge_path(flags=EXTERNAL)
        e.add_line((cx + 12, cy + 4), (cx + 0, cy + 4))
        e.add_arc((cx + 6, cy + 4), 6, 0, 180, ccw=False)

    for kind in ("PATTERN", "SOLID"):
        # An elliptic arc closed by its chord, turned 30 degrees.
        h, cx, cy = cells.hatch(f"ELLIPSE_{kind}", pattern="SOLID" if kind == "SOLID" else "ANSI31")
        e = h.paths.add_edge_path(flags=EXTERNAL)
        e.add_ellipse((cx + 6, cy + 6), major_axis=(5.196, 3.0), ratio=0.5, start_angle=0, end_angle=270, ccw=True)
        e.add_line((cx + 7.5, cy + 3.402), (cx + 11.196, cy + 9))
        # A spline edge closed by a line.
        h, cx, cy = cells.hatch(f"SPLINE_{kind}", pattern="SOLID" if kind == "SOLID" else "ANSI31")
        e = h.paths.add_edge_path(flags=EXTERNAL)
        control = [(cx + 0, cy + 2), (cx + 2, cy + 12), (cx + 6, cy + 6), (cx + 10, cy + 12), (cx + 12, cy + 2)]
        e.add_spline(control_points=control, knot_values=[0, 0, 0, 0, 1, 2, 2, 2, 2], degree=3)
        e.add_line((cx + 12, cy + 2), (cx + 0, cy + 2))
        # A polyline whose spans bulge, a quarter turn out on each side.
        h, cx, cy = cells.hatch(f"BULGES_{kind}", pattern="SOLID" if kind == "SOLID" else "NET")
        pts = [(2, 2, 0.414), (10, 2, 0.414), (10, 10, 0.414), (2, 10, 0.414)]
        h.paths.add_polyline_path(moved(pts, cx, cy), is_closed=True, flags=EXTERNAL)
        # A text box inside the outer loop.
        h, cx, cy = cells.hatch(f"TEXTBOX_{kind}", pattern="SOLID" if kind == "SOLID" else "ANSI31")
        h.paths.add_polyline_path(moved(square(0, 0, 12, 12), cx, cy), flags=EXTERNAL)
        h.paths.add_polyline_path(moved(square(3, 5, 9, 7), cx, cy), flags=TEXTBOX)

    doc.saveas("hatches.dxf")


main()
