#!/usr/bin/python3
"""Prints the seconds ezdxf's drawing add-on takes to draw a drawing's model
space into a picture of the given size (matplotlib, Agg), loading excluded.

usage: ezdxf_draw_time.py DRAWING WIDTH HEIGHT    (prints 0 when it cannot run)
"""
import sys
import time


def main():
    path, width, height = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    try:
        import ezdxf
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
        from ezdxf.addons.drawing import Frontend, RenderContext
        from ezdxf.addons.drawing.matplotlib import MatplotlibBackend
    except Exception:
        print(0)
        return
    try:
        doc = ezdxf.readfile(path) if path.lower().endswith(".dxf") else None
    except Exception:
        doc = None
    if doc is None:
        print(0)
        return
    start = time.perf_counter()
    figure = plt.figure(figsize=(width / 100, height / 100), dpi=100)
    axes = figure.add_axes([0, 0, 1, 1])
    Frontend(RenderContext(doc), MatplotlibBackend(axes)).draw_layout(doc.modelspace(), finalize=True)
    figure.savefig("/dev/null", format="png", dpi=100)
    print(time.perf_counter() - start)


if __name__ == "__main__":
    main()
