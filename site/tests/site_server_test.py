#!/usr/bin/python3
"""The real site over loopback HTTP: xiaoliao-site on a free port with a fresh database.

Usage: site_server_test.py PATH_TO_XIAOLIAO_SITE [unittest options]

Requests are sent the way the program's browser view sends them: the program puts the entry
and the QQ text into the address unescaped, and the browser percent-encodes only non-ASCII
characters (as UTF-8), spaces, quotes and angle brackets, and cuts the address at "#".
"""

import os
import re
import select
import signal
import socket
import sqlite3
import subprocess
import sys
import tempfile
import time
import unittest
import urllib.parse

SITE = None  # the executable, from the command line

CATEGORY_PATHS = {
    "xrc": "/softwere/post/xrc.asp",
    "rm": "/softwere/post/rm.asp",
    "dm": "/softwere/post/dm.asp",
    "sj": "/softwere/post/sj.asp",
}


def as_browser_sends(address):
    """The request target a browser makes of a typed address (its query part)."""
    address = address.split("#", 1)[0]
    out = bytearray()
    for ch in address:
        b = ch.encode("utf-8")
        if len(b) > 1 or ord(ch) <= 0x20 or ch in "\"<>'\x7f":
            out += b"".join(b"%%%02X" % x for x in b)
        else:
            out += b
    return bytes(out)


def submission_target(category, entry, qq):
    return as_browser_sends(CATEGORY_PATHS[category] + "?ct=" + entry + "&qq=" + qq)


class Response:
    def __init__(self, status, headers, body):
        self.status = status
        self.headers = headers
        self.body = body

    @property
    def text(self):
        # Strict: a page must be UTF-8 whatever bytes it shows.
        return self.body.decode("utf-8")


