"""End-to-end tests of the submission window: the real program under X, a real HTTP server on the
loopback address standing in for the product site, and what reaches that server as the evidence.

Needs DISPLAY (an X server without a window manager, such as Xvfb), xdotool and xclip, and
python3-xlib. XL_RUN_DIR is the build's run directory (the program and its browser view module);
XL_SITE_HOST the host the program was built with, whose port the stand-in site listens on.
"""

import http.server
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import threading
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from harness import (  # noqa: E402
    CREDITS_LINE, GENERATE_BUTTON, MAIN_TITLE, SITE_HOST, SUBMIT_BUTTON, ProgramTestCase,
    press, type_text, wait_until, window_atoms, window_geometry, x_window)

DIALOG_TITLE = "创意提交"
SUBMISSION_PREFIX = "/softwere/post/"

# The designed outer size of the submission window, and where its controls stand in its client
# area (left, top, width, height).
DIALOG_SIZE = (450, 355)
DIALOG_CLIENT_SIZE = (444, 327)
CONTROLS = {
    "类型": (87, 241, 100, 20),
    "词条": (87, 269, 166, 20),
    "QQ": (88, 296, 120, 16),
    "提交": (320, 254, 105, 48),
    "浏览器": (6, 8, 432, 224),
}
LIST_NAMES = sorted(name for name, _ in harness.LIST_FILES)

WAIT = 15.0  # seconds for anything the program or WebKit should do

# Every page of the stand-in site reports the keys that reach it, so that a test can tell that
# the keyboard focus is inside the view.
PAGE = (
    "<!doctype html><html><head><meta charset='utf-8'><link rel='icon' href='data:,'>"
    "<script>addEventListener('keydown', function (e) {"
    " new Image().src = '/page-key?' + encodeURIComponent(e.key); });</script>"
    "</head><body><p>stand-in site</p></body></html>"
).encode()


# --- the stand-in site -----------------------------------------------------------------------


class Request:
    def __init__(self, line, headers, body_length):
        self.line = line  # the raw request line, bytes, without CR LF
        parts = line.split(b" ")
        self.method = parts[0]
        self.target = parts[1] if len(parts) > 1 else b""
        self.headers = headers
        self.body_length = body_length

    @property
    def path(self):
        return self.target.split(b"?", 1)[0]

    def query_value(self, key):
        """The raw (still percent-encoded) value of `key` in the query, or None."""
        query = self.target.split(b"?", 1)[1] if b"?" in self.target else b""
        for pair in query.split(b"&"):
            name, _, value = pair.partition(b"=")
            if name == key:
                return value
        return None

    def __repr__(self):
        return repr(self.line)


