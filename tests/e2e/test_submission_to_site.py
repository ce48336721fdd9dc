"""The submission window against the project's own product site: proposals made in the real
program land in the site's database with their category and entry.

Needs what test_submission.py needs, and XL_SITE_PROGRAM, the built site server. The site listens
on the port the program was built to send to (XL_SITE_HOST).
"""

import os
import shutil
import sqlite3
import subprocess
import tempfile
import time
import unittest

from test_submission import (DIALOG_TITLE, MAIN_CONTROLS, CONTROLS, MAIN_TITLE, PROGRAM, RUN_DIR,
                             SITE_HOST, WAIT, Screen, click, focus_window, key, type_text)

SITE_PROGRAM = os.environ.get("XL_SITE_PROGRAM", "")


class ProposalsReachTheSite(unittest.TestCase):

    def setUp(self):
        if not os.environ.get("DISPLAY"):
            raise AssertionError("DISPLAY is not set: these tests need an X server (Xvfb)")
        self.work = tempfile.mkdtemp(prefix="xl-site-e2e-")
        self.addCleanup(shutil.rmtree, self.work, True)
        self.db = os.path.join(self.work, "site.db")

        # The site, on the host and port the program sends to, with no rate limit in the way.
        self.site = subprocess.Popen(
            [SITE_PROGRAM, "--listen", SITE_HOST, "--db", self.db, "--rate-limit", "0"],
            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        self.addCleanup(self.stop, self.site)
        ready = self.site.stdout.readline().decode()
        self.assertTrue(ready.startswith("listening on"), ready)

        run_dir = os.path.join(self.work, "run")
        os.mkdir(run_dir)
        for name in os.listdir(RUN_DIR):
            if name == PROGRAM or name.endswith((".so", ".dll")):
                shutil.copy2(os.path.join(RUN_DIR, name), run_dir)
        self.program = subprocess.Popen([os.path.join(run_dir, PROGRAM)], cwd=run_dir,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(self.stop, self.program)
        self.screen = Screen()
        self.addCleanup(self.screen.close)
        self.main = self.screen.wait_window(self.program.pid, MAIN_TITLE)

    @staticmethod
    def stop(process):
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

    def click_in(self, window, box):
        x, y = self.screen.origin(window)
        left, top, width, height = box
        click(x + left + width // 2, y + top + height // 2)
        focus_window(window)

    def rows(self):
        with sqlite3.connect(self.db) as db:
            return db.execute("SELECT category, entry, qq FROM proposals ORDER BY id").fetchall()

    def wait_rows(self, count):
        deadline = time.monotonic() + WAIT
        while True:
            rows = self.rows()
            if len(rows) >= count or time.monotonic() > deadline:
                return rows
            time.sleep(0.2)

    def test_proposals_land_with_their_category_and_entry(self):
        self.click_in(self.main, MAIN_CONTROLS["创意提交"])
        dialog = self.screen.wait_window(self.program.pid, DIALOG_TITLE)
        focus_window(dialog)

        # 人名 (the second item) with a Chinese name; then 事件 with an entry holding "&".
        self.click_in(dialog, CONTROLS["词条"])
        key("shift+Tab", "Down", "Tab")
        type_text("李白")
        key("Tab")
        type_text("12345")
        key("Return")
        self.assertEqual(len(self.wait_rows(1)), 1)

        key("shift+Tab", "End", "Tab")
        type_text("吃&喝")
        key("Return")
        rows = self.wait_rows(2)
        self.assertEqual(rows, [("rm", "李白".encode(), "12345"),
                                ("sj", "吃&喝".encode(), "12345")])


if __name__ == "__main__":
    unittest.main(verbosity=2)
