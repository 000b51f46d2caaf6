#!/usr/bin/env python3
"""Compares the edges satwire draws for the solids of the corpus DXF files
with the face boundaries of ezdxf's own ACIS reader (planar bodies only).
The SAT texts come from the solids tests run with VT_SOLIDS_SAT_DIR set.
    satwire_compare_ezdxf.py SATWIRE DXF_FOLDER SAT_FOLDER"""
import glob
import os
import subprocess
import sys

import ezdxf
from ezdxf.acis import api as acis

TYPE_CODES = {"REGION": 10, "3DSOLID": 25, "BODY": 35}


def key(p):
    return tuple(round(c, 6) + 0.0 for c in p)


def drawn_edges(satwire, path):
    lines = subprocess.run([satwire, path], capture_output=True, text=True, check=True).stdout.split("\n")
    edges, mode, points = set(), None, []
    for line in lines:
        word = line.strip()
        if word in ("segments", "polyline"):
            mode, points = word, []
        elif word == "end":
            pairs = zip(points[0::2], points[1::2]) if mode == "segments" else zip(points, points[1:])
            edges.update(frozenset((key(a), key(b))) for a, b in pairs)
        elif word:
            points.append(tuple(float(v) for v in word.split()))
    return edges


def ezdxf_edges(entity):
    edges = set()
    for body in acis.load(entity.acis_data):
        mesh = acis.mesh_from_body(body)[0]
        for face in mesh.faces:
            for i, a in enumerate(face):
                b = face[(i + 1) % len(face)]
                edges.add(frozenset((key(mesh.vertices[a]), key(mesh.vertices[b]))))
    return edges


def main():
    satwire, dxf_folder, sat_folder = sys.argv[1:4]
    for path in sorted(glob.glob(os.path.join(dxf_folder, "*.dxf"))):
        stem = os.path.splitext(os.path.basename(path))[0]
        try:
            document = ezdxf.readfile(path)
        except Exception as error:  # ezdxf refuses some structures the others read; the rest still count
            print(f"{stem}.dxf: not readable by ezdxf ({error})")
            continue
        solids = [e for e in document.modelspace() if e.dxftype() in TYPE_CODES]
        for n, entity in enumerate(solids):
            name = f"{stem}.dxf.{TYPE_CODES[entity.dxftype()]}.{n}"
            try:
                theirs = ezdxf_edges(entity)
            except Exception as error:  # ezdxf reads only some SAT versions
                print(f"{name}: ezdxf cannot read it ({type(error).__name__})")
                continue
            ours = drawn_edges(satwire, os.path.join(sat_folder, name + ".sat"))
            print(f"{name}: ezdxf {len(theirs)} edges, ours {len(ours)}, common {len(theirs & ours)}, "
                  f"only ezdxf {len(theirs - ours)}, only ours {len(ours - theirs)}")


if __name__ == "__main__":
    main()
