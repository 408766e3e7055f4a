#!/usr/bin/env python3
"""Packs the release zip twice, from copies of the three savers with other
times and permissions, into other folders: the zips must be the same bytes,
hold their six files in order with fixed times and modes, the two texts in
CRLF lines, and their SHA256SUMS must verify. A pipe at the output path stays
a pipe and gets the zip.

usage: release_zip.py PACKAGE_PY README LICENSE X86_SCR X64_SCR FLOW_SCR WORK_DIR"""
import fcntl
import hashlib
import os
import shutil
import stat
import subprocess
import sys
import zipfile

SAVERS = ["x86/Tarvelimunde.scr", "x64/Tarvelimunde.scr", "x64/Tarvelimunde Flow.scr"]
NAMES = SAVERS + ["SHA256SUMS", "README.txt", "LICENSE.txt"]


def pack(package, texts, x86, x64, flow, output):
    subprocess.run([sys.executable, package, "9.8.7-2-gabcdef0", x86, x64, flow, *texts, output], check=True)


def staged(folder, x86, x64, flow, mode, when):
    os.makedirs(folder)
    copies = []
    for source, name in ((x86, "x86.scr"), (x64, "x64.scr"), (flow, "flow.scr")):
        copy = os.path.join(folder, name)
        shutil.copyfile(source, copy)
        os.chmod(copy, mode)
        os.utime(copy, (when, when))
        copies.append(copy)
    return copies


def problems_of(path, x86, x64, flow, licence):
    problems = []
    with zipfile.ZipFile(path) as archive:
        infos = archive.infolist()
        if [info.filename for info in infos] != NAMES:
            return [f"entries {[info.filename for info in infos]}"]
        for info in infos:
            if info.date_time != (1980, 1, 1, 0, 0, 0) or info.external_attr >> 16 != 0o100644:
                problems.append(f"{info.filename}: time {info.date_time}, mode {info.external_attr >> 16:o}")
        data = {name: archive.read(name) for name in NAMES}
    for name, source in zip(SAVERS, (x86, x64, flow)):
        if data[name] != open(source, "rb").read():
            problems.append(f"{name} is not the built saver")
    listed = [line.split("  ", 1) for line in data["SHA256SUMS"].decode("ascii").splitlines()]
    if sorted(name for _, name in listed) != sorted(SAVERS + ["README.txt", "LICENSE.txt"]):
        problems.append(f"SHA256SUMS lists {[name for _, name in listed]}")
    for digest, name in listed:
        if name in data and hashlib.sha256(data[name]).hexdigest() != digest:
            problems.append(f"SHA256SUMS: {name} does not verify")
    readme = data["README.txt"].decode("ascii")
    if "Tarvelimunde 9.8.7-2-gabcdef0" not in readme or readme.count("\r\n") != readme.count("\n"):
        problems.append("README.txt without the version or not in CRLF lines")
    if data["LICENSE.txt"] != open(licence, encoding="ascii").read().replace("\n", "\r\n").encode("ascii"):
        problems.append("LICENSE.txt is not the licence in CRLF lines")
    return problems


def main(package, readme, licence, x86, x64, flow, work):
    texts = (readme, licence)
    shutil.rmtree(work, ignore_errors=True)
    first = staged(os.path.join(work, "one"), x86, x64, flow, 0o755, 1_000_000_000)
    second = staged(os.path.join(work, "two", "later"), x86, x64, flow, 0o600, 1_700_000_000)
    zips = [os.path.join(work, "one.zip"), os.path.join(work, "two", "again.zip")]
    pack(package, texts, *first, zips[0])
    pack(package, texts, *second, zips[1])
    problems = problems_of(zips[0], x86, x64, flow, licence)
    if open(zips[0], "rb").read() != open(zips[1], "rb").read():
        problems.append("the two zips differ")

    # The read end is open before the packer runs, with room for the whole zip.
    pipe = os.path.join(work, "pipe")
    os.mkfifo(pipe)
    reader = os.open(pipe, os.O_RDONLY | os.O_NONBLOCK)
    fcntl.fcntl(reader, fcntl.F_SETPIPE_SZ, 1 << 20)
    pack(package, texts, *first, pipe)
    received = b""
    while chunk := os.read(reader, 1 << 20):
        received += chunk
    os.close(reader)
    if not stat.S_ISFIFO(os.lstat(pipe).st_mode) or received != open(zips[0], "rb").read():
        problems.append("the pipe at the output path was replaced or got other bytes")

    for problem in problems:
        print(f"FAIL {problem}")
    if not problems:
        print(f"ok   {os.path.getsize(zips[0])} bytes, the same twice, SHA256SUMS verify")
        shutil.rmtree(work)
    return 1 if problems else 0


if __name__ == "__main__":
    if len(sys.argv) != 8:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
