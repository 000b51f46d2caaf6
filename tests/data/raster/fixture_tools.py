"""What the fixture generators beside this file share: running a writing
program and the folder of a format's fixtures."""
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
CONVERT = "/usr/bin/convert"


def run(*args):
    subprocess.run(args, check=True, capture_output=True)


def folder(name):
    path = os.path.join(HERE, name)
    os.makedirs(path, exist_ok=True)
    return path
