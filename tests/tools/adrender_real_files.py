#!/usr/bin/env python3
"""Runs adrender over every real DWG and DXF file: no crash, hang or sanitizer
report, and a PNG of the asked size for every drawing that opens.

usage: adrender_real_files.py DATA_DIR COMMAND...   (COMMAND: [emulator] adrender)
Exits 77 (skipped) when DATA_DIR is absent.
"""
import concurrent.futures
import os
import struct
import subprocess
import sys
import tempfile

WIDTH, HEIGHT = 320, 240
TIMEOUT = 120
# A sanitizer report must not look like a drawing that did not open (exit 1).
ENV = dict(os.environ, ASAN_OPTIONS="exitcode=86:detect_leaks=1", UBSAN_OPTIONS="halt_on_error=1:exitcode=86")


def drawings(data_dir):
    for folder in ("dwg", "dxf"):
        base = os.path.join(data_dir, folder)
        for name in sorted(os.listdir(base)):
            if name.lower().endswith((".dwg", ".dxf")):
                yield os.path.join(base, name)


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", head[16:24])


def render(command, path, out_dir):
    png = os.path.join(out_dir, os.path.basename(path) + ".png")
    try:
        done = subprocess.run(command + ["--size", f"{WIDTH}x{HEIGHT}", "--out", png, path], env=ENV,
                              capture_output=True, text=True, timeout=TIMEOUT)
    except subprocess.TimeoutExpired:
        return f"{path}: no answer within {TIMEOUT} s"
    name = os.path.basename(path)
    if "Sanitizer" in done.stderr or done.returncode not in (0, 1):
        return f"{name}: exit {done.returncode}\n{done.stderr[-2000:]}"
    if done.returncode == 0 and png_size(png) != (WIDTH, HEIGHT):
        return f"{name}: no {WIDTH}x{HEIGHT} PNG written"
    return None


def main():
    data_dir, command = sys.argv[1], [a for a in sys.argv[2:] if a]
    if not os.path.isdir(os.path.join(data_dir, "dwg")):
        print(f"skipped: no real drawings under {data_dir}")
        return 77
    with tempfile.TemporaryDirectory() as out_dir:
        with concurrent.futures.ThreadPoolExecutor(max_workers=2) as pool:
            results = list(pool.map(lambda p: render(command, p, out_dir), drawings(data_dir)))
    problems = [r for r in results if r]
    for problem in problems:
        print(problem)
    print(f"{len(results)} drawings, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
