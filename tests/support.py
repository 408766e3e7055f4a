"""What the Python tests and benchmarks share, each written once: the one time budget of every wait, an
X screen (Xvfb, Xorg) on a display number of its own choosing, a headless sway, waiting on a condition
instead of a time, pixel differences, the replay tool's still, a process's CPU time and memory from /proc,
and the screenshot folder."""

import io
import json
import os
import shutil
import signal
import subprocess
import tempfile
import time
from contextlib import contextmanager
from pathlib import Path

import xwd

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
# The ceiling of every wait for something to happen (a window appears or comes to the front, a process
# ends, a picture is drawn): a wait ends as soon as its condition holds, so a long one costs nothing when
# things work. 120 s is four times the slowest such wait met (a 32-bit start under qemu beside the whole
# second round of the tests took over 15 s, on a machine that ran at half the usual speed).
# TARVELIMUNDE_TIME_SCALE scales it, and with it ctest's limits.
TIME_SCALE = float(os.environ.get("TARVELIMUNDE_TIME_SCALE") or 1)
CEILING = 120 * TIME_SCALE


def start_x_server(command, what):
    """Starts an X server on a free display (-displayfd); returns the process and the display's name."""
    read_end, write_end = os.pipe()
    process = subprocess.Popen([command[0], "-displayfd", str(write_end), *command[1:]],
                               pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as reader:
        number = reader.readline().strip()
    if not number:
        process.kill()
        process.wait()
        raise RuntimeError(f"{what} did not start")
    return process, f":{number}"


def start_xvfb(width, height, depth, *extra):
    """Starts Xvfb on a free display; returns the process and the display's name."""
    # -noreset: the screen keeps what was drawn when the last client goes.
    return start_x_server(["Xvfb", "-screen", "0", f"{width}x{height}x{depth}", "-nolisten", "tcp", "-noreset",
                           *extra], "Xvfb")


def stop_process(process, timeout=CEILING):
    """SIGTERM, and SIGKILL when that is not enough; an Xvfb server or any other child."""
    if process.poll() is None:
        process.terminate()
    try:
        process.wait(timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def wait_until(condition, timeout=None, interval=0.05, what="condition", seen=None):
    """The condition's first true value. A wait that runs out says what it saw: seen() where given, else
    the condition's last answer."""
    timeout = CEILING if timeout is None else timeout
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout:g} s waiting for {what}; saw {seen() if seen else repr(value)}")
        time.sleep(interval)


class XScreen:
    """An X screen for a test: Xvfb of one size and depth, or Xorg with monitors side by side, each
    (x, y, width, height), the primary first. framebuffer: Xvfb keeps its screen in a file, which a
    capture reads in the installed colormap's colours without asking the server."""

    def __init__(self, width=None, height=None, depth=24, monitors=None, root=None, framebuffer=False, extra=()):
        self.depth, self.folder, self.server = depth, None, None
        if monitors:
            from xorg import Xorg
            self.server = Xorg(monitors)
            self.process, self.name = self.server.process, self.server.name
        else:
            if framebuffer:
                self.folder = tempfile.TemporaryDirectory(prefix="tarvelimunde-x-")
                extra = ("-fbdir", self.folder.name, *extra)
            self.process, self.name = start_xvfb(width, height, depth, *extra)
        self.monitors = monitors or [(0, 0, width, height)]
        if root:
            self.run("xsetroot", "-solid", root)

    def env(self, **extra):
        env = dict(os.environ, DISPLAY=self.name)
        env.pop("XSCREENSAVER_WINDOW", None)
        return dict(env, **extra)

    def run(self, *command):
        """What an X client run on this screen printed."""
        return subprocess.run(list(map(str, command)), env=self.env(), check=True, timeout=CEILING,
                              stdout=subprocess.PIPE).stdout

    def xdotool(self, *args):
        return self.run("xdotool", *args).decode()

    def pointer(self):
        """Where the pointer stands, as (x, y)."""
        found = dict(line.split("=", 1) for line in self.xdotool("getmouselocation", "--shell").split())
        return int(found["X"]), int(found["Y"])

    def place_pointer(self, x, y):
        """The pointer moved to x, y, and seen there."""
        self.xdotool("mousemove", x, y)
        wait_until(lambda: self.pointer() == (x, y), what=f"the pointer at {x},{y}", seen=self.pointer)

    def capture(self, window=None):
        """The screen (or a window) as shown, in RGB, and its raw pixel values at 8 bits (else None)."""
        if self.folder and window is None:
            return xwd.read_file(Path(self.folder.name) / "Xvfb_screen0")
        return xwd.read(self.run("xwd", "-silent", *(["-id", window] if window else ["-root"])))

    def screenshot(self, path):
        """The screen saved as PNG, and returned in RGB."""
        image = self.capture()[0]
        image.save(path)
        return image

    def monitor(self, image, index):
        x, y, width, height = self.monitors[index]
        return image.crop((x, y, x + width, y + height))

    def await_window(self, name="Tarvelimunde"):
        """The id of the first window of that name, once there is one."""
        return wait_until(lambda: subprocess.run(["xdotool", "search", "--name", f"^{name}$"], env=self.env(),
                                                 text=True, timeout=CEILING, stdout=subprocess.PIPE).stdout.split(),
                          what=f"a window named {name}")[0]

    def stop(self):
        if self.server:
            self.server.stop()
        else:
            stop_process(self.process)
        if self.folder:
            self.folder.cleanup()


class Sway:
    """A headless sway for a test: outputs (width, height) side by side from the left, HEADLESS-1 first, on
    a solid background, and no input devices. pointer: the path of tarvelimunde-test-pointer (tests/wayland;
    TREE/tests/wayland/tarvelimunde-test-pointer in a built tree), for pointer(); with it the seat has a
    pointer from the start, whose cursor sway draws, into captures too, where no client hides it."""

    def __init__(self, outputs=((1024, 768),), background="#3c8d2f", pointer=None):
        from PIL import ImageColor
        self.pointer_program, self.holder = pointer, None
        self.folder = tempfile.TemporaryDirectory(prefix="tarvelimunde-sway-")
        self.home = Path(self.folder.name)
        self.base = {"PATH": "/usr/bin:/bin", "HOME": self.folder.name, "XDG_RUNTIME_DIR": str(self.home / "run")}
        # sway 1.7 refuses to run as root; as nobody, it reads the config here and owns its runtime folder.
        self.home.chmod(0o755)
        (self.home / "run").mkdir(mode=0o700)
        shutil.chown(self.home / "run", "nobody", "nogroup")
        x, config = 0, ["xwayland disable"]
        for index, (width, height) in enumerate(outputs, 1):
            config.append(f"output HEADLESS-{index} resolution {width}x{height} position {x} 0 "
                          f"bg {background} solid_color")
            x += width
        (self.home / "sway.conf").write_text("\n".join(config) + "\n")
        env = dict(self.base, WLR_BACKENDS="headless", WLR_RENDERER="pixman", WLR_LIBINPUT_NO_DEVICES="1",
                   WLR_HEADLESS_OUTPUTS=str(len(outputs)))
        with open(self.home / "sway.log", "wb") as log:
            self.process = subprocess.Popen(["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups", "--",
                                             "sway", "-c", self.home / "sway.conf"], env=env,
                                            stdin=subprocess.DEVNULL, stdout=log, stderr=log)
        try:
            self.display = self._await(lambda: self._socket("wayland-*"), "the Wayland socket").name
            self.ipc = str(self._await(lambda: self._socket("sway-ipc.*.sock"), "the IPC socket"))
            wanted = [(f"HEADLESS-{index}", *size) for index, size in enumerate(outputs, 1)]
            self._await(lambda: self._listed() == wanted, f"the outputs {wanted}", self._listed)
            # swaybg paints a moment after the outputs are there.
            colour = ImageColor.getrgb(background)
            self._await(lambda: all(self.capture(name).getcolors(1) == [(w * h, colour)] for name, w, h in wanted),
                        f"{background} on every output", lambda: [self.capture(o[0]).getcolors(2) for o in wanted])
            if pointer:
                # Held for the whole run: a client finds a pointer in the seat as it starts, and none of
                # pointer()'s runs takes the seat's last one away.
                self.holder = subprocess.Popen([pointer, "hold"], env=self.env(), stdin=subprocess.PIPE)
                self._await(lambda: '"type": "pointer"' in self.swaymsg("-t", "get_inputs", "-r"), "the held pointer",
                            lambda: self.swaymsg("-t", "get_inputs", "-r"))
        except Exception:
            self.stop()
            raise

    def _socket(self, pattern):
        return next((path for path in (self.home / "run").glob(pattern) if path.is_socket()), None)

    def _await(self, condition, what, seen=None):
        """wait_until, cut short by the end of sway (its log then says why) or of the held pointer."""
        def alive_and():
            for process in filter(None, (self.process, self.holder)):
                if process.poll() is not None:
                    raise RuntimeError(f"{process.args} ended with {process.returncode} waiting for {what}; sway's "
                                       "log: " + (self.home / "sway.log").read_text(errors="replace")[-2000:])
            return condition()
        return wait_until(alive_and, what=what, seen=seen)

    def _listed(self):
        return [(o["name"], o["current_mode"]["width"], o["current_mode"]["height"]) for o in self.outputs()]

    def env(self, **extra):
        """A client's environment: nothing of the test's but the sanitizers' options."""
        kept = {name: os.environ[name] for name in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS")
                if name in os.environ}
        return dict(self.base, WAYLAND_DISPLAY=self.display, SWAYSOCK=self.ipc, **kept, **extra)

    def run(self, *command):
        """What a client run on this sway printed."""
        return subprocess.run(list(map(str, command)), env=self.env(), check=True, timeout=CEILING,
                              stdout=subprocess.PIPE).stdout

    def swaymsg(self, *args):
        return self.run("swaymsg", *args).decode()

    def outputs(self):
        return json.loads(self.swaymsg("-t", "get_outputs", "-r"))

    def capture(self, output):
        """An output as shown, in RGB."""
        from PIL import Image
        return Image.open(io.BytesIO(self.run("grim", "-o", output, "-"))).convert("RGB")

    def key(self, name="q"):
        # -s 700: wtype's keyboard is new to the seat, and a client takes a moment to take it up.
        self.run("wtype", "-s", "700", name)

    def pointer(self, *actions):
        """at X Y W H (within W x H, the whole layout), by DX DY, click: in order, each done before the next."""
        self.run(self.pointer_program, *actions)

    def add_output(self):
        """The name of a new headless output, once sway lists it."""
        def names():
            return [o["name"] for o in self.outputs()]
        before = names()
        self.swaymsg("create_output")
        return self._await(lambda: next((name for name in names() if name not in before), None), "a new output", names)

    def stop(self):
        """Ends sway and waits for what ran on it to end too: swaybg, which sway forks twice (so that this
        process cannot wait for it), and any client left running, both of which end with the display."""
        if self.holder:
            self.holder.stdin.close()
            stop_process(self.holder)
        stop_process(self.process)

        def ours():
            return carrying("XDG_RUNTIME_DIR", self.home / "run")
        wait_until(lambda: not ours(), what="the end of what ran on sway", seen=lambda: list(map(command_line, ours())))
        self.folder.cleanup()


def steady(screen):
    """A capture of the screen equal to the one after it: the X server has done what a stopped client
    sent."""
    looks = [screen.capture()]

    def settled():
        looks.append(screen.capture())
        return looks[-1] if differing(looks[-2][0], looks[-1][0]) == 0 else None
    return wait_until(settled, interval=0, what="a capture that stays")


@contextmanager
def stopped(pid):
    """The process stopped (SIGSTOP) for a while, so that no frame is torn."""
    assert command_line(pid), "it has ended"
    os.kill(pid, signal.SIGSTOP)
    try:
        yield
    finally:
        os.kill(pid, signal.SIGCONT)


def differing(expected, got):
    """How many pixels of two RGB images differ, by any amount in any channel; all of them when the
    sizes do."""
    from PIL import ImageChops
    if expected.size != got.size:
        return expected.size[0] * expected.size[1]
    red, green, blue = ImageChops.difference(expected, got).split()
    difference = ImageChops.lighter(ImageChops.lighter(red, green), blue).point(lambda v: 255 if v else 0)
    return difference.histogram()[255]


def replay_png(replay, folder, seed, size, ticks):
    """The replay tool's still (`--png`) of that seed, size and tick count, in RGB."""
    from PIL import Image
    path = Path(folder) / f"replay-{seed}-{size[0]}x{size[1]}-{ticks}.png"
    subprocess.run([str(replay), "--seed", str(seed), "--size", f"{size[0]}x{size[1]}", "--ticks", str(ticks),
                    "--png", str(path)], check=True, timeout=CEILING)
    with Image.open(path) as image:
        return image.convert("RGB")


def pixels_of(image, colour):
    """How many pixels have that colour. An image has no more colours than pixels, and Pillow sizes its
    count by the bound given: 1 << 24 costs a tenth of a second a call."""
    histogram = dict((rgb, count) for count, rgb in image.getcolors(maxcolors=image.width * image.height))
    return histogram.get(colour, 0)


def changed_fraction(first, second):
    """The share of pixels that differ."""
    return differing(first, second) / (first.width * first.height)


def cpu_seconds(pid):
    """User and system time of the process so far."""
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS


def resident_kib(pid):
    """The process's working set (VmRSS)."""
    for line in Path(f"/proc/{pid}/status").read_text().splitlines():
        if line.startswith("VmRSS:"):
            return int(line.split()[1])
    return 0


def command_line(pid):
    """The process's arguments, the program first; empty once it has gone."""
    try:
        return [a.decode(errors="replace") for a in Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0") if a]
    except OSError:
        return []


def running_pids():
    return [int(entry.name) for entry in Path("/proc").iterdir() if entry.name.isdigit()]


def carrying(variable, value, but=None):
    """The pids of the processes started with variable=value in their environment (a zombie has none), but
    those for which but(pid) holds."""
    mark = f"{variable}={value}".encode()
    pids = []
    for pid in running_pids():
        try:
            if not (but and but(pid)) and mark in Path(f"/proc/{pid}/environ").read_bytes().split(b"\0"):
                pids.append(pid)
        except OSError:
            pass
    return pids


def prefix_programs(prefix):
    """The pids of the Windows programs that run in this Wine prefix, Wine's own services among them:
    every process with this prefix but its server. (Where qemu runs 32-bit programs, it is their
    executable, so the loader cannot be told by that.)"""
    return carrying("WINEPREFIX", prefix,
                    but=lambda pid: os.path.basename(os.readlink(f"/proc/{pid}/exe")).startswith("wineserver"))


def prefix_program(prefix, name, unlike=None):
    """The pid of the program of this Wine prefix whose command line names name (a .scr) and not
    unlike (the one that started it, say), or None."""
    def names(pid, part):
        return any(part in argument for argument in command_line(pid))
    return next((pid for pid in prefix_programs(prefix) if names(pid, name) and not (unlike and names(pid, unlike))), None)


try:
    import pytest
except ImportError:  # the benchmarks run without pytest
    pytest = None

if pytest:
    @pytest.fixture
    def screenshots(tmp_path):
        """Where a test leaves its screenshots; TARVELIMUNDE_SHOTS keeps them after the run."""
        keep = os.environ.get("TARVELIMUNDE_SHOTS")
        folder = Path(keep) if keep else tmp_path / "shots"
        folder.mkdir(parents=True, exist_ok=True)
        return folder
