#!/usr/bin/env python3
"""Draws each entity fixture with adrender and with ezdxf's drawing add-on
over the same window at the same size, and compares where the ink is: at
least 97% of our ink pixels must lie within 2 pixels of theirs, and the
other way round.

usage: ezdxf_compare.py FIXTURE_DIR OUT_DIR COMMAND...  (COMMAND: [emulator] adrender)
Exits 77 (skipped) when ezdxf or matplotlib is missing; the pictures of
both sides stay in OUT_DIR to look at.
"""
import importlib.util
import os
import subprocess
import sys

WIDTH, HEIGHT = 400, 300
NEAR = 2           # pixels
SHARE = 0.97       # of the ink that must lie near the other side's
INK = 64           # a channel this far from the background is ink


def load_fixture_windows(fixture_dir):
    spec = importlib.util.spec_from_file_location("fixtures", os.path.join(fixture_dir, "make_entity_fixtures.py"))
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module.WINDOWS


def view_box(window):
    x1, y1, x2, y2 = window
    aspect = (WIDTH - 1) / (HEIGHT - 1)
    width = max(x2 - x1, (y2 - y1) * aspect)
    height = width / aspect
    cx, cy = (x1 + x2) / 2, (y1 + y2) / 2
    return cx - width / 2, cy - height / 2, cx + width / 2, cy + height / 2


def theirs(path, window, png):
    import ezdxf
    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    from ezdxf.addons.drawing import Frontend, RenderContext
    from ezdxf.addons.drawing.config import Configuration
    from ezdxf.addons.drawing.matplotlib import MatplotlibBackend

    doc = ezdxf.readfile(path)
    dpi = 100
    figure = plt.figure(figsize=(WIDTH / dpi, HEIGHT / dpi), dpi=dpi)
    axes = figure.add_axes([0, 0, 1, 1])
    axes.set_axis_off()
    context = RenderContext(doc)
    # Black behind, as the raster host draws: colour 7 is then white on both.
    context.set_current_layout(doc.modelspace())
    context.current_layout_properties.set_colors("#000000")
    figure.patch.set_facecolor("#000000")
    config = Configuration.defaults().with_changes(lineweight_scaling=0.0, min_lineweight=0.5)
    Frontend(context, MatplotlibBackend(axes), config=config).draw_layout(doc.modelspace(), finalize=False)
    x1, y1, x2, y2 = view_box(window)
    axes.set_xlim(x1, x2)
    axes.set_ylim(y1, y2)
    axes.set_aspect("auto")
    figure.savefig(png, dpi=dpi, facecolor=figure.get_facecolor())
    plt.close(figure)


def ink(png):
    import numpy
    from PIL import Image
    pixels = numpy.asarray(Image.open(png).convert("RGB"), dtype=numpy.int32)
    background = pixels[0, 0] if (pixels[0, 0] == pixels[-1, -1]).all() else numpy.array([0, 0, 0])
    return (numpy.abs(pixels - background).max(axis=2) > INK)


def near(mask):
    import numpy
    grown = numpy.zeros_like(mask)
    height, width = mask.shape
    for dy in range(-NEAR, NEAR + 1):
        for dx in range(-NEAR, NEAR + 1):
            shifted = numpy.zeros_like(mask)
            shifted[max(dy, 0):height + min(dy, 0), max(dx, 0):width + min(dx, 0)] = \
                mask[max(-dy, 0):height + min(-dy, 0), max(-dx, 0):width + min(-dx, 0)]
            grown |= shifted
    return grown


def share_near(a, b):
    count = int(a.sum())
    return 1.0 if count == 0 else float((a & near(b)).sum()) / count


def cannot_start(usage):
    """The exit status when the comparison cannot run here (2 usage, 77
    skipped), else None."""
    if len(sys.argv) < 4:
        print(usage)
        return 2
    for module in ("ezdxf", "matplotlib", "numpy", "PIL"):
        if importlib.util.find_spec(module) is None:
            print(f"skipped: no {module}")
            return 77
    try:
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot  # noqa: F401
    except Exception as error:  # a broken installation is as good as none
        print(f"skipped: matplotlib does not start ({error})")
        return 77
    return None


def draw_both(command, path, window, out_dir, label, failures, their_path=None):
    """adrender draws path and ezdxf their_path (path when not given) over
    the window; answers the two pictures, or None with the failure noted."""
    ours_png = os.path.join(out_dir, label + ".ours.png")
    theirs_png = os.path.join(out_dir, label + ".ezdxf.png")
    done = subprocess.run(command + ["--size", f"{WIDTH}x{HEIGHT}", "--window", ",".join(map(str, window)),
                                     "--out", ours_png, path], capture_output=True, text=True, timeout=300)
    if done.returncode != 0:
        failures.append(f"{label}: adrender exit {done.returncode}: {done.stderr[-500:]}")
        return None
    theirs(their_path or path, window, theirs_png)
    return ours_png, theirs_png


def compare_ink(label, ours_png, theirs_png, share, failures):
    """At least share of each side's ink must lie near the other's."""
    a, b = ink(ours_png), ink(theirs_png)
    ours_near, theirs_near = share_near(a, b), share_near(b, a)
    print(f"{label}: {int(a.sum())} ink pixels of ours, {int(b.sum())} of ezdxf; "
          f"{ours_near:.1%} of ours near theirs, {theirs_near:.1%} of theirs near ours")
    if a.sum() == 0 or ours_near < share or theirs_near < share:
        failures.append(f"{label}: {ours_near:.1%} / {theirs_near:.1%} (at least {share:.0%} both ways)")


def main():
    status = cannot_start(__doc__)
    if status is not None:
        return status
    fixture_dir, out_dir, command = sys.argv[1], sys.argv[2], sys.argv[3:]
    os.makedirs(out_dir, exist_ok=True)
    failures = []
    for name, window in sorted(load_fixture_windows(fixture_dir).items()):
        pictures = draw_both(command, os.path.join(fixture_dir, name), window, out_dir, name, failures)
        if pictures:
            compare_ink(name, *pictures, SHARE, failures)
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
