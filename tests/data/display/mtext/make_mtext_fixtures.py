#!/usr/bin/python3
"""Writes the DXF drawing the MTEXT dispatch test draws (run from this
folder): two MTEXTs in the Standard style, one along the x axis at (5, 25)
and one turned a quarter to the left at (20, 5), each two lines of text 2.5
high attached at their top left."""
import ezdxf


def mtext():
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    msp.add_mtext("ab\\Pcd", dxfattribs={"insert": (5, 25), "char_height": 2.5, "width": 10, "attachment_point": 1})
    msp.add_mtext("ab\\Pcd", dxfattribs={"insert": (20, 5), "char_height": 2.5, "width": 10, "attachment_point": 1,
                                          "text_direction": (0, 1, 0), "color": 1})
    doc.saveas("mtext.dxf")


if __name__ == "__main__":
    mtext()
