#!/usr/bin/python3
"""Writes the DXF drawings the text dispatch tests draw (run from this
folder), over the test fonts of tests/data/fonts: TEXT in a shape font and a
TrueType face; an ATTDEF at the top level and in a block
(constant and not); ATTRIBs visible and invisible; a SHAPE. Each entity has
a colour of its own, so that its strokes can be told apart. And single TEXT
entities in a TrueType face whose placement the ezdxf comparison checks:
plain, rotated, narrowed, slanted, upside down and backwards; TRUETYPE_WINDOWS
gives the window each is drawn in."""
import ezdxf


def styles(doc):
    doc.styles.new("GLYPHS", dxfattribs={"font": "glyphs.shx"})
    doc.styles.new("ARIAL", dxfattribs={"font": "arial.ttf"})
    shapes = doc.styles.new("", dxfattribs={"font": "glyphs.shx"})
    shapes.dxf.flags = 1


def text(attmode):
    doc = ezdxf.new("R2000")
    doc.header["$ATTMODE"] = attmode
    styles(doc)
    msp = doc.modelspace()
    # D: three strokes; I: one; at height 10 one drawing unit a font unit.
    msp.add_text("D", dxfattribs={"style": "GLYPHS", "height": 1, "insert": (2, 2), "color": 1})
    # Right-aligned at (28, 2); the insertion point (20, 2) is where it was before an edit.
    msp.add_text("D", dxfattribs={"style": "GLYPHS", "height": 1, "insert": (20, 2), "align_point": (28, 2),
                                  "halign": 2, "color": 3})
    msp.add_attdef("I", (2, 10), dxfattribs={"style": "GLYPHS", "height": 1, "color": 4})
    block = doc.blocks.new("B")
    block.add_attdef("K", (0, 0), text="I",
                     dxfattribs={"style": "GLYPHS", "height": 1, "color": 5, "flags": 2})
    block.add_attdef("V", (0, 2), text="I", dxfattribs={"style": "GLYPHS", "height": 1, "color": 6})
    insert = msp.add_blockref("B", (10, 10))
    insert.add_attrib("V", "D", (10, 14), dxfattribs={"style": "GLYPHS", "height": 1, "color": 7})
    insert.add_attrib("H", "I", (10, 16), dxfattribs={"style": "GLYPHS", "height": 1, "color": 8, "flags": 1})
    msp.add_shape("DEE", (20, 10), 0.1, dxfattribs={"color": 9})
    msp.add_text("O", dxfattribs={"style": "ARIAL", "height": 5, "insert": (20, 20), "color": 10})
    doc.saveas(f"text_attmode{attmode}.dxf")


TRUETYPE = {
    "truetype_plain.dxf": ({}, (-4, -6, 44, 10)),
    "truetype_rotated.dxf": ({"rotation": 30}, (-6, -6, 42, 26)),
    "truetype_narrow.dxf": ({"width": 0.5}, (-4, -6, 26, 10)),
    "truetype_oblique.dxf": ({"oblique": 20}, (-4, -6, 44, 10)),
    "truetype_tall.dxf": ({"height": 8}, (-8, -12, 112, 24)),
    "truetype_backwards.dxf": ({"text_generation_flag": 2}, (-44, -6, 4, 10)),
    "truetype_upside_down.dxf": ({"text_generation_flag": 4}, (-4, -10, 44, 6)),
}
TRUETYPE_WINDOWS = {name: window for name, (_, window) in TRUETYPE.items()}


def truetype(name, attributes):
    doc = ezdxf.new("R2000")
    doc.styles.new("ARIAL", dxfattribs={"font": "arial.ttf"})
    dxfattribs = {"style": "ARIAL", "height": 3, "insert": (0, 0)}
    dxfattribs.update(attributes)
    doc.modelspace().add_text("Vistrelmar 2468", dxfattribs=dxfattribs)
    doc.saveas(name)


if __name__ == "__main__":
    for mode in (0, 1, 2):
        text(mode)
    for name, (attributes, _) in TRUETYPE.items():
        truetype(name, attributes)
