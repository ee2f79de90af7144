"""A private X display with the real program on it, driven as a user would: keys and
clicks through xdotool, and screenshots read back as pixels."""

import os
import shutil
import signal
import subprocess
import tempfile
import time


class Screenshot:
    """The whole screen as RGB bytes."""

    def __init__(self, raw, width, height):
        self.raw, self.width, self.height = raw, width, height

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.raw[i:i + 3])

    def region(self, x, y, w, h):
        """Pixels of a rectangle, row by row, clipped to the screen."""
        x0, y0 = max(x, 0), max(y, 0)
        x1, y1 = min(x + w, self.width), min(y + h, self.height)
        return [self.pixel(px, py) for py in range(y0, y1) for px in range(x0, x1)]

    def bright_columns(self, x, y, w, h, threshold=200):
        """The first and last column of the rectangle holding a bright pixel, or None."""
        cols = [px for px in range(max(x, 0), min(x + w, self.width))
                if any(min(self.pixel(px, py)) >= threshold
                       for py in range(max(y, 0), min(y + h, self.height)))]
        return (cols[0], cols[-1]) if cols else None

    def colourful(self, x, y, w, h):
        """The share of strongly coloured pixels (a test picture, not black or grey)."""
        pixels = self.region(x, y, w, h)
        strong = sum(1 for r, g, b in pixels if max(r, g, b) - min(r, g, b) > 80)
        return strong / max(len(pixels), 1)


class Desktop:
    def __init__(self, build_dir, artefacts, width=1024, height=768):
        self.build_dir, self.artefacts = build_dir, artefacts
        self.width, self.height = width, height
        self.home = tempfile.mkdtemp(prefix="captivo-e2e-")
        self.xvfb = None
        self.app = None
        self.display = None

    def __enter__(self):
        for number in range(90, 140):
            if not os.path.exists(f"/tmp/.X11-unix/X{number}") and not os.path.exists(f"/tmp/.X{number}-lock"):
                self.display = f":{number}"
                break
        self.xvfb = subprocess.Popen(
            ["Xvfb", self.display, "-screen", "0", f"{self.width}x{self.height}x24", "-nolisten", "tcp"],
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        for _ in range(100):
            if os.path.exists(f"/tmp/.X11-unix/X{self.display[1:]}"):
                break
            time.sleep(0.05)
        # The program runs from a folder of its own, so that "set.ini" and "tmpsub" land there.
        self.program_dir = os.path.join(self.home, "bin")
        os.makedirs(self.program_dir)
        shutil.copy(os.path.join(self.build_dir, "src", "captivo"), self.program_dir)
        return self

    def __exit__(self, *exc):
        self.stop_program()
        if self.xvfb:
            os.kill(self.xvfb.pid, signal.SIGTERM)  # stopped by its process id
            self.xvfb.wait()
        shutil.rmtree(self.home, ignore_errors=True)

    def env(self):
        env = dict(os.environ, DISPLAY=self.display, HOME=self.home,
                   XDG_RUNTIME_DIR=os.path.join(self.home, "run"), XDG_CONFIG_HOME=os.path.join(self.home, "config"),
                   XDG_CACHE_HOME=os.path.join(self.home, "cache"))
        os.makedirs(env["XDG_RUNTIME_DIR"], mode=0o700, exist_ok=True)
        return env

    def start_program(self, *args):
        self.app = subprocess.Popen([os.path.join(self.program_dir, "captivo"), *args], env=self.env(),
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return self.wait_window("^Captivo$")

    def stop_program(self, timeout=10):
        if self.app and self.app.poll() is None:
            self.app.terminate()
            try:
                self.app.wait(timeout)
            except subprocess.TimeoutExpired:
                self.app.kill()
        self.app = None

    def wait_exit(self, timeout=10):
        try:
            return self.app.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def xdotool(self, *args):
        return subprocess.run(["xdotool", *args], env=self.env(), capture_output=True, text=True).stdout

    def wait_window(self, name, timeout=10):
        end = time.time() + timeout
        while time.time() < end:
            ids = [i for i in self.xdotool("search", "--onlyvisible", "--name", name).split() if i]
            if ids:
                return ids[-1]
            time.sleep(0.1)
        raise AssertionError(f"no window named {name}")

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

    def keys(self, window, *keys):
        """Presses keys in a window (the main window when None)."""
        self.xdotool("windowfocus", "--sync", window or self.main_window())
        for key in keys:
            self.xdotool("key", "--clearmodifiers", key)
            time.sleep(0.15)

    def type_text(self, window, text):
        self.xdotool("windowfocus", "--sync", window)
        self.xdotool("type", "--delay", "20", text)

    def click(self, x, y, button=1):
        self.xdotool("mousemove", "--sync", str(x), str(y))
        self.xdotool("click", str(button))

    def screenshot(self, keep_as=None):
        raw = subprocess.run(["import", "-display", self.display, "-window", "root", "-depth", "8", "rgb:-"],
                             capture_output=True, env=self.env()).stdout
        if keep_as:
            os.makedirs(self.artefacts, exist_ok=True)
            subprocess.run(["import", "-display", self.display, "-window", "root",
                            os.path.join(self.artefacts, keep_as)], env=self.env())
        return Screenshot(raw, self.width, self.height)

    def open_file_dialog(self, shortcut, path):
        """Opens a file through one of the program's file dialogs: the path typed, then Enter."""
        self.keys(None, shortcut)
        dialog = self.wait_window("^(Play DivX Movie|Load Subtitle)$")
        time.sleep(0.3)
        self.type_text(dialog, path)
        self.keys(dialog, "Return")
