#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program binding Shift+T through the GlobalShortcuts portal, as on a Wayland session
# (XDG_SESSION_TYPE=wayland), with its window on Xvfb so that it can be seen from outside: with
# the hot key option on, it makes a portal session and binds Shift+T at start; the portal's
# Activated hides the window, the next shows it. The portal is the mock of the portal test, on a
# private session bus.
# Usage: portal_program_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

start_xvfb
export XDG_RUNTIME_DIR=$work/run XDG_SESSION_TYPE=wayland
mkdir -m 700 "$XDG_RUNTIME_DIR" "$work/program"
start_session_bus
start_portal_mock "$src"
portal=(--session -d org.freedesktop.portal.Desktop -o /org/freedesktop/portal/desktop)

cp "$bin/tolvane" "$work/program/"
"$bin/tolvanectl" init "$work/program" >/dev/null
# The option "运行后隐藏程序" (the hot key) on: the record starts at 836, the field at 39.
printf '\x01' | dd of="$work/program/px.edb" bs=1 seek=$((836 + 39)) conv=notrunc 2>/dev/null
(cd "$work/program" && QT_QPA_PLATFORM=xcb exec ./tolvane) 2>"$work/stderr" &
program=$!
pids+=($program)
wait_for 40 "the main window" main_window "$program"
bound() { gdbus call "${portal[@]}" -m org.freedesktop.DBus.Mock.GetCalls | grep -q "BindShortcuts.*SHIFT+t"; }
wait_for 30 "the program to bind Shift+T through the portal" bound
sleep 2  # the bind's answer taken in: an activation before it is not the program's yet
session=$(gdbus call "${portal[@]}" -m org.freedesktop.DBus.Mock.GetCalls |
  grep -o "objectpath '[^']*session[^']*'" | head -1 | sed "s/objectpath //; s/'//g")
[ -n "$session" ] || fail "no session in the portal's calls"
activate() {
  gdbus call "${portal[@]}" -m org.freedesktop.DBus.Mock.EmitSignal \
    org.freedesktop.portal.GlobalShortcuts Activated 'osta{sv}' \
    "[<objectpath '$session'>, <'toggle-window'>, <uint64 1>, <@a{sv} {}>]" >/dev/null
}
activate
wait_for 10 "Activated to hide the window" no_main_window "$program"
activate
wait_for 10 "the next Activated to show it" main_window "$program"
echo "PASS: the program binds Shift+T through the portal; its Activated hides and shows the window"
