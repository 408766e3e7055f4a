"""A shipped .scr watched from outside while it runs full screen under Wine: the time
from the start command to the first drawn pixel (screenshots of a black-rooted display
of 8 or 24 bits), its CPU time from /proc/PID/stat and its working set (VmRSS) from
/proc/PID/status.

    scr_from_outside.py WINE SCR SECONDS STARTS [MEASURED]

Start-up is the median of STARTS starts; the last MEASURED of them (1 by default) also
run SECONDS each for the CPU time, each with a seed of its own (the start's second), and
the last one gives the working set at its first drawing, half way and at the end.

WINEPREFIX and DISPLAY come from the environment; the wineserver should already run, so
that its start-up is not counted. Prints "key value..." lines."""

import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
import xwd  # noqa: E402
from support import CEILING, cpu_seconds, prefix_program, resident_kib  # noqa: E402


def drawn(display):
    """True once the screen holds a pixel that is not black (the root is black)."""
    dump = subprocess.run(["xwd", "-root", "-silent", "-display", display], check=True,
                          stdout=subprocess.PIPE, timeout=CEILING).stdout
    return xwd.read(dump)[0].getbbox() is not None


def run(wine, scr, display, seconds, away):
    """Starts the saver, waits for its first drawing, and returns the milliseconds that
    took, with CPU and working set over the given seconds (when not 0). A mouse move
    by `away` pixels ends it. The pointer must not move before the start: Wine would
    still know it where it was, and the first move event would end the saver."""
    started = time.monotonic()
    saver = subprocess.Popen([wine, scr, "/s"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        while not drawn(display):
            if saver.poll() is not None or time.monotonic() - started > 60:
                raise SystemExit("the saver drew nothing")
        first_ms = (time.monotonic() - started) * 1000
        figures = None
        if seconds:
            # This script runs in the prefix's environment too, with the .scr among its arguments.
            pid = prefix_program(os.environ["WINEPREFIX"], Path(scr).name, unlike=Path(__file__).name)
            if pid is None:
                raise SystemExit("no process of the saver found")
            cpu_start, resident = cpu_seconds(pid), [resident_kib(pid)]
            measured = time.monotonic()
            time.sleep(seconds / 2)
            resident.append(resident_kib(pid))
            time.sleep(seconds / 2)
            cpu_end = cpu_seconds(pid)
            resident.append(resident_kib(pid))
            figures = ((cpu_end - cpu_start) * 1000 / (time.monotonic() - measured), resident)
        # A mouse move ends it as a user's would; the screen is black again once it is gone.
        subprocess.run(["xdotool", "mousemove_relative", "--", str(away), str(away)], check=True)
        saver.wait(CEILING)
        # Its window may outlive the process for a moment; the next start would
        # find it and only bring it forward.
        deadline = time.monotonic() + 30
        while drawn(display) and time.monotonic() < deadline:
            time.sleep(0.1)
        return first_ms, figures
    finally:
        if saver.poll() is None:
            saver.kill()
            saver.wait()


def main():
    wine, scr, seconds, starts = sys.argv[1], sys.argv[2], float(sys.argv[3]), int(sys.argv[4])
    measured = int(sys.argv[5]) if len(sys.argv) > 5 else 1
    display = os.environ["DISPLAY"]
    times, cpu, seeds = [], [], []
    for start in range(starts):
        seed = int(time.time())
        first_ms, figures = run(wine, scr, display, seconds if start >= starts - measured else 0,
                                40 if start % 2 else -40)
        times.append(first_ms)
        if figures:
            cpu.append(figures[0])
            seeds.append(seed)
            resident = figures[1]
    print(f"first_drawing_ms {statistics.median(times):.0f} {min(times):.0f} {max(times):.0f}")
    print(f"cpu_ms_per_second {statistics.median(cpu):.1f}")
    print("cpu_ms_per_second_each", *(f"{value:.1f}" for value in cpu))
    print("seeds", *seeds)
    print("vmrss_kib", *resident)


main()
