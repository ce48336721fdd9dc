"""Drives the built program under X for the end-to-end tests.

Every test runs the program from a run directory of its own: a temporary folder holding a copy of
the executable (the program finds its files beside /proc/self/exe, so a symbolic link would point
it back at the build), and for the tests of the submission window its browser view module. The
desktop directories (XDG_*) point into the same temporary folder, so that a test can install a URL
handler of its own and nothing of the user's desktop leaks in.

Input goes through xdotool (XTEST) after focusing the window; window properties, geometry and the
close button's message go through one python-xlib connection per test process. X connections that
are opened back to back fail now and then under Xvfb, so every new connection is retried.
"""

import atexit
import os
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

from Xlib import X, Xatom, display, error, protocol

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE_DIR = os.environ.get("XL_SOURCE_DIR") or os.path.dirname(os.path.dirname(HERE))
BUILT_RUN_DIR = os.environ.get("XL_RUN_DIR") or os.path.join(SOURCE_DIR, "build", "run")
SITE_HOST = os.environ.get("XL_SITE_HOST") or "localhost:8731"
SITE_BASE = "http://" + SITE_HOST
PROMOTION_ADDRESS = SITE_BASE + "/?post=4"
SHARE_SUFFIX = "\r\n本句由您的好友用笑料工坊生成，网址:" + SITE_BASE

EXECUTABLE = "xiaoliao"
SKIN_LIBRARY = "SkinH_EL.dll"
MAIN_TITLE = "笑料工坊 V1.0"
ERROR_TITLE = "错误"

CLIENT_SIZE = (391, 160)
OUTER_SIZE = (397, 188)

# Client-area rectangles (x, y, width, height) of the main window's controls.
SENTENCE_BOX = (8, 8, 376, 56)
GENERATE_BUTTON = (7, 64, 80, 24)
SUBMIT_BUTTON = (155, 64, 80, 24)
SHARE_BUTTON = (304, 64, 80, 24)
PROMOTION_LINK = (115, 94, 176, 16)
CREDITS_LINE = (63, 120, 280, 16)
STATUS_BAR_HEIGHT = 20
STATUS_PANE_EDGES = (300, 391)

# The word list files with the sources of their built-in defaults.
LIST_FILES = (
    ("形容词.txt", "adjectives.txt"),
    ("人名.txt", "names.txt"),
    ("地点.txt", "places.txt"),
    ("事件.txt", "events.txt"),
)

XDOTOOL = "/usr/bin/xdotool"
XCLIP = "/usr/bin/xclip"
IMPORT = "/usr/bin/import"

CONNECT_TRIES = 8
# What xdotool, xclip and import say when they could not open their X connection.
CONNECTION_FAILURES = ("open display", "xdo instance", "x server", "connect")


def centre(rect):
    x, y, w, h = rect
    return x + w // 2, y + h // 2


# --------------------------------------------------------------------------------------------
# Default word lists, as the program must write them.

def default_entries(source_name):
    """The entries of a default list, from its UTF-8 source (one entry a line)."""
    path = os.path.join(SOURCE_DIR, "resources", "word_lists", source_name)
    with open(path, encoding="utf-8", newline="") as f:
        text = f.read()
    if "\r" in text:
        raise ValueError(f"{path}: carriage return in a list source")
    if text.endswith("\n"):
        text = text[:-1]
    return text.split("\n") if text else []


def default_file_bytes(source_name):
    """A default list file byte for byte: GBK entries joined by CR LF, nothing after the last."""
    return "\r\n".join(default_entries(source_name)).encode("gbk")


def gbk(text):
    return text.encode("gbk")


# --------------------------------------------------------------------------------------------
# Running commands that open an X connection.

def _x_command(args, tries=CONNECT_TRIES, timeout=20, check=True, env=None):
    """Runs a command that talks to the X server, retrying when it could not connect."""
    last = None
    for attempt in range(tries):
        proc = subprocess.run(args, capture_output=True, timeout=timeout, env=env)
        if proc.returncode == 0:
            return proc
        last = proc
        err = proc.stderr.decode("utf-8", "replace").lower()
        if not any(sign in err for sign in CONNECTION_FAILURES):
            break
        time.sleep(0.2 * (attempt + 1))
    if check:
        raise RuntimeError(
            f"{args[0]} failed ({last.returncode}): {last.stderr.decode('utf-8', 'replace')}")
    return last


