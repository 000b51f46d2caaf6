#!/usr/bin/env python3
"""Writes the SAT fixtures of the solid-model tests: small bodies with known
topology, each in the record forms of the version it names. Run it here; the
outputs are committed beside it."""
import math


class Sat:
    def __init__(self, version):
        self.version = version
        self.records = []

    def add(self, text):
        self.records.append(text)
        return len(self.records) - 1

    def reserve(self):
        self.records.append(None)
        return len(self.records) - 1

    def set(self, n, text):
        self.records[n] = text

    def sense(self):
        return "0" if self.version < 200 else "forward"

    def surface_sense(self):
        return "0" if self.version < 200 else "forward_v"

    def range(self, n=1):
        return " I I" * n if self.version >= 106 else ""

    def text(self):
        bodies = sum(1 for r in self.records if r.startswith("body "))
        head = f"{self.version} {len(self.records)} {bodies} 0 \n"
        if self.version >= 200:
            head += "9 Vistrelm 14 ACIS 4.0 test 24 Thu Dec 10 23:00:00 2026 \n1 9.9999999999999995e-07 1e-10 \n"
        return head + "".join(r + " #\n" for r in self.records) + "End-of-ACIS-data \n"


def ref(n):
    return f"$-1" if n is None else f"${n}"


def fmt(*values):
    return " ".join(repr(float(v)) if isinstance(v, float) else str(v) for v in values)


def face_record(sat, nxt, loop, shell, surface, sense="forward"):
    tail = (" 0" if sense == "forward" else " 1") if sat.version <= 104 else f" {sense} single"
    return f"face $-1 {ref(nxt)} {ref(loop)} {ref(shell)} $-1 {ref(surface)}{tail}"


def edge_record(sat, v0, v1, coedge, curve, t0=0.0, t1=1.0):
    if sat.version >= 500:
        return f"edge $-1 {ref(v0)} {fmt(t0)} {ref(v1)} {fmt(t1)} {ref(coedge)} {ref(curve)} forward 7 unknown"
    return f"edge $-1 {ref(v0)} {ref(v1)} {ref(coedge)} {ref(curve)} {sat.sense()}"


def shell_record(sat, face, lump):
    if sat.version < 107:
        return f"shell $-1 $-1 $-1 {ref(face)} {ref(lump)}"
    return f"shell $-1 $-1 $-1 {ref(face)} $-1 {ref(lump)}"


def body_frame(sat):
    body = sat.reserve()
    lump = sat.reserve()
    shell = sat.reserve()
    sat.set(body, f"body $-1 {ref(lump)} $-1 $-1")
    sat.set(lump, f"lump $-1 $-1 {ref(shell)} {ref(body)}")
    return body, lump, shell


def polyhedron(sat, points, faces):
    """faces: (plane root, normal, u direction, vertex indices counter-clockwise)."""
    body, lump, shell = body_frame(sat)
    point_records = [sat.add(f"point $-1 {fmt(*p)}") for p in points]
    vertex_records = [sat.reserve() for _ in points]
    edges = {}  # (a, b) sorted -> [edge record, curve record, first coedge]
    face_records = [sat.reserve() for _ in faces]
    for f, (root, normal, udir, loop_vertices) in enumerate(faces):
        surface = sat.add(f"plane-surface $-1 {fmt(*root, *normal, *udir)} {sat.surface_sense()}{sat.range(2)}")
        loop = sat.reserve()
        coedges = [sat.reserve() for _ in loop_vertices]
        for i, a in enumerate(loop_vertices):
            b = loop_vertices[(i + 1) % len(loop_vertices)]
            key = (min(a, b), max(a, b))
            if key not in edges:
                pa, pb = points[key[0]], points[key[1]]
                direction = [pb[k] - pa[k] for k in range(3)]
                length = math.sqrt(sum(d * d for d in direction))
                curve = sat.add(f"straight-curve $-1 {fmt(*pa, *[d / length for d in direction])}{sat.range()}")
                edges[key] = [sat.reserve(), curve, coedges[i], None, length]
            else:
                edges[key][3] = coedges[i]
            entry = edges[key]
            partner = entry[3] if entry[2] == coedges[i] else entry[2]
            nxt = coedges[(i + 1) % len(coedges)]
            prev = coedges[i - 1]
            sense = "forward" if (a, b) == key else "reversed"
            if sat.version < 200:
                sense = "0" if sense == "forward" else "1"
            sat.set(coedges[i], f"coedge $-1 {ref(nxt)} {ref(prev)} {{partner{coedges[i]}}} {ref(entry[0])} {sense} "
                                f"{ref(loop)} $-1")
        sat.set(loop, f"loop $-1 $-1 {ref(coedges[0])} {ref(face_records[f])}")
        nxt = face_records[f + 1] if f + 1 < len(faces) else None
        sat.set(face_records[f], face_record(sat, nxt, loop, shell, surface))
    for (a, b), (edge, curve, c0, c1, length) in edges.items():
        sat.set(edge, edge_record(sat, vertex_records[a], vertex_records[b], c0, curve, 0.0, length))
        for c, partner in ((c0, c1), (c1, c0)):
            if c is not None:
                sat.set(c, sat.records[c].replace(f"{{partner{c}}}", ref(partner)))
    for i, v in enumerate(vertex_records):
        edge = next(e[0] for k, e in edges.items() if i in k)
        sat.set(v, f"vertex $-1 {ref(edge)} {ref(point_records[i])}")
    sat.set(shell, shell_record(sat, face_records[0], lump))
    return sat


