"""Runs the built saver under Wine on Xvfb displays and acts on it as a user would."""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
from xvfb import start_xvfb, wait_until  # noqa: E402  (shared with the module's tests)

ROOT = Path(__file__).resolve().parents[2]
# The build tree under test (ctest sets it: build/win32 or build/win64) and the
# Wine loader for its architecture: wine for 32-bit programs, wine64 for 64-bit.
TREE = Path(os.environ.get("TARVELIMUNDE_TREE", ROOT / "build/win64"))
WINE = os.environ.get("TARVELIMUNDE_WINE", "/usr/lib/wine/wine64")
SYSTEM_FOLDER = "system32" if Path(WINE).name == "wine64" else "syswow64"
WINESERVER = "/usr/lib/wine/wineserver64" if os.path.exists("/usr/lib/wine/wineserver64") else "/usr/lib/wine/wineserver"
SCREEN = (640, 480)
SAVER_NAME = "Tarvelimunde.scr"
# Another saver file to test instead of the tree's Tarvelimunde.scr (the tree's
# helpers and doubles still serve): ctest sets it for "Tarvelimunde Flow.scr".
SAVER = os.environ.get("TARVELIMUNDE_SAVER")
# That build shows the flow through a colour table on every display of 16 bits
# or more, and says so in its setup dialog.
SHOWS_FLOW = os.environ.get("TARVELIMUNDE_SHOWS_FLOW") == "1"
# ExitProcess(-1) as Wine hands it on to Linux: the low byte.
EXIT_MINUS_ONE = 255


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


