#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks the folders' layering: every #include "room/..." of the sources must be an edge that
docs/architecture.md's table allows, and every edge the table allows must be in use (so the table
shows what depends on what); every file for one system must be in platform/, and an #if on the
system outside platform/ must say why on the line before it.
Usage: include_edges_test.py SOURCE_ROOT"""
import os
import re
import sys

SOURCE_SUFFIXES = (".cpp", ".h", ".cpp.in")
NOT_SOURCES = {"tests", "bench", "dist", "docs", "scripts", "assets", "translations", "cmake"}
SYSTEM_FILE = re.compile(r"_(linux|win32|posix|x11)\.(cpp|h)$")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
SYSTEM_CONDITION = re.compile(r"^\s*#\s*(if|ifdef|ifndef|elif)\b.*\b(_WIN32|__linux__|Q_OS_\w+)")


def read_table(root):
    text = open(os.path.join(root, "docs", "architecture.md"), encoding="utf-8").read()
    match = re.search(r"<!-- include-edges -->(.*?)<!-- /include-edges -->", text, re.S)
    if not match:
        sys.exit("FAIL: docs/architecture.md has no include-edges table")
    allowed = {}
    for line in match.group(1).splitlines():
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if len(cells) != 2 or not cells[0].startswith("`"):
            continue
        allowed[cells[0].strip("`")] = set(re.findall(r"`([^`]+)`", cells[1]))
    return allowed


def sources(root):
    for folder, dirs, files in os.walk(root):
        relative = os.path.relpath(folder, root)
        if relative == ".":
            dirs[:] = [d for d in dirs if d not in NOT_SOURCES and not d.startswith((".", "build"))]
            continue
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                yield relative.replace(os.sep, "/"), name


def check(root):
    allowed = read_table(root)
    problems = []
    checked = 0
    used = set()
    for room, name in sources(root):
        path = f"{room}/{name}"
        if room not in allowed:
            problems.append(f"{path}: the folder {room}/ is not in the table")
            continue
        if SYSTEM_FILE.search(name) and room != "platform":
            problems.append(f"{path}: a file for one system outside platform/")
        with open(os.path.join(root, path), encoding="utf-8") as source:
            previous = ""
            for number, line in enumerate(source, 1):
                if room != "platform" and SYSTEM_CONDITION.match(line) and not previous.startswith("//"):
                    problems.append(f"{path}:{number}: an #if on the system without a comment saying why")
                if line.strip():
                    previous = line.strip()
                included = INCLUDE.match(line)
                if not included or "/" not in included.group(1):
                    continue  # a generated header (ui_X.h) or a neighbour
                target = included.group(1).rsplit("/", 1)[0]
                checked += 1
                used.add((room, target))
                if target != room and target not in allowed[room]:
                    problems.append(f"{path}:{number}: {room} may not include {included.group(1)}")
    for room, targets in sorted(allowed.items()):
        for target in sorted(targets - {t for r, t in used if r == room}):
            problems.append(f"the table lets {room} include {target}, which no include does")
    return problems, checked


def main():
    problems, checked = check(sys.argv[1])
    for problem in problems:
        print("FAIL: " + problem)
    if problems:
        sys.exit(1)
    print(f"PASS: {checked} includes, each along an allowed edge")


if __name__ == "__main__":
    main()
