#!/usr/bin/python3
"""Checks the form of the shipped Tarvelimunde.scr files without running them:
PE32 or PE32+, a GUI program for Windows 4.0, imports from the four system
libraries only, ScreenSaverProc exported at ordinal 1 as code, the size budget, a
true checksum, relocations that agree with the characteristics (none in the
32-bit file, ASLR in the 64-bit one) and empty constructor lists."""
import argparse
import struct
import sys

import pefile

ALLOWED_IMPORTS = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL"}
PE32_MAGIC = 0x10B
PE32_PLUS_MAGIC = 0x20B
GUI_SUBSYSTEM = 2
RELOCS_STRIPPED = 0x0001
HIGH_ENTROPY_VA = 0x0020
DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
MEM_EXECUTE = 0x20000000
BASE_RELOCATION_DIRECTORY = 5
# Windows 95 onwards: loaded at its base, no relocations. Today's 64-bit Windows: ASLR.
FORMS = {
    PE32_MAGIC: {"budget": 16384, "relocations": False, "flags": 0},
    PE32_PLUS_MAGIC: {"budget": 20480, "relocations": True, "flags": DYNAMIC_BASE | HIGH_ENTROPY_VA | NX_COMPAT},
}
ASLR_FLAGS = DYNAMIC_BASE | HIGH_ENTROPY_VA


def constructor_lists(pe):
    """The entries of ld's constructor and destructor lists in the code
    section: a word of -1, the entries, a word of 0, and the same again."""
    wide = pe.OPTIONAL_HEADER.Magic == PE32_PLUS_MAGIC
    size, form = (8, "<Q") if wide else (4, "<I")
    minus_one = (1 << (8 * size)) - 1
    low = pe.OPTIONAL_HEADER.ImageBase
    high = low + pe.OPTIONAL_HEADER.SizeOfImage
    for section in pe.sections:
        if not section.Characteristics & 0x20:  # code
            continue
        data = section.get_data()
        words = [struct.unpack_from(form, data, at)[0] for at in range(0, len(data) - size + 1, size)]
        for start, word in enumerate(words):
            if word != minus_one:
                continue
            lists, at = [], start
            while len(lists) < 2 and at < len(words) and words[at] == minus_one:
                end = at + 1
                while end < len(words) and low <= words[end] < high:
                    end += 1
                if end == len(words) or words[end] != 0:
                    break
                lists.append(words[at + 1:end])
                at = end + 1
            if len(lists) == 2:
                return lists
    return None


def check(path, magic, budget=None):
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
        for symbol in exports.symbols:
            # An address inside the export directory would read as a forwarder.
            section = pe.get_section_by_rva(symbol.address)
            if symbol.forwarder or section is None or not section.Characteristics & MEM_EXECUTE:
                problems.append(f"export {symbol.name} at {symbol.address:#x} is not executable code")

    form = FORMS[magic]
    size = len(pe.__data__)
    budget = budget or form["budget"]
    if size > budget:
        problems.append(f"{size} bytes, over the budget of {budget}")
    if header.CheckSum != pe.generate_checksum():
        problems.append(f"checksum {header.CheckSum:#x}, computed {pe.generate_checksum():#x}")
    relocations = header.DATA_DIRECTORY[BASE_RELOCATION_DIRECTORY].Size != 0
    stripped = bool(pe.FILE_HEADER.Characteristics & RELOCS_STRIPPED)
    if relocations != form["relocations"] or stripped == relocations:
        problems.append(f"relocations {'present' if relocations else 'absent'}, "
                        f"RELOCS_STRIPPED {'set' if stripped else 'clear'}")
    aslr = header.DllCharacteristics & (ASLR_FLAGS | NX_COMPAT)
    if magic == PE32_PLUS_MAGIC and aslr != form["flags"]:
        problems.append(f"DLL characteristics {aslr:#x}, expected {form['flags']:#x}")
    if magic == PE32_MAGIC and aslr & ASLR_FLAGS:
        problems.append(f"ASLR flags {aslr & ASLR_FLAGS:#x} without relocations")
    lists = constructor_lists(pe)
    if lists is None:
        problems.append("no constructor list found")
    elif any(lists):
        problems.append(f"constructors {len(lists[0])}, destructors {len(lists[1])}: nothing would run them")
    return problems, imported


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--pe32", help="the 32-bit Tarvelimunde.scr")
    parser.add_argument("--pe32plus", help="the 64-bit Tarvelimunde.scr")
    parser.add_argument("--budget", type=int, help="bytes allowed, for a build with a budget of its own")
    arguments = parser.parse_args()
    files = [(path, magic) for path, magic in ((arguments.pe32, PE32_MAGIC), (arguments.pe32plus, PE32_PLUS_MAGIC))
             if path]
    if not files:
        parser.error("name --pe32, --pe32plus or both")

    failed = 0
    for path, magic in files:
        result = check(path, magic, arguments.budget)
        problems, imported = result if isinstance(result, tuple) else (result, [])
        if problems:
            failed += 1
            for problem in problems:
                print(f"FAIL {path}: {problem}")
        else:
            print(f"ok   {path}: imports {', '.join(sorted(imported))}")
    print(f"{len(files) - failed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
