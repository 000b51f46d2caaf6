#!/usr/bin/env python3
"""Writes the proxy-graphics streams of DXF drawings as seed files: each
entity's graphics (group 92, then its 310 groups) becomes one file.

usage: proxy_seeds.py OUT_DIR DRAWING...   (drawings that cannot be read are passed over)
"""
import os
import sys


def streams(path):
    try:
        with open(path, encoding="latin-1") as f:
            lines = [line.strip() for line in f]
    except OSError:
        return
    i = 0
    while i + 1 < len(lines):
        if lines[i] == "92" and i + 2 < len(lines) and lines[i + 2] == "310":
            data = bytearray()
            j = i + 2
            while j + 1 < len(lines) and lines[j] == "310":
                try:
                    data += bytes.fromhex(lines[j + 1])
                except ValueError:
                    break
                j += 2
            if len(data) >= 8:
                yield bytes(data)
            i = j
        else:
            i += 2


def main():
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for path in sys.argv[2:]:
        for n, data in enumerate(streams(path)):
            name = f"{os.path.basename(path)}.{n}.bin"
            with open(os.path.join(out_dir, name), "wb") as f:
                f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
