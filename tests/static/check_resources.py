#!/usr/bin/python3
"""Checks a built saver module field by field: its export, its description
string and every resource it carries, down to each control of the dialog."""

import argparse
import struct
import sys
import xml.etree.ElementTree as ElementTree

import pefile

LANG_LATVIAN = 0x0426

RT_ICON = 3
RT_DIALOG = 5
RT_STRING = 6
RT_GROUP_ICON = 14
RT_MANIFEST = 24
LANG_NEUTRAL = 0

# (type, name) of every resource the module may carry; each exactly once,
# under LANG_LATVIAN. String ids 100 and 1007 live in blocks 100 // 16 + 1
# and 1007 // 16 + 1.
EXPECTED_RESOURCES = {
    (RT_GROUP_ICON, 100),
    (RT_ICON, 1),
    (RT_ICON, 2),
    (RT_DIALOG, 2003),
    (RT_STRING, 7),
    (RT_STRING, 63),
}

# (width, height, colour count, reserved, planes, bit count, bytes, icon id)
EXPECTED_ICON_GROUP = [
    (32, 32, 16, 0, 1, 4, 744, 1),
    (32, 32, 0, 0, 1, 8, 2216, 2),
]

VGA_COLOURS = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

BUTTON_ATOM = 0x80
STATIC_ATOM = 0x82

EXPECTED_DIALOG = {
    "style": 0x90C000C0,
    "exstyle": 0,
    "rect": (50, 50, 181, 95),
    "menu": "",
    "class": "",
    "title": "Setup",
    "font_size": 8,
    "font_name": "MS Sans Serif",
}

# (class atom, id, style, rect, text or ordinal); every control has extended
# style 0 and no creation data. The credit line (control 5) is free text that
# must be there; None stands for "any non-empty text".
EXPECTED_CONTROLS = [
    (BUTTON_ATOM, 1, 0x50010001, (70, 75, 38, 14), "OK"),
    (STATIC_ATOM, 65535, 0x50000003, (20, 10, 18, 20), 100),
    (STATIC_ATOM, 65535, 0x50020001, (5, 47, 170, 8),
     "This screen saver has no optiopns that you can set."),
    (STATIC_ATOM, 65535, 0x50020001, (55, 10, 96, 8), 'Screen Saver "Tarvelimunde"'),
    (STATIC_ATOM, 65535, 0x50020001, (55, 20, 96, 8), None),
    (STATIC_ATOM, 65535, 0x50020001, (55, 30, 96, 8), "Version for Win95"),
    (STATIC_ATOM, 1000, 0x50020001, (5, 60, 170, 8), ""),
]

EXPECTED_STRINGS = {100: "SCR Tarvelimudne", 1007: "Screen Saver.Tarvelund"}

DESCRIPTION = "SCRNSAVE :Tarvelimunde"

# A build for today's Windows adds its manifest (type 24, id 1): per-monitor
# awareness with its fallbacks, and the systems it was made for.
MANIFEST = (RT_MANIFEST, 1)
ASSEMBLY = "urn:schemas-microsoft-com:asm.v1"
ASSEMBLY_V3 = "urn:schemas-microsoft-com:asm.v3"
COMPATIBILITY = "urn:schemas-microsoft-com:compatibility.v1"
SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
SETTINGS_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"
SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}


class Checker:
    def __init__(self, path):
        self.path = path
        self.failures = []
        self.passes = 0

    def expect(self, condition, what):
        if condition:
            self.passes += 1
        else:
            self.failures.append(what)
        return condition

    def equal(self, actual, expected, what):
        return self.expect(actual == expected, f"{what}: got {actual!r}, expected {expected!r}")


class Reader:
    """Sequential little-endian reads over one resource's bytes."""

    def __init__(self, data):
        self.data = data
        self.offset = 0

    def unpack(self, fmt):
        size = struct.calcsize(fmt)
        if self.offset + size > len(self.data):
            raise ValueError(f"resource ends at {len(self.data)} inside a field at {self.offset}")
        values = struct.unpack_from("<" + fmt, self.data, self.offset)
        self.offset += size
        return values if len(values) > 1 else values[0]

    def align(self, boundary):
        self.offset = (self.offset + boundary - 1) // boundary * boundary

    def string(self):
        chars = []
        while True:
            unit = self.unpack("H")
            if unit == 0:
                return "".join(chars)
            chars.append(chr(unit))

    def string_or_ordinal(self):
        first = self.unpack("H")
        if first == 0xFFFF:
            return self.unpack("H")
        self.offset -= 2
        return self.string()


