"""Faults from outside the saver: a verifier that keeps the user waiting while everything else goes on,
a verifier library without its entry, and a preview whose window vanishes under it."""

import pytest

import harness

DESKTOP = r"HKCU\Control Panel\Desktop"


def verify_calls(wine):
    return wine.log_lines("verify.log")


def start_holding_verifier(wine, answer):
    """A verifier that keeps the user waiting until the test takes verify-hold away."""
    wine.install("PASSWORD.CPL")
    (wine.double_dir / "verify-answer").write_text(answer)
    (wine.double_dir / "verify-hold").write_text("")
    wine.reg_add(DESKTOP, "ScreenSaveUsePassword", "REG_DWORD", "1")
    wine.display.place_pointer(100, 100)
    saver = wine.start_saver("/s")
    window = wine.await_saver_in_front()
    return saver, window


@pytest.mark.parametrize("answer", ["1", "0"], ids=["yes", "no"])
def test_a_slow_verifier_asks_once_while_the_picture_goes_on(wine24, screenshots, answer):
    saver, window = start_holding_verifier(wine24, answer)
    display = wine24.display

    wine24.send_to_saver("key", "a")
    harness.wait_until(lambda: wine24.log_lines("verify-begin.log"), what="the verifier to be asked",
                       seen=wine24.situation)
    # What a user does while the question is open: all of it reaches the window, none of it asks again.
    wine24.send_to_saver("key", "--delay", "50", "b", "Escape", "space")
    wine24.send_to_saver("click", "1")
    wine24.send_to_saver("click", "3")
    wine24.send_to_saver("mousemove", 300, 300)
    wine24.send_to_saver("mousemove", 40, 400)
    # And a close request from elsewhere, dispatched meanwhile.
    assert wine24.probe("close", "WindowsScreenSaverClass", "Screen Saver")["posted"] == "1"
    # Timer ticks still reach the picture while the verifier waits, and once they have, all of the above
    # has been dispatched inside the question.
    assert harness.keeps_drawing(saver, display, screenshots / f"slow-{answer}.png"), (
        "the picture stood still during the verification")
    assert verify_calls(wine24) == [], "the question closed before all was done"

    hold = wine24.double_dir / "verify-hold"
    if answer == "1":
        hold.unlink()
        assert wine24.await_exit(saver) == 0
    else:
        # Refused: it keeps running, and keys that come on meanwhile ask again only 200 ms after the answer.
        def second_question():
            if hold.exists():
                hold.unlink()
            return len(verify_calls(wine24)) >= 2
        wine24.act_on_saver_until(second_question, harness.KEYS, what="a second question")
        assert harness.keeps_drawing(saver, display, screenshots / "slow-0-after.png"), (
            "the saver stopped drawing after the refusal")
        (wine24.double_dir / "verify-answer").write_text("1")
        wine24.act_on_saver_until(lambda: saver.poll() is not None, harness.KEYS, what="the saver to end")
        assert wine24.await_exit(saver) == 0

    calls = verify_calls(wine24)
    call = calls[0]
    assert call["window"] == window["window"]
    assert call["deepest"] == "1", "the verifier was entered again while it waited"
    assert call["quit"] == "0"
    # Input went to the saver window during the wait...
    assert int(call["keys"]) >= 3 and int(call["buttons"]) >= 2 and int(call["moves"]) >= 1, call
    # ...and posted no close: the only one dispatched was ours, and it was swallowed.
    assert call["closes"] == "1", call
    # The ticks went on through the verifier's own loop.
    assert int(call["timers"]) >= 3, call
    answers = [c["answer"] for c in calls]
    if answer == "1":
        assert answers == ["1"]
        return
    assert answers[0] == "0" and answers[-1] == "1" and len(answers) >= 3, answers
    for earlier, later in zip(calls, calls[1:]):
        assert int(later["start"]) - int(earlier["end"]) >= 200, (earlier, later)


def test_a_verifier_library_without_its_entry_means_no_password(wine24):
    wine24.install("PASSWORD.CPL", folder="without-entry")
    wine24.reg_add(DESKTOP, "ScreenSaveUsePassword", "REG_DWORD", "1")
    wine24.display.place_pointer(100, 100)
    saver = wine24.start_saver("/s")
    wine24.await_saver_in_front()
    # Loaded, found wanting and freed again before the window came up.
    events = [line["event"] for line in wine24.log_lines("library.log")]
    assert events == ["attached", "detached"]
    assert saver.poll() is None
    wine24.send_to_saver("key", "space")
    assert wine24.await_exit(saver) == 0
    assert [line["event"] for line in wine24.log_lines("library.log")] == ["attached", "detached"]


def test_a_preview_whose_parent_is_destroyed_ends_with_zero(wine24):
    code, report = wine24.helper("preview_parent.exe", "orphan", harness.windows_path(wine24.saver))
    assert code == 0, report
    assert report["child_class"] == "WindowsScreenSaverClass"
    assert report["child_title"] == "Preview"
    assert report["alive_before"] == "1"
    assert report["destroyed"] == "1"
    assert report["parent_gone"] == "1"
    # The child went with its parent, its WM_DESTROY posted the quit, and the loop ended normally.
    assert report["exit"] == "0"
    assert report["child_gone"] == "1"
    assert report["saver_windows_left"] == "0"
