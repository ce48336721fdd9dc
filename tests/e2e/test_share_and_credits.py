"""End-to-end tests of 分享 (read back from the clipboard by xclip, as another program would) and
of the credits line that the 3-second timer steps through."""

import os
import sys
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from harness import (  # noqa: E402
    CREDITS_LINE, GENERATE_BUTTON, SENTENCE_BOX, SHARE_BUTTON, SHARE_SUFFIX, ProgramTestCase,
    gbk)

A_SPOT_IN_THE_BOX = (100, 30)

CREDIT_LINES = [
    "创意源于生活！~",
    "程序设计：Vexlo",
    "形容词收录：Vexlo",
    "姓名收录：Olvin",
    "地点收录：K.松果",
    "事件收录：莫洛克",
]
CREDITS_COLOUR = (255, 168, 255)


class ShareTest(ProgramTestCase):

    def shared_bytes(self, program):
        program.click_control(SHARE_BUTTON)
        program.settle()
        self.wait_clipboard()
        return harness.read_clipboard()

    def test_sentence_then_share(self):
        program = self.new_program()
        program.click_control(GENERATE_BUTTON)
        program.settle()
        shared = self.shared_bytes(program)
        text = shared.decode("utf-8")
        self.assertTrue(text.endswith(SHARE_SUFFIX), repr(text))
        sentence = text[:-len(SHARE_SUFFIX)]
        self.assertIsNotNone(harness.split_sentence(sentence, *harness.default_lists()),
                             repr(sentence))
        # Exactly the box's text and the suffix: no line break, space or zero byte after it.
        self.assertEqual(shared, (sentence + SHARE_SUFFIX).encode("utf-8"))

    def test_what_the_box_holds_is_shared(self):
        cases = [
            # name, how the box is filled, the box's text
            ("an empty box", [], ""),
            ("ASCII typed", [("click",), ("type", "hello world")], "hello world"),
            ("Chinese typed", [("click",), ("type", "你好，世界！")], "你好，世界！"),
            ("symbols typed", [("click",), ("type", "100% & + ~")], "100% & + ~"),
            ("a sentence replaced by typing",
             [("generate",), ("click",), ("key", "ctrl+a"), ("type", "换了")], "换了"),
            ("typing after a sentence",
             [("generate",), ("click",), ("key", "ctrl+End"), ("type", "!")],
             "头顶西瓜的某人在教室里砍柴!"),
            ("a sentence", [("generate",)], "头顶西瓜的某人在教室里砍柴"),
            ("a sentence replaces what was typed", [("click",), ("type", "旧的"), ("generate",)],
             "头顶西瓜的某人在教室里砍柴"),
        ]
        for name, steps, expected in cases:
            with self.subTest(name):
                run_dir = self.new_run_dir()
                # One entry each, so the sentence is known.
                for file_name, entry in zip([n for n, _ in harness.LIST_FILES],
                                            ["头顶西瓜", "某人", "教室里", "砍柴"]):
                    run_dir.write(file_name, gbk(entry))
                program = self.new_program(run_dir)
                for step in steps:
                    if step[0] == "generate":
                        program.click_control(GENERATE_BUTTON)
                        program.settle()
                    elif step[0] == "click":
                        program.click(*A_SPOT_IN_THE_BOX)
                    elif step[0] == "type":
                        program.type(step[1])
                    else:
                        program.key(step[1])
                program.settle()
                shared = self.shared_bytes(program)
                self.assertEqual(shared.decode("utf-8"), expected + SHARE_SUFFIX)
                program.kill()

    def test_suffix_alone_starts_with_cr_lf(self):
        program = self.new_program()
        shared = self.shared_bytes(program)
        self.assertEqual(shared[:2], b"\r\n")
        self.assertEqual(shared, SHARE_SUFFIX.encode("utf-8"))

    def test_presses_again_give_the_same_text(self):
        program = self.new_program()
        program.click_control(GENERATE_BUTTON)
        program.settle()
        first = self.shared_bytes(program)
        for press in range(2, 4):
            with self.subTest(press=press):
                self.assertEqual(self.shared_bytes(program), first)
        with self.subTest("every text target"):
            for target in ("UTF8_STRING", "text/plain;charset=utf-8"):
                proc = harness._x_command([harness.XCLIP, "-o", "-selection", "clipboard",
                                           "-t", target])
                self.assertEqual(proc.stdout, first, target)


def coverage_mask(image, rect, ink, paper):
    """The pixels of rect that are mostly ink, cut to their bounding box, as a set of points
    relative to it; judged on the green channel, where the credits' pink and the paper differ
    most. paper gives the background colour of a row (the skin may shade it)."""
    x0, y0, w, h = rect
    points = [(x, y) for y in range(y0, y0 + h) for x in range(x0, x0 + w)
              if (paper(y)[1] - image.pixel(x, y)[1]) / (paper(y)[1] - ink[1]) > 0.5]
    if not points:
        return frozenset(), None
    left = min(p[0] for p in points)
    top = min(p[1] for p in points)
    box = (left, top, max(p[0] for p in points), max(p[1] for p in points))
    return frozenset((x - left, y - top) for x, y in points), box


def mask_difference(a, b):
    union = a | b
    return len(a ^ b) / len(union) if union else 0.0


