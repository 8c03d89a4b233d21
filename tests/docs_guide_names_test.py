#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The guides name what the windows show: every name the English guide quotes ("Play") is the
English of a text of the window its section is about, and every name the Chinese guide quotes
(“试听”) is that window's own text. A guide that says "Try" where the Add window's button says
"Play" fails here, before a caretaker looks for a button that is not there.

Usage: docs_guide_names_test.py SOURCE_DIR
"""
import html
import os
import re
import sys

src = sys.argv[1]
MAIN = ["MainWindow", "tolvane::MainWindow", "ClockDisplay", "Text"]
BELL = ["AddBellWindow", "tolvane::AddBellWindow", "ChangeBellWindow", "tolvane::ChangeBellWindow",
        "tolvane::BellWindow", "tolvane::MusicChooser"]
SETTINGS = ["SettingsWindow", "tolvane::SettingsWindow", "tolvane::PasswordGate"]
# The windows each section of the guides is about, by the section's number.
# The later sections are about the command line and other programs (Syncthing, Windows' menus).
TIMETABLES = ["tolvane::TimetableWindow", "tolvane::GenerateTimetableWindow", "Timetable"]
SECTIONS = {1: MAIN + BELL, 2: MAIN + BELL + SETTINGS,
            3: MAIN + BELL + ["tolvane::CalendarWindow", "Calendar"] + TIMETABLES,
            4: MAIN + SETTINGS, 5: MAIN + SETTINGS, 6: MAIN + SETTINGS,
            7: MAIN + ["tolvane::RingLogWindow"], 8: MAIN + SETTINGS, 9: MAIN + SETTINGS + ["WebPage"],
            15: MAIN + ["tolvane::AboutWindow"], 16: MAIN + SETTINGS}
# Quoted, but no text of a window: the program's name, the folder above, the ring log's words.
NOT_WINDOW_TEXTS = {"Tolvane", "..", "not heard", "铃声开始", "铃声响起：…迟到 N 毫秒", "铃声停止",
                    "铃声没有被听到", "今天的作息表：…"}

ts = open(os.path.join(src, "translations", "tolvane_en.ts"), encoding="utf-8").read()
texts = {}  # context -> [(source, translation)]
for context in re.finditer(r"<context>\s*<name>(.*?)</name>(.*?)</context>", ts, re.S):
    texts[context.group(1)] = [
        (html.unescape(m.group(1)), html.unescape(m.group(2)))
        for m in re.finditer(r"<source>(.*?)</source>\s*<translation>(.*?)</translation>",
                             context.group(2), re.S)]


def names_a_text(quoted, candidates):
    """Whether quoted is one of candidates, or one filled in (%1 for a value), or its menu item."""
    quoted = quoted.removeprefix("· ")
    for text in candidates:
        text = text.replace("&", "")  # a menu's accelerator mark
        # A check box's name before what its brackets add: “注册隐藏快捷键” for
        # “注册隐藏快捷键（显示\隐藏快捷键Shift  +  T）”.
        if quoted == text or text.startswith(quoted + "（") or text.startswith(quoted + " ("):
            return True
        pattern = re.escape(text)
        pattern = re.sub(r"%\d", ".+", pattern)
        if "%" in text and re.fullmatch(pattern, quoted):
            return True
    return False


failures = []
for guide, quote, side in (("en.md", r'"([^"\n]+)"', 1), ("zh-CN.md", r"“([^”\n]+)”", 0)):
    section = 0
    for number, line in enumerate(open(os.path.join(src, "docs", "guide", guide), encoding="utf-8"),
                                  start=1):
        heading = re.match(r"## (\d+)\.", line)
        if heading:
            section = int(heading.group(1))
            continue
        if section not in SECTIONS:
            continue
        contexts = SECTIONS[section]
        candidates = [pair[side] for c in contexts for pair in texts.get(c, [])]
        for quoted in re.findall(quote, line):
            if quoted not in NOT_WINDOW_TEXTS and not names_a_text(quoted, candidates):
                failures.append(f"{guide}:{number}: {quoted!r} is no text of the windows of "
                                f"section {section}")
for failure in failures:
    print("FAIL: " + failure)
if failures:
    sys.exit(1)
print("ok: every name the guides quote is what its window shows")
