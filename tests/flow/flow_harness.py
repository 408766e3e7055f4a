"""The flow build and the exact 64-bit one under Wine on truecolour screens: Xvfb of a chosen size or
Xorg with two monitors, captures taken with the saver stopped, and the replay tool's picture found for
a capture by searching its seed and tick count."""

import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

import pytest
from PIL import ImageChops

TESTS = Path(__file__).resolve().parents[1]
sys.path[:0] = [str(TESTS), str(TESTS / "e2e")]
import harness  # noqa: E402  (the e2e suites' Wine prefix and window probe)
from support import CEILING, XScreen, differing, replay_png, steady, stopped, wait_until  # noqa: E402

EXACT_SCR = harness.TREE / "Tarvelimunde.scr"
FLOW_SCR = Path(os.environ.get("TARVELIMUNDE_FLOW_SCR", harness.TREE / "flow/Tarvelimunde Flow.scr"))
REPLAY = Path(os.environ.get("TARVELIMUNDE_REPLAY", harness.TREE / "host-tools/tarvelimunde-replay"))


def screen(width=None, height=None, monitors=None, root="#ffffff"):
    """A 24-bit X screen: Xvfb of that size, or Xorg with the monitors (x, y, width, height), the primary
    first."""
    return XScreen(width, height, 24, monitors=monitors, root=root)


def start_saver(wine, scr):
    """The given build started full screen under Wine, as the system starts it; the pointer must stand
    where the test wants it beforehand. Returns the process and the time (seconds since 1970) just before."""
    if not scr.is_file():
        raise FileNotFoundError(f"not built: {scr}")
    wine.saver = wine.saver_dir / scr.name
    shutil.copy2(scr, wine.saver)
    started = time.time()
    return wine.start_saver("/s"), started


def drawn_mask(image):
    """255 where a pixel is not black."""
    red, green, blue = image.split()
    return ImageChops.lighter(ImageChops.lighter(red, green), blue).point(lambda v: 255 if v else 0)


def count_drawn(image):
    return drawn_mask(image).histogram()[255]


def replay(folder, seed, size, ticks):
    return replay_png(REPLAY, folder, seed, size, ticks)


def candidate_ticks(seed, picture, ticks):
    """Tick counts that the picture may show, from the replay's trace, each with its rank: the likeliest
    sort first. A picture of tick T shows the end of every segment of its figure up to T, since drawn
    pixels stay drawn until the figure's end, so T comes before the figure's first segment whose end is
    not shown. Later segments may end on pixels drawn before (a figure crosses itself, and a short
    segment ends under the pen of the one before), so every earlier tick of the figure counts too, the
    nearest to that break first. The figures whose shown ends run longest come first: another figure's
    first ends are seldom shown."""
    trace = subprocess.run([str(REPLAY), "--seed", str(seed), "--size", "%dx%d" % picture.size, "--ticks", str(ticks),
                            "--trace", "-"], check=True, timeout=CEILING, text=True, stdout=subprocess.PIPE).stdout
    shown = drawn_mask(picture)
    # ((-ticks up to the break, ticks before it), tick) for each tick of each figure up to its break.
    ranked, figure, unbroken = [], 1, False

    def before(end):
        ranked.extend(((figure - end - 1, end - tick), tick) for tick in range(figure, end + 1))
    for line in trace.splitlines():
        fields = line.split()
        if fields[0] == "figure":
            if unbroken:
                before(int(fields[1]) - 1)
            figure, unbroken = int(fields[1]), True
        elif fields[0] == "segment" and unbroken:
            tick, x, y = int(fields[1]), int(fields[4]), int(fields[5])
            if 0 <= x < picture.width and 0 <= y < picture.height and not shown.getpixel((x, y)):
                before(tick - 1)
                unbroken = False
    if unbroken:
        before(ticks)
    return ranked


def find_replay(folder, picture, seeds, most_ticks):
    """The seed and tick count whose `--png` equals the picture pixel for pixel, or None, with the fewest
    differing pixels seen."""
    fewest = picture.width * picture.height
    ranked = sorted((rank, seed, ticks) for seed in seeds for rank, ticks in candidate_ticks(seed, picture, most_ticks))
    for _, seed, ticks in ranked:
        count = differing(replay(folder, seed, picture.size, ticks), picture)
        if count == 0:
            return (seed, ticks), 0
        fewest = min(fewest, count)
    return None, fewest


def matching_capture(screen, saver_pid, started, folder, monitor=0, attempts=2):
    """A capture of the monitor taken with the saver stopped, and the seed and tick count whose replay it
    equals. Tries once more, should a capture fall between two of the saver's calls."""
    for _ in range(attempts):
        with stopped(saver_pid):
            shot = steady(screen)[0]
            ended = time.time()
        picture = screen.monitor(shot, monitor)
        # The seed is the clock's second at the start; at most one tick a millisecond.
        seeds = range(int(started), int(ended) + 1)
        found, fewest = find_replay(folder, picture, seeds, int((ended - started) * 1000) + 1)
        if found:
            return shot, found
    raise AssertionError(f"no replay of seeds {list(seeds)} equals the capture; {fewest} pixels differ at best")


def await_figure(screen, monitor=0):
    """A capture once the monitor shows a good part of a figure: as many drawn pixels as three strokes of
    the pen across the monitor have."""
    pixels = 12 * screen.monitors[monitor][2]
    shots = []

    def drawn_enough():
        shots[:] = [screen.capture()[0]]
        return shots[0] if count_drawn(screen.monitor(shots[0], monitor)) >= pixels else None
    return wait_until(drawn_enough, what=f"{pixels} drawn pixels",
                      seen=lambda: f"{count_drawn(screen.monitor(shots[0], monitor))} drawn pixels")


def built(scr):
    """The build, or the case skipped with the reason."""
    if not scr.is_file():
        pytest.skip(f"not built: {scr}")
    return scr


def end_with_a_mouse_move(screen, wine, saver):
    screen.xdotool("mousemove_relative", "--", 40, 40)
    return wine.await_exit(saver)
