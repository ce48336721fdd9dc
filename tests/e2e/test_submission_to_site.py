"""The submission window against the project's own product site: proposals made in the real
program land in the site's database with their category and entry.

Needs what test_submission.py needs, and XL_SITE_PROGRAM, the built site server. The site listens
on the port the program was built to send to (XL_SITE_HOST).
"""

import os
import shutil
import sqlite3
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import harness  # noqa: E402
from harness import SITE_HOST, SUBMIT_BUTTON, ProgramTestCase, press, type_text  # noqa: E402
from test_submission import CONTROLS, DIALOG_TITLE, WAIT  # noqa: E402

SITE_PROGRAM = os.environ.get("XL_SITE_PROGRAM", "")


class ProposalsReachTheSite(ProgramTestCase):

    def setUp(self):
        harness.require_built_program()
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

        self.program = self.new_program(self.new_run_dir(view_module=True))

    @staticmethod
    def stop(process):
        if process.poll() is None:
            process.terminate()
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()

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
        self.program.click_control(SUBMIT_BUTTON)
        dialog = self.program.wait_window(DIALOG_TITLE, timeout=WAIT)
        self.program.focus(dialog)

        # 人名 (the second item) with a Chinese name; then 事件 with an entry holding "&".
        self.program.click_control(CONTROLS["词条"], wid=dialog)
        self.program.focus(dialog)
        press("shift+Tab", "Down", "Tab")
        type_text("李白")
        press("Tab")
        type_text("12345")
        press("Return")
        self.assertEqual(len(self.wait_rows(1)), 1)

        press("shift+Tab", "End", "Tab")
        type_text("吃&喝")
        press("Return")
        rows = self.wait_rows(2)
        self.assertEqual(rows, [("rm", "李白".encode(), "12345"),
                                ("sj", "吃&喝".encode(), "12345")])


if __name__ == "__main__":
    harness.main()
