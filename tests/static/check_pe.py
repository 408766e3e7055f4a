#!/usr/bin/python3
"""Checks the form of the shipped Tarvelimunde.scr files without running them:
PE32 or PE32+, a GUI program for Windows 4.0, imports from the four system
libraries only, and ScreenSaverProc exported at ordinal 1."""
import argparse
import sys

import pefile

ALLOWED_IMPORTS = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL"}
PE32_MAGIC = 0x10B
PE32_PLUS_MAGIC = 0x20B
GUI_SUBSYSTEM = 2


def check(path, magic):
    problems = []
    try:
        pe = pefile.PE(path)
    except (OSError, pefile.PEFormatError) as error:
        return [f"cannot read: {error}"]
    header = pe.OPTIONAL_HEADER
    if header.Magic != magic:
        problems.append(f"optional header magic {header.Magic:#x}, expected {magic:#x}")
    if pe.FILE_HEADER.Characteristics & 0x2000:
        problems.append("marked as a DLL")
    if header.Subsystem != GUI_SUBSYSTEM:
        problems.append(f"subsystem {header.Subsystem}, expected {GUI_SUBSYSTEM} (Windows GUI)")
    versions = {
        "subsystem version": (header.MajorSubsystemVersion, header.MinorSubsystemVersion),
        "operating system version": (header.MajorOperatingSystemVersion, header.MinorOperatingSystemVersion),
    }
    for name, version in versions.items():
        if version != (4, 0):
            problems.append(f"{name} {version[0]}.{version[1]}, expected 4.0")

    imported = [entry.dll.decode("ascii", "replace").upper() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]
    for dll in imported:
        if dll not in ALLOWED_IMPORTS:
            problems.append(f"imports from {dll}")
    if "KERNEL32.DLL" not in imported:
        problems.append("no imports from KERNEL32.DLL")
    if hasattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT"):
        problems.append("has delay-load imports")

    exports = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    if exports is None:
        problems.append("no export directory")
    else:
        named = [(symbol.name, symbol.ordinal) for symbol in exports.symbols]
        if named != [(b"ScreenSaverProc", 1)]:
            problems.append(f"exports {named}, expected only ScreenSaverProc at ordinal 1")
        if exports.struct.Base != 1:
            problems.append(f"ordinal base {exports.struct.Base}, expected 1")
    return problems, imported


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--pe32", required=True, help="the 32-bit Tarvelimunde.scr")
    parser.add_argument("--pe32plus", required=True, help="the 64-bit Tarvelimunde.scr")
    arguments = parser.parse_args()

    failed = 0
    for path, magic in ((arguments.pe32, PE32_MAGIC), (arguments.pe32plus, PE32_PLUS_MAGIC)):
        result = check(path, magic)
        problems, imported = result if isinstance(result, tuple) else (result, [])
        if problems:
            failed += 1
            for problem in problems:
                print(f"FAIL {path}: {problem}")
        else:
            print(f"ok   {path}: imports {', '.join(sorted(imported))}")
    print(f"{2 - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
