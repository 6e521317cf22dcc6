"""A desktop of its own for a test: Xvfb, the openbox window manager, and the ways a person acts on
it (xdotool clicks and keys, wmctrl's close request), with what a person sees (window names, their
frames, screenshots)."""

import atexit
import hashlib
import os
import re
import shutil
import subprocess
import tempfile
import time


ACCESSIBILITY_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"
_accessibility_bus = None


class Desktop:
    def __init__(self, width=1280, height=1024):
        for tool in ("Xvfb", "openbox", "xdotool", "wmctrl", "xprop", "xwininfo", "xwd"):
            if shutil.which(tool) is None:
                raise RuntimeError(f"{tool} is not installed (./kavrel.sh test installs it)")
        read_fd, write_fd = os.pipe()
        self._xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{width}x{height}x24", "-nolisten", "tcp"],
            pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        with os.fdopen(read_fd) as f:
            self.display = ":" + f.readline().strip()
        self.env = dict(os.environ, DISPLAY=self.display)
        self.env.pop("QT_QPA_PLATFORM", None)  # the real window system, not the offscreen one
        self._wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self._start_accessibility_bus()
        self.wait(lambda: "openbox" in self.run("wmctrl", "-m", check=False).lower(), 10, "the window manager")

    def _start_accessibility_bus(self):
        """The bus through which programs tell what their windows show (what a screen reader reads);
        it must run before the program starts. One serves every desktop of this process, as its
        reader (pyatspi) connects once."""
        global _accessibility_bus
        if "DBUS_SESSION_BUS_ADDRESS" not in self.env or not os.path.exists(ACCESSIBILITY_LAUNCHER):
            raise RuntimeError("run under dbus-run-session, with at-spi2-core installed")
        if _accessibility_bus is None:
            # Its socket lives in the runtime folder: one of this process's own, so that tests
            # running side by side each keep theirs.
            runtime = tempfile.mkdtemp(prefix="kavrel-e2e-runtime-")
            os.environ["XDG_RUNTIME_DIR"] = runtime
            atexit.register(shutil.rmtree, runtime, True)
            _accessibility_bus = subprocess.Popen([ACCESSIBILITY_LAUNCHER, "--launch-immediately"],
                                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            atexit.register(_accessibility_bus.terminate)
            time.sleep(0.5)
        self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        self.env["XDG_RUNTIME_DIR"] = os.environ["XDG_RUNTIME_DIR"]

    def close(self):
        for p in (self._wm, self._xvfb):
            p.terminate()
            try:
                p.wait(5)
            except subprocess.TimeoutExpired:
                p.kill()

    def run(self, *args, check=True):
        done = subprocess.run(args, env=self.env, capture_output=True, text=True)
        if check and done.returncode != 0:
            raise RuntimeError(f"{' '.join(args)}: {done.stderr.strip()}")
        return done.stdout

    @staticmethod
    def wait(ready, timeout, what):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            value = ready()
            if value:
                return value
            time.sleep(0.1)
        raise AssertionError(f"waited {timeout} s for {what}")

    # ---- windows ----
    def windows(self, name):
        """The visible windows whose name is exactly `name`."""
        return self.windows_matching(f"^{re.escape(name)}$")

    def windows_matching(self, pattern):
        """The visible windows whose name matches the regular expression `pattern`."""
        out = self.run("xdotool", "search", "--onlyvisible", "--name", pattern, check=False)
        return [int(w) for w in out.split()]

    def wait_window(self, name, timeout=30):
        return self.wait(lambda: (self.windows(name) or [None])[0], timeout, f'the window "{name}"')

    def wait_gone(self, window, timeout=15):
        self.wait(lambda: window not in self.visible_windows(), timeout, f"window {window} to close")

    def visible_windows(self):
        return [int(w) for w in self.run("xdotool", "search", "--onlyvisible", "--name", ".*", check=False).split()]

    def name(self, window):
        return self.run("xdotool", "getwindowname", str(window)).rstrip("\n")

    def geometry(self, window):
        """The client area: x, y, width, height on the screen."""
        info = self.run("xwininfo", "-id", str(window))
        value = {key: int(re.search(rf"{key}:\s+(-?\d+)", info).group(1))
                 for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")}
        return (value["Absolute upper-left X"], value["Absolute upper-left Y"], value["Width"], value["Height"])

    def frame_top_left(self, window):
        """Where the window manager's frame (caption included) begins."""
        x, y, _, _ = self.geometry(window)
        extents = self.run("xprop", "-id", str(window), "_NET_FRAME_EXTENTS")
        left, _, top, _ = (int(n) for n in re.findall(r"\d+", extents.split("=")[1]))
        return x - left, y - top

    def work_area(self):
        values = re.findall(r"\d+", self.run("xprop", "-root", "_NET_WORKAREA").split("=")[1])
        return tuple(int(v) for v in values[:4])

    def active_window(self):
        return int(self.run("xdotool", "getactivewindow").strip())

    # ---- acting ----
    def click(self, window, x, y, button=1):
        self.run("xdotool", "mousemove", "--window", str(window), str(x), str(y), "click", str(button))
        time.sleep(0.2)

    def click_at(self, x, y, *modifiers):
        """Clicks the screen at (x, y), holding `modifiers` ("shift", "ctrl")."""
        for m in modifiers:
            self.run("xdotool", "keydown", m)
        self.run("xdotool", "mousemove", str(x), str(y), "click", "1")
        for m in modifiers:
            self.run("xdotool", "keyup", m)
        time.sleep(0.2)

    def double_click_at(self, x, y):
        self.run("xdotool", "mousemove", str(x), str(y), "click", "--repeat", "2", "--delay", "80", "1")
        time.sleep(0.3)

    def right_click_at(self, x, y):
        self.run("xdotool", "mousemove", str(x), str(y), "click", "3")
        time.sleep(0.3)

    def drag(self, start, end, steps=12):
        """Presses the left button at `start`, moves to `end` in steps as a hand does, releases."""
        self.run("xdotool", "mousemove", str(start[0]), str(start[1]), "mousedown", "1")
        for i in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * i // steps
            y = start[1] + (end[1] - start[1]) * i // steps
            self.run("xdotool", "mousemove", str(x), str(y))
            time.sleep(0.05)
        time.sleep(0.2)
        self.run("xdotool", "mouseup", "1")
        time.sleep(0.3)

    def key(self, *keys):
        self.run("xdotool", "key", "--delay", "60", *keys)
        time.sleep(0.2)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "20", "--", text)  # a text may begin with "-"
        time.sleep(0.2)

    def request_close(self, window):
        """What the caption's close button does: the window manager asks the window to close."""
        self.run("wmctrl", "-i", "-c", hex(window))
        time.sleep(0.3)

    def snapshot(self, window):
        """A digest of what the window shows."""
        return hashlib.md5(self.run_bytes("xwd", "-id", str(window), "-silent")).hexdigest()

    def screenshot(self, path):
        with tempfile.NamedTemporaryFile(suffix=".xwd") as raw:
            raw.write(self.run_bytes("xwd", "-root", "-silent"))
            raw.flush()
            if shutil.which("convert"):
                subprocess.run(["convert", f"xwd:{raw.name}", path], check=False)

    def run_bytes(self, *args):
        return subprocess.run(args, env=self.env, capture_output=True, check=True).stdout
