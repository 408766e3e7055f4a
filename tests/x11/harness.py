"""Xvfb screens, the built module and the replay tool, for the module's tests."""

import os
import signal
import subprocess
import sys
import tempfile
from pathlib import Path


import xwd

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
from support import differing, replay_png, start_xvfb, stop_process, wait_until  # noqa: E402,F401  (shared)

ROOT = Path(__file__).resolve().parents[2]
TREE = Path(os.environ.get("TARVELIMUNDE_TREE", ROOT / "build/native"))
MODULE = TREE / "tarvelimunde"
REPLAY = TREE / "tarvelimunde-replay"
SETTINGS = ROOT / "x11/tarvelimunde.xml"


class Screen:
    """An Xvfb screen whose framebuffer is a file, read without asking the server."""

    def __init__(self, width, height, depth, extra=()):
        self.size = (width, height)
        self.depth = depth
        self.folder = tempfile.TemporaryDirectory(prefix="tarvelimunde-x11-")
        self.process, self.name = start_xvfb(width, height, depth, "-fbdir", self.folder.name, *extra)

    def env(self, **extra):
        env = dict(os.environ, DISPLAY=self.name)
        env.pop("XSCREENSAVER_WINDOW", None)
        env.update(extra)
        return env

    def capture(self):
        """The screen as shown, in the installed colormap's colours, and the raw 8-bit pixel values."""
        return xwd.read_file(Path(self.folder.name) / "Xvfb_screen0")

    def await_window(self, name="Tarvelimunde", timeout=10):
        """The id of the first window of that name, once there is one."""
        return wait_until(lambda: subprocess.run(
            ["xdotool", "search", "--name", f"^{name}$"], env=self.env(), text=True, timeout=10,
            stdout=subprocess.PIPE).stdout.split(), timeout, what=f"a window named {name}")[0]

    def resize(self, window, width, height):
        subprocess.run(["xdotool", "windowsize", window, str(width), str(height)], env=self.env(), check=True,
                       timeout=10)

    def capture_window(self, window):
        dump = subprocess.run(["xwd", "-silent", "-id", str(window)], env=self.env(), check=True,
                              stdout=subprocess.PIPE, timeout=20).stdout
        return xwd.read(dump)

    def stop(self):
        stop_process(self.process)
        self.folder.cleanup()


def start(screen, *args, env=None):
    return subprocess.Popen([str(MODULE), *map(str, args)], env=env or screen.env(), stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)


def end(process, timeout=5):
    """SIGTERM, then the exit code and standard error."""
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
    _, err = process.communicate(timeout=timeout)
    return process.returncode, err


def replay(tmp_path, seed, size, ticks):
    return replay_png(REPLAY, tmp_path, seed, size, ticks)
