"""End-to-end tests of the skin: the built program with its skin library and Skin.she, on an X
display.

Each test copies the program (and the libraries it wants) into a fresh run directory, starts it
on $DISPLAY and looks at what it draws: screenshots of its window (ImageMagick's import) and the
text it writes to standard error. Standard library and command line tools only, so that it runs
wherever the program's own test tools are installed.

Environment: XL_RUN_DIR (the build's run directory), XL_RECORDING_SKIN, XL_NO_EXPORT_SKIN and
XL_UNBALANCED_SKIN (test libraries that stand in for the skin library), DISPLAY.
"""

import ctypes
import os
import re
import shutil
import struct
import subprocess
import tempfile
import time
import unittest
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
RUN_DIR = os.environ.get("XL_RUN_DIR", "")
PROGRAM = os.path.join(RUN_DIR, "xiaoliao")
SKIN_LIBRARY = os.path.join(RUN_DIR, "SkinH_EL.dll")
BUILT_IN_SKIN = os.path.join(HERE, "..", "..", "resources", "skin", "default.she")

MAIN_TITLE = "^笑料工坊 V1.0$"
ERROR_TITLE = "^错误$"
MISSING_FUNCTION_BOX = ("运行时出错!\r\n\r\n"
                        "错误信息：无法找到指定DLL库文件“SkinH_EL.dll”中的输出命令“SkinH_Attach_Ex”"
                        "\r\n")
STACK_BOX = "运行时出错!\r\n\r\n错误代码：6\r\n\r\n错误信息：调用DLL命令后发现堆栈错误\r\n"

# GTK's own look (Adwaita) where no skin draws: the window background.
UNSKINNED_BACKGROUND = (0xF6, 0xF5, 0xF4)

# Places in the main window's client area, from its design.
BACKGROUND_SPOTS = [(3, 100), (388, 30), (50, 114)]
GENERATE_BUTTON = (7, 64, 80, 24)
SHARE_BUTTON = (304, 64, 80, 24)
SENTENCE_BOX = (8, 8, 376, 56)
PROMOTION_LABEL = (115, 94, 176, 16)
CREDITS_LABEL = (63, 120, 280, 16)
STATUS_BAR_TOP = 140  # 20 pixels high, docked at the bottom of the 160-pixel client area
SECOND_PANE_LEFT = 300

WAIT = 20  # seconds; generous, since the tests only wait and never time anything


# --- the skin file, as far as the tests read it ---------------------------------------------

def read_skin(path):
    """The sections of a skin file: {section: {key: value}}."""
    sections, current = {}, None
    with open(path, "rb") as f:
        for raw in f.read().decode("ascii", "replace").splitlines()[1:]:
            line = raw.strip()
            if not line or line[0] in "#;":
                continue
            if line.startswith("["):
                current = sections.setdefault(line[1:-1].strip(), {})
            else:
                key, value = line.split("=", 1)
                current[key.strip()] = value.strip()
    return sections


def colours(value):
    return [tuple(int(c[i:i + 2], 16) for i in (1, 3, 5))
            for c in re.findall(r"#[0-9a-fA-F]{6}", value)]


def fill_at(value, t):
    """The colour of a background value at t (0 top or left, 1 bottom or right)."""
    stops = colours(value)
    if len(stops) == 1:
        return stops[0]
    span = t * (len(stops) - 1)
    i = min(int(span), len(stops) - 2)
    f = span - i
    return tuple(round(a + (b - a) * f) for a, b in zip(stops[i], stops[i + 1]))


def border(value):
    """Top, right, bottom, left colours of a border value."""
    c = colours(value)
    return c * 4 if len(c) == 1 else c


# --- the X display ---------------------------------------------------------------------------

def xdotool(*args, timeout=WAIT):
    # A connection to the display fails now and then when many are opened; try again.
    for attempt in range(3):
        try:
            done = subprocess.run(["xdotool", *args], capture_output=True, text=True,
                                  timeout=timeout)
        except subprocess.TimeoutExpired:
            return None
        if done.returncode == 0 or "Can't open display" not in done.stderr:
            return done
        time.sleep(0.2)
    return done


