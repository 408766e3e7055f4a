"""The password path with doubles of the system's libraries: PASSWORD.CPL asked before closing,
MPR.DLL's PwdChangePasswordA asked for /a."""

import pytest

import harness

DESKTOP = r"HKCU\Control Panel\Desktop"
# Wine's per-program settings go by the program's file name.
MPR_OVERRIDE = rf"HKCU\Software\Wine\AppDefaults\{harness.saver_path().name}\DllOverrides"


def set_answer(wine, answer):
    (wine.double_dir / "verify-answer").write_text(answer)


def verify_calls(wine):
    return wine.log_lines("verify.log")


def start_protected(wine, kind="REG_DWORD", value="1", where=None, cwd=None):
    wine.install("PASSWORD.CPL", where=where)
    wine.reg_add(DESKTOP, "ScreenSaveUsePassword", kind, value)
    wine.display.place_pointer(100, 100)
    saver = wine.start_saver("/s", cwd=cwd)
    window = wine.await_saver_in_front()
    return saver, window


def test_refusal_keeps_the_saver_drawing_and_a_close_within_200_ms_of_an_answer_asks_nothing(wine24, screenshots):
    set_answer(wine24, "0")
    saver, window = start_protected(wine24)
    display = wine24.display

    # Keys tens of milliseconds apart: each answer is followed by keys within 200 ms of it, which are
    # swallowed without asking.
    wine24.act_on_saver_until(lambda: len(verify_calls(wine24)) >= 2, harness.KEYS, what="a second question")
    assert harness.keeps_drawing(saver, display, screenshots / "refused.png"), "the saver stopped drawing after a refusal"
    calls = verify_calls(wine24)
    assert {call["answer"] for call in calls} == {"0"}
    assert calls[0]["window"] == window["window"]
    assert calls[0]["described"] == "WindowsScreenSaverClass|Screen Saver"

    # Clicks ask too, and an acceptance ends it.
    set_answer(wine24, "1")
    wine24.act_on_saver_until(lambda: saver.poll() is not None, harness.CLICKS, what="the saver to end")
    assert wine24.await_exit(saver) == 0
    calls = verify_calls(wine24)
    assert calls[-1]["answer"] == "1"
    for earlier, later in zip(calls, calls[1:]):
        assert int(later["start"]) - int(earlier["end"]) >= 200, (earlier, later)


def test_acceptance_ends_with_zero_also_with_a_text_setting(wine24):
    set_answer(wine24, "1")
    # A text value "1" is read as an integer of its bytes: not zero, so the password is on.
    saver, window = start_protected(wine24, "REG_SZ", "1")
    wine24.send_to_saver("mousemove", 110, 100)
    assert wine24.await_exit(saver) == 0
    calls = verify_calls(wine24)
    assert len(calls) == 1
    assert calls[0]["window"] == window["window"]


@pytest.mark.parametrize("value", [None, "0"], ids=["no setting", "setting 0"])
def test_without_the_setting_nothing_is_asked(wine24, value):
    set_answer(wine24, "0")
    wine24.install("PASSWORD.CPL")
    if value is not None:
        wine24.reg_add(DESKTOP, "ScreenSaveUsePassword", "REG_DWORD", value)
    saver = wine24.start_saver("/s")
    wine24.send_to_saver("key", "space")
    assert wine24.await_exit(saver) == 0
    assert verify_calls(wine24) == []


def change_calls(wine):
    return wine.log_lines("mpr.log")


def with_mpr_double(wine):
    wine.install("MPR.DLL")
    # Wine prefers its built-in mpr.dll unless told otherwise for this program.
    wine.reg_add(MPR_OVERRIDE, "mpr", "REG_SZ", "native")


@pytest.mark.parametrize("tail", [["/a"], ["/A", "12345678"], ["-a:5"]], ids=lambda tail: " ".join(tail))
def test_change_password_without_an_owner_window_passes_the_foreground(wine24, tail):
    with_mpr_double(wine24)
    assert wine24.run_saver(*tail) == 0
    calls = change_calls(wine24)
    assert len(calls) == 1
    assert calls[0]["provider"] == "SCRSAVE"
    assert calls[0]["owner"] == calls[0]["foreground"]
    assert calls[0]["first"] == "0"
    assert calls[0]["second"] == "0"


def test_change_password_passes_a_real_window_as_owner(wine24):
    with_mpr_double(wine24)
    _, report = wine24.helper("preview_parent.exe", "owner", harness.windows_path(wine24.saver), "/a")
    assert report["exit"] == "0"
    calls = change_calls(wine24)
    assert len(calls) == 1
    assert calls[0]["provider"] == "SCRSAVE"
    assert calls[0]["owner"] == report["owner"]
    assert calls[0]["described"] == "TarvelimundeTestParent|Tarvelimunde Owner"
    assert (calls[0]["first"], calls[0]["second"]) == ("0", "0")


def test_change_password_without_the_library_calls_nothing_and_ends_with_zero(wine24):
    # The double lies in the system folder, where a load would find it, but MPR.DLL is
    # disabled for this program: had anything been called, it would show in the log.
    wine24.install("MPR.DLL")
    wine24.reg_add(MPR_OVERRIDE, "mpr", "REG_SZ", "")
    assert wine24.run_saver("/a") == 0
    assert change_calls(wine24) == []


@pytest.mark.parametrize("place", ["beside the saver", "in the current folder"])
def test_a_planted_verifier_outside_the_system_folder_is_never_asked(wine24, place):
    # A refusing PASSWORD.CPL that the loader's search path would find first.
    set_answer(wine24, "0")
    folder = wine24.saver_dir if place == "beside the saver" else wine24.workdir / "current"
    folder.mkdir(exist_ok=True)
    saver, _ = start_protected(wine24, where=folder, cwd=folder)
    wine24.send_to_saver("key", "space")
    assert wine24.await_exit(saver) == 0
    assert wine24.log_lines("verify-begin.log") == []
