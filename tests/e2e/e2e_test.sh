#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# End to end: the real program on a real desktop stack. Xvfb with a tray host, PulseAudio with a
# null sink whose monitor is recorded, a private system bus with python3-dbusmock's logind, and a
# program folder prepared with tolvanectl. Checked from outside: the window, each bell heard at its
# second (or not), the end time, the folder order, the pause, Shift+T, one PowerOff(false), and
# table files left as they were.
# Usage: e2e_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

start_xvfb
export HOME=$work XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER DBUS_SESSION_BUS_ADDRESS
trayer --edge top --align right --widthtype pixel --width 100 --height 32 >/dev/null 2>&1 &
pids+=($!)

# Sound: a null sink, kept flowing with silence so that the recording runs with the wall clock.
start_pulse
pacat --raw --format=s16le --rate=44100 --channels=1 </dev/zero &
pids+=($!)

# Power-off: logind's mock on a private bus standing in for the system bus.
start_logind_mock

# The schedule, in seconds after T0.
"$src/tests/support/make-tones.sh" "$work/tones"
program=$work/program
mkdir -p "$program/folder"
cp "$bin/tolvane" "$program/"
cp "$work/tones/b660.mp3" "$work/tones/c880.mp3" "$program/folder/"
t0=$(( $(date +%s) + 12 ))
at() { date -d "@$((t0 + $1))" +%H:%M:%S; }
today=$(date -d "@$t0" +%a | tr 'A-Z' 'a-z' | cut -c1-3)
other=$(date -d "@$((t0 + 86400))" +%a | tr 'A-Z' 'a-z' | cut -c1-3)
ctl() { "$bin/tolvanectl" "$@" >/dev/null; }
ctl add "$program" --start "$(at 0)" --end "$(at 1)" --music "$work/tones/long440.mp3" --days "$today"
ctl add "$program" --start "$(at 3)" --music "$program/folder" --days "$today"
ctl add "$program" --start "$(at 6)" --music "$work/tones/a440.mp3" --days "$other"
ctl add "$program" --start "$(at 8)" --music "$work/tones/a440.mp3" --days "$today"
ctl add "$program" --start "$(at 9)" --music "$work/tones/gone.mp3" --days "$today"
ctl add "$program" --start 08:00:00 --music "$work/tones/a440.mp3" --days mon,tue,wed,thu,fri,sat,sun
# That last bell as an older copy stored it: 8:00:00, which the clock never matches. Records
# start at 1052 and are 656 bytes long; the start text is the first field.
printf '8:00:00\0' | dd of="$program/db.edb" bs=1 seek=$((1052 + 5 * 656 + 4)) conv=notrunc 2>/dev/null
# Settings (record at 836): the hot key on (field at 39), random play off (42) so that the folder
# plays in name order, automatic power-off on (343) at T0+10 (344).
printf '\0' | dd of="$program/px.edb" bs=1 seek=$((836 + 42)) conv=notrunc 2>/dev/null
printf '\1' | dd of="$program/px.edb" bs=1 seek=$((836 + 39)) conv=notrunc 2>/dev/null
printf '\1' | dd of="$program/px.edb" bs=1 seek=$((836 + 343)) conv=notrunc 2>/dev/null
printf '%s' "$(at 10)" | dd of="$program/px.edb" bs=1 seek=$((836 + 344)) conv=notrunc 2>/dev/null
folder_order=$(find "$program/folder" -maxdepth 1 -name '*.mp3' -printf '%f\n' | LC_ALL=C sort)
sums=$(md5sum "$program"/*.edb)

# Recording. Its clock is tied to the wall clock at its end, when it has long been running: the
# last sample is the moment it is stopped.
parecord --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 --file-format=wav "$work/rec.wav" &
recorder=$!
pids+=($recorder)

(cd "$program" && exec ./tolvane) 2>"$work/stderr" &
app=$!
pids+=($app)

wait_for 10 "the window at 663 x 488" main_window "$app"
window=$(main_window "$app")
echo "ok: the window appears at 663 x 488"

wait_until() { while [ "$(date +%s%N)" -lt "$(( ($t0 + $1) * 1000000000 + ${2:-0} * 1000000 ))" ]; do sleep 0.05; done; }
press_pause() { xdotool mousemove --window "$window" 598 40 click 1; }
inhibitors() {
  gdbus call --system -d org.freedesktop.login1 -o /org/freedesktop/login1 \
    -m org.freedesktop.login1.Manager.ListInhibitors
}
inhibited() { grep -q "'sleep:idle', 'Tolvane', '[^']*', 'block'" <<<"$(inhibitors)"; }
not_inhibited() { ! grep -q Tolvane <<<"$(inhibitors)"; }
# logind is asked on a thread of its own: its answer may come just after the window.
wait_for 2 "a sleep inhibitor while the plan runs" inhibited
wait_until 7 300
press_pause  # 暂停计划: the bell of T0+8 must stay silent
wait_for 1 "the sleep inhibitor to go while paused" not_inhibited
wait_until 8 800
press_pause  # and the plan runs again
wait_for 1 "a sleep inhibitor after the plan resumed" inhibited
echo "ok: the sleep inhibitor is held while the plan runs, not while it is paused"
wait_until 11 500
xdotool key shift+t
window_gone() { ! main_window "$app"; }
wait_for 1 "Shift+T to hide the window" window_gone
xdotool key shift+t
wait_for 3 "Shift+T to show the window again" main_window "$app"
echo "ok: Shift+T hides and shows the window"
sleep 1
recorded_until=$(date +%s.%N)
kill -INT "$recorder"
wait "$recorder" || true

# What was heard, with each tone's start on the wall clock.
heard=$("$bin/tone_scan" --timed "$work/rec.wav")
echo "heard: $heard"
read -r -a tones <<<"$heard"
total=${tones[-1]#total:}
unset 'tones[-1]'
recorded_from=$(awk -v u="$recorded_until" -v t="$total" 'BEGIN { printf "%.3f", u - t }')
expected_folder=()
for f in $folder_order; do
  case $f in b660.mp3) expected_folder+=(660) ;; c880.mp3) expected_folder+=(880) ;; esac
done
expect=("440 0 1.0" "${expected_folder[0]} 3" "${expected_folder[1]} -")
[ "${#tones[@]}" = 3 ] || fail "expected 3 tones (the bell, the folder's two files), heard ${#tones[@]}"
for i in 0 1 2; do
  read -r hz offset length <<<"${expect[i]}"
  tone=${tones[i]}
  got_hz=${tone%%@*} rest=${tone#*@}
  got_start=${rest%%:*} got_length=${rest#*:}
  [ "$got_hz" = "$hz" ] || fail "tone $((i + 1)) is $got_hz Hz, expected $hz"
  if [ "$offset" != - ]; then
    echo "tone $((i + 1)) onset: $(awk -v r="$recorded_from" -v s="$got_start" -v t="$((t0 + offset))" 'BEGIN { printf "%.0f ms", (r + s - t) * 1000 }') after its second"
    awk -v r="$recorded_from" -v s="$got_start" -v t="$((t0 + offset))" \
      'BEGIN { d = r + s - t; exit !(d > -0.05 && d < 0.1) }' ||
      fail "tone $((i + 1)) started $(awk -v r="$recorded_from" -v s="$got_start" -v t="$((t0 + offset))" 'BEGIN { print r + s - t }') s from its second"
  fi
  if [ "$length" != "" ]; then
    awk -v g="$got_length" -v w="$length" 'BEGIN { exit !(g > w - 0.15 && g < w + 0.1) }' ||
      fail "tone $((i + 1)) lasted $got_length s, expected $length (its end time)"
  fi
done
echo "ok: each due bell starts within 100 ms of its second; the end time silences it; the folder plays in name order; the other weekday's, the paused and the 8:00:00 bells stay silent"

calls=$(gdbus call --system -d org.freedesktop.login1 -o /org/freedesktop/login1 -m org.freedesktop.DBus.Mock.GetCalls)
[ "$(grep -o "'PowerOff'" <<<"$calls" | wc -l)" = 1 ] || fail "expected one PowerOff: $calls"
grep -q "'PowerOff', \[<false>\]" <<<"$calls" || fail "PowerOff was not (false): $calls"
when=$(grep -o "[0-9]*, 'PowerOff'" <<<"$calls" | cut -d, -f1)
[ "$when" -ge $((t0 + 10)) ] && [ "$when" -le $((t0 + 11)) ] || fail "PowerOff came at $when, not $((t0 + 10))"
echo "ok: one PowerOff(false) at the shutdown second"

log=$(cat "$program/tolvane.log")
for offset in 0 3; do
  grep -q "铃声响起：$(at $offset)，第一个声音迟到 [0-9]* 毫秒" <<<"$log" || fail "no lateness line for the bell of T0+$offset: $log"
done
grep -q "铃声停止：到了结束时间" <<<"$log" || fail "the end time's stop is not logged"
grep -q "跳过文件：$work/tones/gone.mp3（文件不存在）" <<<"$log" || fail "the missing file is not logged"
grep -q "计划暂停" <<<"$log" && grep -q "计划恢复运行" <<<"$log" || fail "the pause is not logged"
grep -q "自动关机：系统回答：accepted" <<<"$log" || fail "logind's answer to the power-off is not logged: $log"
echo "ok: the ring log has each bell's lateness, the end time, the missing file, the pause and logind's answer"

[ "$(md5sum "$program"/*.edb)" = "$sums" ] || fail "the table files changed"
echo "ok: the table files are as they were"

# A log-out or shutdown ends the program as its own exit does: the last line, nothing held.
kill -TERM "$app"
ended() { ! kill -0 "$app"; }
wait_for 5 "the program to end on SIGTERM" ended
status=0
wait "$app" || status=$?
[ "$status" = 0 ] || fail "SIGTERM ended the program with status $status"
log=$(cat "$program/tolvane.log")
grep -q "收到结束信号 SIGTERM" <<<"$log" && grep -q "程序退出（0）" <<<"$log" ||
  fail "the ring log does not say why and that the program ended: $(tail -3 "$program/tolvane.log")"
not_inhibited || fail "the sleep inhibitor outlives the program: $(inhibitors)"
flock -n "$program/tolvane.lock" true || fail "the folder's one-ringer lock is still held"
echo "ok: SIGTERM ends the program with status 0, its exit in the ring log, nothing held"
echo "end-to-end test passed"
