#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the program's pictures as SVG (assets/svg) at their fixed sizes; render.sh turns them
into the PNGs the program embeds. Edit here, then run both."""
import os

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "svg")
NAVY, TEAL, AMBER, WHITE = "#14233c", "#1f6f8b", "#ffb703", "#ffffff"


def write(name, w, h, body):
    with open(os.path.join(OUT, name + ".svg"), "w", encoding="utf-8") as f:
        f.write(f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
                f'viewBox="0 0 {w} {h}">\n{body}\n</svg>\n')


def gradient(id_, top, bottom):
    return (f'<defs><linearGradient id="{id_}" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="{top}"/><stop offset="1" stop-color="{bottom}"/>'
            f'</linearGradient></defs>')


def bell(cx, cy, s, colour):
    # A simple hand bell: dome, rim and clapper, scaled by s around (cx, cy).
    return (f'<g transform="translate({cx},{cy}) scale({s})" fill="{colour}">'
            '<path d="M0,-22 C-12,-22 -16,-10 -16,2 L-16,10 L-22,16 L22,16 L16,10 L16,2 '
            'C16,-10 12,-22 0,-22 Z"/><circle cx="0" cy="21" r="5"/>'
            '<rect x="-3" y="-27" width="6" height="6" rx="2"/></g>')


def background():
    write("background", 663, 488, gradient("g", "#eef3f8", "#d9e3ee") +
          '<rect width="663" height="488" fill="url(#g)"/>')


def header():
    body = gradient("h", "#1b3358", NAVY) + '<rect width="664" height="105" fill="url(#h)"/>'
    body += f'<rect x="0" y="101" width="664" height="4" fill="{AMBER}"/>'
    body += f'<rect x="31" y="38" width="264" height="57" rx="6" fill="#0b1526" stroke="{TEAL}"/>'
    body += bell(460, 52, 1.3, "#2a4670")
    write("header", 664, 105, body)


def icon():
    body = f'<rect x="2" y="2" width="60" height="60" rx="14" fill="{NAVY}"/>'
    body += bell(32, 30, 1.05, AMBER)
    write("icon", 64, 64, body)


# Seven segments a..g of a 32 x 48 cell, as rectangles (x, y, w, h).
SEGMENTS = {
    "a": (8, 3, 16, 5), "b": (24, 7, 5, 16), "c": (24, 25, 5, 16), "d": (8, 40, 16, 5),
    "e": (3, 25, 5, 16), "f": (3, 7, 5, 16), "g": (8, 21.5, 16, 5),
}
DIGITS = ["abcdef", "bc", "abged", "abgcd", "fgbc", "afgcd", "afgedc", "abc", "abcdefg", "abcdfg"]


def digit_strip():
    body = '<rect width="352" height="48" fill="#0b1526"/>'
    for i, on in enumerate(DIGITS):
        x0 = i * 32
        for seg, (x, y, w, h) in SEGMENTS.items():
            colour = AMBER if seg in on else "#1a2740"
            body += f'<rect x="{x0 + x}" y="{y}" width="{w}" height="{h}" rx="2" fill="{colour}"/>'
    x0 = 10 * 32
    body += f'<circle cx="{x0 + 16}" cy="16" r="3.5" fill="{AMBER}"/>'
    body += f'<circle cx="{x0 + 16}" cy="32" r="3.5" fill="{AMBER}"/>'
    write("digits", 352, 48, body)


def picture_buttons():
    shapes = {
        "menu": (37, 19, '<path d="M13,7 L24,7 L18.5,13 Z" fill="{fg}"/>'),
        "minimise": (37, 19, '<rect x="12" y="11" width="13" height="3" fill="{fg}"/>'),
        "close": (39, 20, '<path d="M14,5 L25,15 M25,5 L14,15" stroke="{fg}" stroke-width="2.5"/>'),
    }
    for name, (w, h, shape) in shapes.items():
        for state, bg, fg in (("normal", "none", "#c9d6e8"), ("hot", TEAL, WHITE)):
            if name == "close" and state == "hot":
                bg = "#c0392b"
            rect = "" if bg == "none" else f'<rect width="{w}" height="{h}" fill="{bg}"/>'
            write(f"{name}-{state}", w, h, rect + shape.format(fg=fg))


if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    background(); header(); icon(); digit_strip(); picture_buttons()
