"""The command line: every settings-file argument, bad values, bad window ids, --help."""

import re
import subprocess
import xml.etree.ElementTree as ElementTree

import pytest

import harness


def run(screen, *args, env=None):
    return subprocess.run([str(harness.MODULE), *map(str, args)], env=env or screen.env(), text=True,
                          stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=harness.CEILING)


@pytest.fixture
def screen(screens):
    return screens(160, 120, 24)


def settings_arguments():
    """The command's arguments and each control's at its low, high and default values."""
    root = ElementTree.parse(harness.SETTINGS).getroot()
    fixed = [a for c in root.iter("command") for a in c.get("arg").split()]
    variants = []
    for number in root.iter("number"):
        for key in ("low", "high", "default"):
            variants.append(number.get("arg").replace("%", number.get(key)).split())
    for boolean in root.iter("boolean"):
        variants.append(boolean.get("arg-set", boolean.get("arg-unset", "")).split())
    return [fixed + v for v in variants]


@pytest.mark.parametrize("arguments", settings_arguments(), ids=" ".join)
def test_every_settings_argument_is_accepted(screen, modules, arguments):
    module = modules(screen, *arguments, "--seed", 3, "--ticks", 200)
    harness.wait_until(lambda: screen.capture()[0].getbbox() is not None or module.poll() is not None,
                       what="a drawing or an exit")
    assert module.poll() is None
    assert harness.end(module) == (0, "")


@pytest.mark.parametrize("arguments,named", [
    (["--rate", "0"], "--rate: '0' is not 1 to 1000"),
    (["-rate", "1001"], "--rate: '1001' is not 1 to 1000"),
    (["--seed", "4294967296"], "--seed: '4294967296' is not 0 to 4294967295"),
    (["--seed", "-1"], "--seed: '-1' is not 0 to 4294967295"),
    (["--ticks", "1000001"], "--ticks: '1000001' is not 0 to 1000000"),
    (["--ticks", " 5"], "--ticks: ' 5' is not 0 to 1000000"),
    (["--rate"], "--rate needs a number, 1 to 1000"),
    (["--window-id"], "--window-id needs a window id"),
    (["--fps"], "unknown option '--fps'"),
    (["---root"], "unknown option '---root'"),
    (["root"], "unknown option 'root'"),
])
def test_a_bad_option_is_named_then_the_usage(screen, arguments, named):
    result = run(screen, *arguments)
    assert result.returncode == 1
    lines = result.stderr.splitlines()
    assert lines[0] == f"tarvelimunde: {named}"
    assert lines[1].startswith("usage: tarvelimunde")
    assert result.stdout == ""


@pytest.mark.parametrize("arguments,variable,named", [
    (["--window-id", "0x12g"], None, "--window-id: '0x12g' is not a window id"),
    (["-window-id", "0x100000000"], None, "--window-id: '0x100000000' is not a window id"),
    (["--window-id", "0x1fffffff"], None, "no window 0x1fffffff"),
    (["--window-id", "0"], None, "no window 0x0"),
    (["--root"], "abc", "XSCREENSAVER_WINDOW: 'abc' is not a window id"),
    (["--root"], "12345678", "no window 0xbc614e"),
])
def test_a_bad_window_id_is_one_line(screen, arguments, variable, named):
    env = screen.env(**({"XSCREENSAVER_WINDOW": variable} if variable else {}))
    result = run(screen, *arguments, env=env)
    assert (result.returncode, result.stderr) == (1, f"tarvelimunde: {named}\n")


@pytest.mark.parametrize("form", ["--help", "-help"])
def test_help_prints_the_usage(screen, form):
    result = run(screen, form)
    assert result.returncode == 0
    assert result.stdout.startswith("usage: tarvelimunde") and "--window-id" in result.stdout
    assert result.stderr == ""


def test_the_rate_is_the_same_everywhere(screen):
    """The module's own table, as --help prints it, against the settings file, the man
    pages, the Wayland client's usage and the README."""
    usage = re.search(r"--rate N +ticks a second, (\d+) to (\d+) \(default (\d+)\)", run(screen, "--help").stdout)
    assert usage, "the rate's line in the usage"
    low, high, default = usage.groups()
    rate = next(n for n in ElementTree.parse(harness.SETTINGS).getroot().iter("number") if n.get("id") == "rate")
    assert (rate.get("low"), rate.get("high"), rate.get("default")) == (low, high, default)
    for manual in ("x11/tarvelimunde.6x", "wayland/tarvelimunde-wayland.6"):
        assert f"Ticks a second, {low} to {high}; {default} by default." in (harness.ROOT / manual).read_text()
    wayland = subprocess.run([str(harness.WAYLAND), "--help"], text=True, stdout=subprocess.PIPE, check=True)
    assert usage.group(0) in wayland.stdout
    readme = " ".join((harness.ROOT / "README.md").read_text().split())
    assert f"(ticks a second, {low} to {high}, {default} by default)" in readme
