"""The Debian package: what it holds and depends on, and the same bytes from two builds (install, a run
under the daemon and removal in a fresh Debian 12 root are test_package_root.py)."""

import os
import shutil
import subprocess
from pathlib import Path

import pytest

import harness

EPOCH = "1700000000"


def pack(tree, folder):
    """The tree's package, by CPack, into folder."""
    subprocess.run(["cpack", "--config", str(Path(tree) / "CPackConfig.cmake"), "-B", str(folder), "-R", "1.0.0"],
                   env=dict(os.environ, SOURCE_DATE_EPOCH=EPOCH), check=True, stdout=subprocess.DEVNULL,
                   timeout=300)
    return Path(folder) / "tarvelimunde_1.0.0_amd64.deb"


@pytest.fixture(scope="module")
def package(tmp_path_factory):
    return pack(harness.TREE, tmp_path_factory.mktemp("deb"))


def field(deb, name):
    return subprocess.run(["dpkg-deb", "-f", str(deb), name], check=True, text=True,
                          stdout=subprocess.PIPE).stdout.strip()


def test_the_package_holds_the_module_its_settings_and_man_page(package):
    listed = subprocess.run(["dpkg-deb", "-c", str(package)], check=True, text=True,
                            stdout=subprocess.PIPE).stdout.splitlines()
    files = sorted(line.split()[-1] for line in listed if not line.startswith("d"))
    assert files == ["./usr/libexec/xscreensaver/tarvelimunde", "./usr/share/man/man6/tarvelimunde.6x",
                     "./usr/share/xscreensaver/config/tarvelimunde.xml"]
    assert field(package, "Package") == "tarvelimunde"
    assert field(package, "Enhances") == "xscreensaver"
    depends = [d.split()[0] for d in field(package, "Depends").split(", ")]
    assert {"libc6", "libx11-6", "libxext6"} <= set(depends)


def test_two_builds_give_the_same_package(package, tmp_path):
    copy = tmp_path / "sources-copied-elsewhere"
    shutil.copytree(harness.ROOT, copy, ignore=lambda folder, names: [
        n for n in names if Path(folder) == harness.ROOT and n in ("build", "dist", ".git")])
    tree = tmp_path / "another" / "build-folder"
    subprocess.run(["cmake", "-S", str(copy), "-B", str(tree), "-G", "Ninja", "-DCMAKE_BUILD_TYPE=Release"],
                   check=True, stdout=subprocess.DEVNULL, timeout=300)
    subprocess.run(["cmake", "--build", str(tree), "--target", "tarvelimunde", "-j2"], check=True,
                   stdout=subprocess.DEVNULL, timeout=600)
    again = pack(tree, tmp_path / "deb")
    assert package.read_bytes() == again.read_bytes()
