#!/usr/bin/python3
"""Writes the DXF drawings the view-setup tests read (run from this folder):
an *ACTIVE viewport of aspect 2 looking along a 3D direction, one
looking along (0, 0, 1e-14), layouts with 3
and with 60 viewports, and an R12 drawing shown in paper space
(ezdxf leaves its extents unset)."""
import ezdxf


def active(name, direction, aspect):
    doc = ezdxf.new("R2000")
    doc.header["$TILEMODE"] = 1
    vport = doc.viewports.get("*ACTIVE")[0]
    vport.dxf.height = 10.0
    vport.dxf.aspect_ratio = aspect
    vport.dxf.center = (3.0, 4.0)
    vport.dxf.direction = direction
    vport.dxf.target = (5.0, 0.0, 0.0)
    doc.modelspace().add_line((0, 0), (10, 0))
    doc.saveas(name)
    return name


def layout(name, count):
    doc = ezdxf.new("R2000")
    doc.header["$TILEMODE"] = 0
    paper = doc.layout("Layout1")
    paper.page_setup(size=(24, 14), margins=(0, 0, 0, 0), units="inch")
    for i in range(count):
        row, column = divmod(i, 10)
        paper.add_viewport(center=(1.5 + 2 * column, 1.5 + 2 * row), size=(2.0, 1.0),
                           view_center_point=(0, 0), view_height=4.0 if i % 2 else 1.0)
    doc.modelspace().add_line((0, 0), (1, 1))
    doc.saveas(name)
    return name


def r12_paper():
    doc = ezdxf.new("R12")
    doc.header["$TILEMODE"] = 0
    doc.modelspace().add_line((0, 0), (1, 1))
    doc.saveas("r12_paper.dxf")


active("active_aspect2.dxf", (1.0, 1.0, 1.0), 2.0)
# ezdxf normalises a view direction: the file is patched afterwards to hold
# (0, 0, 1e-14) in the *ACTIVE record.
tiny = active("active_tiny_direction.dxf", (0.0, 0.0, 1.0), 1.0)
with open(tiny) as f:
    text = f.read()
vport = text.upper().index("*ACTIVE")
direction = text.index(" 36\n1.0\n", vport)
with open(tiny, "w") as f:
    f.write(text[:direction] + " 36\n1e-14\n" + text[direction + len(" 36\n1.0\n"):])
layout("layout3.dxf", 3)
layout("layout60.dxf", 60)
r12_paper()
