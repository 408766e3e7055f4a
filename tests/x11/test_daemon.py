"""The module under XScreenSaver 6.06's daemon and its settings program, as a user meets it."""

import os
import signal
import subprocess
import tempfile
from pathlib import Path

import pytest

import daemon
import harness


@pytest.fixture
def user():
    daemon.require_root_and_daemon()
    made = daemon.User()
    yield made
    made.remove()


@pytest.mark.parametrize("depth", [24, 8])
def test_the_daemon_runs_it_on_activate_and_ends_it_on_deactivate(screens, user, depth):
    screen = screens(640, 480, depth)
    user.start(screen, "xscreensaver", "-no-splash")
    harness.wait_until(lambda: daemon.command(screen, "-time").returncode == 0, what="the daemon")
    activated = daemon.command(screen, "-activate")
    harness.wait_until(lambda: daemon.module_pids() and screen.capture()[0].getbbox() is not None,
                       what="the module to draw on the daemon's window",
                       seen=lambda: f"{daemon.module_pids()}; -activate: {activated.stdout!r}; {user.log()[-1500:]!r}")
    pids = daemon.module_pids()
    assert daemon.arguments_of(pids[0])[1:] == ["--root"]
    # Drawn with writable cells: the daemon's colormap has them, so there is no complaint.
    assert "nearest colours" not in user.log()
    daemon.command(screen, "-deactivate")
    harness.wait_until(lambda: not daemon.module_pids(), what="the module to end")
    daemon.command(screen, "-exit")


def test_the_settings_dialog_previews_it_and_its_end_ends_the_module(screens, user):
    screen = screens(1024, 768, 24)
    # The settings file where the settings program looks, in a mount namespace of this test alone.
    config = Path(tempfile.mkdtemp(prefix="tarvelimunde-config-"))
    try:
        os.chmod(config, 0o755)
        for found in Path("/usr/share/xscreensaver/config").iterdir():
            os.symlink(found, config / found.name)
        (config / "tarvelimunde.xml").write_bytes(harness.SETTINGS.read_bytes())
        os.chmod(config / "tarvelimunde.xml", 0o644)
        mount = ["unshare", "-m", "--propagation", "private", "sh", "-c",
                 f"mount --bind {config} /usr/share/xscreensaver/config && exec \"$@\"", "sh"]
        dialog = user.start(screen, "xscreensaver-settings", "--debug", wrap=mount, log="settings.log")
        pid = harness.wait_until(lambda: daemon.module_pids(), what="the preview")[0]
        harness.wait_until(lambda: "config/tarvelimunde.xml" in user.log("settings.log"),
                           what="our settings file read (it may come after the preview)", seen=lambda: user.log("settings.log"))
        arguments = daemon.arguments_of(pid)
        assert arguments[1] == "--root" and arguments[2] == "--window-id"
        window = arguments[3]
        harness.wait_until(lambda: screen.capture(window)[0].getbbox() is not None,
                           what="the module to draw in the preview")
        # The dialog goes as a killed one would, so that only the window's end can tell the module.
        settings = [p for p in daemon.module_pids("xscreensaver-settings") if os.getpgid(p) == dialog.pid]
        assert settings
        for p in settings:
            os.kill(p, signal.SIGKILL)
        harness.wait_until(lambda: not daemon.module_pids(), what="the module to end")
    finally:
        subprocess.run(["rm", "-rf", str(config)])
