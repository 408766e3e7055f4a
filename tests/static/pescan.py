#!/usr/bin/python3
"""Runs Debian's pescan (package pev) on a built .scr: no section may be rated
"self-modifying" (writable and executable) or "suspicious", and the timestamp
must not read as zero or invalid. Its rating of the image base and of the
section count is left to it (see README.md).

usage: pescan.py FILE"""
import re
import subprocess
import sys


def main(path):
    report = subprocess.run(["pescan", path], capture_output=True, text=True, check=True).stdout
    print(report, end="")
    problems = [line.strip() for line in report.splitlines()
                if re.match(r"\s+\S+:\s+(self-modifying|suspicious)", line)
                or re.match(r"timestamp:\s+(?!normal)", line)]
    if "sections" not in report:
        problems.append("no section report")
    for problem in problems:
        print(f"FAIL {path}: {problem}")
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    sys.exit(main(sys.argv[1]))