def square(version):
    pts = [(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0)]
    return polyhedron(Sat(version), pts, [((0, 0, 0), (0, 0, 1), (1, 0, 0), [0, 1, 2, 3])])


def box(version):
    pts = [(0, 0, 0), (1, 0, 0), (1, 1, 0), (0, 1, 0), (0, 0, 1), (1, 0, 1), (1, 1, 1), (0, 1, 1)]
    faces = [
        ((0, 0, 0), (0, 0, -1), (1, 0, 0), [0, 3, 2, 1]),
        ((0, 0, 1), (0, 0, 1), (1, 0, 0), [4, 5, 6, 7]),
        ((0, 0, 0), (0, -1, 0), (1, 0, 0), [0, 1, 5, 4]),
        ((1, 0, 0), (1, 0, 0), (0, 1, 0), [1, 2, 6, 5]),
        ((0, 1, 0), (0, 1, 0), (1, 0, 0), [2, 3, 7, 6]),
        ((0, 0, 0), (-1, 0, 0), (0, 1, 0), [3, 0, 4, 7]),
    ]
    return polyhedron(Sat(version), pts, faces)


def nurbs_circle(sat, z):
    """The unit circle at height z as an exact rational quadratic intersection curve."""
    r = math.sqrt(0.5)
    corners = [(1, 0, 1), (1, 1, r), (0, 1, 1), (-1, 1, r), (-1, 0, 1), (-1, -1, r), (0, -1, 1), (1, -1, r), (1, 0, 1)]
    points = " ".join(f"{x} {y} {z} {fmt(w)}" for x, y, w in corners)
    sub = f"{{ exactcur nurbs 2 open 5 0 2 0.25 2 0.5 2 0.75 2 1 2 {points} 0 null_surface null_surface nullbs nullbs I I }}"
    return f"intcurve-curve $-1 forward {sub}{sat.range()}"


def cylinder(version, nurbs_edges=False):
    """Radius 1 from z = 0 to z = 2: two planar caps and the side, two
    circles, as conics or as NURBS curves."""
    sat = Sat(version)
    body, lump, shell = body_frame(sat)
    faces = [sat.reserve() for _ in range(3)]
    loops = [sat.reserve() for _ in range(4)]  # bottom cap, top cap, side bottom, side top
    coedges = [sat.reserve() for _ in range(4)]
    edges = [sat.reserve(), sat.reserve()]
    points = [sat.add("point $-1 1 0 0"), sat.add("point $-1 1 0 2")]
    vertices = [sat.add(f"vertex $-1 {ref(edges[i])} {ref(points[i])}") for i in range(2)]
    if nurbs_edges:
        circles = [sat.add(nurbs_circle(sat, z)) for z in (0, 2)]
    else:
        circles = [sat.add(f"ellipse-curve $-1 0 0 {z} 0 0 1 1 0 0 1{sat.range()}") for z in (0, 2)]
    scale = " 1" if version >= 400 else ""
    side = sat.add(f"cone-surface $-1 0 0 0 0 0 1 1 0 0 1{sat.range()} 0 1{scale} {sat.surface_sense()}{sat.range(2)}")
    caps = [sat.add(f"plane-surface $-1 0 0 0 0 0 -1 1 0 0 {sat.surface_sense()}{sat.range(2)}"),
            sat.add(f"plane-surface $-1 0 0 2 0 0 1 1 0 0 {sat.surface_sense()}{sat.range(2)}")]
    surfaces = [caps[0], caps[1], side]
    face_loops = [[loops[0]], [loops[1]], [loops[2], loops[3]]]
    for f in range(3):
        nxt = faces[f + 1] if f < 2 else None
        sat.set(faces[f], face_record(sat, nxt, face_loops[f][0], shell, surfaces[f]))
    owners = [faces[0], faces[1], faces[2], faces[2]]
    for i in range(4):
        nxt = loops[3] if i == 2 else None
        sat.set(loops[i], f"loop $-1 {ref(nxt)} {ref(coedges[i])} {ref(owners[i])}")
    # Coedge i lies on loop i and on edge i % 2; its partner is coedge i ^ 2.
    for i in range(4):
        sense = "reversed" if i in (0, 3) else "forward"
        if version < 200:
            sense = "1" if sense == "reversed" else "0"
        sat.set(coedges[i], f"coedge $-1 {ref(coedges[i])} {ref(coedges[i])} {ref(coedges[i ^ 2])} "
                            f"{ref(edges[i % 2])} {sense} {ref(loops[i])} $-1")
    for i in range(2):
        sat.set(edges[i], edge_record(sat, vertices[i], vertices[i], coedges[i], circles[i], -math.pi, math.pi))
    sat.set(shell, shell_record(sat, faces[0], lump))
    return sat


