#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The real program's windows read and used from outside through the accessibility bus (AT-SPI),
on X11 and Wayland alike.

Usage: atspi_window.py texts              what its windows show, one per line ("cell: 08:00:00",
                                          "button: 暂停计划", "label: …")
       atspi_window.py press BUTTON       presses the button named BUTTON (exit 1: none)
       atspi_window.py has BUTTON         exit 0 when there is a button named BUTTON
       atspi_window.py where BUTTON       "X Y": the button's centre in its window's coordinates
       atspi_window.py showing TITLE      exit 0 when a window titled TITLE is on screen
       atspi_window.py shown              how many of its windows are on screen
APPLICATION is Tolvane (the program's name).
"""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

KINDS = {"table cell": "cell", "push button": "button", "label": "label"}
WINDOWS = {"frame", "dialog", "window"}


def application():
    desktop = Atspi.get_desktop(0)
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "Tolvane":
            return app
    sys.exit(1)


def nodes(node, depth=0):
    if node is None or depth > 12:
        return
    yield node
    for i in range(node.get_child_count()):
        yield from nodes(node.get_child_at_index(i), depth + 1)


def main():
    command = sys.argv[1]
    app = application()
    if command == "texts":
        for node in nodes(app):
            kind = KINDS.get(node.get_role_name())
            if kind:
                print(f"{kind}: {node.get_name()}")
        return 0
    if command in ("press", "has", "where"):
        for node in nodes(app):
            if node.get_role_name() == "push button" and node.get_name() == sys.argv[2]:
                if command == "where":
                    box = node.get_extents(Atspi.CoordType.WINDOW)
                    print(box.x + box.width // 2, box.y + box.height // 2)
                    return 0
                return 0 if command == "has" or node.do_action(0) else 1
        return 1
    if command == "showing":
        for node in nodes(app):
            if (node.get_role_name() in WINDOWS and node.get_name() == sys.argv[2]
                    and node.get_state_set().contains(Atspi.StateType.SHOWING)):
                return 0
        return 1
    if command == "shown":
        print(sum(1 for i in range(app.get_child_count())
                  if app.get_child_at_index(i).get_state_set().contains(Atspi.StateType.SHOWING)))
        return 0
    sys.exit(__doc__)


sys.exit(main())
