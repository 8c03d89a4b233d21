#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# One ringer and a live schedule, on the real stack (Xvfb, PulseAudio with a recorded null sink):
# - a second start in the folder ends with 0 at once and shows the first program's hidden window;
#   each bell then plays as one stream;
# - bells added, changed and deleted with tolvanectl while the program runs ring (or stay silent)
#   at their seconds, and the program says it reloaded within a second of each change;
# - with the main window hidden, closing the Add window with Esc does not end the program, which
#   rings the next bell.
# Usage: one_ringer_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
[ -n "${TRACE:-}" ] && set -x
bin=$1
src=$2
source "$src/tests/support/harness.sh"

start_xvfb
start_sound

"$src/tests/support/make-tones.sh" "$work/tones"
program=$work/program
mkdir -p "$program"
cp "$bin/tolvane" "$program/"
ctl() { "$bin/tolvanectl" "$@" >/dev/null; }
ctl init "$program"
# Settings (record at 836): the Shift+T hot key on (field at 39), random play off (42).
printf '\1' | dd of="$program/px.edb" bs=1 seek=$((836 + 39)) conv=notrunc 2>/dev/null
printf '\0' | dd of="$program/px.edb" bs=1 seek=$((836 + 42)) conv=notrunc 2>/dev/null

(cd "$program" && exec ./tolvane) 2>"$work/stderr" &
app=$!
pids+=($app)
wait_for 10 "the window" main_window "$app"
# Nothing outside says when the created handler has taken Shift+T: it does so right after the
# window shows, well within this second.
sleep 1

# The second start: the first program's window is hidden (Shift+T), the second shows it.
xdotool key shift+t
wait_for 3 "Shift+T to hide the window" no_main_window "$app"
status=0
(cd "$program" && exec timeout 10 ./tolvane) 2>"$work/stderr2" || status=$?
[ "$status" = 0 ] || fail "the second start ended with $status"
wait_for 3 "the second start to show the first program's window" main_window "$app"
window=$(main_window "$app")
echo "ok: a second start ends with 0 and shows the running program's window"

# The schedule, in seconds after T0, made while the program runs.
t0=$(($(date +%s) + 6))
at() { date -d "@$((t0 + $1))" +%H:%M:%S; }
today=$(date -d "@$t0" +%a | tr 'A-Z' 'a-z' | cut -c1-3)
reloads() { grep -c 'db.edb 被更改：重新读取铃声计划' "$program/tolvane.log" 2>/dev/null || true; }
# Runs a tolvanectl change and waits (at most 1 s) for the program to say it reloaded.
changed() {
  local before
  before=$(reloads)
  ctl "$@"
  for _ in $(seq 20); do [ "$(reloads)" -gt "$before" ] && return 0; sleep 0.05; done
  fail "the program did not reload within 1 s of: tolvanectl $*"
}
changed add "$program" --start "$(at 0)" --music "$work/tones/a440.mp3" --days "$today"
changed add "$program" --start "$(at 2)" --music "$work/tones/long440.mp3" --days "$today"
changed delete "$program" "$(at 2)"
changed add "$program" --start "$(at 20)" --music "$work/tones/a440.mp3" --days "$today"
changed change "$program" "$(at 20)" --start "$(at 4)" --music "$work/tones/b660.mp3"
changed add "$program" --start "$(at 8)" --music "$work/tones/c880.mp3" --days "$today"
echo "ok: the program reloads within 1 s of each tolvanectl add, delete and change"

parecord --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 --file-format=wav "$work/rec.wav" &
recorder=$!
pids+=($recorder)

wait_until() { while [ "$(date +%s%N)" -lt "$(((t0 + $1) * 1000000000 + ${2:-0} * 1000000))" ]; do sleep 0.02; done; }
wait_until 0 300
# The bell's stream, besides the silence this test keeps flowing.
streams=$(($(pactl list short sink-inputs | wc -l) - 1))
[ "$streams" = 1 ] || fail "$streams streams play the bell, not one"
echo "ok: one stream per bell"

# The hidden-window case: the Add window open, the main window hidden, Esc closes the Add window.
wait_until 5
xdotool mousemove --window "$window" 598 89 click 1
wait_for 5 "the Add window" titled_window '添加铃声'
add_window=$(xdotool search --onlyvisible --name '添加铃声' 2>/dev/null | head -1)
xdotool key shift+t
wait_for 3 "Shift+T to hide the main window" no_main_window "$app"
xdotool windowfocus "$add_window" 2>/dev/null || true
xdotool key Escape
wait_for 3 "Esc to close the Add window" no_titled_window '添加铃声'
# An exit would follow the window's closing within the event loop's next turns.
sleep 0.5
kill -0 "$app" 2>/dev/null || fail "closing the last visible window ended the program"
echo "ok: the program runs on with every window hidden"

wait_until 9 800
recorded_until=$(date +%s.%N)
kill -INT "$recorder"
wait "$recorder" || true
kill -0 "$app" 2>/dev/null || fail "the program ended"

read_tones "$bin" "$work/rec.wav" "$recorded_until"
[ "${#tones[@]}" = 3 ] ||
  fail "expected 3 tones (added, changed, rung with the window hidden), heard ${#tones[@]}"
expect_tone 0 440 "$t0" 150
expect_tone 1 660 $((t0 + 4)) 150
expect_tone 2 880 $((t0 + 8)) 150
echo "ok: the added and changed bells ring at their seconds, the deleted one stays silent, and the hidden program rings"
echo "one ringer test passed"
