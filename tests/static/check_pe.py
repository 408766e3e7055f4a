#!/usr/bin/python3
"""Checks a built .scr against the PE rules of its kind without running it.

usage: check_pe.py [--timestamp SECONDS] [--break-each] KIND FILE [KIND FILE ...]

Every rule of RULES applies to every kind; KINDS holds what differs between
them, and a new .scr adds its kind there. With --break-each, each rule is
instead run against a copy of FILE broken for that rule, and must fail there."""
import argparse
import struct
import sys

import pefile

PE32_MAGIC = 0x10B
PE32_PLUS_MAGIC = 0x20B
GUI_SUBSYSTEM = 2
RELOCS_STRIPPED = 0x0001
IMAGE_FILE_DLL = 0x2000
HIGH_ENTROPY_VA = 0x0020
DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
MEM_EXECUTE = 0x20000000
MEM_WRITE = 0x80000000
BASE_RELOCATION_DIRECTORY = 5
SYSTEM_LIBRARIES = {"KERNEL32.DLL", "USER32.DLL", "GDI32.DLL", "ADVAPI32.DLL"}

KINDS = {
    # Tarvelimunde.scr for Windows 95 onwards: loaded at its base, so no relocations.
    "x86": {"magic": PE32_MAGIC, "budget": 16384, "relocations": False, "version": (4, 0),
            "imports": SYSTEM_LIBRARIES, "exports": [(b"ScreenSaverProc", 1)]},
    # Tarvelimunde.scr for 64-bit Windows, which places it anywhere (ASLR).
    "x64": {"magic": PE32_PLUS_MAGIC, "budget": 20480, "relocations": True, "version": (4, 0),
            "imports": SYSTEM_LIBRARIES, "exports": [(b"ScreenSaverProc", 1)]},
    # Tarvelimunde Flow.scr for 64-bit Windows 7 to 11: the x64 form, with the
    # stand-in and the frames through a colour table in its own budget.
    "flow": {"magic": PE32_PLUS_MAGIC, "budget": 32768, "relocations": True, "version": (4, 0),
             "imports": SYSTEM_LIBRARIES, "exports": [(b"ScreenSaverProc", 1)]},
}


def entry_section(pe):
    return pe.get_section_by_rva(pe.OPTIONAL_HEADER.AddressOfEntryPoint)


def section_name(section):
    return section.Name.rstrip(b"\0").decode("ascii", "replace")


def constructor_lists(pe):
    """The entries of ld's constructor and destructor lists in the code
    section: a word of -1, the entries, a word of 0, and the same again."""
    wide = pe.OPTIONAL_HEADER.Magic == PE32_PLUS_MAGIC
    size, form = (8, "<Q") if wide else (4, "<I")
    minus_one = (1 << (8 * size)) - 1
    low = pe.OPTIONAL_HEADER.ImageBase
    high = low + pe.OPTIONAL_HEADER.SizeOfImage
    for section in pe.sections:
        if not section.Characteristics & MEM_EXECUTE:
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


# Each rule: its name, why it exists, the check (pe, kind, timestamp) -> problem
# or None, and how to break it: (pe, kind) -> (file bytes, kind).

def check_form(pe, kind, _):
    if pe.OPTIONAL_HEADER.Magic != kind["magic"]:
        return f"optional header magic {pe.OPTIONAL_HEADER.Magic:#x}, expected {kind['magic']:#x}"


def break_form(pe, kind):
    return pe.write(), dict(kind, magic=PE32_MAGIC + PE32_PLUS_MAGIC - kind["magic"])


def check_program(pe, kind, _):
    if pe.FILE_HEADER.Characteristics & IMAGE_FILE_DLL:
        return "marked as a DLL"
    if pe.OPTIONAL_HEADER.Subsystem != GUI_SUBSYSTEM:
        return f"subsystem {pe.OPTIONAL_HEADER.Subsystem}, expected {GUI_SUBSYSTEM} (Windows GUI)"


def break_program(pe, kind):
    pe.OPTIONAL_HEADER.Subsystem = 3
    return pe.write(), kind


def check_versions(pe, kind, _):
    header = pe.OPTIONAL_HEADER
    for name, version in (("subsystem", (header.MajorSubsystemVersion, header.MinorSubsystemVersion)),
                          ("operating system", (header.MajorOperatingSystemVersion,
                                                header.MinorOperatingSystemVersion))):
        if version != kind["version"]:
            return f"{name} version {version[0]}.{version[1]}, expected {kind['version'][0]}.{kind['version'][1]}"


def break_versions(pe, kind):
    pe.OPTIONAL_HEADER.MajorSubsystemVersion += 1
    return pe.write(), kind


def imported(pe):
    return [entry.dll.decode("ascii", "replace").upper() for entry in getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])]


def check_imports(pe, kind, _):
    outside = [dll for dll in imported(pe) if dll not in kind["imports"]]
    if outside:
        return f"imports from {', '.join(outside)}"
    if "KERNEL32.DLL" not in imported(pe):
        return "no imports from KERNEL32.DLL"
    if hasattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT"):
        return "has delay-load imports"