def xdotool(*args, timeout=20):
    return _x_command([XDOTOOL] + [str(a) for a in args], timeout=timeout)


def press(*keys):
    """Presses keys (xdotool names) in whatever window has the keyboard now."""
    xdotool("key", "--delay", 30, *keys)


def type_text(text):
    """Types text into whatever window has the keyboard now."""
    # "--": text such as "-1" is not an option.
    xdotool("type", "--delay", 30, "--", text)


def wait_until(condition, timeout, failure):
    """Polls condition until it gives something true, and gives that; fails after timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(failure)
        time.sleep(0.05)


_display = None


def x_display():
    """The test process's one python-xlib connection."""
    global _display
    if _display is None:
        last = None
        for attempt in range(CONNECT_TRIES):
            try:
                _display = display.Display()
                break
            except Exception as e:  # Xlib raises several kinds for a refused connection
                last = e
                time.sleep(0.2 * (attempt + 1))
        else:
            raise RuntimeError(f"cannot connect to the X server: {last}")
    return _display


def screen_size():
    s = x_display().screen()
    return s.width_in_pixels, s.height_in_pixels


def _atom(name):
    return x_display().intern_atom(name)


def x_window(wid):
    """The python-xlib object of a window, for what the functions here do not read."""
    return x_display().create_resource_object("window", wid)


def window_title(wid):
    w = x_window(wid)
    prop = w.get_full_property(_atom("_NET_WM_NAME"), _atom("UTF8_STRING"))
    if prop is not None:
        value = prop.value
        return value.decode("utf-8") if isinstance(value, bytes) else value
    name = w.get_wm_name()
    return name if isinstance(name, str) or name is None else name.decode("latin-1")


def window_property(wid, name, type_=X.AnyPropertyType):
    return x_window(wid).get_full_property(_atom(name), type_)


def window_atoms(wid, name):
    """The names in a property that lists atoms, such as _NET_WM_STATE."""
    prop = window_property(wid, name, Xatom.ATOM)
    return [x_display().get_atom_name(a) for a in prop.value] if prop is not None else []


def _window_pid(w):
    try:
        prop = w.get_full_property(_atom("_NET_WM_PID"), Xatom.CARDINAL)
    except error.XError:
        return None
    return prop.value[0] if prop is not None and len(prop.value) else None


def viewable_windows(pid):
    """{window id: title} of the program's mapped top-level windows."""
    d = x_display()
    found = {}
    try:
        children = d.screen().root.query_tree().children
    except error.XError:
        return found
    for w in children:
        try:
            if w.get_attributes().map_state != X.IsViewable:
                continue
            if _window_pid(w) != pid:
                continue
            found[w.id] = window_title(w.id)
        except error.XError:
            continue  # gone while we looked
    return found


def popup_windows():
    """Ids of the mapped override-redirect windows: menus and drop-down lists, which carry no
    process id of their own."""
    found = set()
    for w in x_display().screen().root.query_tree().children:
        try:
            a = w.get_attributes()
            if a.override_redirect and a.map_state == X.IsViewable:
                found.add(w.id)
        except error.XError:
            continue
    return found


def window_geometry(wid):
    """(x, y, width, height) of a window, x and y on the screen."""
    w = x_window(wid)
    g = w.get_geometry()
    origin = w.translate_coords(x_display().screen().root, 0, 0)
    # translate_coords gives the root's origin in the window's coordinates.
    return -origin.x, -origin.y, g.width, g.height


def move_window(wid, x, y):
    """Moves a window as a user would; with no window manager nothing else places it."""
    x_window(wid).configure(x=x, y=y)
    x_display().sync()


# --------------------------------------------------------------------------------------------
# Screenshots.

