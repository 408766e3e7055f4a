"""Xvfb screens, the built module and the replay tool, for the module's tests."""

import os
import signal
import subprocess
import tempfile
import time
from pathlib import Path

from PIL import Image, ImageChops

import xwd

ROOT = Path(__file__).resolve().parents[2]
TREE = Path(os.environ.get("TARVELIMUNDE_TREE", ROOT / "build/native"))
MODULE = TREE / "tarvelimunde"
REPLAY = TREE / "tarvelimunde-replay"
SETTINGS = ROOT / "x11/tarvelimunde.xml"


def wait_until(condition, timeout, interval=0.02, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


class Screen:
    """An Xvfb screen whose framebuffer is a file, read without asking the server."""

    def __init__(self, width, height, depth, extra=()):
        self.size = (width, height)
        self.depth = depth
        self.folder = tempfile.TemporaryDirectory(prefix="tarvelimunde-x11-")
        read_end, write_end = os.pipe()
        # -noreset: the screen keeps what was drawn when the last client goes.
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x{depth}",
             "-fbdir", self.folder.name, "-nolisten", "tcp", "-noreset", *extra],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as reader:
            number = reader.readline().strip()
        if not number:
            raise RuntimeError("Xvfb did not start")
        self.name = f":{number}"

    def env(self, **extra):
        env = dict(os.environ, DISPLAY=self.name)
        env.pop("XSCREENSAVER_WINDOW", None)
        env.update(extra)
        return env

    def capture(self):
        """The screen as shown, in the installed colormap's colours, and the raw 8-bit pixel values."""
        return xwd.read_file(Path(self.folder.name) / "Xvfb_screen0")

    def capture_window(self, window):
        dump = subprocess.run(["xwd", "-silent", "-id", str(window)], env=self.env(), check=True,
                              stdout=subprocess.PIPE, timeout=20).stdout
        return xwd.read(dump)

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()
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
    path = Path(tmp_path) / f"replay-{seed}-{size[0]}x{size[1]}-{ticks}.png"
    subprocess.run([str(REPLAY), "--seed", str(seed), "--size", f"{size[0]}x{size[1]}", "--ticks", str(ticks),
                    "--png", str(path)], check=True, timeout=60)
    with Image.open(path) as image:
        return image.convert("RGB")


def differing(expected, got):
    """How many pixels differ."""
    if expected.size != got.size:
        return expected.size[0] * expected.size[1]
    difference = ImageChops.difference(expected, got).convert("L").point(lambda v: 255 if v else 0)
    return difference.histogram()[255]