def find_windows(title, wait=True, timeout=WAIT):
    args = ["search", "--onlyvisible", "--name", title]
    if wait:
        args.insert(1, "--sync")
    done = xdotool(*args, timeout=timeout)
    if done is None or done.returncode != 0:
        return []
    return [int(w) for w in done.stdout.split()]


class Screenshot:
    def __init__(self, window):
        ppm = subprocess.run(["import", "-window", str(window), "-depth", "8", "ppm:-"],
                             capture_output=True, timeout=WAIT).stdout
        fields, at = [], 0
        while len(fields) < 4:  # P6, width, height, maximum
            while ppm[at:at + 1].isspace():
                at += 1
            end = at
            while not ppm[end:end + 1].isspace():
                end += 1
            fields.append(ppm[at:end])
            at = end
        if fields[0] != b"P6" or fields[3] != b"255":
            raise RuntimeError("not an 8-bit screenshot: %r" % fields)
        self.width, self.height = int(fields[1]), int(fields[2])
        self.pixels = ppm[at + 1:]

    def at(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.pixels[i:i + 3])

    def count_near(self, rect, colour, tolerance):
        x0, y0, w, h = rect
        return sum(1 for y in range(y0, y0 + h) for x in range(x0, x0 + w)
                   if near(self.at(x, y), colour, tolerance))


def near(a, b, tolerance):
    return len(a) == 3 and all(abs(p - q) <= tolerance for p, q in zip(a, b))


def hex_colour(c):
    return "#%02x%02x%02x" % tuple(c) if len(c) == 3 else repr(c)


class ClientMessage(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", ctypes.c_ulong),
                ("message_type", ctypes.c_ulong), ("format", ctypes.c_int),
                ("data", ctypes.c_long * 5)]


