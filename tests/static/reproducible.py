#!/usr/bin/env python3
"""Builds Tarvelimunde.scr again, from a copy of the sources in another folder
into another build folder, later, and compares it byte for byte with the
tree's own: a link time or a path in the file would show as a difference.

usage: reproducible.py SOURCE_DIR WORK_DIR TOOLCHAIN_FILE BUILD_TYPE SCR [TARGET PATH_IN_TREE]

TARGET and PATH_IN_TREE name another saver of the tree (Tarvelimunde and
Tarvelimunde.scr by default)."""
import pathlib
import shutil
import subprocess
import sys


def main(source, work, toolchain, build_type, scr, target="Tarvelimunde", in_tree="Tarvelimunde.scr"):
    source, work = pathlib.Path(source), pathlib.Path(work)
    shutil.rmtree(work, ignore_errors=True)
    copy = work / "sources-copied-elsewhere"
    shutil.copytree(source, copy, ignore=lambda folder, names:
                    [n for n in names if pathlib.Path(folder) == source and n in ("build", "dist", ".git")])
    tree = work / "another" / "build-folder"
    subprocess.run(["cmake", "-S", copy, "-B", tree, "-G", "Ninja",
                    "-DCMAKE_TOOLCHAIN_FILE=" + str(copy / pathlib.Path(toolchain).relative_to(source)),
                    "-DCMAKE_BUILD_TYPE=" + build_type], check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", tree, "--target", target, "-j2"],
                   check=True, stdout=subprocess.DEVNULL)
    ours, again = pathlib.Path(scr).read_bytes(), (tree / in_tree).read_bytes()
    if ours != again:
        offsets = [i for i, (a, b) in enumerate(zip(ours, again)) if a != b]
        print(f"FAIL {scr}: {len(ours)} and {len(again)} bytes, "
              f"{len(offsets)} differ, first at {offsets[:8]}")
        return 1
    print(f"ok   {scr}: {len(ours)} bytes, the same from {tree}")
    shutil.rmtree(work)
    return 0


if __name__ == "__main__":
    if len(sys.argv) not in (6, 8):
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
