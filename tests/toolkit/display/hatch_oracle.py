#!/usr/bin/python3
"""Checks what the engine drew for the hatches of a drawing against ezdxf's
reading of their boundaries and patterns, with shapely's geometry.

Arguments: the DXF file and the recorded stream of its draw, whose first
line is "matrix a b d e xoff yoff" (device x = a x + b y + xoff, device
y = d x + e y + yoff) and whose other lines are the recording host's.

For each hatch, the region its style fills is built from the boundary
loops: the normal style fills by the even-odd rule, the outer style the
outermost loops less the loops directly inside them, the ignore style the
outermost loops whole. Then:
- every line drawn lies inside that region (within 2 device units);
- every line lies on a line of one of the pattern's families (within 1.5
  device units), and for a direction drawn by one family alone the lines
  follow each other at exactly the family's spacing;
- the lines leave no part of the region uncovered: widened by the largest
  spacing or dash of the pattern, they cover all but 2% of it;
- a solid hatch's polygons lie inside the region and cover its area within
  1%.
Prints one line per failure and exits 1 when there is any."""
import math
import sys

import ezdxf
from ezdxf import path as ezpath
from ezdxf.entities.boundary_paths import BoundaryPathType
from ezdxf.math import BSpline
from shapely import affinity
from shapely.geometry import LineString, Polygon
from shapely.ops import unary_union

INSIDE = 2.0
ON_LINE = 1.5


def read_stream(name):
    lines = open(name).read().splitlines()
    matrix = [float(v) for v in lines[0].split()[1:]]
    drawn = {}
    handle, last = None, None
    for line in lines[1:]:
        words = line.split()
        if not words:
            continue
        if words[0] == "entity":
            handle = words[2].upper().lstrip("0") or "0"
            drawn.setdefault(handle, {"segments": [], "polygons": []})
            last = None
        elif words[0] == "move":
            last = (float(words[1]), float(words[2]))
        elif words[0] == "line" and handle:
            point = (float(words[1]), float(words[2]))
            drawn[handle]["segments"].append((last, point))
            last = point
        elif words[0] == "polygon" and handle:
            points = [tuple(float(v) for v in w.split(",")) for w in words[2:]]
            drawn[handle]["polygons"].append(Polygon(points))
    return matrix, drawn


TEXT_BOX = 8
CHORD = 0.001


def arc_points(centre, radius, start, end, ccw, ratio=1.0, major=(1.0, 0.0)):
    """Points of a circular or elliptic arc edge from ezdxf's angles (degrees;
    parameters for an ellipse). A clockwise edge runs from the end angle
    clockwise to the start angle: DXF stores a clockwise arc by its angles
    negated, and ezdxf 0.18 hands them back as 360 less the stored end and
    start, in that order. (Its own path conversion reads them the other way
    round, which is why the checker flattens edges itself.)"""
    if ccw:
        a, b = start, end
        while b <= a:
            b += 360.0
    else:
        a, b = end, start
        while b >= a:
            b -= 360.0
    length = math.hypot(*major)
    theta = math.atan2(major[1], major[0])
    big, small = radius * length, radius * length * ratio
    steps = max(8, int(abs(b - a) / 360.0 * 2 * math.pi * big / CHORD ** 0.5))
    points = []
    for k in range(steps + 1):
        t = math.radians(a + (b - a) * k / steps)
        x, y = big * math.cos(t), small * math.sin(t)
        points.append((centre[0] + x * math.cos(theta) - y * math.sin(theta),
                       centre[1] + x * math.sin(theta) + y * math.cos(theta)))
    return points


def edge_points(edge):
    kind = edge.EDGE_TYPE
    if kind == "LineEdge":
        return [tuple(edge.start)[:2], tuple(edge.end)[:2]]
    if kind == "ArcEdge":
        return arc_points(edge.center, edge.radius, edge.start_angle, edge.end_angle, edge.ccw)
    if kind == "EllipseEdge":
        return arc_points(edge.center, 1.0, edge.start_angle, edge.end_angle, edge.ccw, edge.ratio,
                          tuple(edge.major_axis)[:2])
    spline = BSpline(edge.control_points, order=edge.degree + 1, knots=edge.knot_values,
                     weights=edge.weights or None)
    return [(v.x, v.y) for v in spline.flattening(CHORD)]


# A solid fill passes over its text boxes.
def loops_of(hatch):
    loops = []
    for boundary in hatch.paths:
        if hatch.dxf.solid_fill and boundary.path_type_flags & TEXT_BOX:
            continue
        if boundary.type == BoundaryPathType.EDGE:
            points = [p for edge in boundary.edges for p in edge_points(edge)]
        else:
            points = [(v.x, v.y) for v in ezpath.from_hatch_polyline_path(boundary).flattening(CHORD)]
        if len(points) >= 3:
            loops.append(Polygon(points).buffer(0))
    return loops