class XEvent(ctypes.Union):
    _fields_ = [("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]


def close_window(window):
    """Sends the close request that a window manager sends when the close button is pressed."""
    x = ctypes.CDLL("libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XInternAtom.restype = ctypes.c_ulong
    x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
    x.XSendEvent.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_long,
                             ctypes.c_void_p]
    x.XFlush.argtypes = [ctypes.c_void_p]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    display = None
    for attempt in range(3):
        display = x.XOpenDisplay(None)
        if display:
            break
        time.sleep(0.2)
    if not display:
        raise RuntimeError("cannot open the display")
    event = XEvent()
    event.xclient.type = 33  # ClientMessage
    event.xclient.window = window
    event.xclient.message_type = x.XInternAtom(display, b"WM_PROTOCOLS", 0)
    event.xclient.format = 32
    event.xclient.data[0] = x.XInternAtom(display, b"WM_DELETE_WINDOW", 0)
    x.XSendEvent(display, window, 0, 0, ctypes.byref(event))
    x.XFlush(display)
    x.XCloseDisplay(display)


# --- the program -----------------------------------------------------------------------------

class Program:
    """The program started from a run directory, or from an executable given some other way."""

    def __init__(self, command, search_path=None, pass_fds=()):
        env = {k: v for k, v in os.environ.items() if k != "LD_LIBRARY_PATH"}
        if search_path:
            env["LD_LIBRARY_PATH"] = search_path
        self.stderr_file = tempfile.TemporaryFile()
        self.process = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL,
                                        stderr=self.stderr_file, pass_fds=pass_fds)

    def stderr(self):
        self.stderr_file.seek(0)
        return self.stderr_file.read().decode("utf-8", "replace")

    def wait_exit(self):
        return self.process.wait(timeout=WAIT)

    def main_window(self):
        windows = self.windows_of(MAIN_TITLE)
        if not windows:
            raise AssertionError("no main window; standard error:\n" + self.stderr())
        return windows[0]

    def windows_of(self, title, wait=True):
        # Only this process's windows: the tests start one program at a time.
        return find_windows(title, wait=wait) if self.process.poll() is None else []

    def close(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait()
        self.stderr_file.close()


class SkinTestCase(unittest.TestCase):
    def setUp(self):
        self.temp = tempfile.mkdtemp(prefix="xl-skin-")
        self.programs = []

    def tearDown(self):
        for p in self.programs:
            p.close()
        shutil.rmtree(self.temp, ignore_errors=True)

    def directory(self, name):
        path = os.path.join(self.temp, name)
        os.makedirs(path, exist_ok=True)
        return path

    def run_directory(self, name="run", library=SKIN_LIBRARY):
        """A run directory with the program and, unless None, that library as SkinH_EL.dll."""
        run = self.directory(name)
        shutil.copy2(PROGRAM, os.path.join(run, "xiaoliao"))
        if library:
            shutil.copy2(library, os.path.join(run, "SkinH_EL.dll"))
        return run

    def start(self, run, search_path=None):
        return self.start_command([os.path.join(run, "xiaoliao")], search_path)

    def start_command(self, command, search_path=None, pass_fds=()):
        """Starts the program and waits for its first window (the main window or an error box).

        A connection to the display fails now and then on these machines, and the program then
        stops before it has done anything: that start is tried again.
        """
        for attempt in range(3):
            program = Program(command, search_path, pass_fds)
            self.programs.append(program)
            deadline = time.monotonic() + WAIT
            while program.process.poll() is None and time.monotonic() < deadline:
                if find_windows("^(笑料工坊 V1.0|错误)$", wait=False):
                    return program
                time.sleep(0.2)
            if "载入启动窗口失败" not in program.stderr():
                return program
        return program

    def expect_pixels(self, window, checks, tolerance=3):
        """Waits until every (what, x, y, colour) holds in the window's screenshot."""
        deadline = time.monotonic() + WAIT
        while True:
            shot = Screenshot(window)
            wrong = [(what, x, y, colour, shot.at(x, y)) for what, x, y, colour in checks
                     if not near(shot.at(x, y), colour, tolerance)]
            if not wrong or time.monotonic() > deadline:
                break
            time.sleep(0.2)
        self.assertEqual([], ["%s at (%d,%d): %s, wanted %s" % (what, x, y, hex_colour(got),
                                                                 hex_colour(want))
                              for what, x, y, want, got in wrong])
        return shot

    def expect_exit(self, program, code):
        self.assertEqual(program.wait_exit(), code, program.stderr())

    def press_ok_in_error_box(self, program):
        boxes = program.windows_of(ERROR_TITLE)
        self.assertTrue(boxes, "no error box; standard error:\n" + program.stderr())
        xdotool("windowfocus", "--sync", str(boxes[0]))
        xdotool("key", "Return")


def skin_checks(skin):
    """What the main window looks like with that skin: (what, x, y, colour)."""
    checks = []
    window = skin["window"]["background"]
    for x, y in BACKGROUND_SPOTS:
        checks.append(("window background", x, y, fill_at(window, (y + 0.5) / 160)))
    x, y, w, h = GENERATE_BUTTON
    top, right, bottom, left = border(skin["button"]["border"])
    mid_x, mid_y = x + w // 2, y + h // 2
    # The border at exactly the designed edges shows that the skin left the size alone.
    checks += [("button's left edge", x, mid_y, left),
               ("button's right edge", x + w - 1, mid_y, right),
               ("button's top edge", mid_x, y, top),
               ("button's bottom edge", mid_x, y + h - 1, bottom),
               ("left of the button", x - 1, mid_y, fill_at(window, (mid_y + 0.5) / 160)),
               ("button face", x + 3, y + 3, fill_at(skin["button"]["background"], 3.5 / h))]
    x, y, w, h = SENTENCE_BOX
    edge = border(skin["edit"]["border"])
    checks += [("edit box's left edge", x, y + h // 2, edge[3]),
               ("edit box's right edge", x + w - 1, y + h // 2, edge[1]),
               ("edit box", x + w // 2, y + h - 6, colours(skin["edit"]["background"])[0])]
    bar = skin["statusbar"]
    pane = border(bar["pane-border"])
    checks += [("status bar", 385, STATUS_BAR_TOP + 10, fill_at(bar["background"], 10.5 / 20)),
               ("pane's top edge", 350, STATUS_BAR_TOP, pane[0]),
               ("pane's left edge", SECOND_PANE_LEFT, STATUS_BAR_TOP + 10, pane[3]),
               ("first pane's right edge", SECOND_PANE_LEFT - 1, STATUS_BAR_TOP + 10, pane[1])]
    return checks


class FreshRunDirectoryTest(SkinTestCase):
    def test_writes_the_built_in_skin_and_draws_the_windows_with_it(self):
        run = self.run_directory()
        program = self.start(run)
        window = program.main_window()

        with open(os.path.join(run, "Skin.she"), "rb") as written, open(BUILT_IN_SKIN, "rb") as f:
            self.assertEqual(written.read(), f.read())
        skin = read_skin(BUILT_IN_SKIN)
        shot = self.expect_pixels(window, skin_checks(skin))
        # The labels keep the colours the program gives them.
        self.assertGreater(shot.count_near(PROMOTION_LABEL, (255, 0, 0), 40), 10)
        self.assertGreater(shot.count_near(CREDITS_LABEL, (255, 168, 255), 40), 10)
        self.assertEqual((shot.width, shot.height), (391, 160))

    def test_buttons_change_under_the_pointer_and_when_pressed(self):
        program = self.start(self.run_directory())
        window = program.main_window()
        skin = read_skin(BUILT_IN_SKIN)
        x, y, w, h = SHARE_BUTTON
        xdotool("mousemove", "--window", str(window), str(x + w // 2), str(y + h // 2))
        self.expect_pixels(window, [("hovered button's edge", x, y + h // 2,
                                     border(skin["button:hover"]["border"])[3])])
        xdotool("mousedown", "1")
        try:
            self.expect_pixels(window, [("pressed button's edge", x, y + h // 2,
                                         border(skin["button:pressed"]["border"])[3])])
        finally:
            xdotool("mouseup", "1")

    def test_ends_in_order_with_the_library_loaded(self):
        program = self.start(self.run_directory())
        close_window(program.main_window())
        self.expect_exit(program, 0)


class ExistingSkinFileTest(SkinTestCase):
    def test_leaves_whatever_has_the_name_alone_and_passes_it_on(self):
        other = b".SHE|1\n[window]\nbackground = #204060\n"
        tiled = b".SHE|1\n[window]\nbackground = image(tile.png, tile)\n"

        def with_image(image):
            def make(path):
                write(path, tiled)
                if image is not None:
                    write(os.path.join(os.path.dirname(path), "tile.png"), image)
            return make

        cases = [
            ("another skin", lambda p: write(p, other), (0x20, 0x40, 0x60)),
            ("a skin with an image beside it", with_image(png((0x33, 0xAA, 0x55))),
             (0x33, 0xAA, 0x55)),
            ("a skin whose image is missing", with_image(None), UNSKINNED_BACKGROUND),
            ("a skin whose image is broken", with_image(png((1, 2, 3))[:40]),
             UNSKINNED_BACKGROUND),
            ("a file that is not a skin", lambda p: write(p, b"\x00\xffMZ garbage"),
             UNSKINNED_BACKGROUND),
            ("an empty file", lambda p: write(p, b""), UNSKINNED_BACKGROUND),
            ("a directory", os.mkdir, UNSKINNED_BACKGROUND),
            # A pipe nobody writes to: reading it would hang the program.
            ("a named pipe", os.mkfifo, UNSKINNED_BACKGROUND),
        ]
        for what, make, background in cases:
            with self.subTest(what):
                run = self.run_directory(what.replace(" ", "_"))
                skin = os.path.join(run, "Skin.she")
                make(skin)
                before = snapshot(skin)
                program = self.start(run)
                self.expect_pixels(program.main_window(),
                                   [("window background", x, y, background)
                                    for x, y in BACKGROUND_SPOTS])
                self.assertEqual(snapshot(skin), before)
                program.close()


class LibrarySearchTest(SkinTestCase):
    def test_uses_the_copy_on_the_search_path_when_none_is_beside_the_program(self):
        run = self.run_directory(library=None)
        search = self.directory("search")
        shutil.copy2(SKIN_LIBRARY, os.path.join(search, "SkinH_EL.dll"))
        program = self.start(run, search_path=search)
        self.expect_pixels(program.main_window(), skin_checks(read_skin(BUILT_IN_SKIN)))

    def test_calls_the_library_with_the_full_path_and_an_empty_text(self):
        run = self.run_directory(library=os.environ["XL_RECORDING_SKIN"])
        program = self.start(run)
        program.main_window()
        self.assertIn('SkinH_Attach_Ex("%s", "") in %s\n'
                      % (os.path.join(run, "Skin.she"), os.path.join(run, "SkinH_EL.dll")),
                      program.stderr())

    def test_stops_for_a_library_beside_the_program_without_the_function(self):
        run = self.run_directory(library=os.environ["XL_NO_EXPORT_SKIN"])
        search = self.directory("search")
        shutil.copy2(SKIN_LIBRARY, os.path.join(search, "SkinH_EL.dll"))
        program = self.start(run, search_path=search)
        self.expect_stop(program, MISSING_FUNCTION_BOX)

    def test_stops_when_the_library_is_nowhere_after_writing_the_skin_file(self):
        run = self.run_directory(library=None)
        program = self.start(run)
        self.expect_stop(program, MISSING_FUNCTION_BOX)
        with open(os.path.join(run, "Skin.she"), "rb") as written, open(BUILT_IN_SKIN, "rb") as f:
            self.assertEqual(written.read(), f.read())

    def test_stops_with_error_6_when_the_function_unbalances_the_stack(self):
        run = self.run_directory(library=os.environ["XL_UNBALANCED_SKIN"])
        program = self.start(run)
        self.expect_stop(program, STACK_BOX)

    def expect_stop(self, program, box):
        self.assertTrue(program.windows_of(ERROR_TITLE), program.stderr())
        # The stop came inside the main window's creation event: the window is never shown.
        self.assertEqual(find_windows(MAIN_TITLE, wait=False), [])
        self.press_ok_in_error_box(program)
        self.expect_exit(program, 255)
        self.assertIn(box, program.stderr())


class UnwritableRunDirectoryTest(SkinTestCase):
    def test_goes_on_without_a_message_and_passes_the_path(self):
        # The program runs from a run directory that no longer exists: nothing can be created
        # in it, whoever runs the test. It is started through a descriptor of its executable.
        run = self.run_directory(library=None)
        executable = os.path.join(run, "xiaoliao")
        fd = os.open(executable, os.O_RDONLY)
        try:
            os.unlink(executable)
            os.rmdir(run)
            search = self.directory("search")
            shutil.copy2(os.environ["XL_RECORDING_SKIN"], os.path.join(search, "SkinH_EL.dll"))
            program = self.start_command(["/proc/self/fd/%d" % fd], search, pass_fds=(fd,))
            window = program.main_window()
        finally:
            os.close(fd)
        self.assertIn('SkinH_Attach_Ex("%s", "") in %s\n'
                      % (os.path.join(run, "Skin.she"), os.path.join(search, "SkinH_EL.dll")),
                      program.stderr())
        self.assertEqual(find_windows(ERROR_TITLE, wait=False), [])
        self.assertFalse(os.path.exists(run))
        close_window(window)
        self.expect_exit(program, 0)


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)


def png(colour, size=8):
    """A PNG image of one colour."""
    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data
                + struct.pack(">I", zlib.crc32(kind + data)))
    row = b"\x00" + bytes(colour) * size
    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 2, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(row * size)) + chunk(b"IEND", b""))


def snapshot(path):
    """What a test can tell about a path: its kind and, for a file, its bytes."""
    st = os.lstat(path)
    if os.path.isdir(path):
        return ("directory", sorted(os.listdir(path)))
    if not os.path.isfile(path):
        return ("other", st.st_mode)
    with open(path, "rb") as f:
        return ("file", f.read())


if __name__ == "__main__":
    if not os.environ.get("DISPLAY"):
        raise SystemExit("these tests need an X display in DISPLAY")
    if not os.path.exists(PROGRAM):
        raise SystemExit("no program at %s; set XL_RUN_DIR" % PROGRAM)
    unittest.main()
