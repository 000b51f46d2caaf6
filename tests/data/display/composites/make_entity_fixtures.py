#!/usr/bin/python3
"""Writes the small DXF drawings of leaders, multilines, tolerance frames and
meshes (run from this folder). The drawings in WINDOWS are drawn by adrender
and by ezdxf's drawing add-on over the same window and compared (see
tests/tools/ezdxf_compare.py); the others are read by the display tests,
which know their coordinates. Name drawings to write only those."""
import sys

import ezdxf
from ezdxf.math import Vec3

WINDOWS = {
    "leaders.dxf": (0, 0, 40, 30),
    "mlines.dxf": (0, 0, 40, 30),
    "meshes.dxf": (0, 0, 40, 30),
}

HOOKLINES = []  # handles of leaders whose hookline flag is written explicitly

ARROWS = ["", "CLOSED", "OPEN", "DOT", "ORIGIN", "OPEN90", "OBLIQUE", "NONE"]


def user_arrow(doc):
    # A user arrowhead: a diamond of unit length, tip at the origin.
    block = doc.blocks.new("DIAMOND")
    block.add_lwpolyline([(0, 0), (-0.5, 0.25), (-1, 0), (-0.5, -0.25)], close=True)
    return block


def leaders(msp):
    doc = msp.doc
    user_arrow(doc)
    for i, arrow in enumerate(ARROWS):
        x = 2 + 4.5 * i
        msp.add_leader([(x, 4), (x + 2, 12), (x + 3, 12)], override={"dimasz": 1.0, "dimldrblk": arrow})
    msp.add_leader([(4, 16), (10, 22), (14, 22)], override={"dimasz": 1.0, "dimldrblk": "DIAMOND"})
    # A spline path whose last segment is shallow enough to gain no extra
    # fit point (which only this engine adds).
    spline = msp.add_leader([(18, 16), (22, 22), (28, 19), (34, 22)], override={"dimasz": 1.0})
    spline.dxf.path_type = 1


def multiline_styles(doc):
    filled = doc.mline_styles.new("FILLED")
    filled.elements.append(0.6, 1)
    filled.elements.append(-0.6, 5)
    filled.dxf.flags = 0x0001 | 0x0002 | 0x0010 | 0x0100
    filled.dxf.fill_color = 8
    arcs = doc.mline_styles.new("ARCS")
    for offset, colour in ((1.0, 1), (0.4, 2), (-0.4, 3), (-1.0, 4)):
        arcs.elements.append(offset, colour)
    arcs.dxf.flags = 0x0020 | 0x0040 | 0x0200 | 0x0400 | 0x0002


def mlines(msp):
    doc = msp.doc
    multiline_styles(doc)
    msp.add_mline([(3, 3), (15, 3), (15, 12)], dxfattribs={"style_name": "FILLED"})
    msp.add_mline([(20, 3), (36, 3), (30, 12)], dxfattribs={"style_name": "ARCS"})
    msp.add_mline([(4, 17), (14, 17), (14, 26), (4, 26)], close=True, dxfattribs={"style_name": "FILLED"})
    msp.add_mline([(20, 18), (36, 18), (36, 26)], dxfattribs={"style_name": "ARCS", "scale_factor": 1.5})


def grid_mesh(msp, size, place, m_close=False, n_close=False, **attribs):
    mesh = msp.add_polymesh(size, dxfattribs=attribs)
    for m in range(size[0]):
        for n in range(size[1]):
            mesh.set_mesh_vertex((m, n), place(m, n))
    mesh.close(m_close=m_close, n_close=n_close)


def meshes(msp):
    face = msp.add_polyface(dxfattribs={"color": 3})
    face.append_face([(2, 2, 0), (12, 2, 0), (12, 10, 0), (2, 10, 0)])
    face.append_face([(12, 2, 0), (18, 6, 0), (12, 10, 0)])
    grid_mesh(msp, (3, 4), lambda m, n: (22 + 5 * n, 2 + 4 * m, 0), color=2)
    grid_mesh(msp, (4, 5), lambda m, n: (4 + 3 * n, 16 + 3 * m + 0.4 * n, 0), n_close=True, color=4)


