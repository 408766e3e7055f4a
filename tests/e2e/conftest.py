"""Fixtures of the e2e suites: the two Xvfb displays, the Wine template, and a fresh prefix per test or
sessions that a module's tests share."""

import pytest

import harness
from support import screenshots  # noqa: F401  (the screenshot folder of every Python suite)


@pytest.fixture(scope="session")
def displays():
    """A 256-colour palette display and a truecolour one, both 640 x 480."""
    started = {depth: harness.display(depth) for depth in (8, 24)}
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


@pytest.hookimpl(hookwrapper=True)
def pytest_runtest_makereport(item, call):
    outcome = yield
    if outcome.get_result().failed:
        item.failed = True


@pytest.fixture(scope="module")
def shared_wine(wine_template, displays, tmp_path_factory):
    """For a module whose tests leave the prefix as they found it: one session per display that its
    tests take turns in (a session's first program costs about a second of both cores). A test's
    programs end with it; after a failure, the next test gets a fresh session.

        @pytest.fixture
        def wine24(request, shared_wine):
            yield from shared_wine(request, 24)"""
    sessions = {}

    def take(request, depth):
        wine = sessions.pop(depth, None) or harness.Wine(wine_template, displays[depth],
                                                         tmp_path_factory.mktemp(f"shared-{depth}bit"))
        try:
            yield wine
        finally:
            if wine.end_programs() and not getattr(request.node, "failed", False):
                sessions[depth] = wine
            else:
                wine.shutdown()
    yield take
    for wine in sessions.values():
        wine.shutdown()
