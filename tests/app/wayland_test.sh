#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program as a native Wayland client of a real compositor (weston, headless back-end, a
# socket of this test's own): it starts, paints its window, opens its tables and rings its log,
# answers `tolvane --toggle`, and ends cleanly on SIGTERM.
# Usage: wayland_test.sh BIN_DIR
set -euo pipefail
bin=$1
source "$(dirname "$0")/../support/harness.sh"

unset DISPLAY
export XDG_RUNTIME_DIR=$work/run XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=tolvane-test
mkdir -m 700 "$XDG_RUNTIME_DIR"
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 \
  --log="$work/weston.log" &
pids+=($!)
wait_for 10 "weston's socket" test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"

mkdir "$work/program"
cp "$bin/tolvane" "$work/program/"
(cd "$work/program" && QT_QPA_PLATFORM=wayland TOLVANE_REPORT_FIRST_PAINT=1 exec ./tolvane) \
  2>"$work/stderr" &
program=$!
pids+=($program)
wait_for 20 "the window's first paint on Wayland" grep -q "first-paint-ms" "$work/stderr"
wait_for 5 "the ring log's start line" grep -q "程序启动" "$work/program/tolvane.log"
for f in px.edb db.edb; do [ -f "$work/program/$f" ] || fail "$f was not created"; done
echo "ok: the program starts and paints as a native Wayland client"

"$work/program/tolvane" --toggle || fail "--toggle did not reach the program on Wayland"
"$work/program/tolvane" --toggle || fail "the second --toggle did not reach the program"
kill -0 "$program" || fail "the program ended after --toggle: $(cat "$work/stderr")"
echo "ok: --toggle reaches the program on Wayland"

kill -TERM "$program"
status=0
wait "$program" || status=$?
[ "$status" = 0 ] || fail "the program ended with $status: $(cat "$work/stderr")"
grep -q "程序退出（0）" "$work/program/tolvane.log" || fail "no clean exit in the ring log"
echo "PASS: on Wayland the program starts, paints, answers --toggle and ends cleanly"