def region_of(hatch, loops):
    depth = [sum(1 for j, other in enumerate(loops) if j != i and other.contains(loop.representative_point())
                 and other.area > loop.area) for i, loop in enumerate(loops)]
    style = hatch.dxf.hatch_style
    kept = [loop for loop, d in zip(loops, depth) if style == 0 or (style == 1 and d <= 1) or (style == 2 and d == 0)]
    region = Polygon()
    for loop in kept:
        region = region.symmetric_difference(loop)
    return region


def check_pattern(name, hatch, region, segments, a, b, d, e, fail):
    families = []
    for line in hatch.pattern.lines:
        angle = math.radians(line.angle)
        base = (a * line.base_point[0] + b * line.base_point[1], d * line.base_point[0] + e * line.base_point[1])
        offset = (a * line.offset[0] + b * line.offset[1], d * line.offset[0] + e * line.offset[1])
        direction = (a * math.cos(angle) + b * math.sin(angle), d * math.cos(angle) + e * math.sin(angle))
        length = math.hypot(*direction)
        u = (direction[0] / length, direction[1] / length)
        spacing = abs(u[0] * offset[1] - u[1] * offset[0])
        families.append((u, base, spacing))
    near = region.buffer(INSIDE)
    reach = max(max(f[2] for f in families),
                max((abs(dash) * math.hypot(a, d) for line in hatch.pattern.lines for dash in line.dash_length_items),
                    default=0.0))
    lines = unary_union([LineString([p, q]) for p, q in segments]).buffer(reach, resolution=1)
    uncovered = region.difference(lines).area
    if uncovered > 0.02 * region.area:
        fail(f"{name}: {uncovered:.0f} of the region's {region.area:.0f} has no lines")
    positions = {}
    for p, q in segments:
        if not near.contains(LineString([p, q])):
            fail(f"{name}: line {p}-{q} leaves the region")
        length = math.hypot(q[0] - p[0], q[1] - p[1])
        on = None
        for k, (u, base, spacing) in enumerate(families):
            # Lines of a dash may be a dot: only long ones tell their direction.
            if length > 3 and abs(u[0] * (q[1] - p[1]) - u[1] * (q[0] - p[0])) > 0.02 * length:
                continue
            across = u[0] * (p[1] - base[1]) - u[1] * (p[0] - base[0])
            step = across / spacing
            if abs(step - round(step)) * spacing < ON_LINE:
                on = k
                positions.setdefault(k, set()).add(round(step))
                break
        if on is None:
            fail(f"{name}: line {p}-{q} lies on no pattern line")
    for k, steps in positions.items():
        same = [j for j, f in enumerate(families) if abs(abs(f[0][0] * families[k][0][0] + f[0][1] * families[k][0][1]) - 1) < 1e-9]
        if len(same) == 1 and steps and max(steps) - min(steps) + 1 != len(steps):
            fail(f"{name}: family {k} skips lines: {sorted(steps)}")


def main():
    doc = ezdxf.readfile(sys.argv[1])
    matrix, drawn = read_stream(sys.argv[2])
    a, b, d, e, xoff, yoff = matrix
    failures = []
    fail = failures.append
    checked = 0
    for hatch in doc.modelspace().query("HATCH"):
        name = hatch.dxf.layer
        loops = loops_of(hatch)
        region = affinity.affine_transform(region_of(hatch, loops), [a, b, d, e, xoff, yoff])
        got = drawn.get(hatch.dxf.handle.upper(), {"segments": [], "polygons": []})
        if hatch.dxf.solid_fill:
            area = sum(p.area for p in got["polygons"])
            if abs(area - region.area) > 0.01 * region.area:
                fail(f"{name}: solid fill covers {area:.0f} of {region.area:.0f}")
            near = region.buffer(INSIDE)
            for polygon in got["polygons"]:
                if not near.contains(polygon):
                    fail(f"{name}: a filled polygon leaves the region")
        else:
            if len(got["segments"]) < 5:
                fail(f"{name}: only {len(got['segments'])} lines drawn")
            check_pattern(name, hatch, region, got["segments"], a, b, d, e, fail)
        checked += 1
    for line in failures[:60]:
        print(line)
    print(f"{checked} hatches checked, {len(failures)} failures")
    return 1 if failures or checked == 0 else 0


sys.exit(main())
