"""Stroke definitions of the built-in GDT font and of the three symbols that
every built-in font carries (degree, plus/minus, diameter).

Units are those of the SIMPLEX font: the baseline is y = 0, capitals reach
y = 21 and descenders go down to y = -7. Each glyph is a list of strokes, each
stroke a list of (x, y) points drawn with the pen down; the left bearing and
the advance are added by the encoder.

In the GDT font the lower-case letters are the geometric-tolerance symbols,
'`' is plus/minus and '~' the degree sign; everything else is a plain
upper-case stroke font.
"""

import math


def circle(cx, cy, r, steps=16):
    """A closed polygon of `steps` sides, starting at the rightmost point."""
    return [(cx + round(r * math.cos(2 * math.pi * i / steps)),
             cy + round(r * math.sin(2 * math.pi * i / steps))) for i in range(steps + 1)]


def arc(cx, cy, r, start, end, steps):
    """Points of an arc from angle `start` to `end` (degrees, counter-clockwise)."""
    return [(cx + round(r * math.cos(math.radians(start + (end - start) * i / steps))),
             cy + round(r * math.sin(math.radians(start + (end - start) * i / steps)))) for i in range(steps + 1)]


def parse(text):
    """'x,y x,y; x,y x,y' -> list of strokes."""
    return [[tuple(int(v) for v in point.split(",")) for point in stroke.split()]
            for stroke in text.split(";") if stroke.strip()]


def ringed(text):
    """A letter drawn inside a circle of radius 8 (the modifier symbols)."""
    return [circle(8, 8, 8)] + parse(text)


DEGREE = [circle(4, 17, 4, 8)]
PLUS_MINUS = parse("6,6 6,18; 0,12 12,12; 0,2 12,2")
DIAMETER = [circle(8, 8, 7)] + parse("0,0 16,16")

_LETTERS = {
    "A": "0,0 6,21 12,0; 2,7 10,7",
    "B": "0,0 0,21 8,21 11,19 11,13 8,11 0,11; 8,11 12,9 12,2 9,0 0,0",
    "C": "12,18 9,21 3,21 0,18 0,3 3,0 9,0 12,3",
    "D": "0,0 0,21 7,21 12,16 12,5 7,0 0,0",
    "E": "12,21 0,21 0,0 12,0; 0,11 8,11",
    "F": "12,21 0,21 0,0; 0,11 8,11",
    "G": "12,18 9,21 3,21 0,18 0,3 3,0 9,0 12,3 12,9 7,9",
    "H": "0,0 0,21; 12,0 12,21; 0,11 12,11",
    "I": "3,0 3,21; 0,21 6,21; 0,0 6,0",
    "J": "10,21 10,3 7,0 3,0 0,3 0,6",
    "K": "0,0 0,21; 12,21 0,8; 4,12 12,0",
    "L": "0,21 0,0 12,0",
    "M": "0,0 0,21 7,8 14,21 14,0",
    "N": "0,0 0,21 12,0 12,21",
    "O": "3,0 0,3 0,18 3,21 9,21 12,18 12,3 9,0 3,0",
    "P": "0,0 0,21 9,21 12,18 12,13 9,10 0,10",
    "Q": "3,0 0,3 0,18 3,21 9,21 12,18 12,3 9,0 3,0; 7,5 12,-1",
    "R": "0,0 0,21 9,21 12,18 12,13 9,10 0,10; 8,10 12,0",
    "S": "12,18 9,21 3,21 0,18 0,14 3,11 9,10 12,7 12,3 9,0 3,0 0,3",
    "T": "0,21 12,21; 6,21 6,0",
    "U": "0,21 0,3 3,0 9,0 12,3 12,21",
    "V": "0,21 6,0 12,21",
    "W": "0,21 4,0 8,14 12,0 16,21",
    "X": "0,21 12,0; 12,21 0,0",
    "Y": "0,21 6,11 12,21; 6,11 6,0",
    "Z": "0,21 12,21 0,0 12,0",
    "0": "3,0 0,3 0,18 3,21 7,21 10,18 10,3 7,0 3,0",
    "1": "2,17 6,21 6,0; 2,0 10,0",
    "2": "0,18 3,21 7,21 10,18 10,13 0,0 10,0",
    "3": "0,18 3,21 7,21 10,18 10,14 7,11 3,11; 7,11 10,8 10,3 7,0 3,0 0,3",
    "4": "8,0 8,21 0,6 11,6",
    "5": "10,21 0,21 0,12 7,12 10,9 10,3 7,0 3,0 0,3",
    "6": "10,18 7,21 3,21 0,18 0,3 3,0 7,0 10,3 10,9 7,12 3,12 0,9",
    "7": "0,21 10,21 3,0",
    "8": "3,11 0,14 0,18 3,21 7,21 10,18 10,14 7,11 3,11 0,8 0,3 3,0 7,0 10,3 10,8 7,11",
    "9": "0,3 3,0 7,0 10,3 10,18 7,21 3,21 0,18 0,12 3,9 7,9 10,12",
    "!": "1,21 1,6; 1,1 1,0",
    '"': "0,21 0,15; 4,21 4,15",
    "#": "3,0 5,21; 8,0 10,21; 0,7 12,7; 1,14 13,14",
    "$": "10,17 8,19 2,19 0,17 0,13 2,11 8,10 10,8 10,4 8,2 2,2 0,4; 5,21 5,0",
    "&": "12,0 2,14 2,18 4,21 7,21 9,18 9,16 0,6 0,3 3,0 7,0 12,6",
    "'": "0,21 0,15",
    "(": "4,24 1,19 0,12 0,9 1,2 4,-3",
    ")": "0,24 3,19 4,12 4,9 3,2 0,-3",
    "*": "5,18 5,4; 0,15 10,7; 10,15 0,7",
    "+": "6,3 6,15; 0,9 12,9",
    ",": "1,2 1,0 0,-3",
    "-": "0,9 10,9",
    ".": "0,1 0,0",
    "/": "0,0 12,21",
    ":": "0,10 0,9; 0,1 0,0",
    ";": "1,10 1,9; 1,2 1,0 0,-3",
    "<": "12,17 0,9 12,1",
    "=": "0,12 12,12; 0,6 12,6",
    ">": "0,17 12,9 0,1",
    "?": "0,17 2,20 5,21 8,20 10,17 10,14 5,10 5,6; 5,1 5,0",
    "@": "12,3 9,0 4,0 0,4 0,17 4,21 9,21 13,17 13,7 10,5 8,7 8,13 6,15 4,13 4,8 6,6 8,7",
    "[": "5,24 0,24 0,-3 5,-3",
    "\\": "0,21 12,0",
    "]": "0,24 5,24 5,-3 0,-3",
    "^": "0,15 5,21 10,15",
    "_": "0,-3 12,-3",
    "{": "5,24 3,23 2,21 2,14 0,11 2,8 2,1 3,-2 5,-3",
    "|": "0,24 0,-3",
    "}": "0,24 2,23 3,21 3,14 5,11 3,8 3,1 2,-2 0,-3",
    # Geometric-tolerance symbols.
    "a": "16,0 0,0 15,9",                               # angularity
    "b": "0,0 16,0; 8,0 8,16",                          # perpendicularity
    "c": "0,0 12,0 16,10 4,10 0,0",                     # flatness
    "e": None,                                          # circularity
    "f": "0,0 8,16; 6,0 14,16",                         # parallelism
    "g": "0,0 5,16; 11,0 16,16",                        # cylindricity (with its circle)
    "h": "0,0 12,16; 6,14 12,16 12,10",                 # circular runout
    "i": "0,8 16,8; 3,4 13,4; 3,12 13,12",              # symmetry
    "o": "0,0 14,0 14,14 0,14 0,0",                     # square
    "t": "0,0 6,0; 0,0 10,16; 4,14 10,16 10,10; 6,0 16,16; 10,14 16,16 16,10",  # total runout
    "u": "0,8 16,8",                                    # straightness
    "v": "0,16 8,0 16,16",                              # countersink
    "w": "8,16 8,0; 4,4 8,0 12,4; 2,0 14,0",            # depth
    "x": "0,16 0,0 16,0 16,16",                         # counterbore
    "y": "0,2 16,8 0,14 0,2",                           # conical taper
    "z": "0,0 16,0 16,8 0,0",                           # slope
}


