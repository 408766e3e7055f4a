"""Fixtures of the flow build's tests: screens and Wine prefixes that end with the test, the template
prefix, and where screenshots go. A run whose every case was skipped ends with 77, which ctest reports
as skipped."""

import os
from pathlib import Path

import pytest

import flow_harness
from flow_harness import harness
from support import screenshots  # noqa: F401  (the screenshot folder of every Python suite)


@pytest.fixture(scope="session")
def wine_template(tmp_path_factory):
    """The prefix the whole run copies from: made by the ctest fixture, or here when pytest runs alone."""
    given = os.environ.get("TARVELIMUNDE_WINE_TEMPLATE")
    if given and (Path(given) / "system.reg").exists():
        return Path(given)
    return harness.make_template(tmp_path_factory.mktemp("template") / "prefix")


@pytest.fixture
def screens():
    started = []

    def make(*args, **kwargs):
        started.append(flow_harness.Screen(*args, **kwargs))
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


def pytest_sessionfinish(session, exitstatus):
    reporter = session.config.pluginmanager.get_plugin("terminalreporter")
    if exitstatus == 0 and reporter and reporter.stats.get("skipped") and not reporter.stats.get("passed"):
        session.exitstatus = 77
