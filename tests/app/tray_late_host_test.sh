#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A tray host that appears after the program started (GNOME's AppIndicator extension switched on,
# a panel restarted): "最小化" first goes to the taskbar, as there is no tray; once a
# StatusNotifierItem host is up, the next "最小化" puts the icon there.
# Usage: tray_late_host_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

start_xvfb
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR" "$work/program"
cp "$bin/tolvane" "$work/program/"
start_session_bus

(cd "$work/program" && exec ./tolvane) 2>"$work/stderr" &
program=$!
pids+=($program)
wait_for 20 "the main window" main_window "$program"
minimise() {  # the menu picture button, then "最小化"
  local window
  window=$(main_window "$program")
  xdotool mousemove --window "$window" 570 10 click 1
  sleep 0.5  # the menu pops up; it cannot be told from the start-up tip by its window
  xdotool key Down Down Down Down Down Down Return
}
minimise
sleep 1
: >"$work/items"
[ -s "$work/items" ] && fail "an icon was registered with no host"
# Back from the taskbar, as a caretaker would click it there.
"$work/program/tolvane" --toggle
"$work/program/tolvane" --toggle
wait_for 5 "the window back from the taskbar" main_window "$program"
echo "ok: with no tray, 最小化 goes to the taskbar"

/usr/bin/python3 "$src/tests/support/sni_host.py" "$work/items" 2>"$work/host.log" &
pids+=($!)
watcher_up() {
  gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher 2>/dev/null | grep -q true
}
wait_for 10 "the StatusNotifierWatcher" watcher_up
minimise
wait_for 5 "最小化 to hide the window into the tray" no_main_window "$program"
wait_for 5 "the icon on the host that came later" test -s "$work/items"
echo "PASS: a tray host that came after the start is used by the next 最小化"
