"""XScreenSaver's daemon and settings program as the module's host, run as a throwaway system user."""

import os
import pwd
import secrets
import shutil
import signal
import subprocess
import tempfile
from pathlib import Path

import pytest

import harness
import support


def require_root_and_daemon():
    if os.geteuid() != 0:
        pytest.skip("the daemon will not start a module as root, and a throwaway user needs root to make")
    for program in ("xscreensaver", "xscreensaver-command", "xscreensaver-settings", "useradd", "runuser"):
        if shutil.which(program) is None:
            pytest.skip(f"{program} is missing")


class User:
    """A system user with a home of its own holding .xscreensaver; removed again by remove()."""

    def __init__(self, module=harness.MODULE, command=None):
        self.name = "tvm-x11-" + secrets.token_hex(4)
        subprocess.run(["useradd", "--system", "--user-group", "--no-create-home", "--home-dir", "/nonexistent",
                        "--shell", "/usr/sbin/nologin", self.name], check=True, timeout=harness.CEILING)
        entry = pwd.getpwnam(self.name)
        self.home = Path(tempfile.mkdtemp(prefix="tarvelimunde-daemon-"))
        os.chmod(self.home, 0o755)
        if command is None:
            # A copy the user can read and run, wherever the build tree is.
            self.module = self.home / "tarvelimunde"
            shutil.copy2(module, self.module)
            command = f"{self.module} --root"
        else:
            self.module = None
        (self.home / ".xscreensaver").write_text(
            "mode: one\nselected: 0\ntimeout: 0:30:00\nlock: False\nsplash: False\n"
            f"fade: False\nunfade: False\nprograms: {command} \\n\n")
        for path in [self.home, *self.home.iterdir()]:
            os.chown(path, entry.pw_uid, entry.pw_gid)
        self.processes = []

    def start(self, screen, *command, wrap=(), log="daemon.log"):
        env = ["env", f"HOME={self.home}", f"DISPLAY={screen.name}", "NO_AT_BRIDGE=1",
               f"PATH={os.environ.get('PATH', '/usr/bin:/bin')}"]
        with open(self.home / log, "w") as output:
            process = subprocess.Popen([*wrap, "runuser", "-u", self.name, "--", *env, *command], stdout=output,
                                       stderr=subprocess.STDOUT, start_new_session=True)
        self.processes.append(process)
        return process

    def log(self, name="daemon.log"):
        return (self.home / name).read_text(errors="replace")

    def remove(self):
        for process in self.processes:
            if process.poll() is None:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait(harness.CEILING)
        # Whatever the user still runs goes before the user does.
        subprocess.run(["pkill", "-KILL", "-u", self.name], timeout=harness.CEILING)
        harness.wait_until(lambda: subprocess.run(["pgrep", "-u", self.name], stdout=subprocess.DEVNULL).returncode
                           != 0, what="the user's processes to end")
        subprocess.run(["userdel", self.name], check=True, timeout=harness.CEILING)
        shutil.rmtree(self.home, ignore_errors=True)


def command(screen, *args):
    return subprocess.run(["xscreensaver-command", *args], env=screen.env(), stdout=subprocess.PIPE,
                          stderr=subprocess.STDOUT, text=True, timeout=harness.CEILING)


def module_pids(name="tarvelimunde"):
    """Processes running the module, by the name their first argument ends in, under another user than
    ours: the daemon's throwaway user, never the modules that suites beside this one run."""
    def others(pid):
        try:
            return Path(f"/proc/{pid}").stat().st_uid != os.geteuid()
        except OSError:
            return False
    return [pid for pid in support.running_pids()
            if others(pid) and Path((support.command_line(pid) or [""])[0]).name == name]


def arguments_of(pid):
    return support.command_line(pid)

