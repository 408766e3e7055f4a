"""Fixtures of the Wayland client's tests: headless sways and clients on them, ended with the test. They share
the module's harness."""

import functools
import sys
from pathlib import Path

import pytest

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "x11"))
import harness  # noqa: E402
from harness import modules  # noqa: E402,F401  (the module's fixture, for any program)
from support import Sway, screenshots  # noqa: E402,F401  (the screenshot folder of every Python suite)


@pytest.fixture
def sways():
    started = []

    def make(*outputs, background="#3c8d2f"):
        started.append(Sway(outputs or ((1024, 768),), background, pointer=harness.POINTER))
        return started[-1]

    yield make
    for sway in started:
        sway.stop()


@pytest.fixture
def clients(modules):
    return functools.partial(modules, program=harness.WAYLAND)
