#!/usr/bin/env python3
"""Packs a release zip: x86/Tarvelimunde.scr, x64/Tarvelimunde.scr,
x64/Tarvelimunde Flow.scr, SHA256SUMS, README.txt and LICENSE.txt, in that order, with fixed times and
permissions, so that the same files give the same zip. The two texts get
CRLF line ends, for Notepad.

usage: package.py VERSION X86_SCR X64_SCR FLOW_SCR README LICENSE OUTPUT

OUTPUT is replaced through a temporary file when it is a regular file or
absent; anything else there (a device, a pipe) is written in place."""
import hashlib
import io
import os
import stat
import sys
import zipfile

# The earliest time a zip entry can carry.
FIXED_TIME = (1980, 1, 1, 0, 0, 0)
FILE_MODE = 0o100644


def entry(name):
    info = zipfile.ZipInfo(name, FIXED_TIME)
    info.create_system = 3  # Unix, so that the mode below is read
    info.external_attr = FILE_MODE << 16
    info.compress_type = zipfile.ZIP_DEFLATED
    return info


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("ascii")


def archive(version, x86, x64, flow, readme, licence):
    files = [("x86/Tarvelimunde.scr", open(x86, "rb").read()),
             ("x64/Tarvelimunde.scr", open(x64, "rb").read()),
             ("x64/Tarvelimunde Flow.scr", open(flow, "rb").read())]
    files.append(("README.txt", crlf(open(readme, encoding="utf-8").read().replace("@VERSION@", version))))
    files.append(("LICENSE.txt", crlf(open(licence, encoding="utf-8").read())))
    sums = "".join(f"{hashlib.sha256(data).hexdigest()}  {name}\n" for name, data in files)
    files.insert(3, ("SHA256SUMS", sums.encode("ascii")))
    buffer = io.BytesIO()
    with zipfile.ZipFile(buffer, "w") as zip_file:
        for name, data in files:
            zip_file.writestr(entry(name), data, compresslevel=9)
    return buffer.getvalue()


def write(path, data):
    try:
        regular_or_absent = stat.S_ISREG(os.lstat(path).st_mode)
    except FileNotFoundError:
        regular_or_absent = True
    if not regular_or_absent:
        with open(path, "wb") as out:
            out.write(data)
        return
    partial = path + ".partial"
    with open(partial, "wb") as out:
        out.write(data)
    os.replace(partial, path)


def main(argv):
    if len(argv) != 7:
        sys.exit(__doc__)
    version, x86, x64, flow, readme, licence, output = argv
    write(output, archive(version, x86, x64, flow, readme, licence))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
