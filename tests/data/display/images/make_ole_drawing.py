#!/usr/bin/python3
"""Writes ole_frames.dxf: an OLE2FRAME in model space (corners (1, 1) to
(9, 7), 40 bytes of object data after the 128-byte header) and a layout
showing model space in two viewports, the second at half the scale, with a
second OLE2FRAME on the paper itself (run from this folder)."""
import struct

import ezdxf
from ezdxf.lldxf.tags import Tags
from ezdxf.lldxf.types import DXFBinaryTag, DXFTag, DXFVertex

OBJECT = bytes(range(40))


def add_ole(layout, left, top, right, bottom):
    frame = layout.new_entity("OLE2FRAME", dxfattribs={})
    # The data: 2 bytes, the corners upper left, upper right, lower right,
    # lower left (3 doubles each), 30 bytes, then the object.
    corners = (left, top, 0, right, top, 0, right, bottom, 0, left, bottom, 0)
    data = struct.pack("<H12d", 0x5580, *corners) + bytes(30) + OBJECT
    tags = [DXFTag(100, "AcDbOle2Frame"), DXFTag(70, 2), DXFTag(3, "Picture"),
            DXFVertex(10, (left, top, 0)), DXFVertex(11, (right, bottom, 0)),
            DXFTag(71, 2), DXFTag(72, 0), DXFTag(73, 1), DXFTag(90, len(data))]
    tags += [DXFBinaryTag(310, data[i:i + 127]) for i in range(0, len(data), 127)]
    tags.append(DXFTag(1, "OLE"))
    frame.acdb_ole2frame = Tags(tags)


def main():
    doc = ezdxf.new("R2000")
    doc.header["$TILEMODE"] = 0
    add_ole(doc.modelspace(), 1, 7, 9, 1)
    paper = doc.layout("Layout1")
    paper.page_setup(size=(40, 20), margins=(0, 0, 0, 0), units="inch")
    paper.add_viewport(center=(10, 10), size=(16, 12), view_center_point=(5, 4), view_height=10)
    paper.add_viewport(center=(30, 10), size=(16, 12), view_center_point=(5, 4), view_height=20)
    add_ole(paper, 2, 19, 6, 16)
    doc.saveas("ole_frames.dxf")


if __name__ == "__main__":
    main()
