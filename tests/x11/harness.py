"""Xvfb screens, the built module, the Wayland client and the replay tool, for the tests of both."""

import os
import signal
import subprocess
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
from support import CEILING, XScreen, differing, replay_png, steady, wait_until  # noqa: E402,F401  (shared)

ROOT = Path(__file__).resolve().parents[2]
TREE = Path(os.environ.get("TARVELIMUNDE_TREE", ROOT / "build/native"))
MODULE = TREE / "tarvelimunde"
WAYLAND = TREE / "tarvelimunde-wayland"
POINTER = TREE / "tests/wayland/tarvelimunde-test-pointer"
REPLAY = TREE / "tarvelimunde-replay"
SETTINGS = ROOT / "x11/tarvelimunde.xml"


def screen(width, height, depth, extra=()):
    """An Xvfb screen whose framebuffer is a file: a capture shows the colours of the installed colormap,
    which the module's --install changes."""
    return XScreen(width, height, depth, framebuffer=True, extra=extra)


def start(screen, *args, env=None, program=MODULE):
    """The program on the screen (an XScreen or a Sway)."""
    return subprocess.Popen([str(program), *map(str, args)], env=env or screen.env(), stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, text=True)


def end(process):
    """SIGTERM, then the exit code and standard error."""
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
    _, err = process.communicate(timeout=CEILING)
    return process.returncode, err


def replay(tmp_path, seed, size, ticks):
    return replay_png(REPLAY, tmp_path, seed, size, ticks)


@pytest.fixture
def modules():
    """Programs (the module unless told) started on a screen, ended after the test whatever happens in it."""
    started = []

    def make(screen, *args, env=None, program=MODULE):
        started.append(start(screen, *args, env=env, program=program))
        return started[-1]

    yield make
    for process in started:
        if process.poll() is None:
            process.kill()
            process.wait()
