"""Runs the built saver under Wine on Xvfb displays and acts on it as a user would."""

import os
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
from support import (CEILING, XScreen, changed_fraction, command_line, pixels_of, prefix_program,  # noqa: E402,F401
                     prefix_programs, resident_kib, wait_until)

ROOT = Path(__file__).resolve().parents[2]
# The build tree under test (ctest sets it: build/win32 or build/win64) and the
# Wine loader for its architecture: wine for 32-bit programs, wine64 for 64-bit.
TREE = Path(os.environ.get("TARVELIMUNDE_TREE", ROOT / "build/win64"))
WINE = os.environ.get("TARVELIMUNDE_WINE", "/usr/lib/wine/wine64")
# Started as wine-env.sh starts every Wine program (quiet, without address randomisation: see there).
WINE_LOADER = ["bash", str(ROOT / "tests/wine/prefix.sh"), "run", WINE]
WINESERVER = "/usr/lib/wine/wineserver64" if os.path.exists("/usr/lib/wine/wineserver64") else "/usr/lib/wine/wineserver"
SCREEN = (640, 480)
SAVER_NAME = "Tarvelimunde.scr"
# Another saver file to test instead of the tree's Tarvelimunde.scr (the tree's
# helpers and doubles still serve): ctest sets it for "Tarvelimunde Flow.scr".
SAVER = os.environ.get("TARVELIMUNDE_SAVER")
# That build shows the flow through a colour table on every display of 16 bits
# or more, and says so in its setup dialog.
SHOWS_FLOW = os.environ.get("TARVELIMUNDE_SHOWS_FLOW") == "1"
# ExitProcess(-1) as Windows records it.
EXIT_MINUS_ONE = 0xFFFFFFFF


def display(depth):
    """A 640 x 480 Xvfb screen of that depth with a white root, so that what covers it shows."""
    return XScreen(*SCREEN, depth, extra=("-wr",))


def built(path, what):
    if not path.is_file():
        raise FileNotFoundError(f"{what} is not built: {path}")
    return path


def saver_path():
    return built(Path(SAVER) if SAVER else TREE / SAVER_NAME, "the saver")


def helper_path(name):
    # ctest names the folders of the built helpers and doubles.
    return built(Path(os.environ.get("TARVELIMUNDE_E2E_HELPERS", TREE / "e2e")) / name, "an e2e helper")


def double_path(name):
    return built(Path(os.environ.get("TARVELIMUNDE_DOUBLES", TREE / "doubles")) / name, "a test double")


def windows_path(path):
    """Wine maps the Linux root to drive Z:."""
    return "Z:" + str(path).replace("/", "\\")


def parse_report(line):
    """Splits a helper's 'key=value key=value' line; values may hold blanks."""
    return dict(re.findall(r"(\w+)=(.*?)(?= \w+=|$)", line.strip()))


def program_name(process):
    """The Windows program a process started here runs (for a saver, the saver, not its starter)."""
    return getattr(process, "program", None) or Path(str(process.args[len(WINE_LOADER)])).name


def prefix_sh(*args, env=None):
    """The Wine set-up of every other suite (tests/wine/wine-env.sh): making the template, copying it,
    putting doubles into a prefix."""
    subprocess.run(["bash", str(ROOT / "tests/wine/prefix.sh"), *map(str, args)], env=env, check=True, timeout=CEILING)


def run_template(tmp_path_factory):
    """The prefix a whole pytest run copies from: the ctest fixture's, or one made here when pytest
    runs alone (without the display: the set-up starts one of its own)."""
    given = os.environ.get("TARVELIMUNDE_WINE_TEMPLATE")
    if given and (Path(given) / "system.reg").exists():
        return Path(given)
    made = tmp_path_factory.mktemp("template") / "prefix"
    prefix_sh("template", made, env={name: value for name, value in os.environ.items() if name != "DISPLAY"})
    return made


