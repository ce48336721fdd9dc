#!/usr/bin/env python3
"""Check the default word lists before they are packed into the program.

Each list is a UTF-8 text file with one entry per line (LF, final newline).
The build converts the entries to GBK and joins them with CR LF, so the
limits here are counted in GBK bytes.

Usage: check_lists.py [DIRECTORY]   (defaults to the directory of this script)
Exits with status 1 if any list breaks a rule.
"""

import os
import sys

SEPARATOR = b"\r\n"
FORBIDDEN = {",": "comma", "\uff0c": "full-width comma", "\t": "tab",
             "\r": "CR", "\n": "LF"}


def is_chinese(ch):
    return "\u4e00" <= ch <= "\u9fff"


def ascii_letters_then_end(entry):
    """Chinese text followed by ASCII letters at the very end."""
    head = entry.rstrip("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")
    if head == entry:
        return "does not end in an ASCII letter"
    if not head or not all(is_chinese(c) for c in head):
        return "ASCII letters appear before the end"
    return None


def ascii_capitals_then_chinese(entry):
    """ASCII capitals at the start, Chinese after them."""
    tail = entry.lstrip("ABCDEFGHIJKLMNOPQRSTUVWXYZ")
    if tail == entry:
        return "does not begin with ASCII capitals"
    if not tail or not all(is_chinese(c) for c in tail):
        return "ASCII appears after the leading capitals"
    return None


def ascii_words_with_space(entry):
    """Chinese mixed with ASCII words separated by spaces."""
    if " " not in entry:
        return "has no space"
    if not any(c.isascii() and c.isalpha() for c in entry):
        return "has no ASCII letter"
    bad = [c for c in entry
           if not (is_chinese(c) or c == " " or (c.isascii() and c.isalpha()))]
    if bad:
        return "has unexpected characters %r" % "".join(bad)
    if "  " in entry:
        return "has a double space"
    return None


# file, entry count, GBK byte range, positions (1-based) that must hold the
# same entry, entries that must be present, rule for the one entry allowed
# to contain ASCII (None: no ASCII at all).
LISTS = [
    {
        "file": "adjectives.txt",
        "count": 63,
        "bytes": (4, 16),
        "repeats": [(6, 62)],
        "required": ["穿着红短裤", "头顶西瓜", "流着鼻涕", "饿着肚子", "长着六个手指"],
        "ascii": ascii_letters_then_end,
    },
    {
        "file": "names.txt",
        "count": 68,
        "bytes": (4, 8),
        "repeats": [(5, 52), (16, 55), (38, 41)],
        "required": [],
        "ascii": None,
    },
    {
        "file": "places.txt",
        "count": 52,
        "bytes": (4, 18),
        "repeats": [],
        "required": ["高速公路上", "教室里", "小池塘边", "微波炉里", "冰箱里", "KTV包厢内"],
        "ascii": ascii_capitals_then_chinese,
    },
    {
        "file": "events.txt",
        "count": 55,
        "bytes": (4, 25),
        "repeats": [(7, 23)],
        "required": ["扫厕所", "砍柴", "玩过山车", "说梦话", "吃方便面"],
        "ascii": ascii_words_with_space,
    },
]


def read_entries(path, errors):
    """Return the entries of a list file, recording layout problems."""
    with open(path, "rb") as f:
        raw = f.read()
    if raw.startswith(b"\xef\xbb\xbf"):
        errors.append("starts with a UTF-8 BOM")
        raw = raw[3:]
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        errors.append("is not valid UTF-8: %s" % e)
        return []
    if "\r" in text:
        errors.append("contains CR; lines must end with LF only")
    if not text.endswith("\n"):
        errors.append("has no newline after the last entry")
    else:
        text = text[:-1]
    return text.replace("\r", "").split("\n") if text else []


def check_entry(entry, min_bytes, max_bytes):
    """Problems with a single entry, and its GBK bytes (None if unencodable)."""
    problems = []
    if not entry:
        return ["is empty"], b""
    for ch, what in FORBIDDEN.items():
        if ch in entry:
            problems.append("contains a %s" % what)
    if entry != entry.strip() or entry != entry.strip("\u3000"):
        problems.append("has leading or trailing space")
    try:
        encoded = entry.encode("gbk")
    except UnicodeEncodeError as e:
        problems.append("has a character GBK cannot hold: %r" % e.object[e.start:e.end])
        return problems, None
    if not min_bytes <= len(encoded) <= max_bytes:
        problems.append("is %d GBK bytes, outside %d..%d"
                        % (len(encoded), min_bytes, max_bytes))
    return problems, encoded


def check_list(rule, entries):
    errors = []
    if len(entries) != rule["count"]:
        errors.append("has %d entries, expected %d" % (len(entries), rule["count"]))

    encoded_entries = []
    for line, entry in enumerate(entries, 1):
        problems, encoded = check_entry(entry, *rule["bytes"])
        errors.extend("line %d %r %s" % (line, entry, p) for p in problems)
        if encoded is not None:
            encoded_entries.append(encoded)

    with_ascii = [(line, e) for line, e in enumerate(entries, 1)
                  if any(c.isascii() for c in e)]
    not_chinese = [(line, e) for line, e in enumerate(entries, 1)
                   if any(not is_chinese(c) and not c.isascii() for c in e)]
    for line, e in not_chinese:
        errors.append("line %d %r has a character that is neither Chinese nor ASCII"
                      % (line, e))
    if rule["ascii"] is None:
        for line, e in with_ascii:
            errors.append("line %d %r contains ASCII" % (line, e))
    elif len(with_ascii) != 1:
        errors.append("has %d entries with ASCII, expected exactly 1: %s"
                      % (len(with_ascii), with_ascii))
    else:
        line, e = with_ascii[0]
        problem = rule["ascii"](e)
        if problem:
            errors.append("line %d %r %s" % (line, e, problem))

    positions = {}
    for line, entry in enumerate(entries, 1):
        positions.setdefault(entry, []).append(line)
    found = sorted(tuple(p) for p in positions.values() if len(p) > 1)
    expected = sorted(tuple(p) for p in rule["repeats"])
    if found != expected:
        errors.append("repeated entries at lines %s, expected %s" % (found, expected))

    for entry in rule["required"]:
        if entry not in positions:
            errors.append("is missing the entry %r" % entry)

    return errors, len(SEPARATOR.join(encoded_entries))


def main(argv):
    directory = argv[1] if len(argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    failed = False
    for rule in LISTS:
        path = os.path.join(directory, rule["file"])
        layout_errors = []
        try:
            entries = read_entries(path, layout_errors)
        except OSError as e:
            print("%s: cannot read: %s" % (rule["file"], e))
            failed = True
            continue
        errors, size = check_list(rule, entries)
        errors = layout_errors + errors
        print("%s: %d entries, %d bytes as GBK" % (rule["file"], len(entries), size))
        for error in errors:
            print("  %s %s" % (rule["file"], error))
        failed = failed or bool(errors)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