class CreditsTest(ProgramTestCase):
    """The credits line on the real timer, over one whole cycle."""

    CYCLE_END = 22.5  # seconds after the window was shown: past the seventh tick
    SAMPLE = 0.25

    def test_one_cycle_on_the_timer(self):
        program = self.new_program()
        start = program.shown_at
        frames = []
        while time.monotonic() - start < self.CYCLE_END:
            shot = program.screenshot()
            frames.append((time.monotonic() - start, shot.crop(CREDITS_LINE)))
            time.sleep(self.SAMPLE)

        def background(image):
            # The label's left end: the centred text never reaches it.
            return lambda y: image.pixel(0, y)

        # The six lines as the same font draws them in the edit box, black on white, to tell
        # which line a picture of the label shows.
        references = []
        for line in CREDIT_LINES:
            # Typed text is checked through 分享, which also takes the focus and with it the
            # caret out of the box.
            for _ in range(3):
                program.click(*A_SPOT_IN_THE_BOX)
                program.key("ctrl+a", "BackSpace")
                program.type(line)
                shared = self.share_text(program)
                if shared.split("本句由")[0].rstrip("\r\n") == line:
                    break
            else:
                self.fail(f"could not type {line!r} into the box")
            program.settle()
            box = program.screenshot().crop(SENTENCE_BOX)
            mask, _ = coverage_mask(box, (2, 2, box.width - 4, box.height - 4),
                                    (0, 0, 0), lambda y: (255, 255, 255))
            references.append(mask)

        def which_line(image):
            mask, _ = coverage_mask(image, (0, 0, image.width, image.height), CREDITS_COLOUR,
                                    background(image))
            scores = [mask_difference(mask, ref) for ref in references]
            best = min(range(len(scores)), key=scores.__getitem__)
            return (best + 1 if scores[best] < 0.08 else None), scores

        # Runs of identical pictures; a picture caught in the middle of a redraw would be a
        # run of one frame, and is left out.
        runs = []
        for t, image in frames:
            if runs and runs[-1]["image"] == image:
                runs[-1]["end"] = t
                runs[-1]["count"] += 1
            else:
                runs.append({"image": image, "start": t, "end": t, "count": 1})
        steady = [r for r in runs if r["count"] >= 3]
        # (from, to, line shown) of each run, for the messages; a line of None did not look
        # like any of the six, and its differences from them follow.
        summary = []
        for r in steady:
            line, scores = which_line(r["image"])
            summary.append((round(r["start"], 2), round(r["end"], 2), line)
                           + (() if line else (tuple(round(x, 2) for x in scores),)))

        with self.subTest("the design text until the second tick"):
            self.assertEqual(which_line(frames[0][1])[0], 1, which_line(frames[0][1])[1])
            early = [t for t, image in frames if t < 4.5 and image != frames[0][1]]
            self.assertEqual(early, [], f"the label changed before the second tick: {summary}")
        with self.subTest("the first change comes about 6 s after showing"):
            first_change = next((t for t, image in frames if image != frames[0][1]), None)
            self.assertIsNotNone(first_change, "the label never changed")
            self.assertGreaterEqual(first_change, 4.5, summary)
            self.assertLessEqual(first_change, 8.0, summary)
        with self.subTest("the lines in order, then line 1 again"):
            self.assertEqual([run[2] for run in summary], [1, 2, 3, 4, 5, 6, 1], summary)
        with self.subTest("each line stays about one period"):
            # From one change to the next; the first and last runs are cut by the capture.
            changes = [r["start"] for r in steady[1:]]
            periods = [b - a for a, b in zip(changes, changes[1:])]
            for period in periods:
                self.assertGreater(period, 1.5, summary)
                self.assertLess(period, 4.5, summary)
        with self.subTest("line 1 after line 6 looks as it did at the start"):
            self.assertEqual(steady[-1]["image"], steady[0]["image"])
        with self.subTest("a shorter line leaves nothing of the longer one"):
            # Found by their place in the cycle, in case a remnant keeps them from matching.
            self.assertGreaterEqual(len(steady), 4, summary)
            longer, shorter = steady[2]["image"], steady[3]["image"]
            _, long_box = coverage_mask(longer, (0, 0, longer.width, longer.height),
                                        CREDITS_COLOUR, background(longer))
            _, short_box = coverage_mask(shorter, (0, 0, shorter.width, shorter.height),
                                         CREDITS_COLOUR, background(shorter))
            self.assertLess(short_box[2] - short_box[0], long_box[2] - long_box[0] - 6)
            # Around the shorter text's letters (a pixel of slack for their soft edges) the
            # window's background shows, where the longer text was.
            left, right = short_box[0] - 1, short_box[2] + 1
            stray = [(x, y) for y in range(shorter.height) for x in range(shorter.width)
                     if (x < left or x > right) and shorter.pixel(x, y) != shorter.pixel(0, y)]
            self.assertEqual(stray, [])
            self.assertTrue(any(longer.pixel(x, y) != longer.pixel(0, y)
                                for y in range(longer.height)
                                for x in list(range(left)) + list(range(right + 1, longer.width))),
                            "the longer line should reach beyond the shorter one")


if __name__ == "__main__":
    harness.main()