class Site:
    """One xiaoliao-site process with its own database in a temporary directory."""

    def __init__(self, *args, db=None, listen="127.0.0.1:0"):
        self.dir = tempfile.TemporaryDirectory()
        self.db = db or os.path.join(self.dir.name, "site.db")
        self.proc = subprocess.Popen(
            [SITE, "--listen", listen, "--db", self.db, *args],
            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        ready, _, _ = select.select([self.proc.stdout], [], [], 10)
        line = self.proc.stdout.readline().decode() if ready else ""
        match = re.fullmatch(r"listening on http://127\.0\.0\.1:(\d+)\n", line)
        if not match:
            self.proc.kill()
            raise AssertionError("site did not start: %r %r" % (line, self.proc.stderr.read()))
        self.port = int(match.group(1))

    def stop(self, keep_db=False):
        """Stops it as scripts/run does and returns its exit code."""
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
        try:
            code = self.proc.wait(10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            code = self.proc.wait()
        self.proc.stdout.close()
        self.proc.stderr.close()
        if not keep_db:
            self.dir.cleanup()
        return code

    def request(self, method, target, headers=None, body=b"", host="127.0.0.1", family=None):
        """Sends the target bytes exactly as given, which no client library would do."""
        if isinstance(target, str):
            target = target.encode("ascii")
        headers = dict(headers or {})
        headers.setdefault("Host", "%s:%d" % (host if ":" not in host else "[%s]" % host,
                                              self.port))
        headers["Connection"] = "close"
        if body:
            headers["Content-Length"] = str(len(body))
        head = method.encode() + b" " + target + b" HTTP/1.1\r\n"
        head += b"".join(b"%s: %s\r\n" % (k.encode(), v.encode()) for k, v in headers.items())
        with socket.socket(family or socket.AF_INET, socket.SOCK_STREAM) as s:
            s.settimeout(10)
            s.connect((host, self.port))
            s.sendall(head + b"\r\n" + body)
            data = b""
            while chunk := s.recv(65536):
                data += chunk
        raw_head, _, body = data.partition(b"\r\n\r\n")
        lines = raw_head.decode("latin-1").split("\r\n")
        status = int(lines[0].split()[1])
        parsed = {}
        for line in lines[1:]:
            key, _, value = line.partition(":")
            parsed[key.strip().lower()] = value.strip()
        return Response(status, parsed, body)

    def get(self, target, **kwargs):
        return self.request("GET", target, **kwargs)

    def submit(self, category, entry, qq):
        return self.get(submission_target(category, entry, qq))

    def post_form(self, path, fields):
        body = urllib.parse.urlencode(fields).encode()
        return self.request("POST", path, body=body,
                            headers={"Content-Type": "application/x-www-form-urlencoded"})

    def rows(self):
        with sqlite3.connect("file:%s?mode=ro" % self.db, uri=True) as db:
            db.row_factory = sqlite3.Row
            return [dict(r) for r in db.execute("SELECT * FROM proposals ORDER BY id")]

    def token(self):
        page = self.get("/review").text
        return re.search(r'name="token" value="([0-9a-f]+)"', page).group(1)

    def decide(self, proposal_id, action, token=None):
        return self.post_form("/review/decide", {
            "id": str(proposal_id), "action": action, "token": token or self.token(),
            "show": "all"})


class SiteTest(unittest.TestCase):
    def setUp(self):
        self.site = Site()

    def tearDown(self):
        self.assertEqual(self.site.stop(), 0)

    def test_proposals_land_with_their_category_and_entry(self):
        cases = [
            ("xrc", "头顶西瓜", "12345"),
            ("rm", "李白", ""),
            ("dm", "教室里", "1234567890"),
            ("sj", "砍柴&烧火=热", "10001"),
            ("sj", "100% 纯+真", ""),
            ("xrc", "&qq=", "12345"),
            ("rm", "<script>", ""),
        ]
        before = int(time.time() * 1000)
        for category, entry, qq in cases:
            with self.subTest(entry=entry):
                answer = self.site.submit(category, entry, qq)
                self.assertEqual(answer.status, 200)
                self.assertIn("收到", answer.text)
                self.assertEqual(answer.headers["content-type"], "text/html; charset=utf-8")
        after = int(time.time() * 1000)

        rows = self.site.rows()
        self.assertEqual(len(rows), len(cases))
        for row, (category, entry, qq) in zip(rows, cases):
            with self.subTest(entry=entry):
                self.assertEqual(row["category"], category)
                self.assertEqual(row["entry"], entry.encode())
                self.assertEqual(row["qq"], qq)
                self.assertEqual(b"/softwere/post/%s.asp?" % category.encode() + row["raw_query"],
                                 submission_target(category, entry, qq))
                self.assertEqual(row["remote_address"], "127.0.0.1")
                self.assertEqual(row["status"], "pending")
                self.assertTrue(before <= row["received_ms"] <= after)

    def test_answer_page_shows_the_entry_as_text(self):
        answer = self.site.submit("sj", "<b>砍柴</b>&烧火", "")
        self.assertIn("&lt;b&gt;砍柴&lt;/b&gt;&amp;烧火", answer.text)
        self.assertNotIn("<b>砍柴", answer.text)

    def test_refusals_say_why_and_store_nothing(self):
        cases = [
            ("entry over 100 characters", submission_target("sj", "长" * 101, ""), "太长"),
            ("QQ too short", submission_target("sj", "砍柴", "1234"), "QQ"),
            ("QQ too long", submission_target("sj", "砍柴", "12345678901"), "QQ"),
            ("letters pasted into QQ", submission_target("sj", "砍柴", "12ab5"), "QQ"),
            ("empty entry", submission_target("sj", "", "12345"), "空"),
            # "#" ends the address in the browser, so "&qq=" never arrives
            ("entry with #", submission_target("sj", "第#1", "12345"), "qq"),
            ("no ct", b"/softwere/post/sj.asp?qq=12345", "ct"),
            ("no query", b"/softwere/post/sj.asp", "ct"),
        ]
        for what, target, reason in cases:
            with self.subTest(what):
                answer = self.site.get(target)
                self.assertEqual(answer.status, 400)
                self.assertIn("没有收下", answer.text)
                self.assertIn(reason, answer.text)
        self.assertEqual(self.site.rows(), [])
        # the limit itself is allowed
        self.assertEqual(self.site.submit("sj", "长" * 100, "").status, 200)

    def test_bytes_that_are_not_utf8_are_kept_and_shown_escaped(self):
        cases = [
            (b"/softwere/post/rm.asp?ct=\xb0\xa1&qq=", b"\xb0\xa1"),
            (b"/softwere/post/rm.asp?ct=%B0%A1x&qq=", b"\xb0\xa1x"),
            (b"/softwere/post/rm.asp?ct=a%00b&qq=", b"a\x00b"),
        ]
        for target, entry in cases:
            with self.subTest(target=target):
                answer = self.site.get(target)
                self.assertEqual(answer.status, 200)
                self.assertIn('<span class="raw">\\x', answer.text)
        self.assertEqual([r["entry"] for r in self.site.rows()], [e for _, e in cases])
        self.assertIn('<span class="raw">\\xB0</span>', self.site.get("/review").text)

    def test_review_page_shows_markup_as_text(self):
        self.site.submit("sj", "<script>alert(1)</script>", "")
        page = self.site.get("/review").text
        self.assertIn("&lt;script&gt;alert(1)&lt;/script&gt;", page)
        self.assertNotIn("<script", page)

    def test_review_only_for_this_machine(self):
        # The peer is loopback here; a page of another site reaching it by a name that points
        # at 127.0.0.1 still names that site in its Host header.
        for target in ["/review", "/review/export/sj"]:
            with self.subTest(target):
                self.assertEqual(self.site.get(target).status, 200)
                answer = self.site.get(target, headers={"Host": "attacker.example:%d"
                                                        % self.site.port})
                self.assertEqual(answer.status, 403)
        answer = self.site.request("POST", "/review/decide",
                                   headers={"Host": "attacker.example"}, body=b"id=1")
        self.assertEqual(answer.status, 403)

    def test_accept_then_export_gives_the_gbk_word_list(self):
        entries = [("sj", "吃火锅"), ("sj", "a&b"), ("sj", "不要"), ("rm", "李白"),
                   ("sj", "吃火锅"), ("sj", "还没审")]
        for category, entry in entries:
            self.assertEqual(self.site.submit(category, entry, "").status, 200)
        token = self.site.token()
        for proposal_id, action in [(1, "accept"), (2, "accept"), (3, "reject"), (4, "accept"),
                                    (5, "accept")]:
            answer = self.site.decide(proposal_id, action, token)
            self.assertEqual(answer.status, 303)
            self.assertTrue(answer.headers["location"].startswith("/review"))
        self.assertEqual([r["status"] for r in self.site.rows()],
                         ["accepted", "accepted", "rejected", "accepted", "accepted", "pending"])

        export = self.site.get("/review/export/sj")
        self.assertEqual(export.status, 200)
        self.assertEqual(export.body, "吃火锅\r\na&b".encode("gbk"))
        self.assertEqual(export.body, b"\xb3\xd4\xbb\xf0\xb9\xf8\r\na&b")
        self.assertEqual(export.headers["content-type"], "text/plain; charset=GBK")
        self.assertIn("filename*=UTF-8''%E4%BA%8B%E4%BB%B6.txt",
                      export.headers["content-disposition"])
        self.assertEqual(self.site.get("/review/export/rm").body, "李白".encode("gbk"))
        self.assertEqual(self.site.get("/review/export/dm").body, b"")
        self.assertIn("''%E5%9C%B0%E7%82%B9.txt",  # 地点.txt, the place list's file
                      self.site.get("/review/export/dm").headers["content-disposition"])

    def test_decisions_that_are_refused(self):
        self.site.get(b"/softwere/post/sj.asp?ct=%B0%A1&qq=")  # GBK bytes, not UTF-8
        self.site.submit("sj", "换行%0D%0A", "")  # typed as such, decoded to CR LF
        self.site.submit("sj", "好", "")
        cases = [
            ("entry not UTF-8", 1, "accept", None, 409),
            ("entry with CR LF", 2, "accept", None, 409),
            ("no such proposal", 99, "accept", None, 404),
            ("unknown action", 3, "delete", None, 404),
            ("stale form", 3, "accept", "0" * 32, 403),
        ]
        for what, proposal_id, action, token, status in cases:
            with self.subTest(what):
                self.assertEqual(self.site.decide(proposal_id, action, token).status, status)
        self.assertEqual([r["status"] for r in self.site.rows()], ["pending"] * 3)
        # the unusable ones can still be rejected
        self.assertEqual(self.site.decide(1, "reject").status, 303)

    def test_pages(self):
        cases = [
            ("/", 200, "创意提交"),
            ("/?post=4", 200, "笑料工坊 V1.0"),
            ("/?post=5", 200, "创意提交"),
            ("/softwere/post/xx.asp?ct=a&qq=", 404, "没有这一页"),
            ("/nothing", 404, "没有这一页"),
        ]
        for target, status, text in cases:
            with self.subTest(target):
                answer = self.site.get(target)
                self.assertEqual(answer.status, status)
                self.assertIn(text, answer.text)
                self.assertEqual(answer.headers["content-type"], "text/html; charset=utf-8")


class RateLimitTest(unittest.TestCase):
    def test_more_than_the_limit_a_minute_gets_429_and_is_not_stored(self):
        site = Site("--rate-limit", "3")
        try:
            for i in range(3):
                self.assertEqual(site.submit("sj", "第%d条" % i, "").status, 200)
            answer = site.submit("sj", "第3条", "")
            self.assertEqual(answer.status, 429)
            self.assertEqual(answer.headers["retry-after"], "60")
            self.assertIn("太快", answer.text)
            self.assertEqual([r["entry"].decode() for r in site.rows()],
                             ["第0条", "第1条", "第2条"])
            # pages other than the submission paths are not limited
            self.assertEqual(site.get("/").status, 200)
        finally:
            self.assertEqual(site.stop(), 0)

    def test_zero_turns_the_limit_off(self):
        site = Site("--rate-limit", "0")
        try:
            for i in range(40):
                self.assertEqual(site.submit("sj", "第%d条" % i, "").status, 200)
            self.assertEqual(len(site.rows()), 40)
        finally:
            self.assertEqual(site.stop(), 0)


class StartTest(unittest.TestCase):
    def test_keeps_the_proposals_across_restarts(self):
        first = Site()
        first.submit("sj", "第一次", "")
        self.assertEqual(first.stop(keep_db=True), 0)
        second = Site(db=first.db)
        try:
            self.assertEqual(second.submit("sj", "第二次", "").status, 200)
            self.assertEqual([(r["id"], r["entry"].decode()) for r in second.rows()],
                             [(1, "第一次"), (2, "第二次")])
        finally:
            self.assertEqual(second.stop(), 0)
            first.dir.cleanup()

    def test_localhost_means_both_loopback_addresses(self):
        site = Site(listen="localhost:0")
        try:
            self.assertEqual(site.get("/").status, 200)
            try:
                answer = site.get("/", host="::1", family=socket.AF_INET6)
            except OSError as e:
                self.skipTest("no IPv6 loopback here: %s" % e)
            self.assertEqual(answer.status, 200)
        finally:
            self.assertEqual(site.stop(), 0)

    def test_bad_command_lines_and_a_taken_port(self):
        with tempfile.TemporaryDirectory() as d:
            db = os.path.join(d, "site.db")
            cases = [
                ("no --db", ["--listen", "127.0.0.1:0"], 2),
                ("negative limit", ["--db", db, "--rate-limit", "-1"], 2),
                ("limit not a number", ["--db", db, "--rate-limit", "many"], 2),
                ("bad address", ["--db", db, "--listen", "::1:80"], 2),
                ("unknown option", ["--db", db, "--port", "80"], 2),
                ("database in a missing folder", ["--db", os.path.join(d, "no", "x.db"),
                                                  "--listen", "127.0.0.1:0"], 1),
            ]
            for what, args, code in cases:
                with self.subTest(what):
                    done = subprocess.run([SITE, *args], capture_output=True, timeout=10)
                    self.assertEqual(done.returncode, code)
                    self.assertNotEqual(done.stderr, b"")

            site = Site()
            try:
                done = subprocess.run(
                    [SITE, "--listen", "127.0.0.1:%d" % site.port, "--db", db],
                    capture_output=True, timeout=10)
                self.assertEqual(done.returncode, 1)
                self.assertIn(b"cannot listen", done.stderr)
            finally:
                self.assertEqual(site.stop(), 0)


if __name__ == "__main__":
    SITE = sys.argv.pop(1)
    unittest.main()