class Recorder:
    """Serves every path with PAGE and records every request line, in order, also in a file."""

    def __init__(self, port, log_path):
        self.requests = []
        self.changed = threading.Condition()
        self.log_path = log_path
        recorder = self

        class Handler(http.server.BaseHTTPRequestHandler):
            protocol_version = "HTTP/1.1"

            def do_GET(self):
                self.record()

            def do_POST(self):
                self.record()

            def record(self):
                length = int(self.headers.get("Content-Length") or 0)
                if length:
                    self.rfile.read(length)
                recorder.add(Request(self.raw_requestline.rstrip(b"\r\n"),
                                     dict(self.headers.items()), length))
                self.send_response(200)
                self.send_header("Content-Type", "text/html; charset=utf-8")
                # Every navigation must reach the site, also a repeated one.
                self.send_header("Cache-Control", "no-store")
                self.send_header("Content-Length", str(len(PAGE)))
                self.end_headers()
                self.wfile.write(PAGE)

            def log_message(self, *args):
                pass

        class Server(http.server.ThreadingHTTPServer):
            # Lets a new run bind while connections of the last one linger in TIME_WAIT; a port
            # that something listens on still cannot be taken.
            allow_reuse_address = True
            daemon_threads = True

        class Server6(Server):
            address_family = socket.AF_INET6

        self.servers = [Server(("127.0.0.1", port), Handler)]
        # "localhost" may be tried as ::1 first; when the system has IPv6, make sure that what
        # answers there is this recorder too.
        try:
            self.servers.append(Server6(("::1", port), Handler))
        except OSError as e:
            if e.errno == 98:  # EADDRINUSE
                raise
        for server in self.servers:
            threading.Thread(target=server.serve_forever, daemon=True).start()

    def add(self, request):
        with self.changed:
            self.requests.append(request)
            with open(self.log_path, "ab") as log:
                log.write(request.line + b"\n")
            self.changed.notify_all()

    def mark(self):
        with self.changed:
            return len(self.requests)

    def since(self, mark):
        with self.changed:
            return list(self.requests[mark:])

    def wait_for(self, mark, accept, timeout=WAIT):
        """The first request after `mark` that `accept` takes; fails after the timeout."""
        deadline = time.monotonic() + timeout
        with self.changed:
            while True:
                for request in self.requests[mark:]:
                    if accept(request):
                        return request
                left = deadline - time.monotonic()
                if left <= 0:
                    raise AssertionError("no such request; the site saw: %r" % self.requests[mark:])
                self.changed.wait(left)

    def next_submission(self, mark, timeout=WAIT):
        return self.wait_for(mark, lambda r: r.path.startswith(SUBMISSION_PREFIX.encode()),
                             timeout)

    def close(self):
        for server in self.servers:
            server.shutdown()
            server.server_close()


def is_home(request):
    return request.path == b"/"


# --- the program -----------------------------------------------------------------------------


class ProgramTest(ProgramTestCase):
    """Each test runs its own copy of the program, with the view module, against the stand-in
    site that the whole class shares."""

    @classmethod
    def setUpClass(cls):
        harness.require_built_program()
        host, _, port = SITE_HOST.rpartition(":")
        if host not in ("localhost", "127.0.0.1") or not port.isdigit():
            raise AssertionError("the program was built for the site %r; these tests need it "
                                 "built for localhost:<port> or 127.0.0.1:<port>" % SITE_HOST)
        cls.work = tempfile.mkdtemp(prefix="xl-submission-")
        try:
            cls.site = Recorder(int(port), os.path.join(cls.work, "requests.log"))
        except OSError as e:
            shutil.rmtree(cls.work, ignore_errors=True)
            raise AssertionError("cannot listen on port %s of the loopback address (%s): the "
                                 "program under test sends its requests to %s, so the stand-in "
                                 "site needs that port" % (port, e, SITE_HOST))

    @classmethod
    def tearDownClass(cls):
        cls.site.close()
        shutil.rmtree(cls.work, ignore_errors=True)

    def setUp(self):
        self.run_dir = self.new_run_dir(view_module=True)
        self.program = self.new_program(self.run_dir)
        self.addCleanup(self.show_output)

    def show_output(self):
        # Shown by ctest when a test fails.
        said = self.program.stderr()
        with open(self.program.stdout_path, "rb") as f:
            said = f.read().decode(errors="replace") + said
        if said:
            sys.stderr.write("[%s, program output]\n%s" % (self.id(), said))

    # Opening, closing and finding things.

    def open_dialog(self):
        """Presses 创意提交 and waits for the window and its request of the home page."""
        mark = self.site.mark()
        self.program.click_control(SUBMIT_BUTTON)
        dialog = self.program.wait_window(DIALOG_TITLE, timeout=WAIT)
        self.site.wait_for(mark, is_home)
        self.program.focus(dialog)
        return dialog

    def close_dialog(self, dialog):
        self.program.close(dialog)
        self.program.wait_gone(DIALOG_TITLE, timeout=WAIT)

    def click_control(self, dialog, name):
        self.program.click_control(CONTROLS[name], wid=dialog)
        self.program.focus(dialog)

    def list_files(self):
        return sorted(n for n in LIST_NAMES if os.path.exists(self.run_dir.file(n)))

    def wait_list_files(self):
        wait_until(lambda: self.list_files() == LIST_NAMES, WAIT,
                   "生成 did not write the list files")

    def submit_with_enter(self):
        mark = self.site.mark()
        press("Return")
        return self.site.next_submission(mark)


