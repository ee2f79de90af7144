"""A private desktop with the real program on it, driven as a user would: keys and clicks
through xdotool, and screenshots read back as pixels.

Kinds of desktop here: a bare X server ("xvfb"), an X server with a window manager
("openbox", "mutter"), and a Wayland compositor nested in an X server ("wayland", weston);
sway_desktop.py has a headless Wayland one ("sway"). Every process started here is stopped
by its process id."""

import os
import shutil
import signal
import subprocess
import tempfile
import time

from screenshot import Screenshot
from session_bus import SessionBus

KINDS = ("xvfb", "openbox", "mutter", "wayland")
WINDOW_MANAGERS = {
    "openbox": ["openbox", "--sm-disable"],
    "mutter": ["mutter", "--x11", "--replace", "--sm-disable"],
}


class Desktop:
    def __init__(self, build_dir, artefacts, kind="xvfb", output="software", width=1024, height=768):
        assert kind in KINDS
        self.build_dir, self.artefacts = build_dir, artefacts
        self.kind, self.output = kind, output
        self.wayland = kind == "wayland"
        self.has_pointer = True
        self.width, self.height = width, height
        self.home = tempfile.mkdtemp(prefix="captivo-e2e-")
        self.xvfb = self.session = self.app = self.app_log = None
        self.bus = None
        self.display = None
        self.compositor_window = None
        # The Wayland compositor's panel across the top, where its clock ticks.
        self.panel_height = 32 if kind == "wayland" else 0
        # How far beyond its frame a window manager darkens the desktop around a window.
        self.shadow = 40 if kind == "mutter" else 0

    def __enter__(self):
        try:
            self.bus = SessionBus(self.home)
            self._start_x_server()
            if self.kind in WINDOW_MANAGERS:
                self._start_window_manager()
            elif self.kind == "wayland":
                self._start_compositor()
        except Exception:
            self.__exit__()
            raise
        # The program runs from a folder of its own, so that "set.ini" lands there.
        self.program_dir = os.path.join(self.home, "bin")
        os.makedirs(self.program_dir)
        shutil.copy(os.path.join(self.build_dir, "src", "captivo"), self.program_dir)
        return self

    def __exit__(self, *exc):
        self.stop_program()
        for process in (self.session, self.xvfb):
            if process and process.poll() is None:
                os.kill(process.pid, signal.SIGTERM)  # stopped by its process id
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    os.kill(process.pid, signal.SIGKILL)
                    process.wait()
        if self.bus:
            self.bus.stop()
        shutil.rmtree(self.home, ignore_errors=True)

    def _start_x_server(self):
        # Numbers from 90 on, never a desktop's usual :0. A number another server holds, or
        # takes at the same moment, makes this server exit: the next number is tried. The
        # server is ready once a client can talk to it; it must not reset when that client
        # leaves, or the next one finds no server. (Not -displayfd: under it, the nested
        # compositor never hears where the pointer is.)
        for number in range(90, 190):
            if os.path.exists(f"/tmp/.X{number}-lock"):
                continue
            self.display = f":{number}"
            self.xvfb = subprocess.Popen(
                ["Xvfb", self.display, "-screen", "0", f"{self.width}x{self.height}x24", "-nolisten", "tcp",
                 "-noreset"],
                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            end = time.time() + 15
            while self.xvfb.poll() is None and time.time() < end:
                if subprocess.run(["xdpyinfo"], env=self.tool_env(), capture_output=True).returncode == 0:
                    if self.xvfb.poll() is None:  # ours answered, not a server that won the number
                        return
                time.sleep(0.05)
            if self.xvfb.poll() is None:
                self.xvfb.kill()
            self.xvfb.wait()
        raise AssertionError("the X server did not start")

    def _start_window_manager(self):
        self.session = subprocess.Popen(WINDOW_MANAGERS[self.kind], env=self.tool_env(),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._wait_for(lambda: "window id" in subprocess.run(
            ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=self.tool_env(),
            capture_output=True, text=True).stdout, "the window manager")
        if self.kind == "mutter":  # it draws a background of its own, in its own time
            self._wait_for(self._desktop_drawn, "the window manager's background")

    def _start_compositor(self):
        self.socket = f"captivo-{self.display[1:]}"
        log = os.path.join(self.home, "weston.log")
        self.session = subprocess.Popen(
            ["weston", "--backend=x11-backend.so", "--use-pixman", f"--socket={self.socket}",
             f"--width={self.width}", f"--height={self.height}", "--idle-time=0", f"--log={log}"],
            env=self.tool_env(), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        socket = os.path.join(self.tool_env()["XDG_RUNTIME_DIR"], self.socket)
        self._wait_for(lambda: os.path.exists(socket) and os.path.exists(log) and "window id" in open(log).read(),
                       "the Wayland compositor")
        # The compositor's own window on the X server: its output, and where keys go.
        self.compositor_window = open(log).read().split("window id ")[1].split()[0]
        self._wait_for(self._desktop_drawn, "the compositor's background")
        # The compositor may follow the X pointer by its moves alone, from its own pointer's
        # start in the top-left corner: the X pointer is taken there too, so that both agree.
        self.xdotool("mousemove", "--sync", "0", "0")
        # The X keyboard goes to the compositor before any window is on it: its move there
        # takes the keyboard from the active surface, and at times never gives it back.
        self._keyboard_to_compositor()
        time.sleep(0.2)

    def _desktop_drawn(self):
        """The shell has drawn its shaded background and stopped drawing it: two
        screenshots a moment apart agree below the panel."""
        below_panel = self.panel_height * self.width * 3
        first = self.screenshot().raw[below_panel:]
        time.sleep(0.3)
        second = self.screenshot().raw[below_panel:]
        return first == second and len(set(first[::997])) > 8

    def _wait_for(self, ready, what, timeout=15):
        end = time.time() + timeout
        while time.time() < end:
            if ready():
                return
            time.sleep(0.05)
        raise AssertionError(f"{what} did not start")

    def tool_env(self):
        """The environment of the X tools and the desktop's own processes."""
        env = dict(os.environ, DISPLAY=self.display, HOME=self.home,
                   XDG_RUNTIME_DIR=os.path.join(self.home, "run"), XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                   XDG_CACHE_HOME=os.path.join(self.home, "cache"))
        if self.bus:
            env["DBUS_SESSION_BUS_ADDRESS"] = self.bus.address
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        return env

    def env(self):
        """The program's environment: its video output, and the Wayland display or X."""
        env = dict(self.tool_env(), CAPTIVO_VIDEO_OUTPUT=self.output)
        if self.kind == "wayland":
            env.pop("DISPLAY")
            env.update(WAYLAND_DISPLAY=self.socket, QT_QPA_PLATFORM="wayland")
        else:
            env["QT_QPA_PLATFORM"] = "xcb"
        return env

    def start_program(self, *args, wait=True, extra_env=None):
        self.app_log = os.path.join(self.home, "captivo.log")
        with open(self.app_log, "w") as log:
            self.app = subprocess.Popen([os.path.join(self.program_dir, "captivo"), *args],
                                        env=dict(self.env(), **(extra_env or {})), stdout=log,
                                        stderr=subprocess.STDOUT)
        if wait and self.kind != "wayland":
            return self.wait_window("^Captivo$", timeout=30)
        return None

    def stop_program(self, timeout=10):
        if self.app and self.app.poll() is None:
            self.app.terminate()
            try:
                self.app.wait(timeout)
            except subprocess.TimeoutExpired:
                self.app.kill()
                self.app.wait()
        self.app = None

    def wait_exit(self, timeout=10):
        try:
            return self.app.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.tool_env(), capture_output=True, text=True).stdout

    def wait_window(self, name, timeout=10):
        end = time.time() + timeout
        while time.time() < end:
            ids = [i for i in self.xdotool("search", "--onlyvisible", "--name", name).split() if i]
            if ids:
                return ids[-1]
            time.sleep(0.1)
        state = "running" if self.app and self.app.poll() is None else f"ended with {self.app and self.app.returncode}"
        raise AssertionError(f"no window named {name}; the program {state}, its output:\n{self.program_output()}"
                             f"\n{self._where_things_stand()}")

    def _where_things_stand(self):
        """For a window that never came: what the program's threads wait in, and which
        windows the X server has."""
        threads = []
        if self.app and self.app.poll() is None:
            tasks = f"/proc/{self.app.pid}/task"
            for task in sorted(os.listdir(tasks)):
                try:
                    with open(f"{tasks}/{task}/comm") as comm, open(f"{tasks}/{task}/wchan") as wchan:
                        threads.append(f"{comm.read().strip()}:{wchan.read().strip() or '-'}")
                except OSError:
                    pass  # the thread ended meanwhile
        tree = subprocess.run(["xwininfo", "-root", "-tree"], env=self.tool_env(), capture_output=True,
                              text=True).stdout
        named = [line.strip() for line in tree.splitlines() if '"' in line]
        return (f"threads (name:waiting in): {' '.join(threads)}\n{self._stacks()}named windows:\n" +
                "\n".join(named[:40]))

    def _stacks(self):
        """Where each of the program's threads is, from the debugger, when there is one: a
        wait's kernel function alone does not tell which lock it is."""
        if not (self.app and self.app.poll() is None and shutil.which("gdb")):
            return ""
        try:
            traced = subprocess.run(["gdb", "-p", str(self.app.pid), "-batch", "-nx", "-ex", "set pagination off",
                                     "-ex", "thread apply all bt 25"], capture_output=True, text=True,
                                    timeout=90).stdout
        except subprocess.TimeoutExpired:
            return "stacks: the debugger took too long\n"
        frames = [line for line in traced.splitlines() if line.startswith(("Thread ", "#"))]
        return "stacks:\n" + "\n".join(frames[:400]) + "\n"

    def program_output(self):
        return open(self.app_log).read()[-4000:] if self.app_log and os.path.exists(self.app_log) else ""

    def main_window(self):
        """The main window's id, looked up anew: it changes when the picture panel first
        gets an OpenGL surface."""
        return self.wait_window("^Captivo$")

    def geometry(self, window=None):
        """(x, y, width, height) of a window (the main window by default)."""
        out = self.xdotool("getwindowgeometry", window or self.main_window())
        pos = out.split("Position: ")[1].split(" ")[0].split(",")
        size = out.split("Geometry: ")[1].strip().split("x")
        return int(pos[0]), int(pos[1]), int(size[0]), int(size[1])

    def client_origin(self):
        """Where the main window's client area lies on the screen, or None where no tool
        can name the window (a Wayland compositor)."""
        if self.wayland:
            return None
        info = subprocess.run(["xwininfo", "-id", self.main_window()], env=self.tool_env(), capture_output=True,
                              text=True).stdout
        value = lambda key: int(info.split(key)[1].split()[0])
        return value("Absolute upper-left X:"), value("Absolute upper-left Y:")

    def keys(self, window, *keys):
        """Presses keys in a window (the main window when None); on Wayland the compositor
        hands them to the window that has its keyboard."""
        if self.kind == "wayland":
            self._keyboard_to_compositor()
        else:
            self.xdotool("windowfocus", "--sync", window or self.main_window())
        for key in keys:
            self.xdotool("key", "--clearmodifiers", key)
            time.sleep(0.15)

    def press(self, *keys):
        """Presses keys in the window that has the keyboard."""
        if self.kind == "wayland":
            self._keyboard_to_compositor()
        for key in keys:
            self.xdotool("key", "--clearmodifiers", key)
            time.sleep(0.15)

    def _keyboard_to_compositor(self):
        """The X keyboard focus on the compositor's window, which hands keys on to its
        active surface; set only when elsewhere (see _start_compositor)."""
        if self.xdotool("getwindowfocus").strip() != self.compositor_window:
            self.xdotool("windowfocus", "--sync", self.compositor_window)

    def type_text(self, window, text):
        self.xdotool("windowfocus", "--sync", window)
        self.xdotool("type", "--delay", "20", text)

    def click(self, x, y, button=1):
        # A move to where the pointer already is would wait for a motion that never comes.
        if self.xdotool("getmouselocation").split()[:2] != [f"x:{x}", f"y:{y}"]:
            self.xdotool("mousemove", "--sync", str(x), str(y))
        # A compositor finds the surface under its pointer when it next draws: a press
        # at once would go to whatever was under the pointer before the move.
        time.sleep(0.3)
        self.xdotool("click", str(button))

    def screenshot(self, keep_as=None):
        raw = subprocess.run(["import", "-display", self.display, "-window", "root", "-depth", "8", "rgb:-"],
                             capture_output=True, env=self.tool_env()).stdout
        if keep_as:
            os.makedirs(self.artefacts, exist_ok=True)
            subprocess.run(["import", "-display", self.display, "-window", "root",
                            os.path.join(self.artefacts, keep_as)], env=self.tool_env())
        return Screenshot(raw, self.width, self.height)

    def open_file_dialog(self, shortcut, path):
        """Opens a file through one of the program's file dialogs: the path typed, then Enter."""
        self.keys(None, shortcut)
        dialog = self.wait_window("^(Play DivX Movie|Load Subtitle)$")
        time.sleep(0.3)
        self.type_text(dialog, path)
        self.keys(dialog, "Return")