def break_imports(pe, kind):
    pe.set_bytes_at_rva(pe.DIRECTORY_ENTRY_IMPORT[0].struct.Name, b"X")
    return pe.write(), kind


def check_exports(pe, kind, _):
    exports = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    if exports is None:
        return "no export directory"
    named = [(symbol.name, symbol.ordinal) for symbol in exports.symbols]
    if named != kind["exports"] or exports.struct.Base != 1:
        return f"exports {named} from ordinal base {exports.struct.Base}, expected {kind['exports']} from 1"
    for symbol in exports.symbols:
        # An address inside the export directory would read as a forwarder.
        section = pe.get_section_by_rva(symbol.address)
        if symbol.forwarder or section is None or not section.Characteristics & MEM_EXECUTE:
            return f"export {symbol.name} at {symbol.address:#x} is not executable code"


def break_exports(pe, kind):
    # ScreenSaverProc's address becomes the export directory's own.
    pe.set_bytes_at_rva(pe.DIRECTORY_ENTRY_EXPORT.struct.AddressOfFunctions,
                        struct.pack("<I", pe.OPTIONAL_HEADER.DATA_DIRECTORY[0].VirtualAddress))
    return pe.write(), kind


def check_budget(pe, kind, _):
    if len(pe.__data__) > kind["budget"]:
        return f"{len(pe.__data__)} bytes, over the budget of {kind['budget']}"


def break_budget(pe, kind):
    return pe.write() + bytes(kind["budget"] + 1 - len(pe.__data__)), kind


def check_checksum(pe, kind, _):
    if pe.OPTIONAL_HEADER.CheckSum != pe.generate_checksum():
        return f"checksum {pe.OPTIONAL_HEADER.CheckSum:#x}, computed {pe.generate_checksum():#x}"


def break_checksum(pe, kind):
    pe.OPTIONAL_HEADER.CheckSum ^= 1
    return pe.write(), kind


def check_relocations(pe, kind, _):
    relocations = pe.OPTIONAL_HEADER.DATA_DIRECTORY[BASE_RELOCATION_DIRECTORY].Size != 0
    stripped = bool(pe.FILE_HEADER.Characteristics & RELOCS_STRIPPED)
    if relocations != kind["relocations"] or stripped == relocations:
        return (f"relocations {'present' if relocations else 'absent'}, "
                f"RELOCS_STRIPPED {'set' if stripped else 'clear'}")


def break_relocations(pe, kind):
    pe.FILE_HEADER.Characteristics ^= RELOCS_STRIPPED
    return pe.write(), kind


def check_aslr(pe, kind, _):
    flags = pe.OPTIONAL_HEADER.DllCharacteristics & (DYNAMIC_BASE | HIGH_ENTROPY_VA)
    wanted = DYNAMIC_BASE | HIGH_ENTROPY_VA if kind["relocations"] else 0
    if kind["magic"] == PE32_MAGIC:
        wanted &= ~HIGH_ENTROPY_VA
    if flags != wanted:
        return f"ASLR flags {flags:#x}, expected {wanted:#x}"


def break_aslr(pe, kind):
    pe.OPTIONAL_HEADER.DllCharacteristics ^= DYNAMIC_BASE
    return pe.write(), kind


def check_nx(pe, kind, _):
    if not pe.OPTIONAL_HEADER.DllCharacteristics & NX_COMPAT:
        return "no NX_COMPAT"


def break_nx(pe, kind):
    pe.OPTIONAL_HEADER.DllCharacteristics &= ~NX_COMPAT
    return pe.write(), kind


def check_writable_code(pe, kind, _):
    both = [section_name(s) for s in pe.sections if s.Characteristics & MEM_WRITE and s.Characteristics & MEM_EXECUTE]
    if both:
        return f"writable and executable: {', '.join(both)}"


def break_writable_code(pe, kind):
    entry_section(pe).Characteristics |= MEM_WRITE
    return pe.write(), kind


def check_entry(pe, kind, _):
    section = entry_section(pe)
    if section is None or section.Characteristics & (MEM_WRITE | MEM_EXECUTE) != MEM_EXECUTE:
        name = section_name(section) if section else "no section"
        return f"entry point {pe.OPTIONAL_HEADER.AddressOfEntryPoint:#x} in {name}, not in read-only code"
    if section_name(section) != ".text" or pe.OPTIONAL_HEADER.BaseOfCode != section.VirtualAddress:
        return (f"entry point in {section_name(section)} at {section.VirtualAddress:#x}, "
                f"BaseOfCode {pe.OPTIONAL_HEADER.BaseOfCode:#x}: expected both to be .text's")


def break_entry(pe, kind):
    pe.OPTIONAL_HEADER.AddressOfEntryPoint = next(
        s.VirtualAddress for s in pe.sections if not s.Characteristics & MEM_EXECUTE)
    return pe.write(), kind


