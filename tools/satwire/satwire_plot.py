#!/usr/bin/env python3
"""Draws satwire's output as a picture: the wireframe seen along (1, 1, 1),
the view the display engine's silhouettes are made for.
    satwire file.sat | satwire_plot.py out.png [title]"""
import sys

from PIL import Image, ImageDraw

SIZE, MARGIN = 400, 20


def primitives(lines):
    mode, points = None, []
    for line in lines:
        word = line.strip()
        if word in ("segments", "polyline"):
            mode, points = word, []
        elif word == "end":
            yield mode, points
        elif word:
            points.append(tuple(float(v) for v in word.split()))


def project(p):
    # Screen axes of the view along (1, 1, 1) with z up.
    x, y, z = p
    return ((x - y) * 0.7071067811865476, (2 * z - x - y) * 0.4082482904638631)


def main():
    strokes = []
    for mode, points in primitives(sys.stdin):
        screen = [project(p) for p in points]
        if mode == "segments":
            strokes += [[a, b] for a, b in zip(screen[0::2], screen[1::2])]
        elif len(screen) > 1:
            strokes.append(screen)
    image = Image.new("RGB", (SIZE, SIZE + 20), "white")
    draw = ImageDraw.Draw(image)
    if strokes:
        xs = [p[0] for s in strokes for p in s]
        ys = [p[1] for s in strokes for p in s]
        scale = (SIZE - 2 * MARGIN) / max(max(xs) - min(xs), max(ys) - min(ys), 1e-9)
        for s in strokes:
            draw.line([(MARGIN + (x - min(xs)) * scale, SIZE - MARGIN - (y - min(ys)) * scale) for x, y in s],
                      fill="black", width=1)
    draw.text((4, SIZE + 4), sys.argv[2] if len(sys.argv) > 2 else "", fill="black")
    image.save(sys.argv[1])


if __name__ == "__main__":
    main()
