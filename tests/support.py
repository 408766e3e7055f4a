"""What the Python tests and benchmarks share, each written once: an X server (Xvfb, Xorg) on a display
number of its own choosing and its end, waiting on a condition instead of a time, pixel
differences, the replay tool's still, a process's CPU time and memory from /proc, and the screenshot folder."""

import os
import subprocess
import time
from pathlib import Path

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


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


def stop_process(process, timeout=5):
    """SIGTERM, and SIGKILL when that is not enough; an Xvfb server or any other child."""
    if process.poll() is None:
        process.terminate()
    try:
        process.wait(timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def wait_until(condition, timeout, interval=0.05, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


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
                    "--png", str(path)], check=True, timeout=60)
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


def parent_pid(pid):
    return int(Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()[1])


def command_line(pid):
    """The process's arguments, the program first; empty once it has gone."""
    try:
        return [a.decode(errors="replace") for a in Path(f"/proc/{pid}/cmdline").read_bytes().split(b"\0") if a]
    except OSError:
        return []


def running_pids():
    return [int(entry.name) for entry in Path("/proc").iterdir() if entry.name.isdigit()]


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