def expected(category, ct, qq):
    return ("GET " + SUBMISSION_PREFIX + category + ".asp?ct=" + ct + "&qq=" + qq +
            " HTTP/1.1").encode()


class SubmissionTest(ProgramTest):

    def test_opening_and_the_first_submissions(self):
        dialog = self.open_dialog()

        # 提交 pressed at once sends both values empty.
        mark = self.site.mark()
        first = mark
        self.click_control(dialog, "提交")
        self.assertEqual(self.site.next_submission(mark).line, expected("xrc", "", ""))

        # 事件, "ab" and "123", sent by Enter in QQ. The focus is back in 词条 after a press.
        press("shift+Tab", "End", "Tab")
        type_text("ab")
        press("Tab")
        type_text("123")
        sent = self.submit_with_enter()
        self.assertEqual(sent.line, expected("sj", "ab", "123"))
        self.assertEqual((sent.method, sent.body_length), (b"GET", 0))

        # Afterwards 词条 is empty and has the focus, 类型 still shows 事件 and QQ still holds
        # 123: what is typed now is all the next entry, and Enter in 词条 sends it.
        type_text("x")
        self.assertEqual(self.submit_with_enter().line, expected("sj", "x", "123"))
        # Two presses in a row: the second one sends an empty entry, the rest as before.
        self.assertEqual(self.submit_with_enter().line, expected("sj", "", "123"))
        self.assertEqual(self.submit_with_enter().line, expected("sj", "", "123"))

        # One request per press: the redraw after each one does not load the page again.
        time.sleep(1.0)
        sent = [r.line for r in self.site.since(first) if r.path.startswith(b"/softwere/")]
        self.assertEqual(sent, [expected("xrc", "", ""), expected("sj", "ab", "123"),
                                expected("sj", "x", "123"), expected("sj", "", "123"),
                                expected("sj", "", "123")])

    def test_category_list_offers_its_four_items_in_order(self):
        dialog = self.open_dialog()
        mark = self.site.mark()
        before = harness.popup_windows()
        self.click_control(dialog, "类型")
        # The list is a window of its own that has the keyboard while it is open.
        wait_until(lambda: harness.popup_windows() - before, WAIT, "no drop-down list appeared")
        press("Down", "Return")
        time.sleep(1.0)
        self.assertEqual([r for r in self.site.since(mark) if r.path.startswith(b"/softwere/")],
                         [])
        self.assertEqual(self.submit_with_enter().line, expected("rm", "", ""))

        # With the list closed the arrow keys step through the items, and Enter in 类型 sends.
        rows = [
            # key in 类型, the category sent
            ("Down", "dm"),
            ("Down", "sj"),
            ("Down", "sj"),  # 事件 is the last of the four
            ("Home", "xrc"),
        ]
        for pressed, category in rows:
            with self.subTest(key=pressed):
                press("shift+Tab", pressed)
                self.assertEqual(self.submit_with_enter().line, expected(category, "", ""))

    def test_entries_reach_the_site_as_the_view_sends_them(self):
        # The program hands the view the address unescaped; WebKit percent-encodes what an
        # address cannot carry (as UTF-8) and keeps a "#" and what follows as the fragment.
        rows = [
            # typed into 词条, what the site sees as the query
            ("中文词条", "ct=%E4%B8%AD%E6%96%87%E8%AF%8D%E6%9D%A1&qq="),
            ("a&b", "ct=a&b&qq="),
            ("a b", "ct=a%20b&qq="),
            ("100%", "ct=100%&qq="),
            ("%41", "ct=A&qq="),
            ("a+b=c?d", "ct=a+b=c?d&qq="),
            ("a#b", "ct=a"),
        ]
        dialog = self.open_dialog()
        self.click_control(dialog, "词条")
        for typed, query in rows:
            with self.subTest(typed=typed):
                type_text(typed)
                sent = self.submit_with_enter()
                self.assertEqual(sent.target, (SUBMISSION_PREFIX + "xrc.asp?" + query).encode())

    def test_qq_box_admits_digits_and_minus_when_typed(self):
        rows = [
            # typed into an emptied QQ, what QQ then holds
            ("12ab-3", "12-3"),
            ("1 2+3.4,5", "12345"),
            ("9中文8", "98"),
            ("-1--2-", "-1--2-"),
            ("12345678901", "1234567890"),
        ]
        dialog = self.open_dialog()
        for typed, held in rows:
            with self.subTest(typed=typed):
                self.click_control(dialog, "QQ")
                press("ctrl+a", "BackSpace")
                type_text(typed)
                sent = self.submit_with_enter()
                self.assertEqual(sent.query_value(b"qq"), held.encode())

    def test_text_pasted_into_qq_is_not_filtered(self):
        dialog = self.open_dialog()
        clipboard = subprocess.Popen(["xclip", "-quiet", "-selection", "clipboard", "-i"],
                                     stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                                     stderr=subprocess.DEVNULL)
        self.addCleanup(clipboard.wait)
        self.addCleanup(clipboard.kill)
        clipboard.stdin.write(b"qq-12ab")
        clipboard.stdin.close()
        wait_until(lambda: harness.read_clipboard() == b"qq-12ab", WAIT,
                   "the clipboard was not set")
        self.click_control(dialog, "QQ")
        type_text("7")
        press("ctrl+v")
        self.assertEqual(self.submit_with_enter().query_value(b"qq"), b"7qq-12ab")

    def test_escape_and_f1_leave_the_window_as_it_is(self):
        dialog = self.open_dialog()
        self.click_control(dialog, "词条")
        type_text("ab")
        press("Escape", "F1")
        time.sleep(0.5)
        self.assertIn(DIALOG_TITLE, self.program.windows().values())
        type_text("c")
        self.assertEqual(self.submit_with_enter().line, expected("xrc", "abc", ""))

    def test_tab_order_runs_through_the_view_and_back(self):
        # From the window's first focus (类型), after these keys the focus is on the control
        # named. Shown by keys that only that control turns into what the site sees: End picks
        # the last category only in 类型, "7" lands in the box that has the focus, Enter on
        # 提交 sends an empty entry, and keys inside the view reach the page instead.
        rows = [
            ([], "类型"),
            (["Tab"], "词条"),
            (["Tab"] * 2, "QQ"),
            (["Tab"] * 3, "提交"),
            (["Tab"] * 4, "浏览器"),
            (["Tab"] * 5, "类型"),
            (["shift+Tab"], "浏览器"),
            (["shift+Tab"] * 2, "提交"),
            (["shift+Tab"] * 3, "QQ"),
            (["shift+Tab"] * 4, "词条"),
            (["shift+Tab"] * 5, "类型"),
        ]
        seen = {
            "类型": expected("sj", "", ""),
            "词条": expected("xrc", "7", ""),
            "QQ": expected("xrc", "", "7"),
            "提交": expected("xrc", "", ""),
        }
        for keys, control in rows:
            with self.subTest(keys=" ".join(keys), control=control):
                dialog = self.open_dialog()
                try:
                    for k in keys:
                        press(k)
                        # The view passes the focus on only after the page has had the key.
                        time.sleep(0.3)
                    mark = self.site.mark()
                    press("End")
                    type_text("7")
                    press("Return")
                    if control == "浏览器":
                        self.site.wait_for(mark, lambda r: r.target == b"/page-key?Enter")
                        time.sleep(0.5)
                        submissions = [r for r in self.site.since(mark)
                                       if r.path.startswith(SUBMISSION_PREFIX.encode())]
                        self.assertEqual(submissions, [])
                    else:
                        self.assertEqual(self.site.next_submission(mark).line, seen[control])
                finally:
                    self.close_dialog(dialog)


