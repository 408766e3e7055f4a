"""Reads XWD files, such as the screen file Xvfb keeps in its -fbdir folder, as RGB images."""

import struct

from PIL import Image

_HEADER = struct.Struct(">25I")


def read(data):
    """The image in the colours its colormap gives, and the raw pixel values (8-bit screens) or None."""
    (header_size, _version, _format, depth, width, height, _xoffset, byte_order, _unit, _bit_order, _pad,
     bits_per_pixel, bytes_per_line, visual_class, red_mask, green_mask, blue_mask, _bits_rgb, _entries,
     ncolors, _ww, _wh, _wx, _wy, _bw) = _HEADER.unpack_from(data)
    colours = {}
    offset = header_size
    for _ in range(ncolors):
        pixel, red, green, blue = struct.unpack_from(">I3H", data, offset)
        colours[pixel] = (red >> 8, green >> 8, blue >> 8)
        offset += 12
    rows = [data[offset + y * bytes_per_line: offset + y * bytes_per_line + width * bits_per_pixel // 8]
            for y in range(height)]
    if bits_per_pixel == 8:
        raw = b"".join(rows)
        table = bytes(channel for p in range(256) for channel in colours.get(p, (0, 0, 0)))
        image = Image.frombytes("P", (width, height), raw)
        image.putpalette(table)
        return image.convert("RGB"), raw
    if bits_per_pixel not in (24, 32) or (red_mask, green_mask, blue_mask) != (0xFF0000, 0xFF00, 0xFF):
        raise ValueError(f"unexpected XWD layout: {bits_per_pixel} bits, masks {red_mask:x} {green_mask:x}")
    raw = b"".join(rows)
    # 3 bytes a pixel when windows of other visuals are on the screen, which xwd then reads one by one.
    mode = ("BGR" if byte_order == 0 else "RGB") if bits_per_pixel == 24 else "BGRX" if byte_order == 0 else "XRGB"
    return Image.frombytes("RGB", (width, height), raw, "raw", mode), None


def read_file(path):
    with open(path, "rb") as f:
        return read(f.read())
