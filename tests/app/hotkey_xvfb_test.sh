#!/usr/bin/env bash
# The Shift+T hot key on a real X server (Xvfb): with the option on, Shift+T hides and shows the
# main window and never reaches another client (xev); when another client already holds Shift+T
# the registration fails silently and Shift+T leaves the window alone.
# Usage: hotkey_xvfb_test.sh BIN_DIR
set -euo pipefail
bin=$1
source "$(dirname "$0")/../support/harness.sh"

start_xvfb
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR" "$work/program"
cp "$bin/tolvane" "$work/program/"
"$bin/tolvanectl" init "$work/program" >/dev/null
# The option "运行后隐藏程序" (the hot key) on: the record starts at 836, the field at 39.
printf '\x01' | dd of="$work/program/px.edb" bs=1 seek=$((836 + 39)) conv=notrunc 2>/dev/null

# The main window (the start-up balloon is a window of its own): visible at 663 x 488.
visible() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    xdotool getwindowgeometry "$w" 2>/dev/null | grep -q 'Geometry: 663x488' && return 0
  done
  return 1
}
wait_visible() {  # pid yes|no
  for _ in $(seq 50); do
    if visible "$1"; then [ "$2" = yes ] && return 0; else [ "$2" = no ] && return 0; fi
    sleep 0.1
  done
  return 1
}

# Another client with the keyboard focus, recording every key it gets.
xev -name keywatch >"$work/xev.log" 2>&1 &
pids+=($!)
sleep 0.5
xdotool search --sync --name keywatch windowfocus 2>/dev/null || true

(cd "$work/program" && exec ./tolvane) 2>"$work/stderr" &
program=$!
pids+=($program)
wait_visible "$program" yes || fail "the window did not appear"
xdotool key shift+t
wait_visible "$program" no || fail "Shift+T did not hide the window"
xdotool key shift+t
wait_visible "$program" yes || fail "Shift+T did not show the window again"
grep -q 'keysym 0x54, T' "$work/xev.log" && fail "Shift+T reached another client"
kill "$program"; wait "$program" 2>/dev/null || true

# Another client holds Shift+T: our registration fails silently, the window stays.
"$bin/hotkey_holder" >"$work/holder.log" &
pids+=($!)
for _ in $(seq 50); do grep -q holding "$work/holder.log" && break; sleep 0.1; done
(cd "$work/program" && exec ./tolvane) 2>"$work/stderr" &
program=$!
pids+=($program)
wait_visible "$program" yes || fail "the window did not appear"
xdotool key shift+t
sleep 0.5
visible "$program" || fail "Shift+T hid the window though another client holds it"
echo "hot key under Xvfb test passed"
