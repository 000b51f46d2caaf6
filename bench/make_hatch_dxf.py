#!/usr/bin/python3
"""Writes hatches.dxf for the hatch benchmark into the folder given: a grid
of COUNT square ANSI31 hatches, each with a circular island of arc edges and
a square island, the normal hatch style."""
import sys

import ezdxf


def main(folder, count):
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    side = int(count ** 0.5) + 1
    for k in range(count):
        x, y = (k % side) * 12.0, (k // side) * 12.0
        h = msp.add_hatch(color=1 + k % 7)
        h.set_pattern_fill("ANSI31", scale=0.05, style=0)
        h.paths.add_polyline_path([(x, y), (x + 10, y), (x + 10, y + 10), (x, y + 10)], flags=1)
        e = h.paths.add_edge_path(flags=0)
        e.add_arc((x + 3, y + 5), 2, 0, 180)
        e.add_arc((x + 3, y + 5), 2, 180, 360)
        h.paths.add_polyline_path([(x + 6, y + 3), (x + 9, y + 3), (x + 9, y + 7), (x + 6, y + 7)], flags=0)
    doc.saveas(f"{folder}/hatches.dxf")


main(sys.argv[1], int(sys.argv[2]))