def _gdt_glyphs():
    glyphs = {ord(ch): parse(text) for ch, text in _LETTERS.items() if text is not None}
    glyphs[ord(" ")] = []
    glyphs[ord("%")] = [[(0, 0), (12, 21)], circle(2, 18, 2, 8), circle(10, 3, 2, 8)]
    glyphs[ord("d")] = [arc(8, 0, 8, 0, 180, 8) + [(16, 0)]]      # profile of a surface
    glyphs[ord("e")] = [circle(8, 8, 8)]
    glyphs[ord("g")] += [circle(8, 8, 6)]
    glyphs[ord("j")] = [circle(8, 8, 6)] + parse("8,0 8,16; 0,8 16,8")  # position
    glyphs[ord("k")] = [arc(8, 0, 8, 0, 180, 8)]                 # profile of a line
    glyphs[ord("l")] = ringed("5,13 5,4 11,4")                   # least material condition
    glyphs[ord("m")] = ringed("4,4 4,12 8,7 12,12 12,4")         # maximum material condition
    glyphs[ord("n")] = DIAMETER
    glyphs[ord("p")] = ringed("5,4 5,12 10,12 11,11 11,9 10,8 5,8")  # projected tolerance zone
    glyphs[ord("q")] = ringed("5,4 5,12 11,12; 5,8 9,8")         # free state
    glyphs[ord("r")] = [circle(8, 8, 8), circle(8, 8, 4, 8)]     # concentricity
    glyphs[ord("s")] = ringed("11,11 10,12 6,12 5,11 5,9 11,7 11,5 10,4 6,4 5,5")  # regardless of feature size
    glyphs[ord("`")] = PLUS_MINUS
    glyphs[ord("~")] = DEGREE
    for number, strokes in ((127, DEGREE), (128, PLUS_MINUS), (129, DIAMETER),
                            (256, DEGREE), (257, PLUS_MINUS), (258, DIAMETER)):
        glyphs[number] = strokes
    return dict(sorted(glyphs.items()))


GLYPHS = _gdt_glyphs()
