"""The full-screen saver as the system starts it (/s): covers the screen, keeps drawing, and ends on input."""

import pytest

import harness

WIDTH, HEIGHT = harness.SCREEN
WS_EX_TOPMOST = 0x8
WS_POPUP = 0x80000000
WS_VISIBLE = 0x10000000


# Every test here leaves the prefix as it found it.
@pytest.fixture
def wine24(request, shared_wine):
    yield from shared_wine(request, 24)


@pytest.fixture(params=[8, 24], ids=["8bit", "24bit"])
def wine_any(request, shared_wine):
    yield from shared_wine(request, request.param)


def start_full_screen(wine, *tail):
    """The saver started full screen, once it is in front: what the caller sends then reaches it."""
    wine.display.place_pointer(100, 100)
    saver = wine.start_saver(*(tail or ("/s",)))
    window = wine.await_saver_in_front()
    return saver, window


def test_every_program_of_the_prefix_runs_without_address_randomisation(wine24):
    # Else one start in thousands ends at once, where the kernel put the loader's heap over the
    # address of Wine's shared user data (tests/wine/wine-env.sh); the services Wine starts inherit it.
    saver, _ = start_full_screen(wine24)
    pids = harness.prefix_programs(wine24.prefix)
    assert {saver.pid, wine24.saver_pid(saver)} <= set(pids) and len(pids) > 2
    assert [pid for pid in pids if not harness.personality(pid) & harness.ADDR_NO_RANDOMIZE] == []


def test_topmost_window_over_the_whole_screen_keeps_drawing(wine_any, screenshots):
    saver, window = start_full_screen(wine_any)
    assert window["class"] == "WindowsScreenSaverClass"
    assert window["title"] == "Screen Saver"
    assert window["rect"] == f"0,0,{WIDTH},{HEIGHT}"
    style = int(window["style"], 16)
    assert style & (WS_POPUP | WS_VISIBLE) == WS_POPUP | WS_VISIBLE
    assert int(window["exstyle"], 16) & WS_EX_TOPMOST
    # The saver makes itself the foreground window right after it is created.
    assert window["foreground"] == "1"

    def look(name):
        return wine_any.display.screenshot(screenshots / f"fullscreen-{wine_any.display.depth}-{name}.png")
    # The white root shows nowhere once the saver has painted, a moment after its window is in front.
    first = harness.wait_until(lambda: (lambda shot: shot if harness.uncovered_fraction(shot) == 0 else None)(
        look("a")), interval=0.5, what="the saver to cover the screen", seen=wine_any.situation)
    # A new figure starts on a cleared screen and dark colours can show as
    # black, so wait for a moment with a good part of a figure on the screen.
    second = harness.wait_until(
        lambda: (lambda shot: shot if harness.changed_fraction(first, shot) > 0.001
                 and harness.non_black_fraction(shot) > 0.002 else None)(look("b")),
        interval=0.5, what="the picture to change and show a figure", seen=wine_any.situation)
    assert harness.uncovered_fraction(second) == 0, "the saver no longer covers the screen"
    assert saver.poll() is None

    wine_any.send_to_saver("key", "space")
    assert wine_any.await_exit(saver) == 0


def test_mouse_travel_of_four_pixels_is_tolerated_five_ends_it(wine24, screenshots):
    saver, _ = start_full_screen(wine24)
    display = wine24.display
    wine24.send_to_saver("mousemove", 101, 101)
    wine24.send_to_saver("mousemove", 102, 102)
    assert harness.keeps_drawing(saver, display, screenshots / "travel-4.png"), "travel of 4 pixels ended the saver"
    # Travel is measured from where the cursor stood at the start, not step by step.
    wine24.send_to_saver("mousemove", 103, 102)
    assert wine24.await_exit(saver) == 0


@pytest.mark.parametrize("action", [
    ("key", "space"), ("key", "a"), ("key", "Escape"), ("click", "1"), ("click", "3"),
], ids=lambda action: " ".join(action))
def test_key_or_click_ends_it(wine24, action):
    saver, _ = start_full_screen(wine24)
    assert saver.poll() is None
    wine24.send_to_saver(*action)
    assert wine24.await_exit(saver) == 0


@pytest.mark.parametrize("tail", [["-S"], ["s"], ["//--s"], ["/save"]], ids=lambda tail: " ".join(tail))
def test_other_spellings_of_full_screen(wine24, tail):
    saver, window = start_full_screen(wine24, *tail)
    assert window["rect"] == f"0,0,{WIDTH},{HEIGHT}"
    wine24.send_to_saver("key", "space")
    assert wine24.await_exit(saver) == 0


def test_second_full_screen_start_brings_the_first_forward(wine24, screenshots):
    first, window = start_full_screen(wine24)
    _, report = wine24.helper("preview_parent.exe", "second", harness.windows_path(wine24.saver))
    assert report["foreground_before"] == report["own"], "the bystander window did not get the foreground"
    assert report["running"] == window["window"]
    assert report["exit"] == "0"
    assert report["foreground_after"] == window["window"]
    assert report["foreground_after_title"] == "Screen Saver"

    # The first saver goes on, and it is still the only one.
    assert harness.keeps_drawing(first, wine24.display, screenshots / "second.png")
    assert wine24.await_saver_window()["window"] == window["window"]
    wine24.send_to_saver("key", "space")
    assert wine24.await_exit(first) == 0
