#!/usr/bin/python3
"""The texts the real program's window shows, read from outside through the accessibility bus
(AT-SPI), one per line: "cell: 08:00:00", "button: 暂停计划", "label: …".

Usage: window_texts.py [APPLICATION_NAME]   (default: Tolvane)
"""
import sys

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

KINDS = {"table cell": "cell", "push button": "button", "label": "label"}


def walk(node, depth=0):
    if node is None or depth > 12:
        return
    kind = KINDS.get(node.get_role_name())
    if kind:
        print(f"{kind}: {node.get_name()}")
    for i in range(node.get_child_count()):
        walk(node.get_child_at_index(i), depth + 1)


wanted = sys.argv[1] if len(sys.argv) > 1 else "Tolvane"
desktop = Atspi.get_desktop(0)
for i in range(desktop.get_child_count()):
    application = desktop.get_child_at_index(i)
    if application is not None and application.get_name() == wanted:
        walk(application)
        sys.exit(0)
sys.exit(1)
