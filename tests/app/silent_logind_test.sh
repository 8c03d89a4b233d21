#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A logind that does not answer (its Inhibit waits 30 s, on a busy or broken system): the window's
# thread, which rings the bells, must never wait for it. The plan is paused and resumed (asking
# logind again) a second before a bell: the bell is heard at its second, the ring log says why the
# machine could not be kept awake, and Esc still ends the program.
# Usage: silent_logind_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

start_xvfb
start_sound
start_logind_mock
gdbus call --system -d org.freedesktop.login1 -o /org/freedesktop/login1 \
  -m org.freedesktop.DBus.Mock.AddMethod org.freedesktop.login1.Manager Inhibit ssss h \
  'import time; time.sleep(30)' >/dev/null

"$src/tests/support/make-tones.sh" "$work/tones"
program=$work/program
mkdir "$program"
cp "$bin/tolvane" "$program/"
t0=$(($(date +%s) + 6))
"$bin/tolvanectl" add "$program" --start "$(date -d "@$t0" +%H:%M:%S)" \
  --music "$work/tones/a440.mp3" --days mon,tue,wed,thu,fri,sat,sun >/dev/null

(cd "$program" && exec ./tolvane) 2>"$work/stderr" &
app=$!
pids+=($app)
for _ in $(seq 100); do main_window "$app" >/dev/null && break; sleep 0.1; done
window=$(main_window "$app") || fail "the window did not appear at 663 x 488"

parecord --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 --file-format=wav "$work/rec.wav" &
recorder=$!
pids+=($recorder)
press_pause() { xdotool mousemove --window "$window" 598 40 click 1; }
while [ "$(date +%s%N)" -lt "$(((t0 - 1) * 1000000000))" ]; do sleep 0.05; done
press_pause
sleep 0.2
press_pause  # the plan runs again, and logind is asked again
while [ "$(date +%s%N)" -lt "$(((t0 + 2) * 1000000000))" ]; do sleep 0.05; done
recorded_until=$(date +%s.%N)
kill -INT "$recorder"
wait "$recorder" || true

read_tones "$bin" "$work/rec.wav" "$recorded_until"
[ "${#tones[@]}" = 1 ] || fail "expected 1 tone, heard ${#tones[@]}"
expect_tone 0 440 "$t0" 150
echo "ok: the bell rings at its second while logind does not answer"

xdotool key --window "$window" Escape 2>/dev/null || xdotool key Escape
for _ in $(seq 150); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "Esc did not end the program within 15 s"
status=0
wait "$app" || status=$?
[ "$status" = 0 ] || fail "exit status $status: $(cat "$work/stderr")"
log=$("$bin/tolvanectl" log "$program" --day "$(date -d "@$t0" +%F)")
grep -q "保持唤醒：logind 不能阻止休眠" <<<"$log" || fail "the ring log does not say logind failed: $log"
echo "ok: the ring log says logind did not answer, and Esc ends the program"
