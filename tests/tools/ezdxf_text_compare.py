#!/usr/bin/env python3
"""Draws each TrueType text fixture with adrender and with ezdxf's drawing
add-on over the same window at the same size, and compares where the text
lands: the boxes around the ink must agree within 10% in width and height,
and their centres within 10% of the larger side. The renderers' font
metrics differ, so the shapes of the letters are not compared.

usage: ezdxf_text_compare.py FIXTURE_DIR OUT_DIR COMMAND...  (COMMAND: [emulator] adrender)
Exits 77 (skipped) when ezdxf or matplotlib is missing; the pictures of
both sides stay in OUT_DIR to look at.
"""
import importlib.util
import os
import sys

TOLERANCE = 0.10


def load(path, name):
    spec = importlib.util.spec_from_file_location(name, path)
    module = importlib.util.module_from_spec(spec)
    spec.loader.exec_module(module)
    return module


def box(mask):
    import numpy
    rows, columns = numpy.nonzero(mask)
    if len(rows) == 0:
        return None
    return columns.min(), rows.min(), columns.max(), rows.max()


def main():
    compare = load(os.path.join(os.path.dirname(os.path.abspath(__file__)), "ezdxf_compare.py"), "ezdxf_compare")
    status = compare.cannot_start(__doc__)
    if status is not None:
        return status
    fixture_dir, out_dir, command = sys.argv[1], sys.argv[2], sys.argv[3:]
    windows = load(os.path.join(fixture_dir, "make_text_fixtures.py"), "fixtures").TRUETYPE_WINDOWS
    os.makedirs(out_dir, exist_ok=True)
    failures = []
    for name, window in sorted(windows.items()):
        pictures = compare.draw_both(command, os.path.join(fixture_dir, name), window, out_dir, name, failures)
        if not pictures:
            continue
        ours_png, theirs_png = pictures
        ours, theirs = box(compare.ink(ours_png)), box(compare.ink(theirs_png))
        print(f"{name}: ours {ours}, ezdxf {theirs}")
        if ours is None or theirs is None:
            failures.append(f"{name}: no ink on {'our' if ours is None else 'the ezdxf'} side")
            continue
        width, height = theirs[2] - theirs[0], theirs[3] - theirs[1]
        side = max(width, height)
        checks = {
            "width": abs((ours[2] - ours[0]) - width) <= TOLERANCE * width,
            "height": abs((ours[3] - ours[1]) - height) <= TOLERANCE * height,
            "centre x": abs((ours[0] + ours[2]) - (theirs[0] + theirs[2])) / 2 <= TOLERANCE * side,
            "centre y": abs((ours[1] + ours[3]) - (theirs[1] + theirs[3])) / 2 <= TOLERANCE * side,
        }
        for what, ok in checks.items():
            if not ok:
                failures.append(f"{name}: {what} differs by more than {TOLERANCE:.0%}")
    for failure in failures:
        print("FAIL", failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
