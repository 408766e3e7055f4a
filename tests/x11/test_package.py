"""The Debian package: what it holds and depends on, its changelog for each form of version, what Debian's own
checkers say of it, the same bytes from two builds, and (opt-in, TARVELIMUNDE_X11_PACKAGE_ROOT=1) install, a run
under the daemon and removal in a fresh Debian 12 root."""

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
                   timeout=300)
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
    subprocess.run(["dpkg-deb", "-x", str(deb), str(folder)], check=True, timeout=60)
    return folder


def test_the_package_holds_the_module_its_settings_man_page_copyright_and_changelog(package):
    listed = subprocess.run(["dpkg-deb", "-c", str(package)], check=True, text=True,
                            stdout=subprocess.PIPE).stdout.splitlines()
    files = sorted(line.split()[-1] for line in listed if not line.startswith("d"))
    assert files == ["./usr/libexec/xscreensaver/tarvelimunde", "./usr/share/doc/tarvelimunde/changelog.gz",
                     "./usr/share/doc/tarvelimunde/copyright", "./usr/share/man/man6/tarvelimunde.6x.gz",
                     "./usr/share/xscreensaver/config/tarvelimunde.xml"]
    assert field(package, "Package") == "tarvelimunde"
    assert field(package, "Enhances") == "xscreensaver"
    depends = [d.split()[0] for d in field(package, "Depends").split(", ")]
    assert {"libc6", "libx11-6", "libxext6"} <= set(depends)


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
                         timeout=600)
    tags = re.findall(r"^([A-Z]): \S+: (\S+)", run.stdout, re.MULTILINE)
    assert run.returncode == 0 and not [t for t in tags if t[0] in "EW"], run.stdout
    assert {tag for kind, tag in tags if kind == "I"} <= set(ACCEPTED_INFO), run.stdout


def test_hardening_check_finds_every_protection_of_debians_own_modules(package, tmp_path):
    module = unpacked(package, tmp_path) / "usr/libexec/xscreensaver/tarvelimunde"
    # Debian 12's flags have no -fcf-protection, and its own modules fail that line too.
    run = subprocess.run(["hardening-check", "--nocfprotection", str(module)], text=True, stdout=subprocess.PIPE,
                         timeout=60)
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
                   check=True, stdout=subprocess.DEVNULL, timeout=300)
    subprocess.run(["cmake", "--build", str(tree), "--target", "tarvelimunde", "-j2"], check=True,
                   stdout=subprocess.DEVNULL, timeout=600)
    again = pack(tree, tmp_path / "deb")
    assert package.read_bytes() == again.read_bytes()


ROOT_CACHE = harness.ROOT / "build/x11-debian-root/root.tar"
# What dpkg and apt keep for themselves, and scratch space.
OWN_RECORDS = ("var/lib/dpkg/", "var/lib/apt/", "var/cache/", "var/log/", "tmp/", "run/", "proc/", "dev/")


def debian_root(folder):
    """A fresh Debian 12 root with the daemon in it, unpacked from a cache made once by mmdebstrap."""
    if not ROOT_CACHE.exists():
        ROOT_CACHE.parent.mkdir(parents=True, exist_ok=True)
        partial = ROOT_CACHE.with_name(f"root.partial-{os.getpid()}.tar")
        subprocess.run(["mmdebstrap", "--variant=apt", "--include=xscreensaver,passwd", "bookworm", str(partial)],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=1500)
        partial.rename(ROOT_CACHE)
    folder.mkdir()
    subprocess.run(["tar", "-C", str(folder), "-xf", str(ROOT_CACHE)], check=True, timeout=300)
    return folder


def files_of(root):
    found = set()
    for folder, folders, names in os.walk(root):
        for name in folders + names:
            relative = os.path.relpath(os.path.join(folder, name), root)
            if not (relative + "/").startswith(OWN_RECORDS):
                found.add(relative)
    return found


def in_root(root, script, **kwargs):
    """A shell script in the root, with /proc, /dev and the X socket mounted in a namespace of its own."""
    mounts = (f"mount -t proc proc {root}/proc && mount --rbind /dev {root}/dev && "
              f"mkdir -p {root}/tmp/.X11-unix && mount --bind /tmp/.X11-unix {root}/tmp/.X11-unix && "
              f"exec chroot {root} sh -c \"$0\"")
    return ["unshare", "-m", "--propagation", "private", "sh", "-c", mounts, script]


@pytest.mark.skipif(not os.environ.get("TARVELIMUNDE_X11_PACKAGE_ROOT"),
                    reason="opt-in (a fresh root costs minutes): set TARVELIMUNDE_X11_PACKAGE_ROOT=1")
def test_in_a_fresh_debian_root_it_installs_runs_under_the_daemon_by_its_bare_name_and_goes(
        package, screens, tmp_path):
    import daemon
    daemon.require_root_and_daemon()
    root = debian_root(tmp_path / "root")
    user = "tvm-x11-pkg"
    subprocess.run(["chroot", str(root), "useradd", "--system", "--user-group", "--no-create-home", "--home-dir",
                    "/nonexistent", "--shell", "/usr/sbin/nologin", user], check=True, timeout=60)
    home = root / "home-of-the-test"
    home.mkdir()
    (home / ".xscreensaver").write_text("mode: one\nselected: 0\ntimeout: 0:30:00\nlock: False\nsplash: False\n"
                                        "fade: False\nunfade: False\nprograms: tarvelimunde --root \\n\n")
    uid = int(subprocess.run(["chroot", str(root), "id", "-u", user], check=True, text=True,
                             stdout=subprocess.PIPE).stdout)
    for path in (home, home / ".xscreensaver"):
        os.chown(path, uid, uid)
    before = files_of(root)
    shutil.copy2(package, root / "tmp")
    subprocess.run(in_root(root, f"DEBIAN_FRONTEND=noninteractive apt-get install -y -q /tmp/{package.name}"),
                   check=True, stdout=subprocess.DEVNULL, timeout=600)
    screen = screens(640, 480, 24)
    host = subprocess.Popen(in_root(root, f"exec runuser -u {user} -- env HOME=/{home.name} DISPLAY={screen.name} "
                                          "xscreensaver -no-splash"),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        harness.wait_until(lambda: daemon.command(screen, "-time").returncode == 0, 30, what="the daemon")
        daemon.command(screen, "-activate")
        # The module of this root, not any other that may run on the machine.
        ours = lambda: [p for p in daemon.module_pids() if os.readlink(f"/proc/{p}/root") == str(root)]
        harness.wait_until(lambda: ours() and screen.capture()[0].getbbox() is not None, 30,
                           what="the packaged module to draw")
        assert os.readlink(f"/proc/{ours()[0]}/exe").endswith("/usr/libexec/xscreensaver/tarvelimunde")
        daemon.command(screen, "-deactivate")
        harness.wait_until(lambda: not ours(), 30, what="the module to end")
        daemon.command(screen, "-exit")
        host.wait(30)
    finally:
        if host.poll() is None:
            os.killpg(host.pid, 9)
            host.wait()
    subprocess.run(["chroot", str(root), "dpkg", "-r", "tarvelimunde"], check=True, stdout=subprocess.DEVNULL,
                   timeout=120)
    (root / "tmp" / package.name).unlink()
    assert files_of(root) == before
