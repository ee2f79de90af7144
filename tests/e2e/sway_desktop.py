"""A headless sway desktop with the real program on it: keys through its virtual keyboard
(wtype), screenshots through its screen copy (grim), and where each window is from its tree
of windows. It has no pointer: a new window has the keyboard, and menus take keys.

sway refuses to run as root: as root, it and the program run as an unprivileged user in a
private home that user owns. Every process started here is stopped by its process id."""

import json
import os
import pwd
import re
import shutil
import signal
import subprocess
import tempfile
import time

from screenshot import Screenshot
from session_bus import SessionBus

# Floating windows keep the size they ask for, as on any stacking desktop; sway would tile
# them otherwise. No bar; one plain grey behind the windows, which a see-through picture shows.
CONFIG = """\
output * resolution {width}x{height} position 0 0 background #505050 solid_color
for_window [title=".*"] floating enable
focus_follows_mouse no
"""
BACKGROUND = (0x50, 0x50, 0x50)
# A key sent right after wtype's keyboard appears can reach the window before the keyboard's
# map does, and is lost: wtype waits this long (milliseconds) first.
KEY_DELAY_MS = "700"
MODIFIERS = {"ctrl": "ctrl", "alt": "alt", "shift": "shift", "super": "logo"}


def _unprivileged_user():
    """(uid, gid) to run sway and the program as: this user, or nobody when root."""
    if os.geteuid() != 0:
        return os.getuid(), os.getgid()
    nobody = pwd.getpwnam("nobody")
    return nobody.pw_uid, nobody.pw_gid


