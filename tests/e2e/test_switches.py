"""Command-line tails that name no mode, or a preview window that isn't there, end with -1 at once."""

import pytest

import harness


@pytest.fixture(scope="module")
def wine(wine_template, displays, tmp_path_factory):
    # These runs create nothing, so one prefix serves the whole module.
    wine = harness.Wine(wine_template, displays[24], tmp_path_factory.mktemp("switches"))
    yield wine
    wine.shutdown()


@pytest.mark.parametrize("tail", [
    ["/x"], ["/1"], ["/?"], ["x"], ["-/z"],
    ["/p"], ["/p", "0"], ["/p", "12345678"], ["/p:1234"], ["/p", "-5"], ["/l", "0"], ["-P"],
], ids=lambda tail: " ".join(tail))
def test_bad_switch_or_handle_ends_with_minus_one(wine, tail):
    code = wine.run_saver(*tail)
    assert code == harness.EXIT_MINUS_ONE, f"exit code {code}"
    assert wine.probe("find", "WindowsScreenSaverClass", "-").get("window") == "0"
    assert wine.probe("find", "#32770", "Setup").get("window") == "0"