class XDisplay:
    """An Xvfb screen of the given depth with a white root, so that what covers it shows."""

    def __init__(self, depth):
        self.depth = depth
        self.process, self.name = start_xvfb(*SCREEN, depth, "-wr")

    def env(self):
        return dict(os.environ, DISPLAY=self.name)

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=True, timeout=10)

    def pointer(self):
        """Where the pointer stands, as (x, y)."""
        shell = subprocess.run(["xdotool", "getmouselocation", "--shell"], env=self.env(), check=True, timeout=10,
                               text=True, stdout=subprocess.PIPE).stdout
        found = dict(line.split("=", 1) for line in shell.splitlines() if "=" in line)
        return int(found["X"]), int(found["Y"])

    def screenshot(self, path):
        """Saves the whole screen as PNG and returns it as an RGB image."""
        from PIL import Image
        path = Path(path)
        dump = subprocess.run(["xwd", "-root", "-silent", "-display", self.name], check=True,
                              stdout=subprocess.PIPE, timeout=20).stdout
        subprocess.run(["convert", "xwd:-", f"png:{path}"], input=dump, check=True, timeout=20)
        with Image.open(path) as image:
            return image.convert("RGB")

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def wine_env(prefix, display_name):
    env = dict(os.environ)
    env.update(WINEPREFIX=str(prefix), DISPLAY=display_name, WINEDEBUG="-all",
               WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d")
    return env


def make_template(prefix):
    """The tests' Wine prefix, made as for every other suite (tests/wine/wine-env.sh)."""
    env = {name: value for name, value in os.environ.items() if name != "DISPLAY"}
    subprocess.run(["bash", str(ROOT / "tests/wine/prefix.sh"), "template", str(prefix)], env=env, check=True,
                   timeout=180)
    return Path(prefix)


def copy_prefix(template, prefix):
    """A throwaway copy of the template, made as for every other suite."""
    subprocess.run(["bash", str(ROOT / "tests/wine/prefix.sh"), "copy", str(template), str(prefix)], check=True,
                   timeout=60)


class Wine:
    """A throwaway copy of the template prefix on one display, with the saver in a folder of its own."""

    def __init__(self, template, display, workdir):
        self.display = display
        self.workdir = Path(workdir)
        self.prefix = self.workdir / "prefix"
        copy_prefix(template, self.prefix)
        self.env = wine_env(self.prefix, display.name)
        self.saver_dir = self.workdir / "saver"
        self.saver_dir.mkdir()
        self.saver = self.saver_dir / saver_path().name
        shutil.copy2(saver_path(), self.saver)
        self.double_dir = self.workdir / "doubles"
        self.double_dir.mkdir()
        self.env["TARVELIMUNDE_DOUBLE_DIR"] = windows_path(self.double_dir)
        self.processes = []
        # One server for the prefix's whole life. Left to itself it ends 3 s after the last process, and a
        # process that starts while it is ending (a slow 32-bit start under qemu easily takes that long) is
        # killed with it before it can print a word.
        subprocess.run([WINESERVER, "-p"], env=self.env, timeout=60, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def run(self, args, timeout=30):
        return subprocess.run([WINE, *map(str, args)], env=self.env, timeout=timeout, text=True,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)

    def start(self, args, **kwargs):
        process = subprocess.Popen([WINE, *map(str, args)], env=self.env, stderr=subprocess.DEVNULL, **kwargs)
        self.processes.append(process)
        return process

    def start_saver(self, *tail, cwd=None):
        """Starts the saver as the system does: its path quoted, then the switches."""
        return self.start([self.saver, *tail], stdout=subprocess.DEVNULL, cwd=cwd)

    def run_saver(self, *tail, timeout=20, cwd=None):
        process = self.start_saver(*tail, cwd=cwd)
        return process.wait(timeout)

    def probe(self, *args, timeout=30):
        result = self.run([helper_path("window_probe.exe"), *args], timeout=timeout)
        lines = [parse_report(line) for line in result.stdout.splitlines() if "=" in line]
        merged = {}
        for line in lines:
            merged.update(line)
        return merged

    def await_saver_window(self, title="Screen Saver", timeout=15):
        found = self.probe("find", "WindowsScreenSaverClass", title, int(timeout * 1000), timeout=timeout + 15)
        if found.get("window", "0") == "0":
            raise TimeoutError(f"no saver window titled {title!r}")
        return found

    def await_saver_in_front(self, timeout=5):
        """The saver's window once it is the foreground one, where keys and clicks go."""
        return wait_until(lambda: (lambda window: window if window["foreground"] == "1" else None)(
            self.await_saver_window()), timeout=timeout, what="the saver to be the foreground window")

    def reg_add(self, key, name, kind, data):
        result = self.run(["reg", "add", key, "/v", name, "/t", kind, "/d", str(data), "/f"])
        assert result.returncode == 0, f"reg add {key} {name} failed"

    def install(self, name, folder=None, where=None):
        """Puts a built double where the system keeps the real one, or into the folder where;
        folder picks one of the doubles built in a subfolder."""
        target = Path(where) if where else self.prefix / "drive_c" / "windows" / SYSTEM_FOLDER
        shutil.copy2(double_path(f"{folder}/{name}" if folder else name), target / name)

    def log_lines(self, name):
        path = self.double_dir / name
        if not path.exists():
            return []
        return [parse_report(line) for line in path.read_text().splitlines() if line]

    def shutdown(self):
        for process in self.processes:
            if process.poll() is None:
                process.kill()
        subprocess.run([WINESERVER, "-k"], env=self.env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        subprocess.run([WINESERVER, "-w"], env=self.env, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for process in self.processes:
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                pass


def still_running(process, seconds):
    """True when the process is still alive after the given time."""
    try:
        process.wait(seconds)
        return False
    except subprocess.TimeoutExpired:
        return True


def keeps_drawing(saver, display, path, changes=3, timeout=20):
    """True when the full-screen saver still covers the screen after its picture has moved on the given
    number of times. Input that came before is handled by then: Wine reads the display's events at least
    every few timer messages, and a timer message is dispatched only when no input or posted message (such
    as a close) is left, so a saver that were to end on it would have ended instead of drawing on."""
    previous = display.screenshot(path)
    for _ in range(changes):
        shot = next_picture(display, path, previous, timeout)
        if changed_fraction(previous, shot) <= 0.001 or uncovered_fraction(shot) > 0:
            return False
        previous = shot
    return saver.poll() is None


def act_until(display, condition, action, timeout=20, what="condition"):
    """Repeats an xdotool action (a few keys or clicks, each pressed and released, tens of milliseconds
    apart) until the condition holds: input that keeps coming, whenever the saver looks."""
    deadline = time.monotonic() + timeout
    while True:
        display.xdotool(*action)
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")


KEYS = ("key", "--delay", "20", "a", "a", "a", "a", "a")
CLICKS = ("click", "--repeat", "5", "--delay", "20", "1")


def next_picture(display, path, reference, timeout):
    """The first screenshot that differs from the reference, or the last one taken when time is up."""
    deadline = time.monotonic() + timeout
    while True:
        shot = display.screenshot(path)
        if changed_fraction(reference, shot) > 0.001 or time.monotonic() >= deadline:
            return shot
        time.sleep(0.1)


# Picture checks on RGB screenshots.

WHITE = (255, 255, 255)


def fraction_of(image, colour):
    histogram = dict((rgb, count) for count, rgb in image.getcolors(maxcolors=1 << 24))
    return histogram.get(colour, 0) / (image.width * image.height)


def uncovered_fraction(image):
    """White (the root window) in the side strips of the screen, where no figure ever draws: a figure
    stays within the square around its base circle, whose radius is half the shorter side, so on
    640 x 480 the 64 columns at either edge stay black while the saver covers the screen (the figure
    itself may well be drawn in white)."""
    margin = (image.width - image.height) // 2 - 16
    strips = [image.crop((0, 0, margin, image.height)), image.crop((image.width - margin, 0, image.width, image.height))]
    return sum(fraction_of(strip, WHITE) for strip in strips) / len(strips)


def changed_fraction(first, second):
    from PIL import ImageChops
    difference = ImageChops.difference(first, second).convert("L").point(lambda v: 255 if v else 0)
    return difference.histogram()[255] / (first.width * first.height)


def non_black_fraction(image):
    return 1.0 - fraction_of(image, (0, 0, 0))
