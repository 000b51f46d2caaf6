#!/usr/bin/python3
"""Writes the proxy-graphics drawings of the display tests (run from this
folder):
- tables.dxf: layers and linetypes that the streams of the drawing tests
  name by table position, and nothing else;
- proxies.dxf: ACAD_PROXY_ENTITY entities whose graphics hold each drawn
  record type (circles and arcs by centre and through three points; polylines; polygon outlines; meshes and shells with
  edge visibility and colours; colour, layer and linetype changes), drawn
  by adrender and by ezdxf over the window in WINDOWS and compared
  (tests/tools/proxy_compare.py);
- wipeout.dxf: a WIPEOUT over (2, 2)..(12, 8) whose graphics draw its frame
  in colour 3, in a drawing that shows wipeout frames.
The streams follow the byte format record by record: little-endian int32
frames (size, type), points of three doubles, strings padded with NULs to a
multiple of 4 bytes, short arrays padded to an even count."""
import math
import struct
import sys

import ezdxf

WINDOWS = {
    "proxies.dxf": (0, 0, 60, 45),
}


class Stream:
    """A proxy-graphics stream: an 8-byte preamble, then records."""

    def __init__(self):
        self.data = bytearray(8)

    def record(self, kind, payload):
        self.data += struct.pack("<ii", 8 + len(payload), kind) + payload
        return self


def pt(*p):
    return struct.pack("<3d", *p)


def i32(*v):
    return struct.pack(f"<{len(v)}i", *v)


def shorts(*v):
    pad = (0,) if len(v) % 2 else ()
    return struct.pack(f"<{len(v) + len(pad)}h", *v, *pad)


def circle(s, c, r, n=(0, 0, 1)):
    return s.record(2, pt(*c) + struct.pack("<d", r) + pt(*n))


def arc(s, c, r, start, sweep, n=(0, 0, 1)):
    return s.record(4, pt(*c) + struct.pack("<d", r) + pt(*n) + pt(*start) + struct.pack("<d", sweep) + i32(0))


def polyline(s, points, kind=6):
    return s.record(kind, i32(len(points)) + b"".join(pt(*p) for p in points))


def mesh(s, rows, columns, points, edge_visibility=None, edge_colours=None):
    body = i32(rows, columns) + b"".join(pt(*p) for p in points)
    flags = (0x01 if edge_colours else 0) | (0x40 if edge_visibility else 0)
    body += i32(flags)
    if edge_colours:
        body += shorts(*edge_colours)
    if edge_visibility:
        body += i32(*edge_visibility)
    return s.record(8, body + i32(0, 0))


def shell(s, points, faces, edge_colours=None):
    body = i32(len(points)) + b"".join(pt(*p) for p in points) + i32(len(faces), *faces)
    body += i32(0x01 if edge_colours else 0)
    if edge_colours:
        body += shorts(*edge_colours)
    return s.record(9, body + i32(0, 0))


def proxy_entity(handle, owner, layer, graphics):
    """The DXF groups of an ACAD_PROXY_ENTITY with the graphics."""
    hexed = graphics.hex().upper()
    chunks = [hexed[i:i + 254] for i in range(0, len(hexed), 254)]
    groups = ["0", "ACAD_PROXY_ENTITY", "5", handle, "330", owner, "100", "AcDbEntity", "8", layer,
              "100", "AcDbProxyEntity", "90", "498", "91", "499", "92", str(len(graphics))]
    for chunk in chunks:
        groups += ["310", chunk]
    groups += ["93", "0", "94", "0"]
    return "\n".join(groups) + "\n"


def tables():
    doc = ezdxf.new("R2000", setup=["linetypes"])
    doc.layers.add("RED", color=1, linetype="DASHED")
    doc.layers.add("GREEN", color=3)
    doc.saveas("tables.dxf")


def proxy_streams():
    """Records that ezdxf reads as this format has them. Left out: the arc
    through three points (ezdxf draws the other part of the circle, where the
    middle point is not), circles out of the XY plane (ezdxf takes their
    centre in the plane's own coordinates, where the records hold it in world
    coordinates), mesh and shell attributes and shell holes, which ezdxf
    reads otherwise; the display tests check those."""
    curves = Stream()
    circle(curves, (8, 8, 0), 6)
    arc(curves, (8, 8, 0), 4, (0, 1, 0), math.pi)
    curves.record(3, pt(44, 8, 0) + pt(50, 14, 0) + pt(56, 8, 0))
    lines = Stream()
    lines.record(14, i32(1))
    polyline(lines, [(20, 20, 0), (26, 28, 0), (32, 20, 0), (38, 28, 0)])
    lines.record(20, i32(0))
    polyline(lines, [(42, 20, 0), (56, 20, 0), (56, 30, 0), (42, 30, 0)], kind=7)
    lines.record(14, i32(3))
    # Type 32 carries a normal after its points.
    lines.record(32, i32(2) + pt(20, 32, 0) + pt(38, 32, 0) + pt(0, 0, 1))
    surfaces = Stream()
    surfaces.record(20, i32(0))
    mesh(surfaces, 2, 3, [(4 + 4 * j, 36 + 4 * i, 0) for i in range(2) for j in range(3)])
    shell(surfaces, [(24, 36, 0), (34, 36, 0), (34, 44, 0), (24, 44, 0)], [4, 0, 1, 2, 3])
    surfaces.record(14, i32(5))
    shell(surfaces, [(40, 36, 0), (50, 36, 0), (45, 44, 0)], [3, 0, 1, 2])
    return [curves.data, lines.data, surfaces.data]


def proxies():
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    owner = msp.layout_key
    doc.saveas("proxies.dxf")
    with open("proxies.dxf", encoding="utf-8") as f:
        text = f.read()
    entities = "".join(proxy_entity(f"{0xA00 + i:X}", owner, "0", g) for i, g in enumerate(proxy_streams()))
    head, tail = text.split("ENTITIES\n", 1)
    text = head + "ENTITIES\n" + entities + tail.lstrip("\n")
    with open("proxies.dxf", "w", encoding="utf-8") as f:
        f.write(text)


def wipeout():
    doc = ezdxf.new("R2000")
    corners = [(2, 2), (12, 2), (12, 8), (2, 8)]
    entity = doc.modelspace().add_wipeout(corners)
    frame = Stream().record(14, i32(3))
    polyline(frame, [(x, y, 0) for x, y in corners + corners[:1]])
    # The preamble as DWG files hold it, the stream's size and record count,
    # so that a saved copy holds the same bytes.
    struct.pack_into("<ii", frame.data, 0, len(frame.data), 2)
    entity.proxy_graphic = bytes(frame.data)
    doc.set_wipeout_variables(frame=1)
    doc.saveas("wipeout.dxf")


if __name__ == "__main__":
    wanted = set(sys.argv[1:])
    for name, make in (("tables.dxf", tables), ("proxies.dxf", proxies), ("wipeout.dxf", wipeout)):
        if not wanted or name in wanted:
            make()
