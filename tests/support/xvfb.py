# xvfb.py: a private virtual X display for tests, with window lookup, screenshots and input.
#
# Standard library only; drives Xvfb, xwininfo, xdotool and ImageMagick's import, and
# libX11 through ctypes for what those tools cannot do (closing a window as a window
# manager would). Every wait is bounded and can watch a process, so a test never
# hangs on a program that died or a window that never came.
import ctypes
import ctypes.util
import os
import re
import select
import shutil
import struct
import subprocess
import tempfile
import time
import zlib

TOOLS = ("Xvfb", "xdotool", "xwininfo", "import")
COMMAND_TIMEOUT = 20.0
# xwininfo gives up when a window goes while it walks the tree (a program
# starting up makes and drops windows); it is asked again this many times.
TREE_ATTEMPTS = 5
POLL_INTERVAL = 0.1
KEY_HOLD = 0.05


class DisplayError(Exception):
    """A display operation failed or a wait ran out of time."""


def missing_tools(tools=TOOLS):
    """The names in `tools` that are not on PATH."""
    return [t for t in tools if shutil.which(t) is None]


def wait_until(predicate, timeout, what, alive=None, interval=POLL_INTERVAL):
    """Polls `predicate` until it returns something truthy and returns that.

    Raises DisplayError after `timeout` seconds, or as soon as `alive()` says
    the watched process has gone (so a crash is reported at once)."""
    deadline = time.monotonic() + timeout
    while True:
        result = predicate()
        if result:
            return result
        if alive is not None and not alive():
            raise DisplayError(f"the program ended while waiting for {what}")
        if time.monotonic() >= deadline:
            raise DisplayError(f"timed out after {timeout:.0f} s waiting for {what}")
        time.sleep(interval)


class Window:
    """A top-level window as xwininfo lists it."""

    def __init__(self, wid, name, width, height, x, y):
        self.id = wid
        self.name = name
        self.width = width
        self.height = height
        self.x = x
        self.y = y

    def __repr__(self):
        return f"Window(0x{self.id:x} {self.name!r} {self.width}x{self.height}+{self.x}+{self.y})"


# "     0xa00004 "End": ("quadrill.exe" "quadrill.exe")  115x88+454+340  +454+340"
_TREE_LINE = re.compile(
    r'^\s*(0x[0-9a-fA-F]+) "(.*)": \(.*\)\s+(\d+)x(\d+)\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)\s*$')


def parse_window_tree(text):
    """The named windows in `xwininfo -root -tree` output, with absolute positions."""
    found = []
    for line in text.splitlines():
        m = _TREE_LINE.match(line)
        if m:
            found.append(Window(int(m.group(1), 16), m.group(2), int(m.group(3)),
                                int(m.group(4)), int(m.group(5)), int(m.group(6))))
    return found


