#!/usr/bin/python3
"""Writes reference points of random NURBS curves, evaluated by ezdxf, for
nurbs_curve_test.cpp. Every stored value is rounded to single precision first,
as the curve stores it. Usage: nurbs_reference.py OUTPUT"""
import random
import struct
import sys

from ezdxf.math import BSpline


def f32(value):
    return struct.unpack("f", struct.pack("f", value))[0]


def main():
    rng = random.Random(4711)
    lines = []
    for degree in range(1, 6):
        for rational in (False, True):
            for _ in range(3):
                order = degree + 1
                count = rng.randint(order, order + 4)
                inner = sorted(f32(rng.uniform(0, 3)) for _ in range(count - order))
                knots = [0.0] * order + inner + [f32(3.0)] * order
                points = [tuple(f32(rng.uniform(-5, 5)) for _ in range(3)) for _ in range(count)]
                weights = [f32(rng.uniform(0.5, 2)) if rational else 1.0 for _ in range(count)]
                spline = BSpline(points, order=order, knots=knots, weights=weights)
                params = [f32(rng.uniform(0, 3)) for _ in range(6)] + [0.0, 3.0]
                lines.append(f"curve {count} {order}")
                lines.append(" ".join(repr(k) for k in knots))
                for p, w in zip(points, weights):
                    lines.append(" ".join(repr(c) for c in p) + " " + repr(w))
                for t in params:
                    x, y, z = spline.point(t)
                    lines.append(f"at {t!r} {x!r} {y!r} {z!r}")
    with open(sys.argv[1], "w") as out:
        out.write("\n".join(lines) + "\n")


main()