class Wine:
    """A throwaway copy of the template prefix on one display, with the saver in a folder of its own."""

    def __init__(self, template, display, workdir):
        self.display = display
        self.workdir = Path(workdir)
        self.prefix = self.workdir / "prefix"
        prefix_sh("copy", template, self.prefix)
        self.env = dict(os.environ, WINEPREFIX=str(self.prefix), DISPLAY=display.name)
        self.saver_dir = self.workdir / "saver"
        self.saver_dir.mkdir()
        self.saver = self.saver_dir / saver_path().name
        shutil.copy2(saver_path(), self.saver)
        self.double_dir = self.workdir / "doubles"
        self.double_dir.mkdir()
        self.env["TARVELIMUNDE_DOUBLE_DIR"] = windows_path(self.double_dir)
        self.processes = []
        self.saver_in_front = None
        self.explaining = False
        # One server for the prefix's whole life. Left to itself it ends 3 s after the last process, and a
        # process that starts while it is ending (a slow 32-bit start under qemu easily takes that long) is
        # killed with it before it can print a word.
        subprocess.run([WINESERVER, "-p"], env=self.env, timeout=CEILING, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def run(self, args, timeout=CEILING):
        self.saver_in_front = None
        return self._run(args, timeout)

    def _run(self, args, timeout):
        # Wine's standard error goes to a file: a pipe would stay open as long as
        # the services that the first program starts.
        with open(self.workdir / "wine-errors.log", "a") as errors:
            try:
                return subprocess.run([*WINE_LOADER, *map(str, args)], env=self.env, timeout=timeout, text=True,
                                      stdout=subprocess.PIPE, stderr=errors)
            except subprocess.TimeoutExpired:
                if self.explaining:
                    raise
                raise TimeoutError(f"timed out after {timeout:g} s waiting for {Path(str(args[0])).name} "
                                   f"{' '.join(map(str, args[1:]))} to end; saw {self.situation()}") from None

    def errors(self, lines=10):
        """The end of what Wine said on standard error in the commands run so far."""
        path = self.workdir / "wine-errors.log"
        return "\n".join(path.read_text(errors="replace").splitlines()[-lines:]) if path.exists() else ""

    def start(self, args, **kwargs):
        # Any program that starts may take the foreground.
        self.saver_in_front = None
        process = subprocess.Popen([*WINE_LOADER, *map(str, args)], env=self.env, stderr=subprocess.DEVNULL, **kwargs)
        self.processes.append(process)
        return process

    def start_saver(self, *tail, cwd=None, saver=None):
        """Starts the saver (or another copy of it) as the system does, its path quoted, then the switches:
        through preview_parent.exe, which waits for it and reports the exit code that Windows recorded.
        The process returned is that starter's; it ends when the saver does."""
        saver = Path(saver or self.saver)
        report = self.workdir / f"started-{len(self.processes)}.txt"
        with open(report, "w") as out:
            process = self.start([helper_path("preview_parent.exe"), "start", windows_path(saver), *tail],
                                 stdout=out, cwd=cwd)
        process.program, process.report = saver.name, report
        return process

    def run_saver(self, *tail, cwd=None, saver=None):
        return self.await_exit(self.start_saver(*tail, cwd=cwd, saver=saver))

    def await_exit(self, process):
        """The process's exit code once it has ended; a wait that runs out says what it saw."""
        try:
            process.wait(CEILING)
        except subprocess.TimeoutExpired:
            raise TimeoutError(f"timed out after {CEILING:g} s waiting for {program_name(process)} to end; "
                               f"saw {self.situation()}") from None
        return self.exit_code(process)

    @staticmethod
    def exit_code(process):
        """A program's exit code as Windows recorded it, where its starter reported one: the Linux
        status of a Wine process that Wine's server had to SIGKILL after it ended is -9."""
        if process.poll() is None:
            return None
        lines = process.report.read_text().splitlines() if getattr(process, "report", None) else []
        results = [report["result"] for report in map(parse_report, lines) if "result" in report]
        return int(results[-1]) if results else process.returncode

    def saver_pid(self, process, wait=True):
        """The Linux pid of the saver that start_saver started: the program of this prefix, other than
        its starter, whose command line names it; None where it is not there and wait is False."""
        def found():
            return prefix_program(self.prefix, process.program, unlike="preview_parent")
        return wait_until(found, what=f"a process of {process.program}", seen=self.situation) if wait else found()

    def situation(self):
        """What a failed wait reports: the programs started here and whether they run, the windows of the
        saver and the one in front, the screen, and Wine's last words."""
        programs = ", ".join(f"{program_name(p)} {'running' if p.poll() is None else f'ended with {self.exit_code(p)}'}"
                             for p in self.processes) or "none"
        self.explaining = True
        try:
            windows = self.probe("find", "WindowsScreenSaverClass", "-", 0)
            saver = (f"a saver window {windows['title']!r}, {'visible' if windows['visible'] == '1' else 'hidden'}"
                     if windows.get("window", "0") != "0" else "no saver window")
            front = f"in front: {windows.get('front_class', '?')} {windows.get('front_title', '?')!r}"
        except Exception as failure:  # the probe itself may be what cannot start
            saver, front = f"no probe ({failure})", "in front: unknown"
        finally:
            self.explaining = False
        first = self.display.capture()[0]
        second = self.display.capture()[0]
        picture = (f"the screen {non_black_fraction(second):.1%} not black, {uncovered_fraction(second):.1%} of its side "
                   f"strips uncovered, {'changing' if changed_fraction(first, second) > 0 else 'still'} between two looks")
        return f"programs: {programs}; {saver}; {front}; {picture}; Wine said: {self.errors(3) or 'nothing'}"

    def helper(self, name, *args, timeout=3 * CEILING, opens_window=True):
        """A helper program's exit code and its report lines merged. A helper that reports nothing never
        got to run, which fails here with Wine's exit code and errors, not later for want of a value."""
        run = self.run if opens_window else self._run
        result = run([helper_path(name), *args], timeout=timeout)
        report = {}
        for line in result.stdout.splitlines():
            if "=" in line:
                report.update(parse_report(line))
        assert report, f"{name} {' '.join(map(str, args))} reported nothing, ended with {result.returncode}: {self.errors()}"
        return int(report.get("result", result.returncode)), report

    def probe(self, *args, timeout=CEILING):
        """window_probe.exe's report; it opens no window, so the foreground stays where it was."""
        return self.helper("window_probe.exe", *args, timeout=timeout, opens_window=False)[1]

    def await_window(self, window_class, title, in_front=False):
        """The top-level window of that class and title once it exists, or once it is the foreground
        window too, where keys go."""
        found = self.probe("front" if in_front else "find", window_class, title, int(CEILING * 1000),
                           timeout=2 * CEILING)
        if found.get("window", "0") == "0" or in_front and found.get("foreground") != "1":
            seen = ("the window, not in front" if found.get("window", "0") != "0" else "no such window")
            raise TimeoutError(f"timed out after {CEILING:g} s waiting for a window {window_class} {title!r}"
                               + (" in front" if in_front else "") + f"; saw {seen}, "
                               f"{found.get('front_class')} {found.get('front_title')!r} in front; then {self.situation()}")
        return found

    def await_saver_window(self, title="Screen Saver"):
        return self.await_window("WindowsScreenSaverClass", title)

    def await_saver_in_front(self):
        """The saver's window once it is the foreground one, where keys and clicks go."""
        window = self.await_window("WindowsScreenSaverClass", "Screen Saver", in_front=True)
        self.saver_in_front = window["window"]
        return window

    def send_to_saver(self, *action):
        """Input for the full-screen saver (an xdotool command), sent once the saver is the foreground
        window: what comes before goes nowhere. Known to be in front until another program starts."""
        if self.saver_in_front is None:
            self.await_saver_in_front()
        self.display.xdotool(*action)

    def send_to(self, window_class, title, *actions):
        """Input for another window, named by class and title: the xdotool commands, one tuple each,
        sent once that window is in front."""
        self.await_window(window_class, title, in_front=True)
        for action in actions:
            self.display.xdotool(*action)

    def release_keys(self, *keys):
        """Keys held down by an earlier command let go, whichever window has the foreground now."""
        self.display.xdotool("keyup", *keys)

    def act_on_saver_until(self, condition, action, what="condition"):
        """Repeats input for the saver (a few keys or clicks, each pressed and released, tens of
        milliseconds apart) until the condition holds: input that keeps coming, whenever the saver looks."""
        return wait_until(lambda: self.send_to_saver(*action) or condition(), interval=0, what=what,
                          seen=self.situation)

    def reg_add(self, key, name, kind, data):
        result = self.run(["reg", "add", key, "/v", name, "/t", kind, "/d", str(data), "/f"])
        assert result.returncode == 0, f"reg add {key} {name} ended with {result.returncode}: {self.errors()}"

    def install(self, name, folder=None, where=None):
        """Puts a built double where the system keeps the real one, or into the folder where;
        folder picks one of the doubles built in a subfolder."""
        built_double = double_path(f"{folder}/{name}" if folder else name)
        if where:
            shutil.copy2(built_double, Path(where) / name)
        else:
            # The system folder of the loader's architecture, by wine-env.sh's one rule.
            prefix_sh("install", self.prefix, built_double, env=dict(os.environ, TARVELIMUNDE_WINE=WINE))

    def log_lines(self, name):
        path = self.double_dir / name
        if not path.exists():
            return []
        return [parse_report(line) for line in path.read_text().splitlines() if line]

    def end_programs(self):
        """Kills what the programs started here left running; True once all of it has gone."""
        # A started saver ends with its starter.
        savers = [self.saver_pid(p, wait=False) for p in self.processes if hasattr(p, "program") and p.poll() is None]
        for process in self.processes:
            if process.poll() is None:
                process.kill()
        ended = True
        for process in self.processes:
            try:
                process.wait(CEILING)
            except subprocess.TimeoutExpired:
                ended = False
        try:  # a zombie's command line is empty too
            wait_until(lambda: not any(command_line(pid) for pid in filter(None, savers)), what="the savers to end")
        except TimeoutError:
            ended = False
        self.processes = []
        self.saver_in_front = None
        return ended

    def shutdown(self):
        self.end_programs()
        for ending in ("-k", "-w"):
            subprocess.run([WINESERVER, ending], env=self.env, timeout=CEILING,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


ADDR_NO_RANDOMIZE = 0x0040000


def personality(pid):
    return int(Path(f"/proc/{pid}/personality").read_text(), 16)


def keeps_running(process, progress):
    """"It keeps running": True when the process, given input before, is still there once it has shown
    progress of its own that it could make only after handling that input. progress() waits for that
    and says whether it came."""
    return progress() and process.poll() is None


def picture_moves_on(saver, display, path, changes=3, timeout=CEILING):
    """The full-screen saver's progress: its picture has moved on the given number of times, covering
    the screen each time. Input that came before is handled by then: Wine reads the display's events at
    least every few timer messages, and a timer message is dispatched only when no input or posted
    message (such as a close) is left, so a saver that were to end on it would have ended instead of
    drawing on."""
    def progress():
        previous = display.screenshot(path)
        for _ in range(changes):
            shot = next_picture(display, path, previous, timeout, saver)
            if changed_fraction(previous, shot) <= 0.001 or uncovered_fraction(shot) > 0:
                return False
            previous = shot
        return True
    return progress


def keeps_drawing(saver, display, path, changes=3, timeout=CEILING):
    """The full-screen saver keeps running: its picture moves on."""
    return keeps_running(saver, picture_moves_on(saver, display, path, changes, timeout))


KEYS = ("key", "--delay", "20", "a", "a", "a", "a", "a")
CLICKS = ("click", "--repeat", "5", "--delay", "20", "1")


def next_picture(display, path, reference, timeout, process=None):
    """The first screenshot that differs from the reference, or the last one taken when time is up or
    the process has ended."""
    deadline = time.monotonic() + timeout
    while True:
        shot = display.screenshot(path)
        if (changed_fraction(reference, shot) > 0.001 or time.monotonic() >= deadline
                or process is not None and process.poll() is not None):
            return shot
        time.sleep(0.1)


# Picture checks on RGB screenshots.

WHITE = (255, 255, 255)


def fraction_of(image, colour):
    return pixels_of(image, colour) / (image.width * image.height)


def uncovered_fraction(image):
    """White (the root window) in the side strips of the screen, where no figure ever draws: a figure
    stays within the square around its base circle, whose radius is half the shorter side, so on
    640 x 480 the 64 columns at either edge stay black while the saver covers the screen (the figure
    itself may well be drawn in white)."""
    margin = (image.width - image.height) // 2 - 16
    strips = [image.crop((0, 0, margin, image.height)), image.crop((image.width - margin, 0, image.width, image.height))]
    return sum(fraction_of(strip, WHITE) for strip in strips) / len(strips)


def non_black_fraction(image):
    return 1.0 - fraction_of(image, (0, 0, 0))