class VirtualDisplay:
    """An Xvfb server on a display number it picks itself; use as a context manager."""

    def __init__(self, width=1024, height=768, depth=24):
        self.width = width
        self.height = height
        self.depth = depth
        self.name = None
        self._server = None
        self._log = None

    # ---- lifetime ----

    def start(self, timeout=15.0):
        # -displayfd makes Xvfb choose a free display itself and report it once
        # it accepts connections: no race with other servers on the machine.
        read_end, write_end = os.pipe()
        # A file, not a pipe, for the server's chatter: a full pipe would stall it.
        self._log = tempfile.TemporaryFile()
        try:
            self._server = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0",
                 f"{self.width}x{self.height}x{self.depth}", "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL,
                stdout=subprocess.DEVNULL, stderr=self._log)
            os.close(write_end)
            write_end = -1
            number = b""
            deadline = time.monotonic() + timeout
            while not number.endswith(b"\n"):
                left = deadline - time.monotonic()
                ready, _, _ = select.select([read_end], [], [], max(0.0, left))
                if not ready:
                    raise DisplayError("Xvfb did not report a display in time")
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise DisplayError(f"Xvfb exited before reporting a display: {self.server_log()}")
                number += chunk
            self.name = ":" + number.decode().strip()
        except BaseException:
            self.stop()
            raise
        finally:
            os.close(read_end)
            if write_end >= 0:
                os.close(write_end)
        return self

    def stop(self, timeout=5.0):
        if self._server is not None:
            if self._server.poll() is None:
                self._server.terminate()
                try:
                    self._server.wait(timeout)
                except subprocess.TimeoutExpired:
                    self._server.kill()
                    self._server.wait(timeout)
            self._server = None
        if self._log is not None:
            self._log.close()
            self._log = None

    def server_log(self):
        """What Xvfb has written to its standard error so far."""
        if self._log is None:
            return ""
        self._log.seek(0)
        return self._log.read().decode(errors="replace").strip()

    def __enter__(self):
        return self.start()

    def __exit__(self, *exc):
        self.stop()
        return False

    def env(self, base=None):
        """A copy of `base` (default: this process's environment) aimed at this display."""
        result = dict(os.environ if base is None else base)
        result["DISPLAY"] = self.name
        result.pop("WAYLAND_DISPLAY", None)
        return result

    def run(self, args, timeout=COMMAND_TIMEOUT, check=True):
        """Runs a short command on this display and returns its standard output."""
        try:
            done = subprocess.run(args, env=self.env(), stdin=subprocess.DEVNULL,
                                  capture_output=True, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise DisplayError(f"{args[0]} did not finish in {timeout:.0f} s") from None
        if check and done.returncode != 0:
            raise DisplayError(f"{' '.join(map(str, args))} failed ({done.returncode}): "
                               f"{done.stderr.decode(errors='replace').strip()}")
        return done.stdout.decode(errors="replace")

    # ---- windows ----

    def windows(self):
        """Every named window in the tree (xwininfo sees windows xdotool search can miss)."""
        for attempt in range(TREE_ATTEMPTS):
            try:
                return parse_window_tree(self.run(["xwininfo", "-root", "-tree"]))
            except DisplayError:
                if attempt + 1 == TREE_ATTEMPTS:
                    raise
                time.sleep(POLL_INTERVAL)

    def find_window(self, name, min_size=2):
        """The first window named exactly `name` and larger than a placeholder, or None."""
        for w in self.windows():
            if w.name == name and w.width >= min_size and w.height >= min_size:
                return w
        return None

    def wait_for_window(self, name, timeout, alive=None):
        return wait_until(lambda: self.find_window(name), timeout, f'the window "{name}"', alive)

    def wait_for_window_gone(self, name, timeout, alive=None):
        wait_until(lambda: self.find_window(name) is None, timeout, f'"{name}" to close', alive)

    def focus(self, window):
        self.run(["xdotool", "windowfocus", "--sync", str(window.id)])

    def close_window(self, window):
        """Asks the window to close as a window manager's close button does
        (WM_DELETE_WINDOW), rather than destroying it under the program."""
        lib = ctypes.util.find_library("X11") or "libX11.so.6"
        x11 = ctypes.cdll.LoadLibrary(lib)
        x11.XOpenDisplay.restype = ctypes.c_void_p
        x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
        x11.XInternAtom.restype = ctypes.c_ulong
        x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x11.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                                   ctypes.POINTER(_XEvent)]
        x11.XFlush.argtypes = [ctypes.c_void_p]
        x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
        display = x11.XOpenDisplay(self.name.encode())
        if not display:
            raise DisplayError(f"cannot open display {self.name}")
        try:
            event = _XEvent()
            event.xclient.type = _CLIENT_MESSAGE
            event.xclient.window = window.id
            event.xclient.message_type = x11.XInternAtom(display, b"WM_PROTOCOLS", 0)
            event.xclient.format = 32
            event.xclient.data[0] = x11.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
            event.xclient.data[1] = 0  # CurrentTime
            if not x11.XSendEvent(display, window.id, 0, 0, ctypes.byref(event)):
                raise DisplayError(f"cannot send WM_DELETE_WINDOW to {window}")
            x11.XFlush(display)
        finally:
            x11.XCloseDisplay(display)

    # ---- input ----

    def key(self, keysym, window=None, hold=KEY_HOLD):
        """Presses and releases one key through XTEST, held for `hold` seconds so
        programs that poll the keyboard state see it down; focuses `window` first."""
        if window is not None:
            self.focus(window)
        self.run(["xdotool", "keydown", keysym, "sleep", f"{hold:.3f}", "keyup", keysym])

    def move_mouse_relative(self, dx, dy):
        self.run(["xdotool", "mousemove_relative", "--", str(dx), str(dy)])

    def click(self, button=1, hold=KEY_HOLD):
        self.run(["xdotool", "mousedown", str(button), "sleep", f"{hold:.3f}", "mouseup", str(button)])

    # ---- pictures ----

    def capture(self, window=None):
        """The screen, or one window, as a Picture."""
        target = "root" if window is None else str(window.id)
        width, height = (self.width, self.height) if window is None else (window.width, window.height)
        try:
            done = subprocess.run(["import", "-window", target, "-depth", "8", "rgb:-"], env=self.env(),
                                  stdin=subprocess.DEVNULL, capture_output=True, timeout=COMMAND_TIMEOUT)
        except subprocess.TimeoutExpired:
            raise DisplayError("import did not finish in time") from None
        if done.returncode != 0 or len(done.stdout) != width * height * 3:
            raise DisplayError(f"cannot capture {target}: {done.stderr.decode(errors='replace').strip()}")
        return Picture(width, height, done.stdout)

    def screenshot(self, path, window=None):
        """Saves the screen, or one window, as a PNG file and returns its Picture."""
        picture = self.capture(window)
        picture.save_png(path)
        return picture

    def wait_until_still(self, window, timeout, alive=None, still_for=1.5, interval=0.25):
        """Waits until the window's pixels have not changed for `still_for` seconds,
        for a view that is still moving when its window first appears. (A slow
        first few frames can leave one picture up for a while, so a single
        repeated capture is not enough.)"""
        state = {"pixels": None, "since": time.monotonic()}

        def still():
            current = self.capture(window).rgb
            now = time.monotonic()
            if current != state["pixels"]:
                state["pixels"] = current
                state["since"] = now
            return now - state["since"] >= still_for

        wait_until(still, timeout, f'"{window.name}" to stop changing', alive, interval)


