"""The Debian package: what it holds and depends on, its changelog for each form of version, what Debian's own
checkers say of it, and the same bytes from two builds (install, a run under the daemon and removal in a fresh
Debian 12 root are test_package_root.py)."""

import gzip
import os
import re
import shutil
import subprocess
from pathlib import Path

import pytest

import harness

EPOCH = "1700000000"
VERSION = re.search(r"^CMAKE_PROJECT_VERSION:\w+=(.+)$", (harness.TREE / "CMakeCache.txt").read_text(),
                    re.MULTILINE).group(1)
# As tools/release.sh makes it for a build after the tag.
SUFFIXED = VERSION + "-3-gabcdef0"
# Informational tags that lintian may still give, each with its reason (the README names them too).
ACCEPTED_INFO = {}


def pack(tree, folder, version=VERSION):
    """The tree's package, by CPack, into folder."""
    subprocess.run(["cpack", "--config", str(Path(tree) / "CPackConfig.cmake"), "-B", str(folder), "-R", version],
                   env=dict(os.environ, SOURCE_DATE_EPOCH=EPOCH), check=True, stdout=subprocess.DEVNULL,
                   timeout=5 * harness.CEILING)
    return Path(folder) / f"tarvelimunde_{version}_amd64.deb"


@pytest.fixture(scope="module")
def package(tmp_path_factory):
    return pack(harness.TREE, tmp_path_factory.mktemp("deb"))


@pytest.fixture(scope="module")
def packages(package, tmp_path_factory):
    """The package of a plain version, as on its tag, and of one with git describe's suffix."""
    return {VERSION: package, SUFFIXED: pack(harness.TREE, tmp_path_factory.mktemp("deb-suffixed"), SUFFIXED)}


def field(deb, name):
    return subprocess.run(["dpkg-deb", "-f", str(deb), name], check=True, text=True,
                          stdout=subprocess.PIPE).stdout.strip()


def unpacked(deb, folder):
    subprocess.run(["dpkg-deb", "-x", str(deb), str(folder)], check=True, timeout=harness.CEILING)
    return folder


def test_the_package_holds_the_module_its_settings_the_wayland_client_man_pages_copyright_and_changelog(package):
    listed = subprocess.run(["dpkg-deb", "-c", str(package)], check=True, text=True,
                            stdout=subprocess.PIPE).stdout.splitlines()
    files = sorted(line.split()[-1] for line in listed if not line.startswith("d"))
    assert files == ["./usr/bin/tarvelimunde-wayland", "./usr/libexec/xscreensaver/tarvelimunde",
                     "./usr/share/doc/tarvelimunde/changelog.gz", "./usr/share/doc/tarvelimunde/copyright",
                     "./usr/share/man/man6/tarvelimunde-wayland.6.gz", "./usr/share/man/man6/tarvelimunde.6x.gz",
                     "./usr/share/xscreensaver/config/tarvelimunde.xml"]
    assert field(package, "Package") == "tarvelimunde"
    assert field(package, "Enhances") == "xscreensaver"
    depends = [d.split()[0] for d in field(package, "Depends").split(", ")]
    assert {"libc6", "libx11-6", "libxext6", "libwayland-client0"} <= set(depends)


def released_versions():
    return re.findall(r"^## (\S+) - \d{4}-\d{2}-\d{2}$", (harness.ROOT / "CHANGELOG.md").read_text(), re.MULTILINE)


@pytest.mark.parametrize("version, name, distribution, entries", [
    (VERSION, "changelog.gz", "unstable", released_versions()),
    (SUFFIXED, "changelog.Debian.gz", "UNRELEASED", [SUFFIXED] + released_versions()),
])
def test_the_changelog_has_each_release_of_CHANGELOG_md_under_the_name_for_its_version(
        packages, tmp_path, version, name, distribution, entries):
    doc = unpacked(packages[version], tmp_path) / "usr/share/doc/tarvelimunde"
    assert sorted(p.name for p in doc.iterdir()) == sorted(["copyright", name])
    parsed = subprocess.run(["dpkg-parsechangelog", "-l", str(doc / name), "--format", "rfc822", "--all"],
                            check=True, text=True, stdout=subprocess.PIPE).stdout
    assert re.findall(r"^Version: (.+)$", parsed, re.MULTILINE) == entries
    distributions = re.findall(r"^Distribution: (.+)$", parsed, re.MULTILINE)
    assert distributions == [distribution] + ["unstable"] * (len(entries) - 1)
    assert set(re.findall(r"^Maintainer: (.+)$", parsed, re.MULTILINE)) == {field(packages[version], "Maintainer")}
    # Every item of CHANGELOG.md, wrapped anew and without its code quotes.
    text = " ".join(gzip.open(doc / name, "rt").read().split())
    items = re.findall(r"^- (.+(?:\n  .+)*)", (harness.ROOT / "CHANGELOG.md").read_text(), re.MULTILINE)
    assert items and all(" ".join(item.replace("`", "").split()) in text for item in items)


@pytest.mark.parametrize("version", [VERSION, SUFFIXED])
def test_lintian_finds_no_error_or_warning_and_no_informational_tag_that_the_readme_does_not_name(packages, version):
    run = subprocess.run(["lintian", "--display-info", "--fail-on", "error,warning", "--tag-display-limit", "0",
                          str(packages[version])], text=True, stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                         timeout=10 * harness.CEILING)
    tags = re.findall(r"^([A-Z]): \S+: (\S+)", run.stdout, re.MULTILINE)
    assert run.returncode == 0 and not [t for t in tags if t[0] in "EW"], run.stdout
    assert {tag for kind, tag in tags if kind == "I"} <= set(ACCEPTED_INFO), run.stdout


@pytest.mark.parametrize("program", ["usr/libexec/xscreensaver/tarvelimunde", "usr/bin/tarvelimunde-wayland"])
def test_hardening_check_finds_every_protection_of_debians_own_modules(package, tmp_path, program):
    module = unpacked(package, tmp_path) / program
    # Debian 12's flags have no -fcf-protection, and its own modules fail that line too.
    run = subprocess.run(["hardening-check", "--nocfprotection", str(module)], text=True, stdout=subprocess.PIPE,
                         timeout=harness.CEILING)
    found = dict(re.findall(r"^ (.+?): (.+)$", run.stdout, re.MULTILINE))
    for protection in ("Position Independent Executable", "Stack protected", "Fortify Source functions",
                       "Read-only relocations", "Immediate binding"):
        assert found.get(protection, "").startswith("yes"), run.stdout
    # Debian 12's set has no -fstack-clash-protection either; finding no probe, the checker cannot tell.
    assert found["Stack clash protection"].startswith(("yes", "unknown")), run.stdout
    assert run.returncode == 0, run.stdout


def test_two_builds_give_the_same_package(package, tmp_path):
    copy = tmp_path / "sources-copied-elsewhere"
    shutil.copytree(harness.ROOT, copy, ignore=lambda folder, names: [
        n for n in names if Path(folder) == harness.ROOT and n in ("build", "dist", ".git")])
    tree = tmp_path / "another" / "build-folder"
    subprocess.run(["cmake", "-S", str(copy), "-B", str(tree), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release"],
                   check=True, stdout=subprocess.DEVNULL, timeout=5 * harness.CEILING)
    subprocess.run(["cmake", "--build", str(tree), "--target", "tarvelimunde", "tarvelimunde-wayland", "-j2"], check=True,
                   stdout=subprocess.DEVNULL, timeout=10 * harness.CEILING)
    again = pack(tree, tmp_path / "deb")
    assert package.read_bytes() == again.read_bytes()
