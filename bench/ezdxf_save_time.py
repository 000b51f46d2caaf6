#!/usr/bin/python3
"""Prints the seconds ezdxf takes to save an R12 drawing as R12 DXF (ASCII),
loading excluded: the best of RUNS saves of the one loaded document.

usage: ezdxf_save_time.py DRAWING OUT [RUNS]    (prints 0 when it cannot run)

ezdxf cannot turn a later drawing into R12, so DRAWING is the R12 form of the
drawing both sides save: every entity is already what R12 can hold, and
ezdxf's work is the save alone.
"""
import sys
import time


def main():
    path, out = sys.argv[1], sys.argv[2]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 1
    try:
        import ezdxf
        doc = ezdxf.readfile(path)
    except Exception:
        print(0)
        return
    if doc.dxfversion != "AC1009":
        print(0)
        return
    best = 0.0
    for _ in range(max(runs, 1)):
        start = time.perf_counter()
        doc.saveas(out)
        seconds = time.perf_counter() - start
        if best == 0.0 or seconds < best:
            best = seconds
    print(best)


if __name__ == "__main__":
    main()
