#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The tray icon with a real tray host (trayer) under Xvfb: "最小化" from the System menu hides the
# window and puts the icon in the tray; a double-click on the icon brings the window back and
# leaves no icon.
# Usage: tray_xvfb_test.sh BIN_DIR
set -euo pipefail
bin=$1
source "$(dirname "$0")/../support/harness.sh"

start_xvfb
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR" "$work/program"
cp "$bin/tolvane" "$work/program/"
trayer --edge top --align right --widthtype pixel --width 100 --height 32 >/dev/null 2>&1 &
pids+=($!)
wait_for 15 "the tray host" xdotool search --onlyvisible --class trayer

(cd "$work/program" && exec ./tolvane) 2>"$work/stderr" &
program=$!
pids+=($program)

retry() { for _ in $(seq 150); do "$@" >/dev/null && return 0; sleep 0.1; done; return 1; }
gone() { ! "$@" >/dev/null; }

retry main_window "$program" || fail "the window did not appear"
window=$(main_window "$program")
# The menu picture button, then "最小化" (the sixth item; the separator is skipped).
xdotool mousemove --window "$window" 570 10 click 1
sleep 0.5  # the menu pops up; it cannot be told from the start-up tip by its window
xdotool key Down Down Down Down Down Down Return
retry gone main_window "$program" || fail "最小化 did not hide the window"
retry tray_icon "$program" || fail "no tray icon after 最小化"
icon=$(tray_icon "$program")
xdotool mousemove --window "$icon" 8 8 click --repeat 2 --delay 80 1
retry main_window "$program" || fail "a double-click on the icon did not bring the window back"
retry gone tray_icon "$program" || fail "the tray icon stayed"
echo "tray under Xvfb test passed"
