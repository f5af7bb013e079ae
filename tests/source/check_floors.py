#!/usr/bin/env python3
"""Fails when a file of src/ includes a header of a higher floor.

    check_floors.py SRC_DIRECTORY

The module's subsystems stand on floors, each including only its own
floor and those below it (README.md, "Layout"). Includes are read from the
#include "..." lines and resolved as the compiler does: beside the file
first, then from src/. Lines naming nothing in src/ (the public header,
generated files) are not the floors' business.
"""
import os
import re
import sys

# Bottom up. A folder of src/ that is on no floor is an error too, so that
# a new subsystem is given its place.
FLOORS = [
    {"platform", "script"},
    {"common", "job", "res"},
    {"addrbook", "ticket"},
    {"faxdlg", "editors"},
    {"entry"},
]

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def floor_of(folder):
    for level, folders in enumerate(FLOORS):
        if folder in folders:
            return level
    return None


def main():
    if len(sys.argv) != 2:
        print("usage: check_floors.py SRC_DIRECTORY", file=sys.stderr)
        return 2
    src = os.path.abspath(sys.argv[1])
    problems = []
    for folder in sorted(os.listdir(src)):
        if os.path.isdir(os.path.join(src, folder)) and floor_of(folder) is None:
            problems.append(f"src/{folder}/ stands on no floor")
    for directory, folders, files in os.walk(src):
        folders.sort()
        for name in sorted(files):
            if not name.endswith((".h", ".cpp", ".rc")):
                continue
            path = os.path.join(directory, name)
            relative = os.path.relpath(path, src)
            here = floor_of(relative.split(os.sep)[0])
            if here is None:
                continue
            with open(path, encoding="utf-8", errors="replace") as text:
                for number, line in enumerate(text, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    beside = os.path.normpath(os.path.join(directory, match.group(1)))
                    rooted = os.path.normpath(os.path.join(src, match.group(1)))
                    target = beside if os.path.exists(beside) else rooted
                    if not os.path.exists(target) or not target.startswith(src + os.sep):
                        continue
                    folder = os.path.relpath(target, src).split(os.sep)[0]
                    there = floor_of(folder)
                    if there is not None and there > here:
                        problems.append(f"src/{relative}:{number}: includes {match.group(1)}, "
                                        f"a floor above {relative.split(os.sep)[0]}/")
    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
