#!/usr/bin/python3
"""Writes the large drawing the DXF load benchmark reads.

usage: make_big_dxf.py OUT_DIR [COUNT]
Writes big.dxf (ASCII) and big.dxb (binary) at R2000: COUNT mixed entities
(200,000 by default) of six kinds on ten layers, from a fixed seed, so that
every run measures the same file. Exits 77 when ezdxf is not installed.
"""
import os
import random
import sys

try:
    import ezdxf
except ImportError:
    sys.exit(77)


def main():
    out = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 200000
    rng = random.Random(20260)
    doc = ezdxf.new("R2000")
    layers = [f"LAYER{i}" for i in range(10)]
    for i, name in enumerate(layers):
        doc.layers.add(name, color=i + 1)
    mark = doc.blocks.new("MARK")
    mark.add_circle((0, 0), 1)
    mark.add_line((-1, 0), (1, 0))
    msp = doc.modelspace()

    def point():
        return rng.uniform(0, 1000), rng.uniform(0, 1000)

    for i in range(count):
        attribs = {"layer": layers[i % 10]}
        kind = i % 6
        if kind == 0:
            msp.add_line(point(), point(), dxfattribs=attribs)
        elif kind == 1:
            msp.add_circle(point(), rng.uniform(0.1, 50), dxfattribs=attribs)
        elif kind == 2:
            msp.add_arc(point(), rng.uniform(0.1, 50), rng.uniform(0, 360), rng.uniform(0, 360), dxfattribs=attribs)
        elif kind == 3:
            msp.add_lwpolyline([point() for _ in range(rng.randint(2, 8))], dxfattribs=attribs)
        elif kind == 4:
            attribs["height"] = rng.uniform(0.5, 5)
            attribs["insert"] = point()
            msp.add_text(f"T{i}", dxfattribs=attribs)
        else:
            attribs["rotation"] = rng.uniform(0, 360)
            msp.add_blockref("MARK", point(), dxfattribs=attribs)
    doc.saveas(os.path.join(out, "big.dxf"))
    doc.saveas(os.path.join(out, "big.dxb"), fmt="bin")


main()
