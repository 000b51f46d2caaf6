#!/usr/bin/python3
"""Writes a drawing with many block definitions for the DWG load benchmark.

usage: make_block_dxf.py OUT_FILE COUNT
An R2000 DXF with COUNT blocks, each holding a LINE and a CIRCLE, and one
INSERT of each block in model space. The toolkit cannot write DWG files yet,
so this DXF stands in for a DWG with many blocks. Exits 77 when ezdxf is not
installed.
"""
import sys

try:
    import ezdxf
except ImportError:
    sys.exit(77)


def main():
    out, count = sys.argv[1], int(sys.argv[2])
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    for i in range(count):
        name = f"B{i}"
        block = doc.blocks.new(name)
        block.add_line((0, 0), (1, 1))
        block.add_circle((0, 0), 0.5)
        msp.add_blockref(name, (i % 200, i // 200))
    doc.saveas(out)


main()
