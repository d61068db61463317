"""Runs the real program under Wine on a display of its own and drives it from
outside: a probe program of ours (probe.exe) reads and presses its windows, and
xdotool types real keys. Everything started here is stopped again."""
import fcntl
import json
import os
import signal
import subprocess
import time
from pathlib import Path

REPO = Path(__file__).resolve().parents[2]


def _wine_env():
    """The variables tests/wine/env.sh sets: the project's own prefix, never the user's."""
    out = subprocess.run(["bash", "-c", f"source {REPO}/tests/wine/env.sh && env -0"],
                         check=True, capture_output=True).stdout
    return dict(item.split("=", 1) for item in out.decode().split("\0") if "=" in item)


ENV = _wine_env()
WINE = ENV["WINE"]
PREFIX = Path(ENV["WINEPREFIX"])
BUILD = Path(ENV["VELKARN_TEST_BUILD"])
PROGRAM = BUILD / "VelkarnVupTool.exe"
PROBE = BUILD / "tests" / "e2e" / "probe.exe"
SHOTS = REPO / "build" / "e2e-screenshots"
DRIVE_C = PREFIX / "drive_c"


class Timeout(AssertionError):
    pass


def wait_for(condition, what, timeout=15.0, interval=0.05):
    """Polls until condition() returns something truthy, and returns it."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Timeout(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


class Display:
    """An Xvfb server of our own, on a display number it picks itself."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24",
                                         "-nolisten", "tcp"], pass_fds=(write_end,),
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as announced:
            number = announced.readline().strip()  # written once it accepts clients
        if not number:
            self.process.kill()
            raise RuntimeError("Xvfb did not start")
        self.name = f":{number}"

    def close(self):
        if self.process:
            self.process.terminate()
            self.process.wait(10)


class Session:
    """The display, the Wine prefix and the probe, for a whole test run."""

    def __init__(self):
        subprocess.run([str(REPO / "tests/wine/prefix.sh")], check=True)
        # One session at a time in a prefix: each restarts its Wine server.
        self.lock = open(f"{PREFIX}.session.lock", "w")
        fcntl.flock(self.lock, fcntl.LOCK_EX)
        # Stopped from outside (a test runner's time-out): leave nothing running.
        signal.signal(signal.SIGTERM, lambda *_: (self.close(), os._exit(143)))
        self.display = Display()
        self.env = dict(ENV, DISPLAY=self.display.name, LC_ALL="ja_JP.UTF-8")
        self.programs = []
        self.probe_process = None
        self.restart_wine()

    # -- Wine
    def wineserver(self, *args):
        subprocess.run(["wineserver", *args], env=self.env, check=False)

    def restart_wine(self):
        """A fresh server: it rereads settings such as the screen density."""
        self.stop_probe()
        self.wineserver("-k")
        self.wineserver("-w")
        self.start_probe()

    def start_probe(self):
        SHOTS.mkdir(parents=True, exist_ok=True)
        with open(SHOTS / "probe.log", "a") as log:
            self.probe_process = subprocess.Popen([WINE, str(PROBE)], env=self.env, stdin=subprocess.PIPE,
                                                  stdout=subprocess.PIPE, stderr=log,
                                                  text=True, encoding="utf-8", bufsize=1)

    def stop_probe(self):
        if self.probe_process and self.probe_process.poll() is None:
            try:
                self.probe_process.stdin.write("quit\n")
                self.probe_process.stdin.flush()
                self.probe_process.wait(10)
            except (OSError, subprocess.TimeoutExpired):
                self.probe_process.kill()
        self.probe_process = None

    def probe(self, *words):
        self.probe_process.stdin.write("\t".join(str(w) for w in words) + "\n")
        self.probe_process.stdin.flush()
        line = self.probe_process.stdout.readline()
        if not line:
            raise RuntimeError("the probe ended")
        return json.loads(line)

    def close(self):
        for program in self.programs:
            program.kill()
        self.stop_probe()
        self.wineserver("-k")
        self.display.close()
        self.lock.close()

    # -- the program
    def start(self, *args, locale="ja_JP.UTF-8"):
        """Starts the program and waits for its main window."""
        assert self.probe("main") is None, "a main window is already open"
        process = subprocess.Popen([WINE, str(PROGRAM), *args], env=dict(self.env, LC_ALL=locale),
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.programs.append(process)
        # Ready for input: shown, in front, with one of its controls focused.
        main = self.wait_main(lambda w: w["visible"] and any(c["hwnd"] == w["focus"] for c in w["children"]),
                              "the main window")
        self.wait_foreground(main["hwnd"])
        return process

    def wait_exit(self, process, timeout=15):
        try:
            return process.wait(timeout)
        finally:
            if process.poll() is None:
                process.kill()
            # Wait until its windows are gone too.
            wait_for(lambda: self.probe("main") is None, "the main window to go", timeout=10)

    def stop(self, process):
        """Ends a program that a test left running."""
        if process.poll() is None:
            for dialog in self.probe("dialogs"):
                self.probe("post", dialog["hwnd"], 0x10, 0, 0)  # WM_CLOSE
            main = self.probe("main")
            if main:
                self.probe("post", main["hwnd"], 0x10, 0, 0)
            try:
                process.wait(10)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        wait_for(lambda: self.probe("main") is None, "the main window to go", timeout=10)

    def wait_main(self, test, what, timeout=15):
        return wait_for(lambda: (lambda w: w if w and test(w) else None)(self.probe("main")), what, timeout)

    def wait_dialog(self, timeout=15):
        """The message box, once it is up and in front, so that keys reach it."""
        dialog = wait_for(lambda: (self.probe("dialogs") or [None])[0], "a message box", timeout)
        self.wait_foreground(dialog["hwnd"])
        return dialog

    def wait_foreground(self, hwnd, timeout=15):
        wait_for(lambda: (self.probe("foreground") or {}).get("hwnd") == hwnd, "the window in front", timeout)

    def wait_no_dialog(self, timeout=15):
        wait_for(lambda: not self.probe("dialogs"), "the message box to close", timeout)

    def key(self, *keys):
        subprocess.run(["xdotool", "key", "--delay", "50", *keys], env=self.env, check=True)

    def click_at(self, x, y):
        subprocess.run(["xdotool", "mousemove", str(x), str(y), "click", "1"], env=self.env, check=True)

    def screenshot(self, name):
        SHOTS.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-window", "root", str(SHOTS / f"{name}.png")], env=self.env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)

    # -- the machine the program looks at
    def set_install_path(self, type_code, data: bytes):
        self.probe("regset", r"HKCU\Software\Velkarn", "InstallPath", type_code, data.hex() or "")

    def remove_product_key(self):
        self.probe("regdel", r"HKCU\Software\Velkarn")

    @staticmethod
    def make_file(windows_path):
        path = DRIVE_C / windows_path.replace("\\", "/")[3:]
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(b"")

    @staticmethod
    def make_folder(windows_path):
        (DRIVE_C / windows_path.replace("\\", "/")[3:]).mkdir(parents=True, exist_ok=True)


def button(window, text):
    return next(c for c in window["children"] if c["class"].lower() == "button" and c["text"] == text)
