"""The preview inside the Display control panel's little monitor (/p HWND), played by our helper program."""

import subprocess

import pytest

import harness

PARENT_CLASS, PARENT_TITLE = "TarvelimundeTestParent", "Tarvelimunde Preview Parent"


def run_preview(wine, screenshots):
    helper = wine.start([harness.helper_path("preview_parent.exe"), "preview", harness.windows_path(wine.saver)],
                        stdout=subprocess.PIPE, text=True)
    report = {}
    for line in helper.stdout:
        report.update(harness.parse_report(line))
        if line.strip() == "ready":
            x, y = (int(v) for v in report["screen_origin"].split(","))
            # A user fiddling with the mouse and keys over the little monitor.
            wine.send_to(PARENT_CLASS, PARENT_TITLE,
                         ("mousemove", x + 10, y + 10), ("mousemove", x + 140, y + 100), ("click", "1"),
                         ("key", "space"), ("mousemove", x + 76, y + 56), ("click", "3"))
            # Wine shows nothing that a child window draws from another process (tried with a
            # plain FillRect child too), so the picture itself can't be checked here.
            wine.display.screenshot(screenshots / "preview.png")
    wine.await_exit(helper)
    assert report.get("result") == "0", report
    return report


@pytest.fixture(scope="module")
def preview(wine_template, displays, tmp_path_factory):
    """One run of the control panel stand-in; the tests below look at different parts of its report."""
    workdir = tmp_path_factory.mktemp("preview")
    wine = harness.Wine(wine_template, displays[24], workdir)
    try:
        shots = workdir / "shots"
        shots.mkdir()
        yield run_preview(wine, shots)
    finally:
        wine.shutdown()


def test_preview_fills_the_parent_shrugs_off_input_and_ends_on_close(preview):
    report = preview
    assert report["parent_client"] == "152,112"
    assert report["child_class"] == "WindowsScreenSaverClass"
    assert report["child_title"] == "Preview"
    assert report["child_client"] == "0,0,152,112"
    assert report["child_origin"] == "0,0"
    assert report["child_parent"] == report["parent"]
    assert int(report["child_style"], 16) == 0x52000000, "not a visible, clipping child window"
    assert report["child_visible"] == "1"

    # Neither real nor posted input ends it.
    assert report["alive_after_user_input"] == "1"
    assert report["alive_after_posted_input"] == "1"

    # The size was taken once, at creation.
    assert report["child_after_resize"] == "152,112"

    assert report["exit"] == "0"
    assert report["child_gone"] == "1"


def test_preview_hands_context_menus_to_the_parent_and_answers_help_requests_itself(preview):
    report = preview
    assert report["contextmenu_result"] == "1"
    assert report["contextmenu_count"] == "1"
    assert report["contextmenu_wparam"] == report["parent"]
    assert report["contextmenu_lparam"] == report["sent_lparam"]

    # The right click of the user went the same way, with the cursor position as lParam.
    assert report["user_contextmenu_count"] == "1"
    assert report["user_contextmenu_wparam"] == report["parent"]
    x, y = (int(v) for v in report["screen_origin"].split(","))
    assert int(report["user_contextmenu_lparam"]) == ((y + 56) << 16) | (x + 76)

    # The preview answers the help request itself. (What it posts on to the parent can't be seen here:
    # Wine refuses to post WM_HELP, whose data would not survive the trip.)
    assert report["help_sent"] == "1"
    assert report["help_result"] == "1"
