#!/usr/bin/env python3
"""Runs adinfo --json over every real DWG and DXF file and checks its report.

usage: adinfo_real_files.py DATA_DIR COMMAND...   (COMMAND: [emulator] adinfo)
Exits 77 (skipped) when DATA_DIR is absent.
"""
import json
import os
import subprocess
import sys

VERSIONS = ["AC1002", "AC1003", "AC1004", "AC1006", "AC1009", "AC1012", "AC1014", "AC1015"]
KEYS = ["file", "ok", "format", "version", "version_index", "error", "stage", "header", "tables",
        "layers", "blocks", "entities", "objects", "errors"]
LOAD_STAGES = {4, 22, 45, 46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 70, 130, 131, 133}


def manifest(data_dir):
    rows = {}
    with open(os.path.join(data_dir, "MANIFEST.tsv"), encoding="utf-8") as f:
        header = f.readline().rstrip("\n").split("\t")
        for line in f:
            row = dict(zip(header, line.rstrip("\n").split("\t")))
            rows[row["path"]] = row["format_detected"]
    return rows


def expectation(detected):
    """(format, version, version_index, error) the sniff must give; error None: any load outcome."""
    words = detected.split()
    if words[0] == "DWG":
        version = words[1]
        if version in VERSIONS:
            return "dwg", version, VERSIONS.index(version), None
        if version.startswith("AC1"):
            return "dwg", version, None, 8
        return None, None, None, 5
    version = words[2] if len(words) > 2 and words[2] in VERSIONS else None
    fmt = "dxb" if len(words) > 1 and words[1] == "binary" else "dxf"
    return fmt, version, VERSIONS.index(version) if version else None, None


def check(record, detected, problems):
    name = record["file"]
    missing = [k for k in KEYS if k not in record]
    if missing:
        problems.append(f"{name}: keys missing: {missing}")
        return
    fmt, version, index, error = expectation(detected)
    if record["format"] != fmt:
        problems.append(f"{name}: format {record['format']!r}, expected {fmt!r}")
    if fmt == "dwg" and record["version"] != version:
        problems.append(f"{name}: version {record['version']!r}, expected {version!r}")
    if index is not None and record["version_index"] != index:
        problems.append(f"{name}: version_index {record['version_index']!r}, expected {index}")
    if error is not None:
        if record["ok"] or record["error"] != error or record["stage"] is not None:
            problems.append(f"{name}: expected error {error} outside any stage, got {record['error']}/{record['stage']}")
    elif not record["ok"] and (record["error"] == 0 or record["stage"] not in LOAD_STAGES):
        problems.append(f"{name}: failed load must name its stage, got error {record['error']} stage {record['stage']}")
    elif record["ok"] and record["error"] != 0:
        problems.append(f"{name}: loaded with error {record['error']}")
    if not record["ok"] and record.get("error_text", "unknown error") == "unknown error":
        problems.append(f"{name}: error {record['error']} has no phrase")


def main():
    data_dir, command = sys.argv[1], sys.argv[2:]
    if not os.path.isdir(os.path.join(data_dir, "dwg")):
        print(f"skipped: no real drawings in {data_dir}")
        return 77
    rows = manifest(data_dir)
    paths = sorted(p for p in rows if p.startswith(("dwg/", "dxf/")))
    files = [os.path.join(data_dir, p) for p in paths]
    env = dict(os.environ)
    # A sanitizer report must not pass for the exit status of a file that failed.
    for var in ("ASAN_OPTIONS", "UBSAN_OPTIONS"):
        env[var] = (env.get(var, "") + ":exitcode=86").lstrip(":")
    run = subprocess.run(command + ["--json"] + files, capture_output=True, text=True, env=env, timeout=600)
    problems = []
    if run.returncode not in (0, 1):
        problems.append(f"adinfo exited with {run.returncode}: {run.stderr[-2000:]}")
    lines = run.stdout.splitlines()
    if len(lines) != len(files):
        problems.append(f"{len(lines)} JSON lines for {len(files)} files")
    for path, file, line in zip(paths, files, lines):
        try:
            record = json.loads(line)
        except json.JSONDecodeError as e:
            problems.append(f"{path}: not JSON ({e}): {line[:200]}")
            continue
        if record.get("file") != file:
            problems.append(f"{path}: line names {record.get('file')!r}")
            continue
        check(record, rows[path], problems)
    if run.returncode == 0 and any(not json.loads(l).get("ok", False) for l in lines):
        problems.append("exit status 0 although a file did not open")
    for p in problems:
        print(p)
    print(f"{len(files)} files, {len(problems)} problems")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