def check_export(check, pe):
    exports = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    if not check.expect(exports is not None, "export directory present"):
        return
    name = pe.get_string_at_rva(exports.struct.Name)
    check.equal(name, b"TARVELIMUNDE.EXE", "export module name")
    check.equal(exports.struct.Base, 1, "export ordinal base")
    check.equal(exports.struct.NumberOfFunctions, 1, "exported functions")
    check.equal(exports.struct.NumberOfNames, 1, "exported names")
    symbols = [(s.name, s.ordinal) for s in exports.symbols]
    check.equal(symbols, [(b"ScreenSaverProc", 1)], "exports")
    if exports.symbols:
        address = exports.symbols[0].address
        section = pe.get_section_by_rva(address) if address else None
        executable = section is not None and section.Characteristics & pefile.SECTION_CHARACTERISTICS["IMAGE_SCN_MEM_EXECUTE"]
        check.expect(executable, f"ScreenSaverProc at {address:#x} is not in code")


def check_description(check, pe, text):
    description = text.encode("ascii") + b"\0"
    writable = pefile.SECTION_CHARACTERISTICS["IMAGE_SCN_MEM_WRITE"]
    readable = pefile.SECTION_CHARACTERISTICS["IMAGE_SCN_MEM_READ"]
    homes = [s.Name.rstrip(b"\0").decode() for s in pe.sections if description in s.get_data()]
    read_only = [s.Name.rstrip(b"\0").decode() for s in pe.sections
                 if description in s.get_data()
                 and s.Characteristics & readable and not s.Characteristics & writable]
    check.expect(read_only, f"description {description!r} in a read-only section (found in {homes})")


def check_headers(check, pe):
    check.equal(pe.OPTIONAL_HEADER.Subsystem, pefile.SUBSYSTEM_TYPE["IMAGE_SUBSYSTEM_WINDOWS_GUI"], "subsystem")
    check.expect(pe.FILE_HEADER.Characteristics & pefile.IMAGE_CHARACTERISTICS["IMAGE_FILE_EXECUTABLE_IMAGE"],
                 "executable image")
    check.expect(not pe.FILE_HEADER.Characteristics & pefile.IMAGE_CHARACTERISTICS["IMAGE_FILE_DLL"],
                 "an executable, not a DLL")
    if pe.FILE_HEADER.Machine == pefile.MACHINE_TYPE["IMAGE_FILE_MACHINE_I386"]:
        header = pe.OPTIONAL_HEADER
        check.equal((header.MajorSubsystemVersion, header.MinorSubsystemVersion), (4, 0), "subsystem version")
        check.equal((header.MajorOperatingSystemVersion, header.MinorOperatingSystemVersion), (4, 0),
                    "operating system version")


def collect_resources(check, pe, with_manifest):
    """{(type, name): data}, checking languages and code pages on the way;
    the manifest is language neutral, everything else Latvian."""
    found = {}
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    if not check.expect(root is not None, "resource directory present"):
        return found
    for type_entry in root.entries:
        if not check.expect(type_entry.name is None, f"resource type named {type_entry.name}"):
            continue
        for name_entry in type_entry.directory.entries:
            if not check.expect(name_entry.name is None, f"resource of type {type_entry.id} named {name_entry.name}"):
                continue
            key = (type_entry.id, name_entry.id)
            languages = name_entry.directory.entries
            language = LANG_NEUTRAL if key == MANIFEST else LANG_LATVIAN
            check.equal([lang.id for lang in languages], [language], f"languages of resource {key}")
            for lang in languages:
                check.equal(lang.data.struct.CodePage, 0, f"code page of resource {key}")
                data = pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)
                found[key] = data
    expected = EXPECTED_RESOURCES | ({MANIFEST} if with_manifest else set())
    check.equal(sorted(found), sorted(expected), "resources (type, name)")
    return found


