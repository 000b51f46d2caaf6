#!/usr/bin/python3
"""Writes images.dxf: IMAGE entities over the BMP fixtures of this folder,
one pixel a drawing unit, side by side: whole pictures, a rectangular and a
polygonal clip boundary, and one whose file does not exist; and
images_xref_host.dxf, which shows images.dxf as an external reference at
the origin (run from this folder after make_bitmap_fixtures.py)."""
import ezdxf

W, H = 13, 7


def main():
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    doc.set_raster_variables(frame=0)
    placed = {}
    for i, name in enumerate(["rle8", "rgb24", "rle4", "mono1"]):
        placed[name] = doc.objects.add_image_def(filename=name + ".bmp", size_in_pixel=(W, H))
        msp.add_image(placed[name], insert=(1 + 15 * (i % 2), 1 + 9 * (i // 2)), size_in_units=(W, H))
    clipped = doc.objects.add_image_def(filename="palette8.bmp", size_in_pixel=(W, H))
    rect = msp.add_image(clipped, insert=(1, 19), size_in_units=(W, H))
    rect.set_boundary_path([(2.5, 1.5), (9.5, 5.5)])
    poly = msp.add_image(clipped, insert=(16, 19), size_in_units=(W, H))
    poly.set_boundary_path([(-0.5, 6.5), (6, -0.5), (12.5, 6.5)])
    missing = doc.objects.add_image_def(filename="no_such_picture.bmp", size_in_pixel=(W, H))
    msp.add_image(missing, insert=(31, 1), size_in_units=(W, H))
    doc.saveas("images.dxf")


def xref_host():
    doc = ezdxf.new("R2000")
    doc.add_xref_def("images.dxf", "IMAGES")
    doc.modelspace().add_blockref("IMAGES", (0, 0))
    doc.saveas("images_xref_host.dxf")


if __name__ == "__main__":
    main()
    xref_host()
