#!/usr/bin/env python3
"""Writes what a Debian package keeps in usr/share/doc/PACKAGE: copyright, in
Debian's machine-readable format, from LICENSE; and the changelog, in Debian's
format, from CHANGELOG.md, as changelog.gz for a plain version such as 1.0.0
and as changelog.Debian.gz for one with a suffix after a dash, which Debian
reads as a packaging revision. Both are the same bytes for the same inputs.

usage: debian_docs.py VERSION MAINTAINER CHANGELOG_MD LICENSE DOC_DIR

A plain VERSION must be the newest entry of CHANGELOG.md. A suffixed one gets
an entry of its own on top, for the unreleased build, dated SOURCE_DATE_EPOCH."""
import datetime
import email.utils
import gzip
import os
import re
import sys
import textwrap

HEADING = re.compile(r"^## (\S+) - (\d{4})-(\d{2})-(\d{2})$")
NOTICE = re.compile(r"^Copyright \(c\) (.+)$", re.MULTILINE)
WIDTH = 80


def entries(markdown):
    """(version, date, [item text]) for each `## VERSION - YYYY-MM-DD`, in the file's order."""
    found = []
    for number, line in enumerate(markdown.splitlines(), 1):
        heading = HEADING.match(line)
        if heading:
            version, *ymd = heading.groups()
            found.append((version, datetime.datetime(*map(int, ymd), tzinfo=datetime.timezone.utc), []))
        elif not found or not line.strip():
            continue
        elif line.startswith("- "):
            found[-1][2].append(line[2:].strip())
        elif line.startswith("  ") and found[-1][2]:
            found[-1][2][-1] += " " + line.strip()
        else:
            sys.exit(f"CHANGELOG.md:{number}: neither a heading, an item nor an item's next line")
    if not found or not all(items for _, _, items in found):
        sys.exit("CHANGELOG.md: no version, or a version without items")
    return found


def stanza(version, distribution, items, maintainer, when):
    # Markdown's code quotes mean nothing in a plain-text changelog.
    body = "\n".join(textwrap.fill(item.replace("`", ""), WIDTH, initial_indent="  * ", subsequent_indent="    ",
                                   break_long_words=False, break_on_hyphens=False) for item in items)
    return (f"tarvelimunde ({version}) {distribution}; urgency=medium\n\n{body}\n\n"
            f" -- {maintainer}  {email.utils.format_datetime(when)}\n")


def changelog(version, maintainer, markdown):
    released = entries(markdown)
    stanzas = [stanza(v, "unstable", items, maintainer, when) for v, when, items in released]
    if "-" not in version:
        if version != released[0][0]:
            sys.exit(f"CHANGELOG.md: the newest entry is {released[0][0]}, not {version}")
    else:
        epoch = os.environ.get("SOURCE_DATE_EPOCH")
        when = (datetime.datetime.fromtimestamp(int(epoch), datetime.timezone.utc) if epoch
                else released[0][1])
        # UNRELEASED: a build between releases, which Debian does not hold to a newer date.
        stanzas.insert(0, stanza(version, "UNRELEASED", [f"Not a release: a build of the sources at {version}."],
                                 maintainer, when))
    return "\n".join(stanzas)


def copyright_file(licence, maintainer):
    notice = NOTICE.search(licence)
    if not notice:
        sys.exit("LICENSE: no 'Copyright (c) ...' line")
    terms = licence[notice.end():].strip("\n").splitlines()
    text = "\n".join(" " + line if line.strip() else " ." for line in terms)
    return ("Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
            "Upstream-Name: Tarvelimunde\n"
            f"Upstream-Contact: {maintainer}\n\n"
            "Files: *\n"
            f"Copyright: {notice.group(1)}\n"
            # Debian's name for the MIT licence of this wording.
            "License: Expat\n"
            f"{text}\n")


def write(path, data):
    with open(path, "wb") as out:
        out.write(data)
    os.chmod(path, 0o644)


def main(argv):
    if len(argv) != 5:
        sys.exit(__doc__)
    version, maintainer, markdown, licence, folder = argv
    os.makedirs(folder, exist_ok=True)
    os.chmod(folder, 0o755)
    write(os.path.join(folder, "copyright"),
          copyright_file(open(licence, encoding="utf-8").read(), maintainer).encode("utf-8"))
    text = changelog(version, maintainer, open(markdown, encoding="utf-8").read()).encode("utf-8")
    name = "changelog.Debian.gz" if "-" in version else "changelog.gz"
    # No name and no time in the gzip header, and the best compression, as lintian asks.
    write(os.path.join(folder, name), gzip.compress(text, compresslevel=9, mtime=0))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
