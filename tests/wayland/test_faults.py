"""Bad input and lost compositors: each a one-line message and exit 1, or the quiet end a locker expects;
the options; the window's close."""

import os
import signal
import subprocess
import tempfile
from pathlib import Path

import pytest

import harness
from support import stop_process


def run(env, *args):
    result = subprocess.run([str(harness.WAYLAND), *map(str, args)], env=env, text=True, stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, timeout=harness.CEILING)
    return result.returncode, result.stdout, result.stderr


def test_without_a_compositor_it_says_where_it_looked(tmp_path):
    code, _, err = run({"XDG_RUNTIME_DIR": str(tmp_path), "WAYLAND_DISPLAY": "nothing-here"})
    assert (code, err) == (1, "tarvelimunde-wayland: cannot connect to the Wayland display 'nothing-here': "
                              "No such file or directory\n")


def test_a_compositor_without_layer_shell_names_fullscreen():
    with tempfile.TemporaryDirectory() as folder:
        env = {"PATH": "/usr/bin:/bin", "XDG_RUNTIME_DIR": folder, "HOME": folder}
        weston = subprocess.Popen(["weston", "--backend=headless-backend.so", "--use-pixman", "--socket=weston-test"],
                                  env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            harness.wait_until(lambda: Path(folder, "weston-test").is_socket() or weston.poll() is not None,
                               what="weston's socket")
            code, _, err = run(dict(env, WAYLAND_DISPLAY="weston-test"), "--layer")
        finally:
            stop_process(weston)
    assert (code, err) == (1, "tarvelimunde-wayland: the compositor has no layer shell (wlr-layer-shell); "
                              "try --fullscreen\n")


def descriptors(pid):
    """The kinds of the process's open files: socket, pipe, anon_inode, or a path."""
    kinds = set()
    for fd in Path(f"/proc/{pid}/fd").iterdir():
        try:
            kinds.add(os.readlink(fd).split(":")[0])
        except OSError:
            pass  # closed meanwhile
    return kinds


@pytest.mark.parametrize("mode,ending", [
    # The system's word for it (a broken pipe, a reset) depends on when the client finds out.
    ("--layer", (1, "tarvelimunde-wayland: lost the connection to the Wayland display: ")),
    # Under a locker the connection ends with the lock.
    ("--background", (0, "")),
])
def test_a_lost_compositor(sways, clients, mode, ending):
    sway = sways((320, 240))
    client = clients(sway, mode, "--seed", 1)
    # Connected, which is all a capture could show: the background layer may lie under sway's own background.
    harness.wait_until(lambda: "socket" in descriptors(client.pid), what="the client's connection",
                       seen=lambda: descriptors(client.pid))
    sway.process.send_signal(signal.SIGKILL)
    harness.wait_until(lambda: client.poll() is not None, what="the client's end")
    code, err = harness.end(client)
    assert code == ending[0] and err.startswith(ending[1]) and err.count("\n") == (1 if ending[1] else 0), err


def test_closing_the_window_ends_it(sways, clients):
    sway = sways((640, 480))
    client = clients(sway, "--window", "--seed", 2, "--ticks", 500)
    # Mapped: tiled, it hides sway's background.
    harness.wait_until(lambda: (0x3C, 0x8D, 0x2F) not in {c for _, c in sway.capture("HEADLESS-1").getcolors(1 << 20)},
                       what="the window over the background")
    sway.swaymsg("[app_id=tarvelimunde]", "kill")
    harness.wait_until(lambda: client.poll() is not None, what="the end of the window")
    assert harness.end(client) == (0, "")


@pytest.mark.parametrize("arguments,named", [
    (["--rate", "0"], "--rate: '0' is not 1 to 1000"),
    (["-seed", "4294967296"], "--seed: '4294967296' is not 0 to 4294967295"),
    (["--ticks"], "--ticks needs a number, 0 to 1000000"),
    (["--output"], "--output needs an output's name"),
    (["--layer=background"], "unknown option '--layer=background'"),
])
def test_a_bad_option_is_named_then_the_usage(arguments, named):
    code, out, err = run(dict(os.environ), *arguments)
    assert (code, out, err.splitlines()[0]) == (1, "", f"tarvelimunde-wayland: {named}")
    assert err.splitlines()[1].startswith("usage: tarvelimunde-wayland")


def test_an_output_that_is_not_there_is_named_with_those_that_are(sways):
    sway = sways((320, 240), (320, 240))
    assert run(sway.env(), "--output", "DP-9") == (
        1, "", "tarvelimunde-wayland: no output named DP-9 (there are: HEADLESS-1, HEADLESS-2)\n")


def test_help_prints_the_usage():
    code, out, err = run(dict(os.environ), "-help")
    assert (code, err) == (0, "") and out.startswith("usage: tarvelimunde-wayland") and "--background" in out
