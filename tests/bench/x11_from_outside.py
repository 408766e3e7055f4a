"""The XScreenSaver module watched from outside while it draws on the root window of a
1920 x 1080 Xvfb screen at the default rate: its CPU time and the X server's from
/proc/PID/stat, and its working set (VmRSS) at the first drawing and after SECONDS.

    x11_from_outside.py MODULE SECONDS [SEED...]

Both screens, TrueColor (24 bits) and PseudoColor (8 bits, a colormap of its own), run
side by side. Prints one line of figures for each, for each seed given (figures differ
with the figures' sizes) or once seeded from the clock. With seeds, it also prints what
a TrueColor frame sends, the drawn tiles against their bounding box, counted by
tarvelimunde-drawn-area beside MODULE over as many ticks."""

import os
import subprocess
import sys
import tempfile
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
import xwd  # noqa: E402
from support import cpu_seconds, resident_kib, start_xvfb, stop_process, wait_until  # noqa: E402

def drawn(folder):
    """True once the screen file holds a pixel that is not black (the root is)."""
    return xwd.read_file(Path(folder) / "Xvfb_screen0")[0].getbbox() is not None


WIDTH, HEIGHT, RATE = 1920, 1080, 64


def measure(module, seconds, seed):
    runs = []
    for depth in (24, 8):
        folder = tempfile.mkdtemp(prefix="tarvelimunde-bench-")
        server, display = start_xvfb(WIDTH, HEIGHT, depth, "-fbdir", folder)
        args = [module, "--root"] + (["--install"] if depth == 8 else [])
        if seed is not None:
            args += ["--seed", str(seed)]
        process = subprocess.Popen(args, env=dict(os.environ, DISPLAY=display))
        runs.append(dict(depth=depth, folder=folder, server=server, process=process))
    for run in runs:
        wait_until(lambda: drawn(run["folder"]), what=f"a drawing at {run['depth']} bits")
        run["rss_start"] = resident_kib(run["process"].pid)
        run["cpu_start"] = cpu_seconds(run["process"].pid), cpu_seconds(run["server"].pid), time.monotonic()
    time.sleep(seconds)
    for run in runs:
        module_cpu, server_cpu, began = run["cpu_start"]
        elapsed = time.monotonic() - began
        module_share = (cpu_seconds(run["process"].pid) - module_cpu) / elapsed * 100
        server_share = (cpu_seconds(run["server"].pid) - server_cpu) / elapsed * 100
        print(f"{'' if seed is None else f'seed {seed}, '}{run['depth']} bits: module {module_share:.2f} % of a core, X server {server_share:.2f} %, "
              f"VmRSS {run['rss_start']} KiB at the first drawing, {resident_kib(run['process'].pid)} KiB "
              f"after {elapsed:.0f} s")
    for run in runs:
        began = time.monotonic()
        stop_process(run["process"])
        print(f"{run['depth']} bits: SIGTERM ended the module in {(time.monotonic() - began) * 1000:.1f} ms (goal 100 ms)")
        stop_process(run["server"])
        subprocess.run(["rm", "-rf", run["folder"]])


def main(module, seconds, seeds):
    for seed in seeds or [None]:
        measure(module, seconds, seed)
    areas = Path(module).with_name("tarvelimunde-drawn-area")
    if seeds and areas.exists():
        ticks = int(seconds * RATE)
        subprocess.run([str(areas), str(WIDTH), str(HEIGHT), str(ticks)] + [str(s) for s in seeds], check=True)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1], float(sys.argv[2]), [int(s) for s in sys.argv[3:]])