class DialogTest(ProgramTest):

    def test_window_is_a_fixed_centred_dialog_made_afresh(self):
        screen_width, screen_height = harness.screen_size()
        centred = ((screen_width - DIALOG_SIZE[0]) // 2, (screen_height - DIALOG_SIZE[1]) // 2)
        for opening in range(2):
            with self.subTest(opening=opening):
                dialog = self.open_dialog()
                try:
                    # No window manager: the outer size is the client size, and the window
                    # stands where the program put it.
                    x, y, width, height = window_geometry(dialog)
                    self.assertEqual((width, height), DIALOG_CLIENT_SIZE)
                    self.assertEqual((x, y), centred)
                    hints = x_window(dialog).get_wm_normal_hints()
                    self.assertEqual((hints.min_width, hints.min_height), DIALOG_CLIENT_SIZE)
                    self.assertEqual((hints.max_width, hints.max_height), DIALOG_CLIENT_SIZE)
                    self.assertEqual(x_window(dialog).get_wm_transient_for().id,
                                     self.program.window)
                    # A dialog type makes a window manager leave out minimise and maximise.
                    self.assertEqual(window_atoms(dialog, "_NET_WM_WINDOW_TYPE"),
                                     ["_NET_WM_WINDOW_TYPE_DIALOG"])
                    states = window_atoms(dialog, "_NET_WM_STATE")
                    self.assertIn("_NET_WM_STATE_SKIP_TASKBAR", states)
                    self.assertIn("_NET_WM_STATE_MODAL", states)
                    # The user moves it away; the next opening is centred again.
                    harness.move_window(dialog, 10, 20)
                finally:
                    self.close_dialog(dialog)

    def test_without_the_view_module_the_window_stays_shut_and_the_main_window_usable(self):
        for name in os.listdir(self.run_dir.path):
            if name.endswith(".so"):
                os.remove(self.run_dir.file(name))
        mark = self.site.mark()
        self.program.click_control(SUBMIT_BUTTON)
        self.program.click_control(GENERATE_BUTTON)
        self.wait_list_files()
        self.assertEqual(list(self.program.windows().values()), [MAIN_TITLE])
        self.assertEqual(self.site.since(mark), [])
        self.assertTrue(self.program.running())

    def test_main_window_waits_while_the_dialog_is_open(self):
        program = self.program
        # Out from under the dialog, so that clicks on it land on its buttons.
        harness.move_window(program.window, 0, 0)
        wait_until(lambda: program.geometry()[:2] == (0, 0), WAIT, "the main window did not move")

        dialog = self.open_dialog()
        self.click_control(dialog, "QQ")
        type_text("55")
        self.click_control(dialog, "词条")
        type_text("old")

        # The buttons take no clicks: 生成 writes no list files, 创意提交 opens nothing more.
        mark = self.site.mark()
        credits = set()
        for _ in range(2):
            program.click_control(GENERATE_BUTTON)
            program.click_control(SUBMIT_BUTTON)
        # The timer keeps ticking behind the dialog: the credits line changes every 3 s (its
        # first tick shows the design text again, so a change may take 6 s to come).
        started = time.monotonic()
        while len(credits) < 3 and time.monotonic() - started < 10.0:
            credits.add(program.screenshot().crop(CREDITS_LINE))
            time.sleep(0.25)
        self.assertEqual(self.list_files(), [])
        self.assertEqual([r for r in self.site.since(mark) if is_home(r)], [])
        self.assertEqual(sorted(program.windows().values()), sorted([MAIN_TITLE, DIALOG_TITLE]))
        self.assertGreaterEqual(len(credits), 3)

        self.close_dialog(dialog)
        program.click_control(GENERATE_BUTTON)
        self.wait_list_files()

        # A new opening shows the home page, 形容词 and empty boxes.
        self.open_dialog()
        self.assertEqual(self.submit_with_enter().line, expected("xrc", "", ""))

        # Closing the dialog does not end the program; closing the main window does, orderly.
        self.close_dialog(program.wait_window(DIALOG_TITLE, timeout=WAIT))
        self.assertTrue(program.running())
        program.close()
        self.assertEqual(program.wait_exit(timeout=WAIT)[0], 0)


if __name__ == "__main__":
    harness.main()
