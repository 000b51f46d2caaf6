#!/usr/bin/env python3
"""Saves every corpus drawing as DXF through adsave and lets independent readers
judge the output: ezdxf must load it with a clean audit, and GDAL's DXF driver
must count no fewer features in it than in a source DXF of a version the output
holds all entity kinds of (our reader reads 3DLINE as LINE, which GDAL counts
where it passes the source's 3DLINE over).

usage: dxf_peers.py DATA_DIR WORK_DIR VERSION COMMAND...   (COMMAND: [emulator] adsave)
Exits 77 (skipped) when DATA_DIR, ezdxf or ogrinfo is absent.
"""
import os
import re
import shutil
import subprocess
import sys


def feature_count(path):
    """The features GDAL's DXF driver reads, or None when it refuses the file."""
    run = subprocess.run(["ogrinfo", "-ro", "-so", "-al", path], capture_output=True, text=True)
    counts = re.findall(r"Feature Count: (\d+)", run.stdout)
    return sum(int(n) for n in counts) if run.returncode == 0 and counts else None


def source_version(path):
    """The $ACADVER of a DXF as ezdxf reads it; "~" when the file names none
    or ezdxf cannot read it (such a file is not compared)."""
    import ezdxf
    with open(path, "rb") as f:
        if b"$ACADVER" not in f.read():
            return "~"
    try:
        return ezdxf.readfile(path).dxfversion
    except Exception:
        return "~"


def main():
    data_dir, work_dir, version, command = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
    try:
        import ezdxf
    except ImportError:
        print("skipped: python3-ezdxf is not installed")
        return 77
    if not os.path.isdir(data_dir):
        print(f"skipped: no corpus data in {data_dir}")
        return 77
    if not shutil.which("ogrinfo"):
        print("skipped: ogrinfo is not installed")
        return 77
    os.makedirs(work_dir, exist_ok=True)
    failures = []
    checked = 0
    for kind in ("dxf", "dwg"):
        folder = os.path.join(data_dir, kind)
        for name in sorted(os.listdir(folder)):
            if not name.endswith("." + kind):
                continue
            source = os.path.join(folder, name)
            out = os.path.join(work_dir, name + ".dxf")
            run = subprocess.run(command + [source, out, "--format", "dxf", "--version", version],
                                 capture_output=True, text=True)
            if run.returncode != 0:
                if "cannot be read" not in run.stderr:
                    failures.append(f"{name}: adsave failed: {run.stderr.strip()}")
                continue
            checked += 1
            try:
                doc = ezdxf.readfile(out)
                auditor = doc.audit()
                if auditor.has_errors:
                    failures.append(f"{name}: ezdxf audit: {[e.message for e in auditor.errors][:3]}")
            except Exception as error:  # ezdxf refuses the file
                failures.append(f"{name}: ezdxf: {type(error).__name__}: {error}")
            if kind == "dxf" and source_version(source) <= version:
                expected, got = feature_count(source), feature_count(out)
                if expected is not None and (got is None or got < expected):
                    failures.append(f"{name}: GDAL counts {got} features, {expected} in the source")
    for failure in failures:
        print(failure)
    print(f"{checked} files saved as {version}, {len(failures)} failures")
    return 1 if failures or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
