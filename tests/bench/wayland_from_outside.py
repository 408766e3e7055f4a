"""tarvelimunde-wayland watched from outside on a 1920 x 1080 output of headless sway (pixman), one sway
for each seed, side by side: the time from its start to its first frame (the first capture of the output's
first pixel without sway's background, which the first frame covers whole: an upper bound), its CPU time and sway's over SECONDS from /proc/PID/stat,
and its working set (VmRSS) at the first frame and after SECONDS.

    wayland_from_outside.py CLIENT SECONDS SEED...
"""

import subprocess
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
from support import Sway, cpu_seconds, resident_kib, stop_process, wait_until  # noqa: E402

GREEN = "#3c8d2f"


def main(client, seconds, seeds):
    runs = []
    try:
        for seed in seeds:
            sway = Sway(((1920, 1080),), GREEN)
            runs.append(dict(seed=seed, sway=sway))
            began = time.monotonic()
            run = runs[-1]
            run["process"] = subprocess.Popen([client, "--seed", str(seed)], env=sway.env())
            wait_until(lambda: sway.run("grim", "-g", "0,0 1x1", "-t", "ppm", "-")[-3:] != bytes.fromhex(GREEN[1:]),
                       interval=0.001, what=f"the first frame of seed {seed}")
            run["first"] = time.monotonic() - began
            run["rss"] = resident_kib(run["process"].pid)
            run["cpu"] = cpu_seconds(run["process"].pid), cpu_seconds(sway.process.pid), time.monotonic()
        time.sleep(seconds)
        for run in runs:
            client_cpu, sway_cpu, began = run["cpu"]
            elapsed = time.monotonic() - began
            pid = run["process"].pid
            print(f"seed {run['seed']}: client {(cpu_seconds(pid) - client_cpu) / elapsed * 100:.2f} % of a core, "
                  f"sway {(cpu_seconds(run['sway'].process.pid) - sway_cpu) / elapsed * 100:.2f} %, first frame "
                  f"within {run['first'] * 1000:.0f} ms, VmRSS {run['rss']} KiB at it and {resident_kib(pid)} KiB "
                  f"after {elapsed:.0f} s")
    finally:
        for run in runs:
            if "process" in run:
                stop_process(run["process"])
            run["sway"].stop()


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    main(sys.argv[1], float(sys.argv[2]), [int(s) for s in sys.argv[3:]])