class Picture:
    """8-bit RGB pixels, rows top to bottom."""

    def __init__(self, width, height, rgb):
        self.width = width
        self.height = height
        self.rgb = rgb

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.rgb[i:i + 3])

    def crop(self, x, y, width, height):
        """The part of the picture in the given rectangle (clipped to the picture)."""
        x0, y0 = max(0, x), max(0, y)
        x1, y1 = min(self.width, x + width), min(self.height, y + height)
        rows = [self.rgb[(row * self.width + x0) * 3:(row * self.width + x1) * 3] for row in range(y0, y1)]
        return Picture(max(0, x1 - x0), max(0, y1 - y0), b"".join(rows))

    def stats(self):
        """Mean and standard deviation of the grey level (0..1), and the number of distinct colours."""
        count = self.width * self.height
        if count == 0:
            return {"mean": 0.0, "stddev": 0.0, "colours": 0}
        r, g, b = self.rgb[0::3], self.rgb[1::3], self.rgb[2::3]
        grey = [(0.2126 * rr + 0.7152 * gg + 0.0722 * bb) / 255.0 for rr, gg, bb in zip(r, g, b)]
        mean = sum(grey) / count
        variance = sum((v - mean) ** 2 for v in grey) / count
        colours = len({self.rgb[i:i + 3] for i in range(0, len(self.rgb), 3)})
        return {"mean": mean, "stddev": variance ** 0.5, "colours": colours}

    def save_png(self, path):
        def chunk(kind, data):
            body = kind + data
            return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

        stride = self.width * 3
        raw = b"".join(b"\0" + self.rgb[y * stride:(y + 1) * stride] for y in range(self.height))
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)  # 8-bit RGB
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9))
                    + chunk(b"IEND", b""))


# XClientMessageEvent inside the XEvent union (Xlib.h), for close_window.
_CLIENT_MESSAGE = 33


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("xclient", _XClientMessageEvent), ("pad", ctypes.c_long * 24)]

