"""End-to-end tests of the main window: its look, keys and focus, closing, the promotion link and
the 生成 button with the word list files beside the program."""

import os
import shutil
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from harness import (  # noqa: E402
    CLIENT_SIZE, CREDITS_LINE, ERROR_TITLE, GENERATE_BUTTON, LIST_FILES, MAIN_TITLE, OUTER_SIZE,
    PROMOTION_ADDRESS, PROMOTION_LINK, SENTENCE_BOX, SHARE_BUTTON, SHARE_SUFFIX,
    STATUS_BAR_HEIGHT, STATUS_PANE_EDGES, SUBMIT_BUTTON, ProgramTestCase, centre,
    colour_distance, gbk)

LIST_NAMES = [name for name, _ in LIST_FILES]

ERROR_BOX_TEXTS = {
    4: "运行时出错!\r\n\r\n错误代码：4\r\n\r\n错误信息：数组成员引用下标必须大于等于1\r\n",
    1: "运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n",
}

BUTTONS = {"生成": GENERATE_BUTTON, "创意提交": SUBMIT_BUTTON, "分享": SHARE_BUTTON}
A_SPOT_IN_THE_BOX = (100, 30)


def file_states(run_dir, names):
    """{name: (bytes, mtime_ns)} of the files that exist."""
    states = {}
    for name in names:
        path = run_dir.file(name)
        if os.path.isfile(path):
            states[name] = (run_dir.read(name), os.stat(path).st_mtime_ns)
    return states


