#!/usr/bin/env python3
"""Drops the base relocations that GNU ld always writes into an executable
with exports. The saver is an .exe and is always loaded at its preferred base,
so the table is dead weight (a whole file-alignment block or two). The table
must be the last section; the file is marked as having no relocations and as
not relocatable, exactly as a linker that was asked for no relocations would
mark it.

usage: strip_relocations.py FILE
"""
import struct
import sys

RELOCS_STRIPPED = 0x0001
DYNAMIC_BASE = 0x0040
BASE_RELOC_DIRECTORY = 5


def strip(path):
    with open(path, "rb") as f:
        image = bytearray(f.read())
    pe = struct.unpack_from("<I", image, 0x3C)[0]
    if image[pe:pe + 4] != b"PE\0\0":
        sys.exit(f"{path}: not a PE file")
    sections, = struct.unpack_from("<H", image, pe + 6)
    optional_size, = struct.unpack_from("<H", image, pe + 20)
    optional = pe + 24
    magic, = struct.unpack_from("<H", image, optional)
    directories = optional + (96 if magic == 0x10B else 112)
    table = optional + optional_size
    last = table + 40 * (sections - 1)
    name = bytes(image[last:last + 8]).rstrip(b"\0")
    if name != b".reloc":
        return  # nothing to drop
    virtual_size, _, raw_size, raw_offset = struct.unpack_from("<IIII", image, last + 8)
    if raw_offset + raw_size != len(image):
        sys.exit(f"{path}: .reloc is not at the end of the file")
    section_alignment, = struct.unpack_from("<I", image, optional + 32)
    size_of_image, = struct.unpack_from("<I", image, optional + 56)
    aligned = (virtual_size + section_alignment - 1) // section_alignment * section_alignment
    struct.pack_into("<I", image, optional + 56, size_of_image - aligned)
    initialised, = struct.unpack_from("<I", image, optional + 8)
    struct.pack_into("<I", image, optional + 8, max(0, initialised - raw_size))
    struct.pack_into("<II", image, directories + 8 * BASE_RELOC_DIRECTORY, 0, 0)
    struct.pack_into("<H", image, pe + 6, sections - 1)
    characteristics, = struct.unpack_from("<H", image, pe + 22)
    struct.pack_into("<H", image, pe + 22, characteristics | RELOCS_STRIPPED)
    dll_characteristics, = struct.unpack_from("<H", image, optional + 70)
    struct.pack_into("<H", image, optional + 70, dll_characteristics & ~DYNAMIC_BASE)
    image[last:last + 40] = bytes(40)
    del image[raw_offset:]
    with open(path, "wb") as f:
        f.write(image)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    strip(sys.argv[1])
