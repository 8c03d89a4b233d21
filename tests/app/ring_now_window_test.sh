#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# 立即播放 from the window, as the caretaker does it: the real program on Xvfb with PulseAudio, a
# right-click on a bell's row and its menu's 立即播放 (by the keyboard, as a person may). The bell's
# music is heard at once on the bell output, in the recording, and the ring log says the desk
# asked; the bell itself is hours away.
# Usage: ring_now_window_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

start_xvfb
start_sound

"$src/tests/support/make-tones.sh" "$work/tones"
program=$work/program
mkdir -p "$program"
cp "$bin/tolvane" "$program/"
later=$(date -d "@$(($(date +%s) + 3 * 3600))" +%H:%M:%S)
"$bin/tolvanectl" add "$program" --start "$later" --music "$work/tones/a440.mp3" \
  --days mon,tue,wed,thu,fri,sat,sun >/dev/null

(cd "$program" && exec ./tolvane) 2>"$work/stderr" &
app=$!
pids+=($app)
for _ in $(seq 100); do main_window "$app" >/dev/null && break; sleep 0.1; done
window=$(main_window "$app") || fail "the window did not appear"
sleep 1  # the first-start tip comes and the list is filled

parecord --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 --file-format=wav "$work/rec.wav" &
recorder=$!
pids+=($recorder)
sleep 0.5
# The list's first row, then the menu's last two items: 立即播放 is the one above the last.
xdotool mousemove --window "$window" 100 141 click 1
sleep 0.2
xdotool click 3
sleep 0.5
xdotool key Up Up
[ -z "${TOLVANE_SHOT:-}" ] || import -window root "$TOLVANE_SHOT"
asked_at=$(date +%s.%N)
xdotool key Return
sleep 2
recorded_until=$(date +%s.%N)
kill -INT "$recorder"
wait "$recorder" || true
kill -0 "$app" 2>/dev/null || fail "the program ended"

read_tones "$bin" "$work/rec.wav" "$recorded_until"
[ "${#tones[@]}" = 1 ] || fail "expected the bell's music rung now once, heard ${#tones[@]}"
expect_tone 0 440 "$asked_at" 400
grep -q "立即播放：$work/tones/a440.mp3（桌面）" "$program/tolvane.log" ||
  fail "the ring log does not say the desk rang it now: $(cat "$program/tolvane.log")"
echo "ok: 立即播放 in the window's menu is heard at once on the bell output, and logged as the desk's"
