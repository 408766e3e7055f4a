"""--ticks N stills, pixel for pixel against tarvelimunde-replay --png, on 24-bit and 8-bit screens."""


import pytest

import harness

# Seed, screen size and ticks: a figure under way, one across its start, odd
# sizes, a screen smaller than the pen's reach and a large one.
CONFIGURATIONS = [
    (7, (320, 240), 2000),
    (1, (640, 480), 5000),
    (4294967295, (333, 197), 700),
    (123456, (64, 48), 300),
    (2024, (1024, 768), 12000),
]


def matches(screen, expected, take):
    got, _ = take()
    return harness.differing(expected, got) == 0


@pytest.mark.parametrize("depth", [24, 8])
@pytest.mark.parametrize("seed,size,ticks", CONFIGURATIONS)
def test_still_on_the_root_window_equals_the_replay(screens, modules, tmp_path, screenshots, depth, seed, size, ticks):
    screen = screens(*size, depth)
    expected = harness.replay(tmp_path, seed, size, ticks)
    # At 8 bits a colormap of its own, so that pixel value = palette index.
    extra = ["--install"] if depth == 8 else []
    module = modules(screen, "--root", *extra, "--seed", seed, "--ticks", ticks)
    last = []

    def same():
        got, _ = screen.capture()
        last[:] = [got]
        return harness.differing(expected, got) == 0

    try:
        harness.wait_until(same, what="the still")
    finally:
        if last:
            last[0].save(screenshots / f"still-{depth}-{seed}-{size[0]}x{size[1]}.png")
    assert module.poll() is None
    assert harness.end(module) == (0, "")


@pytest.mark.parametrize("depth", [24, 8])
def test_own_window_starts_afresh_at_a_new_size(screens, modules, tmp_path, depth):
    screen = screens(640, 480, depth)
    extra = ["--install"] if depth == 8 else []
    module = modules(screen, "--window", *extra, "--seed", 9, "--ticks", 1500)
    window = screen.await_window()

    def shows(size):
        expected = harness.replay(tmp_path, 9, size, 1500)
        return lambda: harness.differing(expected, screen.capture(window)[0]) == 0

    harness.wait_until(shows((640, 480)), what="the still in the window")
    screen.xdotool("windowsize", window, 300, 200)
    harness.wait_until(shows((300, 200)), what="the still at the new size")
    assert harness.end(module) == (0, "")
