"""Two monitors of different sizes (Xorg's dummy driver), the desktop in a colour of the test's own: the
saver covers both, its picture whole on the primary and the other black, and input over the other one
ends it with 0."""

import pytest

import flow_harness
import xorg
from support import pixels_of
from flow_harness import FLOW_SCR, await_figure, built, matching_capture, start_saver, steady, stopped

DESKTOP = (0x3C, 0x8D, 0x2F)
# Monitors in X's coordinates, the primary first; Wine puts the primary at 0,0.
LAYOUTS = {
    "other-right": ([(0, 0, 1024, 768), (1024, 0, 800, 600)], "0,0,1824,768"),
    "other-left": ([(800, 0, 1024, 768), (0, 0, 800, 600)], "-800,0,1024,768"),
}


@pytest.fixture(scope="module", params=LAYOUTS)
def two_monitors(request):
    built(FLOW_SCR)
    reason = xorg.usable()
    if reason:
        pytest.skip(reason)
    monitors, virtual = LAYOUTS[request.param]
    screen = flow_harness.screen(monitors=monitors, root="#%02x%02x%02x" % DESKTOP)
    screen.layout, screen.virtual = request.param, virtual
    yield screen
    screen.stop()


def desktop_pixels(image):
    return pixels_of(image, DESKTOP)


@pytest.mark.parametrize("action", [("mousemove_relative", "--", 40, 40), ("key", "space")], ids=["mouse", "key"])
def test_both_covered_picture_on_the_primary_input_over_the_other_ends_it(two_monitors, wines, screenshots, tmp_path,
                                                                           action):
    screen = two_monitors
    x, y, width, height = screen.monitors[1]
    # Started with the pointer on the other monitor, it runs until there is input.
    screen.xdotool("mousemove", x + width // 2, y + height // 2)
    wine = wines(screen)
    saver, started = start_saver(wine, FLOW_SCR)
    try:
        window = wine.await_saver_in_front()
    except TimeoutError:
        raise AssertionError(f"started with the pointer on the other monitor, it ended ({saver.poll()}) on no input")
    assert window["rect"] == screen.virtual, f"Wine's virtual screen {window['virtual']}, {window['monitors']} monitors"
    await_figure(screen)
    saver_pid = wine.saver_pid(saver)
    with stopped(saver_pid):
        shot = steady(screen)[0]
    shot.save(screenshots / f"monitors-{screen.layout}-{action[0]}.png")
    assert [desktop_pixels(screen.monitor(shot, index)) for index in (0, 1)] == [0, 0]
    assert screen.monitor(shot, 1).getbbox() is None, "the other monitor is not black"
    # Whole on the primary: the replay's picture at the primary's size.
    matching_capture(screen, saver_pid, started, tmp_path)
    screen.xdotool(*action)
    assert wine.await_exit(saver) == 0
