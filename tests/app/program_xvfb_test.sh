#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Starts the real program under Xvfb in a fresh program folder and checks from outside: its window
# appears at 663 x 488, both table files exist, and Esc ends it with status 0; a damaged Settings
# table gives the run-time error box and status -1.
# Usage: program_xvfb_test.sh BIN_DIR
set -euo pipefail
bin=$1
source "$(dirname "$0")/../support/harness.sh"

start_xvfb
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"

mkdir "$work/program"
cp "$bin/tolvane" "$work/program/"
(cd "$work/program" && exec ./tolvane) 2>"$work/stderr" &
program=$!
pids+=($program)

window=$(timeout 20 xdotool search --sync --onlyvisible --pid "$program" | head -1)
geometry=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: //p')
echo "window $window geometry $geometry"
[ "$geometry" = "663x488" ] || { echo "FAIL: window is $geometry, not 663x488" >&2; exit 1; }
for f in px.edb db.edb; do
  [ -f "$work/program/$f" ] || { echo "FAIL: $f was not created" >&2; exit 1; }
done

# Esc in the main window ends the program.
xdotool mousemove --window "$window" 300 300
xdotool key --window "$window" Escape 2>/dev/null || xdotool key Escape
for _ in $(seq 150); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then echo "FAIL: Esc did not end the program" >&2; exit 1; fi
status=0
wait "$program" || status=$?
[ "$status" = 0 ] || { echo "FAIL: exit status $status" >&2; cat "$work/stderr" >&2; exit 1; }
# A Settings table whose 自动关机 is a byte, not a logical: the run-time error box, then exit
# status -1 (255). The type code is the first byte at offset 20 of the ninth descriptor.
printf '\x01' | dd of="$work/program/px.edb" bs=1 seek=$((116 + 8 * 72 + 20)) conv=notrunc 2>/dev/null
(cd "$work/program" && exec ./tolvane) 2>"$work/stderr" &
program=$!
pids+=($program)
box=$(timeout 20 xdotool search --sync --onlyvisible --name "运行时出错" | head -1)
[ -n "$box" ] || { echo "FAIL: no run-time error box" >&2; exit 1; }
xdotool windowfocus "$box"
xdotool key Return
for _ in $(seq 100); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$program" 2>/dev/null; then echo "FAIL: the program did not end after the box" >&2; exit 1; fi
status=0
wait "$program" || status=$?
[ "$status" = 255 ] || { echo "FAIL: fatal exit status $status, not -1" >&2; exit 1; }
echo "program under Xvfb test passed"
