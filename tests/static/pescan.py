#!/usr/bin/python3
"""Runs Debian's pescan (package pev) on a built .scr: no section may be rated
"self-modifying" (writable and executable) or "suspicious", and the timestamp
must not read as zero or invalid. Its rating of the image base and of the
section count is left to it (see README.md).

usage: pescan.py FILE"""
import subprocess
import sys


def main(path):
    report = subprocess.run(["pescan", path], capture_output=True, text=True, check=True).stdout
    print(report, end="")
    problems = []
    for line in report.splitlines():
        name, _, rating = (part.strip() for part in line.partition(":"))
        # Sections are the indented lines; the image base's line is not.
        if line.startswith(" ") and rating in ("self-modifying", "suspicious") or \
                name == "timestamp" and rating != "normal":
            problems.append(f"{name}: {rating}")
    if "sections" not in report:
        problems.append("no section report")
    for problem in problems:
        print(f"FAIL {path}: {problem}")
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