class Image:
    """An RGB picture of a window or the screen, as xwd/import gives it."""

    def __init__(self, width, height, pixels):
        self.width = width
        self.height = height
        self.pixels = pixels

    @classmethod
    def from_ppm(cls, data):
        m = re.match(rb"P6\s+(\d+)\s+(\d+)\s+(\d+)\s", data)
        if not m or int(m.group(3)) != 255:
            raise ValueError("not an 8-bit PPM picture")
        w, h = int(m.group(1)), int(m.group(2))
        pixels = data[m.end():m.end() + w * h * 3]
        if len(pixels) != w * h * 3:
            raise ValueError("short PPM picture")
        return cls(w, h, pixels)

    def pixel(self, x, y):
        o = (y * self.width + x) * 3
        return tuple(self.pixels[o:o + 3])

    def crop(self, rect):
        x0, y0, w, h = rect
        rows = [self.pixels[((y0 + y) * self.width + x0) * 3:((y0 + y) * self.width + x0 + w) * 3]
                for y in range(h)]
        return Image(w, h, b"".join(rows))

    def __eq__(self, other):
        return (isinstance(other, Image) and (self.width, self.height, self.pixels)
                == (other.width, other.height, other.pixels))

    def __hash__(self):
        return hash((self.width, self.height, self.pixels))

    def points(self, predicate, rect=None):
        x0, y0, w, h = rect or (0, 0, self.width, self.height)
        return [(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w)
                if predicate(self.pixel(x, y))]

    def bbox(self, predicate, rect=None):
        """(left, top, right, bottom), inclusive, of the pixels that match; None if none do."""
        pts = self.points(predicate, rect)
        if not pts:
            return None
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        return min(xs), min(ys), max(xs), max(ys)

    def save(self, path):
        with open(path, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (self.width, self.height) + self.pixels)


def colour_distance(a, b):
    return sum(abs(i - j) for i, j in zip(a, b))


def screenshot(wid=None):
    """A picture of one window (its client area), or of the whole screen."""
    target = "root" if wid is None else str(wid)
    proc = _x_command([IMPORT, "-window", target, "-depth", "8", "ppm:-"])
    return Image.from_ppm(proc.stdout)


# --------------------------------------------------------------------------------------------
# The run directory and the program.

def require_built_program():
    """Fails, not skips, without a built program: ctest counts a skipped run as passed."""
    if not os.path.isfile(os.path.join(BUILT_RUN_DIR, EXECUTABLE)):
        raise AssertionError(f"XL_RUN_DIR does not hold the built program: {BUILT_RUN_DIR!r}")


