"""Fixtures of the e2e suites: the two Xvfb displays, the Wine template and a fresh prefix per test."""

import pytest

import harness
from support import screenshots  # noqa: F401  (the screenshot folder of every Python suite)


@pytest.fixture(scope="session")
def displays():
    """A 256-colour palette display and a truecolour one, both 640 x 480."""
    started = {depth: harness.XDisplay(depth) for depth in (8, 24)}
    yield started
    for display in started.values():
        display.stop()


@pytest.fixture(scope="session")
def wine_template(tmp_path_factory):
    return harness.run_template(tmp_path_factory)


def _wine(template, display, workdir):
    wine = harness.Wine(template, display, workdir)
    yield wine
    wine.shutdown()


@pytest.fixture
def wine24(wine_template, displays, tmp_path):
    yield from _wine(wine_template, displays[24], tmp_path)


@pytest.fixture
def wine8(wine_template, displays, tmp_path):
    yield from _wine(wine_template, displays[8], tmp_path)


@pytest.fixture(params=[8, 24], ids=["8bit", "24bit"])
def wine_any(request, wine_template, displays, tmp_path):
    yield from _wine(wine_template, displays[request.param], tmp_path)
