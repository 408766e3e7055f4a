"""The flow build and the exact 64-bit one under Wine on truecolour screens: Xvfb of a chosen size or
Xorg with two monitors, captures taken with the saver stopped, and the replay tool's picture found for
a capture by searching its seed and tick count."""

import os
import shutil
import signal
import subprocess
import sys
import time
from contextlib import contextmanager
from pathlib import Path

import pytest
from PIL import ImageChops

TESTS = Path(__file__).resolve().parents[1]
sys.path[:0] = [str(TESTS), str(TESTS / "e2e"), str(TESTS / "x11")]
import harness  # noqa: E402  (the e2e suites' Wine prefix and window probe)
import xwd  # noqa: E402
from xorg import Xorg  # noqa: E402
from support import differing, replay_png, start_xvfb, stop_process, wait_until  # noqa: E402

EXACT_SCR = harness.TREE / "Tarvelimunde.scr"
FLOW_SCR = Path(os.environ.get("TARVELIMUNDE_FLOW_SCR", harness.TREE / "flow/Tarvelimunde Flow.scr"))
REPLAY = Path(os.environ.get("TARVELIMUNDE_REPLAY", harness.TREE / "host-tools/tarvelimunde-replay"))


class Screen:
    """A 24-bit X screen; monitors as (x, y, width, height) in X's coordinates, the primary first."""

    def __init__(self, width=None, height=None, monitors=None, root="#ffffff"):
        if monitors:
            self.server = Xorg(monitors)
            self.process, self.name, self.monitors = self.server.process, self.server.name, monitors
        else:
            self.server = None
            self.process, self.name = start_xvfb(width, height, 24)
            self.monitors = [(0, 0, width, height)]
        subprocess.run(["xsetroot", "-solid", root], env=self.env(), check=True, timeout=10)

    def env(self):
        return dict(os.environ, DISPLAY=self.name)

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=True, timeout=10)

    def capture(self):
        dump = subprocess.run(["xwd", "-root", "-silent", "-display", self.name], check=True,
                              stdout=subprocess.PIPE, timeout=20).stdout
        return xwd.read(dump)[0]

    def monitor(self, image, index):
        x, y, width, height = self.monitors[index]
        return image.crop((x, y, x + width, y + height))

    def stop(self):
        if self.server:
            self.server.stop()
            return
        stop_process(self.process)


def start_saver(wine, scr):
    """The given build started full screen under Wine, as the system starts it; the pointer must stand
    where the test wants it beforehand. Returns the process and the time (seconds since 1970) just before."""
    if not scr.is_file():
        raise FileNotFoundError(f"not built: {scr}")
    wine.saver = wine.saver_dir / scr.name
    shutil.copy2(scr, wine.saver)
    started = time.time()
    return wine.start_saver("/s"), started


@contextmanager
def stopped(process):
    """The Wine process stopped (wine64 becomes the program itself), so that no frame is torn."""
    assert process.poll() is None, "the saver has ended"
    os.kill(process.pid, signal.SIGSTOP)
    try:
        yield
    finally:
        os.kill(process.pid, signal.SIGCONT)


def steady_capture(screen):
    """A capture equal to the one after it: the X server has done what the stopped saver sent."""
    shots = [screen.capture()]

    def settled():
        shots.append(screen.capture())
        return shots[-1] if differing(shots[-2], shots[-1]) == 0 else None
    return wait_until(settled, 10, interval=0, what="a capture that stays")


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
                            "--trace", "-"], check=True, timeout=60, text=True, stdout=subprocess.PIPE).stdout
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


def matching_capture(screen, saver, started, folder, monitor=0, attempts=2):
    """A capture of the monitor taken with the saver stopped, and the seed and tick count whose replay it
    equals. Tries once more, should a capture fall between two of the saver's calls."""
    for _ in range(attempts):
        with stopped(saver):
            shot = steady_capture(screen)
            ended = time.time()
        picture = screen.monitor(shot, monitor)
        # The seed is the clock's second at the start; at most one tick a millisecond.
        seeds = range(int(started), int(ended) + 1)
        found, fewest = find_replay(folder, picture, seeds, int((ended - started) * 1000) + 1)
        if found:
            return shot, found
    raise AssertionError(f"no replay of seeds {list(seeds)} equals the capture; {fewest} pixels differ at best")


def await_figure(screen, monitor=0, timeout=20):
    """A capture once the monitor shows a good part of a figure: as many drawn pixels as three strokes of
    the pen across the monitor have."""
    pixels = 12 * screen.monitors[monitor][2]
    return wait_until(lambda: (lambda shot: shot if count_drawn(screen.monitor(shot, monitor)) >= pixels else None)(
        screen.capture()), timeout, what=f"{pixels} drawn pixels")


def built(scr):
    """The build, or the case skipped with the reason."""
    if not scr.is_file():
        pytest.skip(f"not built: {scr}")
    return scr


def end_with_a_mouse_move(screen, saver):
    screen.xdotool("mousemove_relative", "--", 40, 40)
    return saver.wait(10)
