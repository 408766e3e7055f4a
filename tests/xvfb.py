"""What the Python tests and benchmarks share: an Xvfb server on a display
number of its own choosing, and waiting on a condition instead of a time."""

import os
import subprocess
import time


def start_xvfb(width, height, depth, *extra):
    """Starts Xvfb on a free display; returns the process and the display's name."""
    read_end, write_end = os.pipe()
    # -noreset: the screen keeps what was drawn when the last client goes.
    process = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x{depth}",
         "-nolisten", "tcp", "-noreset", *extra],
        pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as reader:
        number = reader.readline().strip()
    if not number:
        process.kill()
        process.wait()
        raise RuntimeError("Xvfb did not start")
    return process, f":{number}"


def wait_until(condition, timeout, interval=0.05, what="condition"):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise TimeoutError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)
