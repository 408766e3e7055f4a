"""Fixtures of the module's tests: screens that end with the test, and a place for screenshots."""


import pytest

import harness
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


@pytest.fixture
def modules():
    """Module processes that are ended after the test, whatever happens in it."""
    started = []

    def make(screen, *args, env=None):
        process = harness.start(screen, *args, env=env)
        started.append(process)
        return process

    yield make
    for process in started:
        if process.poll() is None:
            process.kill()
            process.wait()