def tube(version):
    """Radius 2 with a hole of radius 1 along its axis, from z = 0 to z = 2:
    two annular caps, the outer side and the inner side, four circles."""
    sat = Sat(version)
    body, lump, shell = body_frame(sat)
    faces = [sat.reserve() for _ in range(4)]  # bottom, top, outer side, inner side
    # Per edge (outer bottom, inner bottom, outer top, inner top): radius, z,
    # and the faces on either side with the coedge senses there.
    edge_data = [(2, 0, (0, "reversed"), (2, "forward")), (1, 0, (0, "forward"), (3, "reversed")),
                 (2, 2, (1, "forward"), (2, "reversed")), (1, 2, (1, "reversed"), (3, "forward"))]
    edges = [sat.reserve() for _ in edge_data]
    coedges = [[sat.reserve(), sat.reserve()] for _ in edge_data]
    loops = [[sat.reserve(), sat.reserve()] for _ in edge_data]
    scale = " 1" if version >= 400 else ""
    surfaces = [sat.add(f"plane-surface $-1 0 0 0 0 0 -1 1 0 0 {sat.surface_sense()}{sat.range(2)}"),
                sat.add(f"plane-surface $-1 0 0 2 0 0 1 1 0 0 {sat.surface_sense()}{sat.range(2)}")]
    for radius in (2, 1):
        surfaces.append(sat.add(f"cone-surface $-1 0 0 0 0 0 1 {radius} 0 0 1{sat.range()} 0 1{scale} "
                                f"{sat.surface_sense()}{sat.range(2)}"))
    face_loops = {f: [] for f in range(4)}
    for e, (radius, z, *sides) in enumerate(edge_data):
        point = sat.add(f"point $-1 {radius} 0 {z}")
        vertex = sat.add(f"vertex $-1 {ref(edges[e])} {ref(point)}")
        circle = sat.add(f"ellipse-curve $-1 0 0 {z} 0 0 1 {radius} 0 0 1{sat.range()}")
        sat.set(edges[e], edge_record(sat, vertex, vertex, coedges[e][0], circle, -math.pi, math.pi))
        for k, (f, sense) in enumerate(sides):
            c = coedges[e][k]
            if version < 200:
                sense = "1" if sense == "reversed" else "0"
            sat.set(c, f"coedge $-1 {ref(c)} {ref(c)} {ref(coedges[e][1 - k])} {ref(edges[e])} {sense} "
                       f"{ref(loops[e][k])} $-1")
            face_loops[f].append(loops[e][k])
            sat.set(loops[e][k], f"loop $-1 {{next}} {ref(c)} {ref(faces[f])}")
    for f in range(4):
        chain = face_loops[f]
        for i, loop in enumerate(chain):
            nxt = chain[i + 1] if i + 1 < len(chain) else None
            sat.set(loop, sat.records[loop].replace("{next}", ref(nxt)))
        nxt = faces[f + 1] if f < 3 else None
        sat.set(faces[f], face_record(sat, nxt, chain[0], shell, surfaces[f], "reversed" if f == 3 else "forward"))
    sat.set(shell, shell_record(sat, faces[0], lump))
    return sat