class SwayDesktop:
    kind = "sway"
    wayland = True
    has_pointer = False  # no pointer device: its clicks reach no window
    panel_height = 0
    shadow = 0

    def __init__(self, build_dir, artefacts, output="software", width=1024, height=768):
        self.build_dir, self.artefacts = build_dir, artefacts
        self.output, self.width, self.height = output, width, height
        self.uid, self.gid = _unprivileged_user()
        self.home = tempfile.mkdtemp(prefix="captivo-e2e-")
        os.chown(self.home, self.uid, self.gid)
        self.runtime = os.path.join(self.home, "run")
        self.sway = self.app = self.app_log = None
        self.ipc = self.bus = None

    def __enter__(self):
        try:
            self._start_compositor()
        except Exception:
            self.__exit__()
            raise
        # The program and the libraries it loads, copied where its user can read them: the
        # build may lie in a folder only root can enter.
        self.program_dir = os.path.join(self.home, "bin")
        os.makedirs(self.program_dir)
        shutil.copy(os.path.join(self.build_dir, "src", "captivo"), self.program_dir)
        for library in ("movix", "vobsub", "hook"):
            shutil.copy(os.path.join(self.build_dir, "libs", library, f"lib{library}.so"), self.program_dir)
        self._give_home_to_user()
        return self

    def __exit__(self, *exc):
        self.stop_program()
        if self.sway and self.sway.poll() is None:
            os.kill(self.sway.pid, signal.SIGTERM)  # stopped by its process id
            try:
                self.sway.wait(10)
            except subprocess.TimeoutExpired:
                os.kill(self.sway.pid, signal.SIGKILL)
                self.sway.wait()
        if self.bus:
            self.bus.stop()
        shutil.rmtree(self.home, ignore_errors=True)

    def _as_user(self, command):
        if (self.uid, self.gid) == (os.getuid(), os.getgid()):
            return command
        return ["setpriv", f"--reuid={self.uid}", f"--regid={self.gid}", "--clear-groups", "--", *command]

    def _give_home_to_user(self):
        """Everything the harness wrote in the home (movies, subtitles) becomes the user's."""
        for folder, folders, files in os.walk(self.home):
            for name in folders + files:
                os.lchown(os.path.join(folder, name), self.uid, self.gid)

    def tool_env(self):
        env = {key: value for key, value in os.environ.items()
               if key not in ("DISPLAY", "WAYLAND_DISPLAY", "SWAYSOCK")}
        env.update(HOME=self.home, XDG_RUNTIME_DIR=self.runtime, XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                   XDG_CACHE_HOME=os.path.join(self.home, "cache"), WAYLAND_DISPLAY="wayland-captivo")
        if self.ipc:
            env["SWAYSOCK"] = self.ipc
        if self.bus:
            env["DBUS_SESSION_BUS_ADDRESS"] = self.bus.address
        return env

    def _start_compositor(self):
        os.makedirs(self.runtime, mode=0o700)
        config = os.path.join(self.home, "sway.config")
        with open(config, "w") as f:
            f.write(CONFIG.format(width=self.width, height=self.height))
        self._give_home_to_user()
        self.bus = SessionBus(self.runtime, self._as_user)
        self.ipc = os.path.join(self.runtime, "sway-ipc.sock")
        env = dict(self.tool_env(), WLR_BACKENDS="headless", WLR_LIBINPUT_NO_DEVICES="1", WLR_RENDERER="pixman")
        env.pop("WAYLAND_DISPLAY")  # sway's own socket: its name comes from sway
        with open(os.path.join(self.home, "sway.log"), "w") as log:
            self.sway = subprocess.Popen(self._as_user(["sway", "--config", config]), env=env,
                                         stdout=log, stderr=subprocess.STDOUT)
        self._wait_for(lambda: self._socket_named(), "the compositor's socket")
        self._wait_for(lambda: self._swaymsg("-t", "get_outputs").returncode == 0, "the compositor")
        self._wait_for(lambda: self._background_drawn(), "the compositor's background")

    def _socket_named(self):
        """sway picks its own socket name (wayland-1 and on) and its IPC socket's: both
        are found in the runtime folder and taken under fixed names."""
        names = os.listdir(self.runtime)
        display = next((n for n in names if n.startswith("wayland-") and not n.endswith(".lock")), None)
        ipc = next((n for n in names if n.startswith("sway-ipc.")), None)
        if self.sway.poll() is not None:
            raise AssertionError(f"sway ended: {open(os.path.join(self.home, 'sway.log')).read()[-2000:]}")
        if not (display and ipc):
            return False
        os.symlink(display, os.path.join(self.runtime, "wayland-captivo"))
        self.ipc = os.path.join(self.runtime, ipc)
        return True

    def _background_drawn(self):
        shot = self.screenshot()
        return shot and shot.pixel(self.width // 2, self.height // 2) == BACKGROUND

    def _wait_for(self, ready, what, timeout=15):
        end = time.time() + timeout
        while time.time() < end:
            if ready():
                return
            time.sleep(0.05)
        raise AssertionError(f"{what} did not start")

    def _run(self, *command):
        return subprocess.run(self._as_user(list(command)), env=self.tool_env(), capture_output=True)

    def _swaymsg(self, *args):
        return self._run("swaymsg", *args)

    def env(self):
        env = dict(self.tool_env(), CAPTIVO_VIDEO_OUTPUT=self.output, QT_QPA_PLATFORM="wayland",
                   LD_LIBRARY_PATH=self.program_dir)
        # The leak checker's suppressions, where the program's user can read them.
        if "LSAN_OPTIONS" in env:
            options = env["LSAN_OPTIONS"].split(":")
            for i, option in enumerate(options):
                if option.startswith("suppressions="):
                    copy = os.path.join(self.home, "lsan.supp")
                    shutil.copy(option.split("=", 1)[1], copy)
                    os.chown(copy, self.uid, self.gid)
                    options[i] = f"suppressions={copy}"
            env["LSAN_OPTIONS"] = ":".join(options)
        return env

    def start_program(self, *args, wait=True, extra_env=None):
        self._give_home_to_user()
        self.app_log = os.path.join(self.home, "captivo.log")
        with open(self.app_log, "w") as log:
            self.app = subprocess.Popen(self._as_user([os.path.join(self.program_dir, "captivo"), *args]),
                                        env=dict(self.env(), **(extra_env or {})), stdout=log,
                                        stderr=subprocess.STDOUT)
        return self.wait_window("^Captivo$", timeout=30) if wait else None

    def stop_program(self, timeout=10):
        if self.app and self.app.poll() is None:
            self.app.terminate()
            try:
                self.app.wait(timeout)
            except subprocess.TimeoutExpired:
                self.app.kill()
                self.app.wait()
        self.app = None

    def program_output(self):
        return open(self.app_log).read()[-4000:] if self.app_log and os.path.exists(self.app_log) else ""

    def _windows(self):
        """Every window in sway's tree: {"name", "rect", "window_rect", "focused", ...}."""
        result = self._swaymsg("-t", "get_tree")
        if result.returncode != 0:
            return []
        found, nodes = [], [json.loads(result.stdout)]
        while nodes:
            node = nodes.pop()
            if node.get("type") in ("con", "floating_con") and node.get("pid"):
                found.append(node)
            nodes += node.get("nodes", []) + node.get("floating_nodes", [])
        return found

    def wait_window(self, name, timeout=10):
        """The id of a window whose title matches `name` (a regular expression)."""
        end = time.time() + timeout
        while time.time() < end:
            for window in self._windows():
                if re.search(name, window.get("name") or ""):
                    return window["id"]
            time.sleep(0.1)
        state = "running" if self.app and self.app.poll() is None else f"ended with {self.app and self.app.returncode}"
        raise AssertionError(f"no window named {name}; the program {state}, its output:\n{self.program_output()}")

    def client_origin(self):
        """Where the main window's own surface lies on the screen, as sway placed it."""
        for window in self._windows():
            if window.get("name") == "Captivo":
                rect, inner = window["rect"], window["window_rect"]
                return rect["x"] + inner["x"], rect["y"] + inner["y"]
        return None

    def keys(self, window, *keys):
        """Presses keys in the window that has the keyboard: a new window has it on sway."""
        self.press(*keys)

    def press(self, *keys):
        """The keys one after another from one virtual keyboard: a menu opened by the
        first stays open for the next (a new keyboard's map would close it)."""
        command = ["wtype", "-s", KEY_DELAY_MS]
        for key in keys:
            *modifiers, name = key.split("+")
            for modifier in modifiers:
                command += ["-M", MODIFIERS[modifier]]
            command += ["-k", name]
            for modifier in reversed(modifiers):
                command += ["-m", MODIFIERS[modifier]]
            command += ["-s", "150"]
        result = self._run(*command)
        assert result.returncode == 0, f"wtype {keys}: {result.stderr.decode()}"

    def screenshot(self, keep_as=None):
        result = self._run("grim", "-t", "ppm", "-")
        if result.returncode != 0:
            return None
        shot = Screenshot.from_ppm(result.stdout)
        if keep_as:
            os.makedirs(self.artefacts, exist_ok=True)
            png = self._run("grim", "-t", "png", "-")
            with open(os.path.join(self.artefacts, keep_as), "wb") as f:
                f.write(png.stdout)
        return shot