# ---- drawings of the display tests, with coordinates they check ----

def leader_cases(msp):
    doc = msp.doc
    doc.blocks.new("_OPEN").add_line((0, 0), (-1, 0.25))
    user_arrow(doc)
    # Closed filled arrow of length 1 from (10, 10) along -x: its back point
    # is (11, 10), its corners (11, 10 +- 1/6).
    msp.add_leader([(10, 10), (20, 10)], override={"dimasz": 1.0}, dxfattribs={"color": 1})
    # Open arrow drawn from the block of that name.
    msp.add_leader([(10, 14), (20, 14)], override={"dimasz": 1.0, "dimldrblk": "OPEN"}, dxfattribs={"color": 2})
    # A hook line on a two-vertex leader, arrow length 0.18. A DXF file
    # keeps the hook point as the last vertex but one; the reader drops it.
    hooked = msp.add_leader([(4, 20), (14.18, 20), (14, 20)], override={"dimasz": 0.18, "dimldrblk": "NONE"},
                            dxfattribs={"color": 3})
    # ezdxf leaves out the hookline flag when it is 1, its default; this
    # engine's reader takes a missing flag as 0, so the flag is written.
    HOOKLINES.append(hooked.dxf.handle)
    # Too short for its arrowhead: the first segment is 0.3 long.
    msp.add_leader([(4, 26), (4.3, 26), (9, 26)], override={"dimasz": 0.18}, dxfattribs={"color": 4})
    # A user block arrowhead.
    msp.add_leader([(20, 26), (28, 26)], override={"dimasz": 2.0, "dimldrblk": "DIAMOND"},
                   dxfattribs={"color": 5})
    # DIMSCALE 0 in a single view scales by 1: the arrow is 1 long.
    msp.add_leader([(10, 6), (20, 6)], override={"dimasz": 1.0, "dimscale": 0.0}, dxfattribs={"color": 6})


def leader_frame(msp):
    doc = msp.doc
    text = msp.add_mtext("NOTE", dxfattribs={"insert": (12, 10), "char_height": 1.0})
    leader = msp.add_leader([(4, 4), (10, 10), (12, 10)], override={"dimgap": -0.05})
    leader.dxf.annotation_type = 0
    leader.dxf.annotation_handle = text.dxf.handle
    msp.add_leader([(4, 20), (10, 24)], override={"dimgap": 0.09})


def spline_leader(msp):
    leader = msp.add_leader([(2, 2), (8, 8), (14, 6), (20, 12)], override={"dimasz": 0.5, "dimldrblk": "NONE"})
    leader.dxf.path_type = 1


def tolerances(msp):
    doc = msp.doc
    style = doc.dimstyles.new("TOL")
    style.dxf.dimtxt = 1.0
    style.dxf.dimclrd = 1
    style.dxf.dimclrt = 3
    msp.new_entity("TOLERANCE", {"dimstyle": "TOL", "insert": (2, 20), "content": "A%%v0.05%%vB"})
    msp.new_entity("TOLERANCE", {"dimstyle": "TOL", "insert": (2, 10), "content": "A%%vB^JC"})
    msp.new_entity("TOLERANCE", {"dimstyle": "TOL", "insert": (20, 20), "content": "%%v%%v%%v%%v%%v"})
    # The text height and then the frame colour overridden.
    tall = msp.new_entity("TOLERANCE", {"dimstyle": "TOL", "insert": (20, 30), "content": "X"})
    tall.set_xdata("ACAD", [(1000, "DSTYLE"), (1002, "{"), (1070, 140), (1040, 2.0), (1070, 176), (1070, 5),
                            (1002, "}")])


