"""Pixel for pixel: each capture of the flow build is the replay tool's picture of the same seed and tick
count, the colours included."""

import pytest

from flow_harness import (FLOW_SCR, await_figure, built, end_with_a_mouse_move, find_replay, matching_capture, replay,
                          start_saver)


# Upright, the figures reach the right edge, whose tiles are then 26 pixels wide: rows of an 8-bit image
# are padded to 4 bytes.
@pytest.mark.parametrize("size", [(640, 480), (1280, 720), (250, 401)], ids=lambda size: "%dx%d" % size)
def test_a_capture_equals_the_replay_of_its_seed_and_tick_count(screens, wines, screenshots, tmp_path, size):
    scr = built(FLOW_SCR)
    screen = screens(*size, root="#000000")
    wine = wines(screen)
    screen.xdotool("mousemove", 10, 10)
    saver, started = start_saver(wine, scr)
    await_figure(screen)
    shot, (seed, ticks) = matching_capture(screen, wine.saver_pid(saver), started, tmp_path)
    shot.save(screenshots / ("flow-%dx%d-seed%d-tick%d.png" % (*size, seed, ticks)))
    assert end_with_a_mouse_move(screen, wine, saver) == 0


# Stills whose figure goes on, after the shown tick, through five or more segments that end on pixels
# drawn before: the search must look further back than a few ticks before the first unshown end.
@pytest.mark.parametrize("seed, ticks, traced", [
    (1363352897, 2984, 5126), (1256437084, 7177, 9570), (1942819829, 9870, 12201),
    (2125592239, 8421, 8783), (2104289750, 14717, 16108), (1925561911, 14618, 16165)])
def test_the_search_finds_the_replays_own_still(tmp_path, seed, ticks, traced):
    picture = replay(tmp_path, seed, (250, 401), ticks)
    found, _ = find_replay(tmp_path, picture, [seed - 1, seed], traced)
    assert found == (seed, ticks)
