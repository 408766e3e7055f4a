"""The Debian package (opt-in, TARVELIMUNDE_X11_PACKAGE_ROOT=1): install, a run under the daemon and removal
in a fresh Debian 12 root. A suite of its own, so that ctest shows it as skipped when it is not asked for."""

import os
import shutil
import subprocess

import pytest

import harness
from test_package import package  # noqa: F401  (the fixture)

ROOT_CACHE = harness.ROOT / "build/x11-debian-root/root.tar"
# What dpkg and apt keep for themselves, and scratch space.
OWN_RECORDS = ("var/lib/dpkg/", "var/lib/apt/", "var/cache/", "var/log/", "tmp/", "run/", "proc/", "dev/")


def debian_root(folder):
    """A fresh Debian 12 root with the daemon in it, unpacked from a cache made once by mmdebstrap."""
    if not ROOT_CACHE.exists():
        ROOT_CACHE.parent.mkdir(parents=True, exist_ok=True)
        partial = ROOT_CACHE.with_name(f"root.partial-{os.getpid()}.tar")
        subprocess.run(["mmdebstrap", "--variant=apt", "--include=xscreensaver,passwd", "bookworm", str(partial)],
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=25 * harness.CEILING)
        partial.rename(ROOT_CACHE)
    folder.mkdir()
    subprocess.run(["tar", "-C", str(folder), "-xf", str(ROOT_CACHE)], check=True, timeout=5 * harness.CEILING)
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
                    "/nonexistent", "--shell", "/usr/sbin/nologin", user], check=True, timeout=harness.CEILING)
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
                   check=True, stdout=subprocess.DEVNULL, timeout=10 * harness.CEILING)
    screen = screens(640, 480, 24)
    host = subprocess.Popen(in_root(root, f"exec runuser -u {user} -- env HOME=/{home.name} DISPLAY={screen.name} "
                                          "xscreensaver -no-splash"),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    try:
        harness.wait_until(lambda: daemon.command(screen, "-time").returncode == 0, what="the daemon")
        daemon.command(screen, "-activate")
        # The module of this root, not any other that may run on the machine.
        ours = lambda: [p for p in daemon.module_pids() if os.readlink(f"/proc/{p}/root") == str(root)]
        harness.wait_until(lambda: ours() and screen.capture()[0].getbbox() is not None,
                           what="the packaged module to draw")
        assert os.readlink(f"/proc/{ours()[0]}/exe").endswith("/usr/libexec/xscreensaver/tarvelimunde")
        daemon.command(screen, "-deactivate")
        harness.wait_until(lambda: not ours(), what="the module to end")
        daemon.command(screen, "-exit")
        host.wait(harness.CEILING)
    finally:
        if host.poll() is None:
            os.killpg(host.pid, 9)
            host.wait()
    subprocess.run(["chroot", str(root), "dpkg", "-r", "tarvelimunde"], check=True, stdout=subprocess.DEVNULL,
                   timeout=harness.CEILING)
    (root / "tmp" / package.name).unlink()
    assert files_of(root) == before