def polyface_cases(msp):
    doc = msp.doc
    doc.layers.add("RED", color=1)
    mesh = msp.add_polyface(dxfattribs={"color": 3})
    mesh.append_face([(0, 0, 0), (10, 0, 0), (10, 10, 0), (0, 10, 0)])
    mesh.append_face([(20, 0, 0), (28, 0, 0), (24, 8, 0)])
    mesh.append_face([(30, 0, 0), (38, 0, 0), (34, 8, 0)])
    faces = [v for v in mesh.vertices if v.is_face_record]
    # Face (1, 2, -3, 4): the edge from 3 to 4 is invisible. The reader gives
    # a face the polyline's layer and colour; the tests move it to RED.
    faces[0].dxf.vtx2 = -3
    # A triangle of its own colour whose last index is negative: no closing edge.
    faces[1].dxf.color = 6
    faces[1].dxf.vtx2 = -faces[1].dxf.vtx2
    # A triangle naming vertex 99, which the mesh does not have: only the
    # edge between its other two vertices is drawn.
    faces[2].dxf.vtx1 = 99


def polygon_meshes(msp):
    # 3 x 4 meshes: open, closed in M, closed in N; 8 units apart in y.
    for k, (m_close, n_close) in enumerate(((False, False), (True, False), (False, True))):
        grid_mesh(msp, (3, 4), lambda m, n: (1 + 5 * n, 1 + 2 * m + 8 * k, 0), m_close, n_close)


def mline_cases(msp):
    doc = msp.doc
    doc.layers.add("DASHED", color=2, linetype="DASHED")
    style = doc.mline_styles.new("TWO")
    style.elements.append(0.5, 1)
    style.elements.append(-0.5, 5)
    style.dxf.flags = 0x0040 | 0x0400
    msp.add_mline([(5, 5), (15, 5)], dxfattribs={"style_name": "TWO"})
    msp.add_mline([(5, 15), (15, 15), (15, 25)], close=True, dxfattribs={"style_name": "TWO"})
    inner = doc.mline_styles.new("FOUR")
    for offset in (1.5, 0.5, -0.5, -1.5):
        inner.elements.append(offset, 7)
    inner.dxf.flags = 0x0020
    msp.add_mline([(20, 5), (28, 5)], dxfattribs={"style_name": "FOUR"})
    three = doc.mline_styles.new("THREE")
    for offset in (1, 0, -1):
        three.elements.append(offset, 7)
    three.dxf.flags = 0x0020
    msp.add_mline([(20, 15), (28, 15)], dxfattribs={"style_name": "THREE"})
    # Element linetypes: beyond the table, and by layer.
    lt = doc.mline_styles.new("LINETYPES")
    lt.elements.append(0.5, 7, "BYLAYER")
    lt.elements.append(-0.5, 7, "DASHED")
    msp.add_mline([(20, 25), (28, 25)], dxfattribs={"style_name": "LINETYPES", "layer": "DASHED"})


BUILDERS = {"leaders.dxf": leaders, "mlines.dxf": mlines, "meshes.dxf": meshes, "leader_cases.dxf": leader_cases,
            "leader_frame.dxf": leader_frame, "spline_leader.dxf": spline_leader, "tolerances.dxf": tolerances,
            "polyface_cases.dxf": polyface_cases, "polygon_meshes.dxf": polygon_meshes,
            "mline_cases.dxf": mline_cases}


def write_hooklines(name):
    with open(name) as f:
        text = f.read()
    for handle in HOOKLINES:
        at = text.index(f"  5\n{handle}\n")
        at = text.index(" 73\n", at)
        at = text.index("\n", at + 4) + 1
        text = text[:at] + " 75\n1\n" + text[at:]
    with open(name, "w") as f:
        f.write(text)


def main(names):
    for name in names or BUILDERS:
        HOOKLINES.clear()
        doc = ezdxf.new("R2000", setup=["linetypes"])
        BUILDERS[name](doc.modelspace())
        doc.saveas(name)
        write_hooklines(name)


if __name__ == "__main__":
    main(sys.argv[1:])
