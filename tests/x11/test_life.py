"""Life cycle: signals end it at once and cleanly, a window of another client is drawn into and
its end ends the module, its own window closes as a window manager asks, a display without MIT-SHM
gets the same picture, and a fault on the way is said and fails it."""

import os
import signal
import subprocess
from pathlib import Path

import pytest
import Xlib.display
import Xlib.protocol.event

import harness

# The system call in which the module waits for its next tick, events and signals (x86_64's ppoll;
# Xlib's own waits are poll).
PPOLL = "271"


def segments_of(pid):
    """Shared memory segments the process made that still exist."""
    with open("/proc/sysvipc/shm") as table:
        header = table.readline().split()
        rows = [dict(zip(header, line.split())) for line in table]
    return [row for row in rows if row["cpid"] == str(pid)]


def stopped_between_ticks(module):
    """The module stopped where it waits between two ticks; a stop that came while it drew is let go."""
    def stop():
        os.kill(module.pid, signal.SIGSTOP)
        harness.wait_until(lambda: Path(f"/proc/{module.pid}/stat").read_text().rsplit(")", 1)[1].split()[0] == "T",
                           interval=0.001, what="the module stopped")
        return Path(f"/proc/{module.pid}/syscall").read_text().split()[0] == PPOLL or os.kill(module.pid, signal.SIGCONT)
    harness.wait_until(stop, interval=0.1, what="the module stopped between two ticks")


@pytest.mark.parametrize("depth", [24, 8])
@pytest.mark.parametrize("which", [signal.SIGTERM, signal.SIGINT], ids=["SIGTERM", "SIGINT"])
def test_a_signal_ends_it_before_it_draws_again_with_the_segment_gone(screens, modules, depth, which):
    """Measured by the module's own progress: a tick a second, and not one more once the signal is there.
    At 8 bits its pixel values are compared: the colormap it installed goes with it."""
    screen = screens(640, 480, depth)
    module = modules(screen, "--root", *(["--install"] if depth == 8 else []), "--rate", 1)
    harness.wait_until(lambda: screen.capture()[0].getbbox() is not None, what="a drawing")
    assert segments_of(module.pid), "frames go through MIT-SHM"
    stopped_between_ticks(module)
    module.send_signal(which)
    before = harness.steady(screen)
    os.kill(module.pid, signal.SIGCONT)
    module.wait(harness.CEILING)
    after = harness.steady(screen)
    assert (after[1] or after[0].tobytes()) == (before[1] or before[0].tobytes()), "it drew again after the signal"
    assert (module.returncode, module.stderr.read()) == (0, "")
    assert segments_of(module.pid) == []


def test_window_id_wins_and_the_window_going_ends_it(screens, modules, tmp_path):
    screen = screens(800, 600, 24)
    host = modules(screen, "--window", "--ticks", 0)
    window = screen.await_window()
    root = subprocess.run(["xwininfo", "-root"], env=screen.env(), text=True,
                          stdout=subprocess.PIPE).stdout.split("Window id: ")[1].split()[0]
    guest = modules(screen, "--root", "--window-id", window, "--seed", 4, "--ticks", 800,
                    env=screen.env(XSCREENSAVER_WINDOW=root))
    expected = harness.replay(tmp_path, 4, (640, 480), 800)
    harness.wait_until(lambda: harness.differing(expected, screen.capture(window)[0]) == 0,
                       what="the still in the other window")
    whole, _ = screen.capture()
    assert whole.crop((640, 0, 800, 600)).getbbox() is None and whole.crop((0, 480, 640, 600)).getbbox() is None
    host.send_signal(signal.SIGTERM)
    guest.wait(harness.CEILING)
    assert (guest.returncode, guest.stderr.read()) == (0, "")
    assert harness.end(host) == (0, "")


def test_without_mit_shm_the_still_is_the_same(screens, modules, tmp_path):
    screen = screens(400, 300, 24, extra=["-extension", "MIT-SHM"])
    module = modules(screen, "--root", "--seed", 11, "--ticks", 3000)
    expected = harness.replay(tmp_path, 11, (400, 300), 3000)
    harness.wait_until(lambda: harness.differing(expected, screen.capture()[0]) == 0, what="the still")
    assert segments_of(module.pid) == []
    assert harness.end(module) == (0, "")


def send_close(screen, window, message_type):
    """WM_DELETE_WINDOW as the first datum of a client message of that type, as a window manager sends it."""
    connection = Xlib.display.Display(screen.name)
    target = connection.create_resource_object("window", int(window))
    data = [connection.intern_atom("WM_DELETE_WINDOW"), 0, 0, 0, 0]
    target.send_event(Xlib.protocol.event.ClientMessage(window=target, client_type=connection.intern_atom(message_type),
                                                        data=(32, data)))
    connection.sync()
    connection.close()


def test_its_own_window_closes_on_wm_protocols_alone(screens, modules):
    screen = screens(640, 480, 24)
    module = modules(screen, "--window")
    window = screen.await_window()
    send_close(screen, window, "TARVELIMUNDE_OTHER")
    looks = [screen.capture(window)[0]]

    def drawn_twice_more_or_ended():
        if module.poll() is not None:
            return True
        look = screen.capture(window)[0]
        if harness.differing(looks[-1], look):
            looks.append(look)
        return module.poll() is not None or len(looks) > 2
    harness.wait_until(drawn_twice_more_or_ended, what="two more frames after a message of another type")
    assert module.poll() is None, "a message of another type closed it"
    send_close(screen, window, "WM_PROTOCOLS")
    module.wait(harness.CEILING)
    assert (module.returncode, module.stderr.read()) == (0, "")


@pytest.mark.parametrize("fault, size, said", [
    (["strace", "-o", "/dev/null", "-e", "trace=signalfd4", "-e", "inject=signalfd4:error=EMFILE"], (320, 240),
     "cannot read SIGTERM and SIGINT: Too many open files"),
    (["prlimit", f"--as={48 << 20}"], (4096, 4096), "no memory for an image of 4096x4096"),
], ids=["no descriptor for the signals", "no memory for the image"])
def test_a_fault_is_said_in_one_line_and_fails_it(screens, fault, size, said):
    screen = screens(*size, 24)
    ended = subprocess.run([*fault, str(harness.MODULE), "--root"], env=screen.env(), text=True,
                           stdout=subprocess.PIPE, stderr=subprocess.PIPE, timeout=harness.CEILING)
    assert (ended.returncode, ended.stderr) == (1, f"tarvelimunde: {said}\n")
