"""An Xorg server with the dummy driver and monitors of different sizes side by side, which Xvfb
cannot give (its +xinerama heads all sit at 0,0). Xorg needs root; it reads no input devices."""

import os
import subprocess
import tempfile
from pathlib import Path

from support import CEILING, start_x_server, stop_process, wait_until

CONFIG = """\
Section "ServerFlags"
  Option "AutoAddDevices" "false"
  Option "AutoEnableDevices" "false"
  Option "DontVTSwitch" "true"
EndSection
Section "Device"
  Identifier "dummy"
  Driver "dummy"
  VideoRam {video_ram}
  Option "VirtualHeads" "{heads}"
EndSection
Section "Monitor"
  Identifier "m"
  HorizSync 5-1000
  VertRefresh 5-200
EndSection
Section "Screen"
  Identifier "s"
  Device "dummy"
  Monitor "m"
  DefaultDepth 24
  SubSection "Display"
    Depth 24
    Virtual {width} {height}
  EndSubSection
EndSection
"""


def usable():
    """Why Xorg's dummy driver cannot run here, or None."""
    if os.geteuid() != 0:
        return "Xorg's dummy driver needs root"
    if not Path("/usr/lib/xorg/modules/drivers/dummy_drv.so").exists():
        return "Xorg's dummy driver is not installed (xserver-xorg-video-dummy)"
    return None


def _modeline(width, height):
    """A 60 Hz mode of that size; the config's monitor takes any timing."""
    htotal, vtotal = width + 160, height + 30
    return [f"{htotal * vtotal * 60 / 1e6:.2f}", width, width + 48, width + 80, htotal,
            height, height + 3, height + 6, vtotal, "+hsync", "+vsync"]


class Xorg:
    """Monitors given as (x, y, width, height) in X's coordinates, the first one primary."""

    def __init__(self, monitors):
        self.monitors = monitors
        width = max(x + w for x, y, w, h in monitors)
        height = max(y + h for x, y, w, h in monitors)
        self.folder = tempfile.TemporaryDirectory(prefix="tarvelimunde-xorg-")
        config = Path(self.folder.name) / "xorg.conf"
        config.write_text(CONFIG.format(heads=len(monitors), width=width, height=height,
                                        video_ram=max(16384, width * height * 4 // 1024 + 4096)))
        try:
            # -sharevts: stays off the console's VT switching.
            self.process, self.name = start_x_server(
                ["Xorg", "-config", str(config), "-noreset", "-nolisten", "tcp", "-sharevts", "-novtswitch",
                 "-logfile", str(Path(self.folder.name) / "xorg.log")], "Xorg")
        except RuntimeError:
            self.folder.cleanup()
            raise
        try:
            self._lay_out()
        except Exception:
            self.stop()
            raise

    def _xrandr(self, *args):
        return subprocess.run(["xrandr", *map(str, args)], env=dict(os.environ, DISPLAY=self.name), check=True,
                              timeout=CEILING, text=True, stdout=subprocess.PIPE, stderr=subprocess.PIPE).stdout

    def _lay_out(self):
        layout = []
        for index, (x, y, width, height) in enumerate(self.monitors):
            output, mode = f"DUMMY{index}", f"{width}x{height}_tarvelimunde"
            self._xrandr("--newmode", mode, *_modeline(width, height))
            self._xrandr("--addmode", output, mode)
            layout += ["--output", output, "--mode", mode, "--pos", f"{x}x{y}"] + (["--primary"] if index == 0 else [])
        self._xrandr(*layout)
        # Wine reads the current resources only, without probing the outputs, and those may show one
        # monitor until a full query has probed them.
        wanted = [f"DUMMY{index} connected {'primary ' if index == 0 else ''}{w}x{h}+{x}+{y}"
                  for index, (x, y, w, h) in enumerate(self.monitors)]
        def laid_out():
            self._xrandr("--query")
            current = self._xrandr("--current")
            return all(line in current for line in wanted)
        wait_until(laid_out, interval=0.2, what="the monitors' layout")

    def stop(self):
        stop_process(self.process)
        self.folder.cleanup()