def check_icons(check, resources):
    group = resources.get((RT_GROUP_ICON, 100))
    if not check.expect(group is not None, "icon group 100"):
        return
    reader = Reader(group)
    try:
        check.equal(reader.unpack("HHH"), (0, 1, 2), "icon group header (reserved, type, count)")
        entries = [reader.unpack("BBBBHHIH") for _ in range(2)]
    except ValueError as error:
        check.expect(False, f"icon group: {error}")
        return
    check.equal(entries, EXPECTED_ICON_GROUP, "icon group entries")
    check.equal(reader.offset, len(group), "icon group length")

    for (width, height, colours, _, planes, bits, size, icon_id) in EXPECTED_ICON_GROUP:
        image = resources.get((RT_ICON, icon_id))
        if not check.expect(image is not None, f"icon {icon_id}"):
            continue
        what = f"icon {icon_id}"
        check.equal(len(image), size, f"{what} size")
        if len(image) < 40:
            continue
        header = struct.unpack_from("<IiiHHIIiiII", image)
        (hsize, bwidth, bheight, bplanes, bbits, compression, _, _, _, used, _) = header
        check.equal((hsize, bwidth, bheight, bplanes, bbits, compression),
                    (40, width, height * 2, planes, bits, 0),
                    f"{what} BITMAPINFOHEADER (size, width, height, planes, bits, compression)")
        check.expect(used in (0, 1 << bits), f"{what} colours used {used}")
        table_size = 4 * (1 << bits)
        row = width * bits // 8
        mask_row = (width + 31) // 32 * 4
        check.equal(40 + table_size + row * height + mask_row * height, len(image), f"{what} layout")
        if len(image) != size:
            continue
        table = [tuple(image[40 + 4 * i + 2 - c] for c in range(3)) for i in range(1 << bits)]
        if bits == 4:
            check.equal(table, VGA_COLOURS, f"{what} colour table")
        pixels_at = 40 + table_size
        mask_at = pixels_at + row * height
        mask = image[mask_at:]
        shown = sum(bin(b ^ 0xFF).count("1") for b in mask)
        check.expect(shown > 0, f"{what} has no visible pixel")
        coloured = 0
        for y in range(height):
            for x in range(width):
                if bits == 8:
                    index = image[pixels_at + y * row + x]
                else:
                    byte = image[pixels_at + y * row + x // 2]
                    index = byte >> 4 if x % 2 == 0 else byte & 0x0F
                hidden = mask[y * mask_row + x // 8] & (0x80 >> (x % 8))
                if hidden:
                    check.expect(index == 0, f"{what} pixel {x},{y} is masked but not black")
                elif table[index] != (0, 0, 0):
                    coloured += 1
        check.expect(coloured >= 50, f"{what} has only {coloured} coloured pixels")


def check_dialog(check, resources):
    data = resources.get((RT_DIALOG, 2003))
    if not check.expect(data is not None, "dialog 2003"):
        return
    check.expect(data[:4] != b"\x01\x00\xff\xff", "dialog 2003 is a standard template, not DLGTEMPLATEEX")
    reader = Reader(data)
    try:
        style, exstyle, count = reader.unpack("IIH")
        rect = reader.unpack("hhhh")
        menu = reader.string_or_ordinal()
        window_class = reader.string_or_ordinal()
        title = reader.string()
        font_size = reader.unpack("H")
        font_name = reader.string()
        dialog = {"style": style, "exstyle": exstyle, "rect": rect, "menu": menu,
                  "class": window_class, "title": title, "font_size": font_size,
                  "font_name": font_name}
        for field, expected in EXPECTED_DIALOG.items():
            check.equal(dialog[field], expected, f"dialog {field}")
        check.equal(count, len(EXPECTED_CONTROLS), "dialog control count")

        for number, expected in enumerate(EXPECTED_CONTROLS[:count], start=1):
            atom, control_id, control_style, control_rect, text = expected
            what = f"control {number}"
            reader.align(4)
            c_style, c_exstyle = reader.unpack("II")
            c_rect = reader.unpack("hhhh")
            c_id = reader.unpack("H")
            c_class = reader.string_or_ordinal()
            c_text = reader.string_or_ordinal()
            extra = reader.unpack("H")
            check.equal(c_style, control_style, f"{what} style")
            check.equal(c_exstyle, 0, f"{what} extended style")
            check.equal(c_rect, control_rect, f"{what} rectangle")
            check.equal(c_id, control_id, f"{what} id")
            check.equal(c_class, atom, f"{what} class atom")
            if text is None:
                check.expect(isinstance(c_text, str) and c_text.strip(), f"{what} text {c_text!r}")
            else:
                check.equal(c_text, text, f"{what} text")
            check.equal(extra, 0, f"{what} creation data")
    except ValueError as error:
        check.expect(False, f"dialog 2003: {error}")
        return
    check.equal(data[reader.offset:].strip(b"\0"), b"", "dialog 2003 trailing bytes")


def check_strings(check, resources):
    for block in (7, 63):
        data = resources.get((RT_STRING, block))
        if not check.expect(data is not None, f"string block {block}"):
            continue
        reader = Reader(data)
        try:
            for slot in range(16):
                string_id = (block - 1) * 16 + slot
                length = reader.unpack("H")
                text = "".join(chr(reader.unpack("H")) for _ in range(length))
                check.equal(text, EXPECTED_STRINGS.get(string_id, ""), f"string {string_id}")
        except ValueError as error:
            check.expect(False, f"string block {block}: {error}")
            continue
        check.equal(reader.offset, len(data), f"string block {block} length")


def check_manifest(check, resources):
    data = resources.get(MANIFEST)
    if not check.expect(data is not None, "manifest (type 24, id 1)"):
        return
    try:
        root = ElementTree.fromstring(data)
    except ElementTree.ParseError as error:
        check.expect(False, f"manifest is not XML: {error}")
        return
    check.equal(root.tag, f"{{{ASSEMBLY}}}assembly", "manifest root")
    settings = f"{{{ASSEMBLY_V3}}}application/{{{ASSEMBLY_V3}}}windowsSettings"
    aware = [e.text.strip() for e in root.findall(f"{settings}/{{{SETTINGS_2005}}}dpiAware")]
    check.equal(aware, ["true/pm"], "dpiAware (2005 settings)")
    awareness = [[part.strip() for part in e.text.split(",")]
                 for e in root.findall(f"{settings}/{{{SETTINGS_2016}}}dpiAwareness")]
    check.equal(awareness, [["PerMonitorV2", "PerMonitor"]], "dpiAwareness (2016 settings)")
    systems = {e.get("Id").lower() for e in
               root.findall(f"{{{COMPATIBILITY}}}compatibility/{{{COMPATIBILITY}}}application/"
                            f"{{{COMPATIBILITY}}}supportedOS")}
    for guid, name in SUPPORTED_OS.items():
        check.expect(guid in systems, f"manifest names {name} as supported")


def check_module(path, description, with_manifest):
    check = Checker(path)
    try:
        pe = pefile.PE(path)
    except (OSError, pefile.PEFormatError) as error:
        check.expect(False, f"cannot read: {error}")
        return check
    check_headers(check, pe)
    check_export(check, pe)
    if description:
        check_description(check, pe, description)
    resources = collect_resources(check, pe, with_manifest)
    if with_manifest:
        check_manifest(check, resources)
    check_icons(check, resources)
    check_dialog(check, resources)
    check_strings(check, resources)
    return check


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("modules", nargs="+", help="PE files to check")
    parser.add_argument("--no-description", action="store_true",
                        help="skip the description string (for modules that carry only the resources)")
    parser.add_argument("--description", default=DESCRIPTION, help=f"the description string ({DESCRIPTION!r})")
    parser.add_argument("--manifest", action="store_true", help="the resources gain a manifest")
    args = parser.parse_args()
    failed = 0
    passed = 0
    for path in args.modules:
        check = check_module(path, None if args.no_description else args.description, args.manifest)
        for failure in check.failures:
            print(f"FAIL {path}: {failure}")
        print(f"{path}: {check.passes} checks passed, {len(check.failures)} failed")
        passed += check.passes
        failed += len(check.failures)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