class WindowTest(ProgramTestCase):

    def test_window_settings(self):
        program = self.new_program()
        screen_w, screen_h = harness.screen_size()
        x, y, w, h = program.geometry()
        program_hints = None
        prop = harness.window_property(program.window, "WM_NORMAL_HINTS")
        if prop is not None:
            program_hints = list(prop.value)
        icons = harness.window_property(program.window, "_NET_WM_ICON")
        icon_sizes = []
        if icons is not None:
            values, i = list(icons.value), 0
            while i + 2 <= len(values):
                iw, ih = values[i], values[i + 1]
                icon_sizes.append((iw, ih))
                i += 2 + iw * ih
        # With no window manager the X window is the client area, placed where the program
        # put its outer frame's corner by the centring formula.
        cases = [
            ("title", harness.window_title(program.window), MAIN_TITLE),
            ("client size", (w, h), CLIENT_SIZE),
            ("centred", (x, y), ((screen_w - OUTER_SIZE[0]) // 2,
                                 (screen_h - OUTER_SIZE[1]) // 2)),
            ("has a 32 x 32 icon", (32, 32) in icon_sizes, True),
        ]
        for what, got, expected in cases:
            with self.subTest(what):
                self.assertEqual(got, expected)
        with self.subTest("not resizable"):
            self.assertIsNotNone(program_hints, "no WM_NORMAL_HINTS")
            flags = program_hints[0]
            # PMinSize = 16, PMaxSize = 32; min at 5, 6 and max at 7, 8.
            self.assertTrue(flags & 16 and flags & 32, f"hint flags {flags:#x}")
            self.assertEqual(tuple(program_hints[5:7]), CLIENT_SIZE)
            self.assertEqual(tuple(program_hints[7:9]), CLIENT_SIZE)

    def test_controls_at_their_designed_places(self):
        program = self.new_program()
        shot = program.screenshot()
        self.assertEqual((shot.width, shot.height), CLIENT_SIZE)

        # The skin may shade the background from top to bottom; each row's own background
        # shows at the left margin, where no control reaches (inside the status bar, that of
        # its first pane).
        def bg(y):
            return shot.pixel(2, y)

        def differs(point, threshold=60):
            return colour_distance(shot.pixel(*point), bg(point[1])) > threshold

        def drawn(point):  # also the light edges of sunken frames
            return differs(point, 20)

        def column(x, y0, y1):
            return [(x, y) for y in range(y0, y1 + 1)]

        def row(y, x0, x1):
            return [(x, y) for x in range(x0, x1 + 1)]

        x, y, w, h = SENTENCE_BOX
        right, bottom = x + w - 1, y + h - 1
        with self.subTest("edit box frame"):
            for name, points, expect_drawn in [
                ("left edge", column(x, y + 1, bottom - 1), True),
                ("right edge", column(right, y + 1, bottom - 1), True),
                ("top edge", row(y, x + 1, right - 1), True),
                ("bottom edge", row(bottom, x + 1, right - 1), True),
                ("left of it", column(x - 1, y + 1, bottom - 1), False),
                ("right of it", column(right + 1, y + 1, bottom - 1), False),
                ("above it", row(y - 1, x + 1, right - 1), False),
            ]:
                self.assertEqual([pt for pt in points if differs(pt) != expect_drawn], [], name)
        with self.subTest("edit box is white inside"):
            inside = [shot.pixel(i, j) for j in range(y + 2, bottom - 1)
                      for i in range(x + 2, right - 1)]
            white = sum(1 for p in inside if p == (255, 255, 255))
            self.assertGreater(white, 0.97 * len(inside))

        for name, (x, y, w, h) in BUTTONS.items():
            right, bottom = x + w - 1, y + h - 1
            with self.subTest("button edges", button=name):
                # The corners are rounded: look at the sides half-way down, clear of the
                # caption.
                probe = y + h // 2
                self.assertTrue(differs((x, probe)), "left edge")
                self.assertTrue(differs((right, probe)), "right edge")
                self.assertFalse(differs((x - 1, probe)), "left of the left edge")
                self.assertFalse(differs((right + 1, probe)), "right of the right edge")
                self.assertFalse(any(map(differs, row(probe, x + 1, x + 8))), "face")
                self.assertFalse(any(map(differs, row(probe, right - 8, right - 1))), "face")
                self.assertTrue(differs((x + 4, y)), "top edge")
                self.assertTrue(differs((x + 4, bottom)), "bottom edge")
                self.assertFalse(differs((x + 4, bottom + 1)), "below the bottom edge")
            with self.subTest("caption centred", button=name):
                box = shot.bbox(lambda p: sum(p) < 450, (x + 1, y + 1, w - 2, h - 2))
                self.assertIsNotNone(box, "no caption")
                self.assertLessEqual(abs((box[0] + box[2]) / 2 - (x + w / 2 - 0.5)), 2, box)
                self.assertLessEqual(abs((box[1] + box[3]) / 2 - (y + h / 2 - 0.5)), 2, box)

        labels = [
            # name, rect, colour, pixel test, horizontal alignment
            ("promotion link", PROMOTION_LINK, (255, 0, 0),
             lambda p: p[0] - p[1] > 60 and abs(p[1] - p[2]) < 20, "left"),
            ("credits line", CREDITS_LINE, (255, 168, 255),
             lambda p: p[0] - p[1] > 25 and p[2] - p[1] > 25 and abs(p[0] - p[2]) < 20,
             "centre"),
        ]
        for name, (x, y, w, h), colour, test, align in labels:
            with self.subTest("label", label=name):
                box = shot.bbox(test)
                self.assertIsNotNone(box, "no text in the label's colour")
                self.assertGreaterEqual(box[0], x)
                self.assertGreaterEqual(box[1], y)
                self.assertLess(box[2], x + w)
                self.assertLess(box[3], y + h)
                if align == "left":
                    self.assertLessEqual(box[0] - x, 3, f"text starts at {box[0]}")
                    self.assertLessEqual(abs((box[1] + box[3]) / 2 - (y + h / 2 - 0.5)), 2,
                                         f"text rows {box[1]}..{box[3]}")
                else:
                    self.assertLessEqual(abs((box[0] + box[2]) / 2 - (x + w / 2 - 0.5)), 2,
                                         f"text columns {box[0]}..{box[2]}")
                strongest = max(shot.points(test, (x, y, w, h)),
                                key=lambda pt: colour_distance(shot.pixel(*pt), bg(pt[1])))
                got = shot.pixel(*strongest)
                self.assertLessEqual(max(abs(a - b) for a, b in zip(got, colour)), 12, got)
            with self.subTest("label draws no box", label=name):
                corners = [(x, y), (x + w - 1, y), (x, y + h - 1), (x + w - 1, y + h - 1)]
                self.assertEqual([shot.pixel(*c) for c in corners], [bg(c[1]) for c in corners])

        bar_top = CLIENT_SIZE[1] - STATUS_BAR_HEIGHT
        with self.subTest("status bar docked at the bottom"):
            self.assertFalse(any(map(drawn, row(bar_top - 1, 0, CLIENT_SIZE[0] - 1))))
            # Its top edge, against the window's background just above it.
            above = bg(bar_top - 1)
            edge = [shot.pixel(*pt) for pt in row(bar_top, 0, CLIENT_SIZE[0] - 1)]
            self.assertGreater(sum(colour_distance(p, above) > 20 for p in edge),
                               0.9 * len(edge))
        with self.subTest("status bar pane edges"):
            # The columns that are drawn over the whole inner height of the bar are the panes'
            # side edges; text never fills a column from top to bottom. A frame may be a pixel
            # or two thick.
            full = [i for i in range(CLIENT_SIZE[0])
                    if all(map(drawn, column(i, bar_top + 2, CLIENT_SIZE[1] - 3)))]
            first, second = STATUS_PANE_EDGES
            edges = (0, first, second)
            self.assertEqual([i for i in full if min(abs(i - e) for e in edges) > 2], [], full)
            for edge in edges:
                self.assertTrue(any(abs(i - edge) <= 1 for i in full), f"{edge}: {full}")

    def test_long_sentence_wraps_without_scroll_bar(self):
        run_dir = self.new_run_dir()
        for name, entry in zip(LIST_NAMES, ["头顶西瓜", "某人", "教室里", "砍柴" * 60]):
            run_dir.write(name, gbk(entry))
        program = self.new_program(run_dir)
        program.click_control(GENERATE_BUTTON)
        program.settle()
        program.move(SENTENCE_BOX[0] + SENTENCE_BOX[2] - 6, centre(SENTENCE_BOX)[1])
        program.settle()
        shot = program.screenshot()
        x, y, w, h = SENTENCE_BOX
        inner = (x + 1, y + 1, w - 2, h - 2)

        def ink(p):
            return sum(p) < 600

        rows = sorted({py for _, py in shot.points(ink, inner)})
        lines = [rows[i] for i in range(len(rows)) if i == 0 or rows[i] - rows[i - 1] > 1]
        with self.subTest("several lines"):
            self.assertGreaterEqual(len(lines), 3, f"text rows {rows}")
        with self.subTest("wrapped at the box's width"):
            box = shot.bbox(ink, inner)
            self.assertGreater(box[2], x + w - 30, box)
        with self.subTest("no scroll bar"):
            # A scroll bar would be a column of non-white pixels down the box's right side;
            # the text leaves some white in every column there.
            right = range(x + w - 16, x + w - 1)
            top_to_bottom = range(y + 2, y + h - 2)
            bars = [px for px in right
                    if all(shot.pixel(px, py) != (255, 255, 255) for py in top_to_bottom)]
            self.assertEqual(bars, [])


class FocusTest(ProgramTestCase):
    """Tab and Shift+Tab from the edit box, seen by which button shows the focus and by what
    pressing the focused control does."""

    def start_in_the_box(self):
        program = self.new_program()
        program.click(*A_SPOT_IN_THE_BOX)
        program.settle()
        return program

    def test_focus_ring_follows_the_order(self):
        cases = [
            ([], None),
            (["Tab"], "生成"),
            (["Tab"] * 2, "分享"),
            (["Tab"] * 3, "创意提交"),
            (["Tab"] * 4, None),
            (["Tab"] * 5, "生成"),
            (["shift+Tab"], "创意提交"),
            (["shift+Tab"] * 2, "分享"),
            (["shift+Tab"] * 3, "生成"),
            (["shift+Tab"] * 4, None),
            (["Tab", "Tab", "shift+Tab"], "生成"),
        ]
        program = self.start_in_the_box()
        # A button that has the keyboard focus looks different from one that has not.
        program.key("Tab", "Tab", "Tab", "Tab")
        program.settle()
        baseline = program.screenshot()
        for keys, focused in cases:
            with self.subTest(keys=" ".join(keys) or "none", focused=focused):
                program.click(*A_SPOT_IN_THE_BOX)
                if keys:
                    program.key(*keys)
                program.settle()
                shot = program.screenshot()
                changed = sorted(name for name, rect in BUTTONS.items()
                                 if shot.crop(rect) != baseline.crop(rect))
                self.assertEqual(changed, [focused] if focused else [])

    def test_pressing_the_focused_control(self):
        lists = harness.default_lists()
        cases = [
            # keys, then what is typed or pressed, and what 分享 then shares
            (["Tab"], "space", "sentence"),
            (["Tab"] * 2, "space", "suffix alone"),
            (["Tab"] * 4, "x", "x"),
            (["shift+Tab"] * 2, "space", "suffix alone"),
            (["shift+Tab"] * 3, "space", "sentence"),
            (["shift+Tab"] * 4, "x", "x"),
            (["Tab"] * 3 + ["shift+Tab"], "space", "suffix alone"),
            # Typing on a button puts nothing into the box.
            (["Tab"], "x", ""),
        ]
        for keys, action, expected in cases:
            with self.subTest(keys=" ".join(keys), action=action):
                program = self.start_in_the_box()
                program.key(*keys)
                if action == "space":
                    program.key("space")
                else:
                    program.type(action)
                program.settle()
                if expected == "suffix alone":
                    # 分享 was pressed by the key; nothing else may be needed.
                    self.assertEqual(self.wait_clipboard(), SHARE_SUFFIX)
                    program.kill()
                    continue
                text = self.sentence_box_text(program)
                if expected == "sentence":
                    self.assertIsNotNone(harness.split_sentence(text, *lists), text)
                else:
                    self.assertEqual(text, expected)
                program.kill()


class KeysTest(ProgramTestCase):

    def test_keys(self):
        # Each case: keys after clicking into the box and typing "a", and the box's text after.
        # None of them may press a button: no list file appears (生成), no window opens
        # (创意提交).
        cases = [
            ("Escape in the box", ["Escape"], "a"),
            ("F1 in the box", ["F1"], "a"),
            ("Escape on 生成", ["Tab", "Escape"], "a"),
            ("F1 on 分享", ["Tab", "Tab", "F1"], "a"),
            ("Return on 生成", ["Tab", "Return"], "a"),
            ("keypad Enter on 生成", ["Tab", "KP_Enter"], "a"),
            ("Return on 创意提交", ["Tab", "Tab", "Tab", "Return"], "a"),
            ("Return in the box", ["Return", "b"], ["a\r\nb", "a\nb"]),
            ("Tab in the box inserts nothing", ["Tab", "Tab", "Tab", "Tab", "b"], "ab"),
        ]
        for name, keys, expected in cases:
            with self.subTest(name):
                run_dir = self.new_run_dir()
                program = self.new_program(run_dir)
                main = program.window
                program.click(*A_SPOT_IN_THE_BOX)
                program.type("a")
                program.key(*keys)
                program.settle(0.8)
                self.assertTrue(program.running(), "the program ended")
                self.assertEqual(program.windows(), {main: MAIN_TITLE})
                self.assertEqual([n for n in LIST_NAMES if os.path.exists(run_dir.file(n))],
                                 [], "a list file was written: 生成 was pressed")
                text = self.sentence_box_text(program)
                if isinstance(expected, list):
                    self.assertIn(text, expected)
                else:
                    self.assertEqual(text, expected)
                program.kill()

    def test_return_on_share_copies_nothing(self):
        program = self.new_program()
        program.click(*A_SPOT_IN_THE_BOX)
        program.type("a")
        program.key("Tab", "Tab", "Return")
        program.settle(0.8)
        self.assertTrue(program.running())
        clip = harness.read_clipboard()
        self.assertFalse(clip is not None and SHARE_SUFFIX.encode("utf-8") in clip, clip)


class CloseTest(ProgramTestCase):

    def test_close_button_ends_with_status_0(self):
        cases = ["before any press", "after 生成 and 分享", "with text typed in the box"]
        for case in cases:
            with self.subTest(case):
                program = self.new_program()
                if case == "after 生成 and 分享":
                    program.click_control(GENERATE_BUTTON)
                    program.settle()
                    self.sentence_box_text(program)
                elif case == "with text typed in the box":
                    program.click(*A_SPOT_IN_THE_BOX)
                    program.type("再见")
                program.close()
                code, err = program.wait_exit()
                self.assertEqual(code, 0, err)
                self.assertNotIn("运行时出错", err)


class PromotionLinkTest(ProgramTestCase):
    """The link opens the promotion page through the desktop's http handler, here a script that
    records each address it is given."""

    def wait_lines(self, run_dir, count, timeout=6):
        deadline = time.monotonic() + timeout
        while len(run_dir.opened_addresses()) < count and time.monotonic() < deadline:
            time.sleep(0.1)
        time.sleep(1.2)  # anything more that was going to come
        return run_dir.opened_addresses()

    def test_presses(self):
        run_dir = self.new_run_dir()
        run_dir.install_url_recorder()
        program = self.new_program(run_dir)
        link = centre(PROMOTION_LINK)

        def single():
            program.click(*link)

        def double():
            program.click(*link, repeat=2, delay_ms=80)

        def two_apart():
            program.click(*link)
            time.sleep(1.0)
            program.click(*link)

        def press_held():
            program.mouse_down(*link)
            # The page opens on the press, before the button is released.
            lines = self.wait_lines(run_dir, seen + 1, timeout=4)
            program.mouse_up()
            self.assertEqual(len(lines) - seen, 1, "nothing opened while the button was down")

        def on(point):
            return lambda: program.click(*point)

        credits_text = (CREDITS_LINE[0] + CREDITS_LINE[2] // 2, CREDITS_LINE[1] + 6)
        cases = [
            ("one press", single, 1),
            ("a double click", double, 1),
            ("two presses a second apart", two_apart, 2),
            ("press and hold", press_held, 1),
            ("the background", on((30, 110)), 0),
            ("the credits line", on(credits_text), 0),
            ("the status bar", on((150, 150)), 0),
            ("right button on the link",
             lambda: (program.move(*link), harness.xdotool("click", 3)), 0),
        ]
        for name, action, opened in cases:
            with self.subTest(name):
                seen = len(run_dir.opened_addresses())
                action()
                lines = self.wait_lines(run_dir, seen + max(opened, 1),
                                        timeout=6 if opened else 0.8)
                self.assertEqual(lines[seen:], [PROMOTION_ADDRESS] * opened)
                self.assertTrue(program.running())
                self.assertEqual(list(program.windows().values()), [MAIN_TITLE])
                time.sleep(0.6)  # keep the next case's first click from pairing with this one


class GenerateTest(ProgramTestCase):

    def press_generate(self, program):
        program.click_control(GENERATE_BUTTON)
        program.settle()

    def test_first_press_writes_the_defaults(self):
        run_dir = self.new_run_dir()
        program = self.new_program(run_dir)
        self.assertEqual([n for n in LIST_NAMES if os.path.exists(run_dir.file(n))], [],
                         "list files before any press")
        self.press_generate(program)
        on_disk = os.listdir(os.fsencode(run_dir.path))
        for name, source in LIST_FILES:
            with self.subTest(name):
                self.assertIn(name.encode("utf-8"), on_disk, "file name not in UTF-8")
                self.assertEqual(run_dir.read(name), harness.default_file_bytes(source))
        with self.subTest("the sentence"):
            text = self.sentence_box_text(program)
            self.assertIsNotNone(harness.split_sentence(text, *harness.default_lists()), text)

    def test_run_directory_anywhere(self):
        cases = [
            ("a name with spaces and Chinese", "笑料 工坊 目录"),
            ("a path of 600 bytes", os.path.join(*["d" * 49] * 12)),
            ("deep and Chinese", os.path.join(*["很深的目录" * 3] * 16)),
        ]
        for name, relative in cases:
            with self.subTest(name):
                run_dir = self.new_run_dir(relative)
                program = self.new_program(run_dir)
                self.press_generate(program)
                for file_name, source in LIST_FILES:
                    self.assertEqual(run_dir.read(file_name), harness.default_file_bytes(source),
                                     file_name)
                text = self.sentence_box_text(program)
                self.assertIsNotNone(harness.split_sentence(text, *harness.default_lists()))
                program.close()
                self.assertEqual(program.wait_exit()[0], 0)

    def test_later_presses_write_nothing(self):
        run_dir = self.new_run_dir()
        program = self.new_program(run_dir)
        self.press_generate(program)
        before = file_states(run_dir, LIST_NAMES)
        self.assertEqual(sorted(before), sorted(LIST_NAMES))
        lists = harness.default_lists()
        for press in range(2, 5):
            with self.subTest(press=press):
                time.sleep(0.05)
                self.press_generate(program)
                self.assertEqual(file_states(run_dir, LIST_NAMES), before)
                text = self.sentence_box_text(program)
                # Each press replaces the box's text with one sentence.
                self.assertIsNotNone(harness.split_sentence(text, *lists), text)

    def test_lists_of_the_user(self):
        one_each = {"形容词.txt": gbk("头顶西瓜"), "人名.txt": gbk("某人"),
                    "地点.txt": gbk("教室里"), "事件.txt": gbk("砍柴")}
        cases = [
            ("one entry each", one_each, "头顶西瓜的某人在教室里砍柴"),
            ("a final CR LF adds no entry",
             dict(one_each, **{"地点.txt": gbk("教室里\r\n")}), "头顶西瓜的某人在教室里砍柴"),
            ("CR LF alone is one empty entry",
             dict(one_each, **{"人名.txt": b"\r\n"}), "头顶西瓜的在教室里砍柴"),
            ("spaces and ASCII kept",
             dict(one_each, **{"地点.txt": gbk(" KTV包厢内 "), "事件.txt": gbk("唱 K")}),
             "头顶西瓜的某人在 KTV包厢内 唱 K"),
            ("LF alone is no line break",
             dict(one_each, **{"事件.txt": gbk("砍柴\n扫厕所")}), "头顶西瓜的某人在教室里砍柴\n扫厕所"),
            ("bytes after a zero byte are ignored",
             dict(one_each, **{"形容词.txt": gbk("头顶西瓜") + b"\0" + gbk("\r\n流着鼻涕")}),
             "头顶西瓜的某人在教室里砍柴"),
        ]
        for name, files, expected in cases:
            with self.subTest(name):
                run_dir = self.new_run_dir()
                for file_name, data in files.items():
                    run_dir.write(file_name, data)
                before = file_states(run_dir, LIST_NAMES)
                program = self.new_program(run_dir)
                for _ in range(2):
                    self.press_generate(program)
                    self.assertEqual(self.sentence_box_text(program), expected)
                self.assertEqual(file_states(run_dir, LIST_NAMES), before,
                                 "a list with entries was rewritten")
                program.kill()

    def test_lists_that_are_restored(self):
        users = {"形容词.txt": gbk("头顶西瓜"), "人名.txt": gbk("某人"),
                 "地点.txt": gbk("教室里"), "事件.txt": gbk("砍柴")}
        # A file that starts with a zero byte has no entries either, but its bytes are the
        # user's: the press takes the default list and leaves the file as it is.
        cases = [
            ("an empty file", "人名.txt", b"", True),
            ("a file that starts with a zero byte", "事件.txt", b"\0" + gbk("吃方便面"), False),
            ("a missing file", "形容词.txt", None, True),
        ]
        defaults = dict(zip(LIST_NAMES, harness.default_lists()))
        for name, restored, content, written in cases:
            with self.subTest(name, file=restored):
                run_dir = self.new_run_dir()
                for file_name, data in users.items():
                    if file_name != restored:
                        run_dir.write(file_name, data)
                    elif content is not None:
                        run_dir.write(file_name, content)
                kept = file_states(run_dir, [n for n in LIST_NAMES if n != restored])
                program = self.new_program(run_dir)
                self.press_generate(program)
                source = dict(LIST_FILES)[restored]
                self.assertEqual(run_dir.read(restored),
                                 harness.default_file_bytes(source) if written else content)
                self.assertEqual(file_states(run_dir, list(kept)), kept)
                text = self.sentence_box_text(program)
                lists = [defaults[n] if n == restored else [users[n].decode("gbk")]
                         for n in LIST_NAMES]
                self.assertIsNotNone(harness.split_sentence(text, *lists), text)
                program.kill()


class GenerateErrorTest(ProgramTestCase):
    """A list that stays empty after the restore ends the program with the run-time error box;
    the edit box keeps its text."""

    def fill_box(self, program):
        program.click(*A_SPOT_IN_THE_BOX)
        program.type("留着")
        program.key("Tab")  # the caret blinks; a box without the focus shows none
        program.settle()
        return program.screenshot().crop(SENTENCE_BOX)

    def assert_error_stop(self, program, box_before, dismiss):
        main = program.window
        program.click_control(GENERATE_BUTTON)
        box = program.wait_window(ERROR_TITLE, timeout=10)
        self.assertNotEqual(box, main)
        program.settle(0.5)
        # Out of the way (there is no window manager to stack them), to see the main window.
        harness.xdotool("windowmove", "--sync", box, 0, 0)
        program.settle(0.5)
        box_after = program.screenshot().crop(SENTENCE_BOX)
        if box_after != box_before:
            box_before.save(os.path.join(self.keep_dir(), "box-before.ppm"))
            box_after.save(os.path.join(self.keep_dir(), "box-after.ppm"))
            self.fail(f"the edit box changed; pictures in {self.keep_dir()}")
        if dismiss == "Return":
            program.key("Return", wid=box)
        else:
            _, _, w, h = harness.window_geometry(box)
            program.click(w // 2, h - 16, wid=box)  # OK, across the bottom of the box
        code, err = program.wait_exit()
        self.assertEqual(code, 255, err)
        shown = [c for c, text in ERROR_BOX_TEXTS.items() if text in err]
        self.assertEqual(len(shown), 1, f"stderr: {err!r}")

    def test_list_file_that_cannot_be_read(self):
        users = {"形容词.txt": gbk("头顶西瓜"), "人名.txt": gbk("某人"),
                 "地点.txt": gbk("教室里"), "事件.txt": gbk("砍柴")}
        cases = [
            # the list whose path is a directory; whether the other lists have files; how the
            # box is dismissed
            ("人名.txt", False, "Return"),
            ("形容词.txt", False, "click"),
            ("事件.txt", True, "Return"),
        ]
        for blocked, others_present, dismiss in cases:
            with self.subTest(blocked=blocked, others_present=others_present, dismiss=dismiss):
                run_dir = self.new_run_dir()
                os.mkdir(run_dir.file(blocked))
                run_dir.write(os.path.join(blocked, "inside.txt"), b"keep me")
                if others_present:
                    for file_name, data in users.items():
                        if file_name != blocked:
                            run_dir.write(file_name, data)
                program = self.new_program(run_dir)
                self.assert_error_stop(program, self.fill_box(program), dismiss)
                self.assertTrue(os.path.isdir(run_dir.file(blocked)))
                self.assertEqual(run_dir.read(os.path.join(blocked, "inside.txt")), b"keep me")
                # Every list is restored before any is drawn from, so the others were written.
                for file_name, source in LIST_FILES:
                    if file_name == blocked:
                        continue
                    expected = users[file_name] if others_present else \
                        harness.default_file_bytes(source)
                    self.assertEqual(run_dir.read(file_name), expected, file_name)

    def test_run_directory_that_cannot_be_written(self):
        run_dir = self.new_run_dir()
        program = self.new_program(run_dir)
        box_before = self.fill_box(program)
        # The program keeps running from its deleted directory; nothing can be created there.
        shutil.rmtree(run_dir.path)
        self.assert_error_stop(program, box_before, "Return")
        self.assertFalse(os.path.exists(run_dir.path))


if __name__ == "__main__":
    harness.main()