def two_squares(version):
    """The unit square at z = 0 and, as a second body, at z = 5."""
    sat = Sat(version)
    face = ((0, 0, 0), (0, 0, 1), (1, 0, 0), [0, 1, 2, 3])
    for z in (0, 5):
        polyhedron(sat, [(0, 0, z), (1, 0, z), (1, 1, z), (0, 1, z)], [face])
    return sat


def moved_box(version):
    """The unit box turned a quarter about z and moved by 10 along x."""
    sat = box(version)
    transform = sat.add("transform $-1 0 1 0 -1 0 0 0 0 1 10 0 0 1 rotate no_reflect no_shear")
    lump_ref = sat.records[0].split()[2]
    sat.set(0, f"body $-1 {lump_ref} $-1 {ref(transform)}")
    return sat


def single_face(version, surface):
    """One face without loops on the surface given."""
    sat = Sat(version)
    body, lump, shell = body_frame(sat)
    face = sat.reserve()
    surf = sat.add(surface(sat))
    sat.set(face, face_record(sat, None, None, shell, surf))
    sat.set(shell, shell_record(sat, face, lump))
    return sat


def sphere(version):
    return single_face(version, lambda s: f"sphere-surface $-1 1 2 3 2 1 0 0 0 0 1 {s.surface_sense()}{s.range(2)}")


def torus(version):
    return single_face(version, lambda s: f"torus-surface $-1 0 0 0 0 0 1 3 1 1 0 0 {s.surface_sense()}{s.range(2)}")


def nurbs_face(version):
    """A bilinear patch over the unit square at z = x·y, bounded by four
    degree-1 intersection curves; the spline is kept in its exact form."""
    sat = Sat(version)
    body, lump, shell = body_frame(sat)
    face = sat.reserve()
    full = " full" if version >= 500 else ""
    patch = ("nubs 1 1 open open none none 2 2 0 1 1 1 0 1 1 1 "
             "0 0 0 0 1 0 1 0 0 1 1 1")
    surface = sat.add(f"spline-surface $-1 forward {{ exactsur{full} {patch} }}{sat.range(2)}")
    loop = sat.reserve()
    corners = [(0, 0, 0), (1, 0, 0), (1, 1, 1), (0, 1, 0)]
    points = [sat.add(f"point $-1 {fmt(*p)}") for p in corners]
    coedges = [sat.reserve() for _ in range(4)]
    edges = [sat.reserve() for _ in range(4)]
    vertices = [sat.add(f"vertex $-1 {ref(edges[i])} {ref(points[i])}") for i in range(4)]
    for i in range(4):
        a, b = corners[i], corners[(i + 1) % 4]
        line = f"nubs 1 open 2 0 1 1 1 {fmt(*a)} {fmt(*b)}"
        sub = f"{{ exactcur{full} {line} 0 null_surface null_surface nullbs nullbs{sat.range() if version > 106 else ''} }}"
        curve = sat.add(f"intcurve-curve $-1 forward {sub}{sat.range()}")
        sat.set(edges[i], edge_record(sat, vertices[i], vertices[(i + 1) % 4], coedges[i], curve))
        sat.set(coedges[i], f"coedge $-1 {ref(coedges[(i + 1) % 4])} {ref(coedges[i - 1])} $-1 {ref(edges[i])} "
                            f"forward {ref(loop)} $-1")
    sat.set(loop, f"loop $-1 $-1 {ref(coedges[0])} {ref(face)}")
    sat.set(face, face_record(sat, None, loop, shell, surface))
    sat.set(shell, shell_record(sat, face, lump))
    return sat


FIXTURES = {
    "square_103.sat": (square, 103),
    "square_106.sat": (square, 106),
    "box_200.sat": (box, 200),
    "box_400.sat": (box, 400),
    "cylinder_106.sat": (cylinder, 106),
    "cylinder_500.sat": (cylinder, 500),
    "sphere_400.sat": (sphere, 400),
    "sphere_600.sat": (sphere, 600),
    "torus_300.sat": (torus, 300),
    "torus_600.sat": (torus, 600),
    "nurbs_face_400.sat": (nurbs_face, 400),
    "nurbs_face_600.sat": (nurbs_face, 600),
    "tube_400.sat": (tube, 400),
    "nurbs_cylinder_400.sat": (lambda v: cylinder(v, nurbs_edges=True), 400),
    "two_squares_400.sat": (two_squares, 400),
    "moved_box_400.sat": (moved_box, 400),
}

if __name__ == "__main__":
    for name, (make, version) in FIXTURES.items():
        with open(name, "w", newline="\n") as out:
            out.write(make(version).text())