class RunDirectory:
    """A temporary run directory with a copy of the built program, and a desktop of its own."""

    def __init__(self, relative_path="run", view_module=False):
        require_built_program()
        self.root = tempfile.mkdtemp(prefix="xl-e2e-")
        self.path = os.path.join(self.root, relative_path)
        self.home = os.path.join(self.root, "home")
        os.makedirs(self.path)
        for sub in ("data/applications", "config", "cache", "runtime"):
            os.makedirs(os.path.join(self.home, sub))
        os.chmod(os.path.join(self.home, "runtime"), 0o700)
        built = os.path.join(BUILT_RUN_DIR, EXECUTABLE)
        shutil.copy2(built, os.path.join(self.path, EXECUTABLE))
        skin = os.path.join(BUILT_RUN_DIR, SKIN_LIBRARY)
        if os.path.isfile(skin):
            shutil.copy2(skin, os.path.join(self.path, SKIN_LIBRARY))
        if view_module:
            # The browser view of the submission window; without it that window stays shut.
            modules = [name for name in os.listdir(BUILT_RUN_DIR) if name.endswith(".so")]
            if not modules:
                raise AssertionError(f"no view module beside the built program in {BUILT_RUN_DIR}")
            for name in modules:
                shutil.copy2(os.path.join(BUILT_RUN_DIR, name), self.path)
        self.url_log = None

    def file(self, name):
        return os.path.join(self.path, name)

    def write(self, name, data):
        with open(self.file(name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(self.file(name), "rb") as f:
            return f.read()

    def environment(self):
        env = {k: v for k, v in os.environ.items() if not k.startswith("XDG_")}
        env.update({
            "HOME": self.home,
            "XDG_DATA_HOME": os.path.join(self.home, "data"),
            "XDG_CONFIG_HOME": os.path.join(self.home, "config"),
            "XDG_CACHE_HOME": os.path.join(self.home, "cache"),
            "XDG_RUNTIME_DIR": os.path.join(self.home, "runtime"),
            "NO_AT_BRIDGE": "1",
            "GDK_BACKEND": "x11",
        })
        env.pop("DBUS_SESSION_BUS_ADDRESS", None)
        return env

    def install_url_recorder(self):
        """Makes a recording script the desktop's handler of http addresses; gives its log."""
        self.url_log = os.path.join(self.home, "opened-addresses.txt")
        script = os.path.join(self.home, "record-address")
        with open(script, "w") as f:
            f.write("#!/bin/sh\nprintf '%s\\n' \"$1\" >> '" + self.url_log + "'\n")
        os.chmod(script, 0o755)
        with open(os.path.join(self.home, "data", "applications", "recorder.desktop"), "w") as f:
            f.write("[Desktop Entry]\nType=Application\nName=Address recorder\n"
                    f"Exec={script} %u\nMimeType=x-scheme-handler/http;\nNoDisplay=true\n")
        with open(os.path.join(self.home, "config", "mimeapps.list"), "w") as f:
            f.write("[Default Applications]\nx-scheme-handler/http=recorder.desktop\n")
        return self.url_log

    def opened_addresses(self):
        if not self.url_log or not os.path.exists(self.url_log):
            return []
        with open(self.url_log, encoding="utf-8") as f:
            return f.read().splitlines()

    def remove(self):
        shutil.rmtree(self.root, ignore_errors=True)


_live_programs = set()


@atexit.register
def _kill_leftovers():
    """Programs of a test run that was stopped half-way (ctest's time-out, Ctrl+C)."""
    for program in list(_live_programs):
        program.kill()


class Program:
    """The program running from a RunDirectory."""

    def __init__(self, run_dir):
        self.run_dir = run_dir
        self.stdout_path = os.path.join(run_dir.root, "stdout.txt")
        self.stderr_path = os.path.join(run_dir.root, "stderr.txt")
        self.proc = None
        self.window = None
        self.shown_at = None

    def start(self):
        with open(self.stdout_path, "wb") as out, open(self.stderr_path, "wb") as err:
            self.proc = subprocess.Popen(
                [os.path.join(self.run_dir.path, EXECUTABLE)], cwd=self.run_dir.root,
                env=self.run_dir.environment(), stdin=subprocess.DEVNULL, stdout=out,
                stderr=err, start_new_session=True)
        _live_programs.add(self)
        return self

    @property
    def pid(self):
        return self.proc.pid

    def running(self):
        return self.proc is not None and self.proc.poll() is None

    def wait_window(self, title=MAIN_TITLE, timeout=15):
        """Waits until a window of this process with that title is on screen; gives its id."""
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for wid, t in viewable_windows(self.pid).items():
                if t == title:
                    if title == MAIN_TITLE and self.window is None:
                        self.window = wid
                        self.shown_at = time.monotonic()
                    return wid
            if not self.running():
                raise AssertionError(
                    f"the program ended (status {self.proc.returncode}) before showing "
                    f"{title!r}; stderr: {self.stderr()!r}")
            time.sleep(0.05)
        raise AssertionError(f"no window {title!r} within {timeout} s; shown: "
                             f"{viewable_windows(self.pid)}")

    def wait_gone(self, title, timeout=15):
        wait_until(lambda: title not in self.windows().values(), timeout,
                   f"the window {title!r} is still open")

    def start_and_wait(self):
        self.start()
        return self.wait_window()

    def windows(self):
        return viewable_windows(self.pid)

    # -- input ---------------------------------------------------------------------------

    def focus(self, wid=None):
        xdotool("windowfocus", "--sync", wid or self.window)

    def _screen_point(self, x, y, wid=None):
        wx, wy, _, _ = window_geometry(wid or self.window)
        return wx + x, wy + y

    def move(self, x, y, wid=None):
        sx, sy = self._screen_point(x, y, wid)
        # "mousemove --sync" waits for the pointer to move, which it never does when it is
        # already there.
        pointer = x_display().screen().root.query_pointer()
        if (pointer.root_x, pointer.root_y) != (sx, sy):
            xdotool("mousemove", "--sync", sx, sy)

    def click(self, x, y, repeat=1, delay_ms=80, wid=None):
        """Clicks the left button at client coordinates of the main window (or wid)."""
        self.move(x, y, wid)
        xdotool("click", "--repeat", repeat, "--delay", delay_ms, 1)

    def click_control(self, rect, **kw):
        self.click(*centre(rect), **kw)

    def mouse_down(self, x, y):
        self.move(x, y)
        xdotool("mousedown", 1)

    def mouse_up(self):
        xdotool("mouseup", 1)

    def key(self, *keys, wid=None):
        """Presses keys (xdotool names) with the window focused."""
        self.focus(wid)
        press(*keys)

    def type(self, text, wid=None):
        self.focus(wid)
        type_text(text)

    def settle(self, seconds=0.3):
        """Gives the program time to handle what was sent to it."""
        time.sleep(seconds)

    # -- observing -----------------------------------------------------------------------

    def geometry(self):
        return window_geometry(self.window)

    def screenshot(self, wid=None):
        return screenshot(wid or self.window)

    def stderr(self):
        with open(self.stderr_path, "rb") as f:
            return f.read().decode("utf-8", "replace")

    # -- ending --------------------------------------------------------------------------

    def close(self, wid=None):
        """What the close button does: WM_PROTOCOLS / WM_DELETE_WINDOW to the window."""
        d = x_display()
        w = x_window(wid or self.window)
        event = protocol.event.ClientMessage(
            window=w, client_type=_atom("WM_PROTOCOLS"),
            data=(32, [_atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0]))
        w.send_event(event, event_mask=0)
        d.flush()

    def wait_exit(self, timeout=15):
        """Waits for the process to end; gives (exit status as the shell sees it, stderr)."""
        try:
            self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise AssertionError(f"the program did not end within {timeout} s")
        code = self.proc.returncode
        if code < 0:
            raise AssertionError(f"the program was killed by signal {-code}")
        return code, self.stderr()

    def kill(self):
        if self.proc is not None and self.proc.poll() is None:
            try:
                os.killpg(self.proc.pid, signal.SIGKILL)
            except ProcessLookupError:
                pass
            self.proc.wait(10)
        _live_programs.discard(self)


# --------------------------------------------------------------------------------------------
# The clipboard.

def read_clipboard():
    """The CLIPBOARD selection as UTF-8 bytes, or None when nobody offers text there."""
    proc = _x_command([XCLIP, "-o", "-selection", "clipboard", "-t", "UTF8_STRING"],
                      check=False, timeout=10)
    if proc.returncode != 0:
        return None
    return proc.stdout


# --------------------------------------------------------------------------------------------
# The test case base.

class ProgramTestCase(unittest.TestCase):
    """Gives each test fresh run directories and programs, killed and removed at its end."""

    def keep_dir(self):
        """A folder that outlives the test, for pictures that show why it failed."""
        path = os.path.join(tempfile.gettempdir(), "xl-e2e-failures", self.id())
        os.makedirs(path, exist_ok=True)
        return path

    def new_run_dir(self, relative_path="run", view_module=False):
        run_dir = RunDirectory(relative_path, view_module)
        self.addCleanup(run_dir.remove)
        return run_dir

    def new_program(self, run_dir=None, start=True):
        """Starts the program; any the test started before is ended first, since two main
        windows would lie on top of each other in the middle of the screen."""
        if not hasattr(self, "_programs"):
            self._programs = []
        for earlier in self._programs:
            earlier.kill()
        program = Program(run_dir or self.new_run_dir())
        self._programs.append(program)
        self.addCleanup(program.kill)
        if start:
            program.start_and_wait()
        return program

    def share_text(self, program):
        """Presses 分享 with the mouse and gives the clipboard as text."""
        program.click_control(SHARE_BUTTON)
        program.settle()
        return self.wait_clipboard()

    def wait_clipboard(self, timeout=5):
        deadline = time.monotonic() + timeout
        while True:
            data = read_clipboard()
            if data is not None or time.monotonic() > deadline:
                break
            time.sleep(0.1)
        self.assertIsNotNone(data, "nothing on the clipboard")
        return data.decode("utf-8")

    def sentence_box_text(self, program):
        """The edit box's text, read through 分享 (the text before the share line)."""
        shared = self.share_text(program)
        self.assertTrue(shared.endswith(SHARE_SUFFIX), f"shared text {shared!r}")
        return shared[:-len(SHARE_SUFFIX)]


def main():
    if not os.environ.get("DISPLAY"):
        raise SystemExit("these tests need an X display (DISPLAY)")
    # A terminated run still ends the programs it started (atexit above).
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    unittest.main(verbosity=2)


# --------------------------------------------------------------------------------------------
# Sentences.

def split_sentence(sentence, adjectives, names, places, events):
    """The (adjective, name, place, event) that make the sentence, or None if none do.

    A sentence is adjective + "的" + name + "在" + place + event; entries may themselves hold
    "的" or "在", so every split is tried."""
    middles = {name + "在" + place: (name, place) for name in names for place in places}
    for adjective in set(adjectives):
        head = adjective + "的"
        if not sentence.startswith(head):
            continue
        for event in set(events):
            if not sentence.endswith(event) or len(head) + len(event) > len(sentence):
                continue
            middle = sentence[len(head):len(sentence) - len(event)]
            if middle in middles:
                return (adjective,) + middles[middle] + (event,)
    return None


def default_lists():
    return [default_entries(source) for _, source in LIST_FILES]
