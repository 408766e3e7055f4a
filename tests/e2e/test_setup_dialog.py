"""The setup dialog (/c, an empty tail, or only blanks, dashes and slashes): says whether the display suits the saver."""

import struct

import pefile
import pytest

import harness

PERFECT = "Your video regime is perfect"
VERDICT = {
    8: PERFECT,
    # The flow build shows the palette animation on truecolour too.
    24: PERFECT if harness.SHOWS_FLOW else "This program looks better in 256 colour mode",
}


# Every test here leaves the prefix as it found it.
@pytest.fixture
def wine24(request, shared_wine):
    yield from shared_wine(request, 24)


@pytest.fixture
def wine8(request, shared_wine):
    yield from shared_wine(request, 8)


def show_dialog(wine, tail, screenshots):
    saver = wine.start_saver(*tail)
    dialog = wine.probe("dialog", "Setup", 1000, int(harness.CEILING * 1000), timeout=2 * harness.CEILING)
    assert dialog.get("window", "0") != "0", f"no dialog titled Setup; saw {wine.situation()}"
    wine.display.screenshot(screenshots / f"setup-{wine.display.depth}.png")
    return saver, dialog


BST_PUSHED = 0x4


def ok_held_down(wine):
    """The dialog's own progress after a key: space held down on OK, the button with the focus, shows
    it pushed without clicking it. Keys are handled in order, so everything typed before has been too."""
    def look():
        dialog = wine.probe("dialog", "Setup", 1000)
        if dialog.get("window", "0") == "0":
            return "gone"
        return "pushed" if int(dialog.get("focus_state", "0"), 16) & BST_PUSHED else None

    def progress():
        try:
            return harness.wait_until(look, interval=0.1, what="OK held down") == "pushed"
        except TimeoutError:
            return False
    return progress


def close_with_keys(wine, saver):
    # Escape arrives as IDCANCEL, which leaves the dialog open; Enter presses OK.
    wine.send_to("#32770", "Setup", ("key", "Escape"), ("keydown", "space"))
    try:
        assert harness.keeps_running(saver, ok_held_down(wine)), "Escape closed the dialog"
        wine.send_to("#32770", "Setup", ("key", "Return"))
        return wine.await_exit(saver)
    finally:
        # Let go only now: a space let go over OK would click it.
        wine.release_keys("space")


@pytest.mark.parametrize("tail", [["/c"], [], ["-", "/", "-"], ["/c:1234"]], ids=["/c", "empty", "- / -", "/c:1234"])
def test_dialog_on_truecolour_gives_the_builds_verdict_and_ends_with_one(wine24, tail, screenshots):
    saver, dialog = show_dialog(wine24, tail, screenshots)
    assert dialog["text"] == VERDICT[24]
    assert dialog["focus_id"] == "1", "OK should hold the focus"
    assert close_with_keys(wine24, saver) == 1


def test_dialog_on_palette_display_says_perfect(wine8, screenshots):
    saver, dialog = show_dialog(wine8, ["/c"], screenshots)
    assert dialog["text"] == VERDICT[8]
    assert close_with_keys(wine8, saver) == 1


def test_dialog_that_cannot_be_created_ends_with_minus_one(wine24, tmp_path):
    # The same saver with its dialog template renumbered: DialogBoxParamA finds no template 2003.
    pe = pefile.PE(str(wine24.saver))
    dialogs = next(entry for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries if entry.id == pefile.RESOURCE_TYPE["RT_DIALOG"])
    template = next(entry for entry in dialogs.directory.entries if entry.id == 2003)
    offset = template.struct.get_file_offset()
    pe.close()
    data = bytearray(wine24.saver.read_bytes())
    struct.pack_into("<I", data, offset, 2004)
    renumbered = tmp_path / wine24.saver.name
    renumbered.write_bytes(data)
    assert wine24.run_saver("/c", saver=renumbered) == harness.EXIT_MINUS_ONE
