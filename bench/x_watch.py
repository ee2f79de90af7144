"""Watches an X display cheaply, for timing programs that start on it: the moment a
top-level window is mapped, and the moment a small region of the screen turns colourful.
Through libX11 itself (ctypes), so that each look costs tens of microseconds rather
than a screenshot's tenth of a second."""

import ctypes
import ctypes.util
import time

_x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
_x11.XOpenDisplay.restype = ctypes.c_void_p
_x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
_x11.XDefaultRootWindow.restype = ctypes.c_ulong
_x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_x11.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
_x11.XPending.argtypes = [ctypes.c_void_p]
_x11.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
_x11.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_x11.XGetImage.restype = ctypes.c_void_p
_x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                           ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
_x11.XGetPixel.restype = ctypes.c_ulong
_x11.XGetPixel.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
_x11.XDestroyImage.argtypes = [ctypes.c_void_p]
_x11.XCloseDisplay.argtypes = [ctypes.c_void_p]

_SUBSTRUCTURE_NOTIFY = 1 << 19
_MAP_NOTIFY = 19
_Z_PIXMAP = 2
_ALL_PLANES = 0xFFFFFFFF


class _Event(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("pad", ctypes.c_long * 24)]


class XWatch:
    def __init__(self, display):
        self.display = _x11.XOpenDisplay(display.encode())
        if not self.display:
            raise RuntimeError(f"cannot open display {display}")
        self.root = _x11.XDefaultRootWindow(self.display)
        _x11.XSelectInput(self.display, self.root, _SUBSTRUCTURE_NOTIFY)
        _x11.XSync(self.display, 1)  # forget what came before

    def close(self):
        _x11.XCloseDisplay(self.display)

    def forget_events(self):
        event = _Event()
        while _x11.XPending(self.display):
            _x11.XNextEvent(self.display, ctypes.byref(event))

    def wait_map(self, timeout=20):
        """Waits until a window is mapped on the screen; the moment it was seen."""
        event = _Event()
        end = time.perf_counter() + timeout
        while time.perf_counter() < end:
            while _x11.XPending(self.display):
                _x11.XNextEvent(self.display, ctypes.byref(event))
                if event.type == _MAP_NOTIFY:
                    return time.perf_counter()
            time.sleep(0.0005)
        return None

    def colourful(self, x, y, w, h):
        """Whether a good part of the region's sampled pixels are strongly coloured."""
        image = _x11.XGetImage(self.display, self.root, x, y, w, h, _ALL_PLANES, _Z_PIXMAP)
        if not image:
            return False
        strong = total = 0
        for py in range(0, h, max(h // 4, 1)):
            for px in range(0, w, max(w // 4, 1)):
                pixel = _x11.XGetPixel(image, px, py)
                r, g, b = pixel >> 16 & 255, pixel >> 8 & 255, pixel & 255
                strong += max(r, g, b) - min(r, g, b) > 80
                total += 1
        _x11.XDestroyImage(image)
        return strong * 4 > total

    def wait_colourful(self, region, timeout=20):
        """Waits until the region of the screen turns colourful; the moment it was seen."""
        end = time.perf_counter() + timeout
        while time.perf_counter() < end:
            if self.colourful(*region):
                return time.perf_counter()
            time.sleep(0.001)
        return None
