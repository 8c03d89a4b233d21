#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Every button's text against its background in the own look (assets/skin.qss), in each state
the sheet gives a background: at least 4.5:1, WCAG 2's AA for normal text.
Usage: contrast_test.py SKIN.qss"""
import re
import sys


def luminance(hex_colour):
    def channel(c):
        c /= 255
        return c / 12.92 if c <= 0.04045 else ((c + 0.055) / 1.055) ** 2.4
    r, g, b = (int(hex_colour[i:i + 2], 16) for i in (1, 3, 5))
    return 0.2126 * channel(r) + 0.7152 * channel(g) + 0.0722 * channel(b)


def contrast(a, b):
    light, dark = sorted((luminance(a), luminance(b)), reverse=True)
    return (light + 0.05) / (dark + 0.05)


sheet = re.sub(r"/\*.*?\*/", "", open(sys.argv[1], encoding="utf-8").read(), flags=re.S)
rules = re.findall(r"([^{}]+)\{([^}]*)\}", sheet)
NAMED = {"white": "#ffffff", "black": "#000000"}


def colour(body, key):
    found = re.search(key + r"\s*:\s*(#[0-9a-fA-F]{6}|white|black)\b", body)
    return NAMED.get(found[1], found[1]) if found else None



base_text = None
failures, checked = [], 0
for selectors, body in rules:
    for selector in (s.strip() for s in selectors.split(",")):
        if "QPushButton" not in selector:
            continue
        text = colour(body, r"(?<![-\w])color") or base_text
        background = colour(body, "background")
        if selector == "QPushButton":
            base_text = text
        if not background or not text:
            continue
        checked += 1
        ratio = contrast(text, background)
        print("%-40s %s on %s: %.2f:1" % (selector, text, background, ratio))
        if ratio < 4.5:
            failures.append(selector)
if checked == 0 or failures:
    sys.exit("FAIL: below 4.5:1: %s" % ", ".join(failures) if failures else "FAIL: no button rule read")
print("PASS: every button's text is at least 4.5:1 against its background")
