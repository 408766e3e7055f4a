"""Fixtures of the module's tests: screens that end with the test, and a place for screenshots."""


import pytest

import harness
from harness import modules  # noqa: F401  (shared with the Wayland client's tests)
from support import screenshots  # noqa: F401  (the screenshot folder of every Python suite)


@pytest.fixture
def screens():
    started = []

    def make(width=320, height=240, depth=24, extra=()):
        screen = harness.screen(width, height, depth, extra)
        started.append(screen)
        return screen

    yield make
    for screen in started:
        screen.stop()
