"""Fixtures of the flow build's tests: screens and Wine prefixes that end with the test, the template
prefix, and where screenshots go."""

import pytest

import flow_harness
from flow_harness import harness
from support import screenshots  # noqa: F401  (the screenshot folder of every Python suite)


@pytest.fixture(scope="session")
def wine_template(tmp_path_factory):
    return harness.run_template(tmp_path_factory)


@pytest.fixture
def screens():
    started = []

    def make(*args, **kwargs):
        started.append(flow_harness.screen(*args, **kwargs))
        return started[-1]

    yield make
    for screen in started:
        screen.stop()


@pytest.fixture
def wines(wine_template, tmp_path):
    """A throwaway prefix on the given screen."""
    started = []

    def make(screen):
        started.append(harness.Wine(wine_template, screen, tmp_path / f"wine{len(started)}"))
        return started[-1]

    yield make
    for wine in started:
        wine.shutdown()
