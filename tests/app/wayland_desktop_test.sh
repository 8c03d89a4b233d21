#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program as a native Wayland client of weston, with what a desktop gives it: weston runs
# on its X11 back-end inside Xvfb (the headless back-end has no input devices), so that a real
# keyboard and mouse (xdotool on weston's window) reach the program through the compositor and a
# screenshot shows what weston composed; the program's
# windows are read and pressed through the accessibility bus; a StatusNotifierItem host is on the
# session bus. It paints, opens the Add window and closes it with Esc, hides to the tray with
# 最小化 and comes back at a click on the icon, and ends cleanly.
# Usage: wayland_desktop_test.sh BIN_DIR SOURCE_DIR SHOTS_DIR
set -euo pipefail
bin=$1
src=$2
shots=$(realpath -m "$3")
mkdir -p "$shots"
source "$src/tests/support/harness.sh"
window() { /usr/bin/python3 "$src/tests/support/atspi_window.py" "$@" 2>/dev/null; }
shown_windows() { [ "$(window shown)" = "$1" ]; }
some_window_shown() { [ "$(window shown)" -ge 1 ]; }
add_window_gone() { ! window showing 添加铃声; }

start_xvfb
export XDG_RUNTIME_DIR=$work/run XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=tolvane-test
mkdir -m 700 "$XDG_RUNTIME_DIR"
start_session_bus
start_accessibility_bus
: >"$work/items"
/usr/bin/python3 "$src/tests/support/sni_host.py" "$work/items" 2>"$work/host.log" &
pids+=($!)
weston --backend=x11-backend.so --shell=kiosk-shell.so --use-pixman --width=1024 --height=700 \
  --socket="$WAYLAND_DISPLAY" --idle-time=0 --log="$work/weston.log" &
pids+=($!)
wait_for 10 "weston's socket" test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"
compositor=$(xdotool search --sync --class weston | head -1)

mkdir "$work/program"
cp "$bin/tolvane" "$work/program/"
(cd "$work/program" && exec env -u DISPLAY QT_QPA_PLATFORM=wayland TOLVANE_REPORT_FIRST_PAINT=1 ./tolvane) \
  2>"$work/stderr" &
program=$!
pids+=($program)
wait_for 20 "the window's first paint on Wayland" grep -q "first-paint-ms" "$work/stderr"
wait_for 10 "the window on the accessibility bus" window has 增加铃声
sleep 0.5  # weston composes the next frame
import -window root "$shots/wayland-main.png"
colours=$(convert "$shots/wayland-main.png" -format %k info:)
[ "$colours" -gt 200 ] || fail "weston's screen shows $colours colours: the window was not composed"
echo "ok: the program paints as a Wayland client, and weston composes it ($colours colours)"

window press 增加铃声 || fail "增加铃声 could not be pressed"
wait_for 10 "the Add window" window showing 添加铃声
sleep 0.5  # its first tip
import -window root "$shots/wayland-add.png"
# Esc once weston has given the new window the keyboard (it may take a frame or two).
escape_closes_add_window() {
  xdotool key --window "$compositor" Escape 2>/dev/null
  sleep 0.3
  add_window_gone
}
wait_for 10 "the Add window to close at Esc" escape_closes_add_window
echo "ok: the Add window opens, and Esc through the compositor closes it"

# A menu pops up on Wayland only at a real input event: a click, through weston, on the menu
# button. Weston's kiosk shell centres the fixed-size window on its 1024 x 700 output, which is
# at the corner of the X screen.
read -r x y <<<"$(window where 系统菜单)"
xdotool mousemove $(((1024 - 663) / 2 + x)) $(((700 - 488) / 2 + y)) click 1
sleep 0.5  # the menu pops up
xdotool key --window "$compositor" Down Down Down Down Down Down Return 2>/dev/null
wait_for 10 "an item registered with the StatusNotifierWatcher" test -s "$work/items"
wait_for 10 "the window to go to the tray" shown_windows 0
read -r service path <"$work/items"
gdbus call --session -d "$service" -o "$path" -m org.kde.StatusNotifierItem.Activate 10 10 >/dev/null
wait_for 10 "the window back at a click on the icon" some_window_shown
echo "ok: 最小化 hides it to the StatusNotifierItem tray, a click on the icon brings it back"

kill -TERM "$program"
status=0
wait "$program" || status=$?
[ "$status" = 0 ] || fail "the program ended with $status: $(cat "$work/stderr")"
grep -q "程序退出（0）" "$work/program/tolvane.log" || fail "no clean exit in the ring log"
echo "PASS: on a Wayland desktop the program paints, opens and closes its windows, uses the tray and ends cleanly"