def check_timestamp(pe, kind, timestamp):
    stamp = pe.FILE_HEADER.TimeDateStamp
    if stamp == 0 or timestamp is not None and stamp != timestamp:
        return f"timestamp {stamp}, expected {timestamp if timestamp is not None else 'not 0'}"


def break_timestamp(pe, kind):
    pe.FILE_HEADER.TimeDateStamp = 0
    return pe.write(), kind


def check_constructors(pe, kind, _):
    lists = constructor_lists(pe)
    if lists is None:
        return "no constructor list found"
    if any(lists):
        return f"constructors {len(lists[0])}, destructors {len(lists[1])}: nothing would run them"


def break_constructors(pe, kind):
    size = 8 if pe.OPTIONAL_HEADER.Magic == PE32_PLUS_MAGIC else 4
    empty = (b"\xff" * size + bytes(size)) * 2
    one = b"\xff" * size + (pe.OPTIONAL_HEADER.ImageBase + pe.OPTIONAL_HEADER.AddressOfEntryPoint).to_bytes(
        size, "little") + bytes(size) + b"\xff" * size
    data = pe.write()
    return data.replace(empty, one, 1), kind


RULES = [
    ("form", "each Windows family's loader takes its own form, PE32 or PE32+", check_form, break_form),
    ("program", "the system starts a .scr as a GUI program, with no console", check_program, break_program),
    ("versions", "the oldest Windows of the kind refuses a higher version", check_versions, break_versions),
    ("imports", "only libraries that every Windows of the kind has, loaded at start", check_imports,
     break_imports),
    ("exports", "ScreenSaverProc as code, as screen savers export it; an address in the export directory "
     "would read as a forwarder", check_exports, break_exports),
    ("budget", "the kind's size goal, counted in whole file blocks", check_budget, break_budget),
    ("checksum", "a wrong checksum is one more mark against the file in scanners and Microsoft's tools",
     check_checksum, break_checksum),
    ("relocations", "only an image that can be moved carries relocations, and the header says which",
     check_relocations, break_relocations),
    ("aslr", "ASLR moves the image, which needs relocations; 64-bit Windows may place it at any address",
     check_aslr, break_aslr),
    ("nx", "data pages never run (DEP); Windows 95 ignores the flag", check_nx, break_nx),
    ("no writable code", "a stray write into code must fault, and antivirus heuristics and Microsoft's "
     "binary analyser flag such a section", check_writable_code, break_writable_code),
    ("entry in .text", "the entry point in read-only code named .text, where BaseOfCode points; PE linters "
     "rate a writable entry point an error", check_entry, break_entry),
    ("timestamp", "tools and scanners read 0 as invalid; the one value every copy of the sources gives "
     "keeps two builds the same", check_timestamp, break_timestamp),
    ("no constructors", "no C runtime runs constructor or destructor lists", check_constructors,
     break_constructors),
]


def parse(data):
    try:
        return pefile.PE(data=data)
    except pefile.PEFormatError as error:
        raise SystemExit(f"cannot read: {error}")


def check(data, kind, timestamp, rules=RULES):
    pe = parse(data)
    return [(name, problem) for name, _, rule, _ in rules if (problem := rule(pe, kind, timestamp))]


def break_each(data, kind, timestamp):
    """The rules that still pass on the copy broken for them."""
    unseen = []
    for name, reason, rule, breaker in RULES:
        broken, broken_kind = breaker(parse(data), dict(kind))
        if name != "checksum":
            # Otherwise every broken copy would fail on its checksum alone.
            pe = parse(broken)
            pe.OPTIONAL_HEADER.CheckSum = pe.generate_checksum()
            broken = pe.write()
        problem = rule(parse(broken), broken_kind, timestamp)
        print(f"{'ok  ' if problem else 'FAIL'} {name}: {problem or 'passes on the copy broken for it'}")
        if not problem:
            unseen.append(name)
    return unseen


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--timestamp", type=int, help="the link time every copy of the sources gives")
    parser.add_argument("--break-each", action="store_true", help="see each rule fail on a copy broken for it")
    parser.add_argument("files", nargs="+", metavar="KIND FILE")
    arguments = parser.parse_args()
    if len(arguments.files) % 2 or any(k not in KINDS for k in arguments.files[::2]):
        parser.error(f"name pairs of KIND ({', '.join(KINDS)}) and FILE")

    failed = 0
    for kind_name, path in zip(arguments.files[::2], arguments.files[1::2]):
        with open(path, "rb") as file:
            data = file.read()
        kind = KINDS[kind_name]
        if arguments.break_each:
            # A broken copy is only telling if the file itself passes.
            problems = check(data, kind, arguments.timestamp) or [
                (name, "passes on the copy broken for it") for name in break_each(data, kind, arguments.timestamp)]
        else:
            problems = check(data, kind, arguments.timestamp)
        for name, problem in problems:
            print(f"FAIL {path} ({kind_name}) {name}: {problem}")
        if not problems:
            print(f"ok   {path} ({kind_name}): {len(RULES)} rules{', each seen to fail' if arguments.break_each else ''}")
        failed += bool(problems)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
