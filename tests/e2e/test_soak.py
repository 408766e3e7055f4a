"""A long full-screen run: the saver keeps drawing through small mouse movements that stay within the
threshold, and still ends with 0 on a key. On the truecolour display, where every colour the figure is
drawn in shows as itself: on the 256-colour one dark colours map to black for long stretches (16 s was
seen), so there a still picture would not mean a stopped saver.

TARVELIMUNDE_WINE_SOAK_SECONDS sets the length (20 s when unset); a person may set minutes, e.g. 300."""

import os
import time

import harness

SOAK_SECONDS = float(os.environ.get("TARVELIMUNDE_WINE_SOAK_SECONDS", "20"))
# Travel of 4 pixels from where the pointer stood at the start, on either side: never more.
JIGGLES = [(2, 2), (-2, -2), (4, 0), (0, -4), (-1, 3)]
# Between two looks at the picture: five small moves half a second apart.
MOVES_A_LOOK = 5


def test_full_screen_soak_keeps_drawing_and_ends_on_a_key(wine24, screenshots):
    display = wine24.display
    # The pointer stays where it is for the start: a new Wine process may still
    # see it at its place before a move made just then, and take the move for
    # the user's.
    reference = display.pointer()
    saver = wine24.start_saver("/s")
    window = wine24.await_saver_in_front()
    started = time.monotonic()
    # The saver process's resident memory.
    saver_pid = wine24.saver_pid(saver)
    memory_at_start = harness.resident_kib(saver_pid)

    previous = display.screenshot(screenshots / "soak-0.png")
    shots = jiggles = 0
    while time.monotonic() - started < SOAK_SECONDS:
        for _ in range(MOVES_A_LOOK):
            dx, dy = JIGGLES[jiggles % len(JIGGLES)]
            wine24.send_to_saver("mousemove", reference[0] + dx, reference[1] + dy)
            jiggles += 1
            time.sleep(0.5)
        shots += 1
        # The picture moves on after the moves, however long that takes; only the latest two looks are kept.
        shot = harness.next_picture(display, screenshots / f"soak-{shots % 2}.png", previous, harness.CEILING, saver)
        assert saver.poll() is None, f"the saver ended after {time.monotonic() - started:.1f} s"
        assert harness.changed_fraction(previous, shot) > 0.001, f"the picture stood still; saw {wine24.situation()}"
        assert harness.uncovered_fraction(shot) == 0, "the saver no longer covers the screen"
        previous = shot

    assert wine24.await_saver_window()["window"] == window["window"]
    memory_growth = harness.resident_kib(saver_pid) - memory_at_start
    # Per-tick objects that were never released would pile up by the thousand.
    assert memory_growth < 16 * 1024, f"resident memory grew by {memory_growth} KiB"
    print(f"soak: {SOAK_SECONDS:.0f} s, {jiggles} jiggles, the picture moved on in all {shots} looks, "
          f"resident memory {memory_at_start} KiB grew by {memory_growth} KiB")

    wine24.send_to_saver("key", "space")
    assert wine24.await_exit(saver) == 0
