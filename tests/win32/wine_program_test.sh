#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows build of the desktop program under Wine on Xvfb. Started from an empty folder with a
# Chinese name, it makes its two tables there and shows its 663 x 488 window; started again with
# the hot-key option on, Shift+T hides it (Wine delivers hot keys only while one of the program's
# windows has the focus). Then the bells: a schedule made by tolvanectl.exe rings through WASAPI
# into this test's PulseAudio server, at its second and stopped by its end time; the onset is
# printed, and the ring log beside the tables shows it, as do the metrics (tolvane.prom). Last the
# automatic power-off: asked of Windows once, at its second.
# Usage: wine_program_test.sh WINDOWS_BIN_DIR
set -euo pipefail
winbin=$1
src=$(cd "$(dirname "$0")/../.." && pwd)
source "$src/tests/support/harness.sh"

start_xvfb
start_sound
start_wine
# Wine blocks the thread that hides a window for up to 2 s while it waits for a window manager to
# confirm it, and Xvfb has none: the program's tick stood still each time a window closed, and
# the ring log said "补响迟到的 1 秒". Unmanaged windows leave only the program's own delays.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1

program="$work/铃声 程序"
mkdir -p "$program"
cp -r "$winbin"/. "$program/"

app=""
start_program() {
  (cd "$program" && exec wine ./tolvane.exe) >"$work/out" 2>&1 &
  app=$!
  pids+=($app)
}
find_window() {
  local w
  for _ in $(seq 300); do
    for w in $(xdotool search --onlyvisible --class tolvane 2>/dev/null); do
      xdotool getwindowgeometry "$w" 2>/dev/null | grep -q 'Geometry: 663x488' && { echo "$w"; return 0; }
    done
    sleep 0.1
  done
  return 1
}
stop_program() {
  wineserver -k 2>/dev/null || true
  wait "$app" 2>/dev/null || true
  wineserver -p &
  pids+=($!)
}

start_program
find_window >/dev/null || { cat "$work/out"; fail "the window did not appear at 663 x 488"; }
echo "ok: the window appears at 663 x 488"
for _ in $(seq 50); do [ -f "$program/px.edb" ] && [ -f "$program/db.edb" ] && break; sleep 0.1; done
[ -f "$program/px.edb" ] && [ -f "$program/db.edb" ] || fail "the tables are not in the program folder"
echo "ok: px.edb and db.edb are made in the program's folder, Chinese name and all"
# The Add window (增加铃声, 按钮3 at 548,78 and 80 x 22) opened and closed with Esc, twice: the
# tick goes on, so no second is rung late.
window=$(find_window)
for _ in 1 2; do
  xdotool mousemove --window "$window" 588 89 click 1
  sleep 1.5
  xdotool key Escape
  sleep 1.5
done
sleep 1
grep -q '补响' "$program/tolvane.log" && { cat "$program/tolvane.log"; fail "a window opened and closed held up the tick"; }
echo "ok: opening and closing a window does not hold up the tick"
# The Settings window (the menu's first item): its bell volume box shows "100 %". With a font
# family Wine does not have, every spin box drew no text at all.
xdotool mousemove --window "$window" 570 11 click 1
sleep 1
xdotool mousemove --window "$window" 600 33 click 1
settings=""
for _ in $(seq 50); do
  settings=$(xdotool search --onlyvisible --name '^(Settings|设置)$' 2>/dev/null | head -1)
  [ -n "$settings" ] && break
  sleep 0.1
done
[ -n "$settings" ] || fail "the Settings window did not open from the menu"
sleep 1
eval "$(xwininfo -id "$settings" | awk '/Absolute upper-left X/ { print "sx=" $NF } /Absolute upper-left Y/ { print "sy=" $NF }
  /Width:/ { print "sw=" $NF } /Height:/ { print "sh=" $NF }')"
border=$(((sw - 353) / 2))
import -window root "$work/settings.png"
# Inside the volume box (118,270 and 90 x 24 in the window, which is 574 high), clear of its
# frame and arrows; counted up from the bottom of the frame Wine draws.
ink=$(convert "$work/settings.png" -crop "60x18+$((sx + border + 120))+$((sy + sh - 514 - border + 273))" \
  -colorspace gray -threshold 50% -format '%[fx:1-mean]' info:)
awk -v ink="$ink" 'BEGIN { exit !(ink > 0.02) }' || fail "the bell volume box shows no text (ink $ink)"
xdotool key Escape
sleep 1.5
echo "ok: the Settings window's spin boxes show their values (ink $ink)"
stop_program

# Settings (record at 836): the hot key on (field at 39).
printf '\1' | dd of="$program/px.edb" bs=1 seek=$((836 + 39)) conv=notrunc 2>/dev/null
start_program
window=$(find_window) || fail "the window did not appear the second time"
xdotool windowfocus "$window" 2>/dev/null || true
sleep 0.3
xdotool key shift+t
# Wine takes the window off the X screen a moment after the program hides it.
for _ in $(seq 100); do
  xwininfo -id "$window" 2>/dev/null | grep -q 'IsViewable' || { echo "ok: Shift+T hides the window"; break; }
  sleep 0.1
done
xwininfo -id "$window" 2>/dev/null | grep -q 'IsViewable' && fail "Shift+T did not hide the window"
stop_program

# Bells made by tolvanectl.exe: the three-second tone at a second a little ahead, ending one
# second later, heard from its second (onset printed) for about one second; the same tone three
# seconds later without an end, stopped by 停止播放 (按钮2, at 568,53 and 60 x 22) 1.5 s in:
# silent within one 100 ms block of the click (printed).
"$src/tests/support/make-tones.sh" "$work/tones" >/dev/null
g++ -O2 -std=c++20 -I"$src" "$src"/tests/support/tone_scan.cpp \
  -o "$work/tone_scan"
printf '\0' | dd of="$program/px.edb" bs=1 seek=$((836 + 39)) conv=notrunc 2>/dev/null
folder_w=$(winepath -w "$program")
tone_w=$(winepath -w "$work/tones/long440.mp3")
# The district's metrics, written where windows_exporter's textfile collector would read them.
mkdir "$work/textfile_inputs"
(cd "$program" && wine ./tolvanectl.exe option "$folder_w" metrics_dir "$(winepath -w "$work/textfile_inputs")") >/dev/null ||
  fail "tolvanectl.exe option metrics_dir failed"
start_program
window=$(find_window) || fail "the window did not appear for the bell"
sleep 2
at=$(($(date +%s) + 6))
start=$(date -d "@$at" +%H:%M:%S) end=$(date -d "@$((at + 1))" +%H:%M:%S)
days=$(date -d "@$at" +%a | tr 'A-Z' 'a-z')
(cd "$program" && wine ./tolvanectl.exe add "$folder_w" --start "$start" --end "$end" \
  --music "$tone_w" --days "$days") || fail "tolvanectl.exe add failed"
(cd "$program" && wine ./tolvanectl.exe add "$folder_w" --start "$(date -d "@$((at + 3))" +%T)" \
  --music "$tone_w" --days "$days") || fail "tolvanectl.exe add failed for the second bell"
parecord --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 \
  --file-format=wav "$work/bell.wav" &
rec=$!
pids+=($rec)
sleep_until() { sleep "$(awk -v t="$1" -v now="$(date +%s.%N)" 'BEGIN { print (t > now) ? t - now : 0 }')"; }
sleep_until $((at + 4))
xdotool mousemove --window "$window" 598 64
sleep_until $((at + 4)).5
clicked=$(date +%s.%N)
xdotool click 1
sleep 2
kill -INT "$rec"
wait "$rec" || true
read_tones "$work" "$work/bell.wav" "$(date +%s.%N)"
[ "${#tones[@]}" -ge 2 ] || fail "not both bells were heard"
expect_tone 0 440 "$at" 200
length=${tones[0]##*:}
awk -v l="$length" 'BEGIN { exit !(l > 0.8 && l < 1.3) }' || fail "the bell lasted $length s, not until its end time"
awk -v r="$recorded_from" -v t="${tones[0]#*@}" -v at="$at" \
  'BEGIN { split(t, p, ":"); printf "wine bell onset: %.0f ms after its second\n", (r + p[1] - at) * 1000 }'
expect_tone 1 440 "$((at + 3))" 200
stopped=$(awk -v r="$recorded_from" -v t="${tones[1]#*@}" -v c="$clicked" \
  'BEGIN { split(t, p, ":"); printf "%.0f", (r + p[1] + p[2] - c) * 1000 }')
echo "wine stop: silent $stopped ms after the click"
[ "$stopped" -lt 100 ] || fail "停止播放 silenced the bell $stopped ms after the click"
# Wine's endpoints do not tell the output's mute or level: played, never claimed heard.
grep -q "铃声已播放：$start，第一个声音迟到 .*能否听到未知" "$program/tolvane.log" ||
  { cat "$program/tolvane.log"; fail "the ring log beside the tables does not show the bell"; }
grep -q "铃声响起" "$program/tolvane.log" &&
  { cat "$program/tolvane.log"; fail "a bell was logged heard where nobody can tell"; }
echo "ok: the ring log in the program's folder shows the bell played, not claimed heard"
prom=$work/textfile_inputs/tolvane.prom
wait_for 5 "the metrics to count both bells" grep -q '^tolvane_bells_total{result="heard"} 2$' "$prom"
if command -v promtool >/dev/null; then
  promtool check metrics <"$prom" || fail "promtool refuses the metrics written under Wine"
fi
grep -q '^tolvane_up 1$' "$prom" && grep -q '^tolvane_info{version=' "$prom" ||
  fail "the metrics written under Wine: $(cat "$prom")"
echo "ok: the Windows build writes tolvane.prom as the Linux one does, both bells counted"

# tolvanectl.exe changes the schedule while the program holds it: Windows will not rename over a
# file another process has open, so a change, a delete and a calendar reset (all purges) must
# still get through, and the program follow them.
ctl() { (cd "$program" && wine ./tolvanectl.exe "$1" "$folder_w" "${@:2}") >"$work/ctl.out" 2>&1 || { cat "$work/ctl.out"; return 1; }; }
ctl change "$start" --start 23:59:01 --no-end || fail "tolvanectl.exe change failed while the program runs"
ctl delete 23:59:01 || fail "tolvanectl.exe delete failed while the program runs"
ctl holiday 2030-01-02 && ctl normal 2030-01-02 || fail "tolvanectl.exe normal failed while the program runs"
wait_for 5 "the program reading the changes" grep -q "xl.edb 被更改" "$program/tolvane.log"
echo "ok: tolvanectl.exe changes, deletes and resets a day while the program runs, and it follows"
stop_program

# The end of a Windows session (log-off, shutdown, an update's restart at night): logged, and
# the sleep block released, before Windows ends the process. With a password set too: the
# password guards a person's hand, so the session's end asks nothing and is not held up.
printf 'Bell-1 铃\n' | (cd "$program" && wine ./tolvanectl.exe password .) >/dev/null 2>&1 ||
  fail "tolvanectl.exe password failed"
: >"$program/tolvane.log"
start_program
find_window >/dev/null || fail "the window did not appear for the session's end"
timeout -k 5 20 wineboot --end-session >/dev/null 2>&1 || true  # held up by a question: caught below
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$app" 2>/dev/null; then
  xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | sed 's/^/window: /' || true
  fail "the program still runs 10 s after the session's end (a question holds it up?)"
fi
for line in "系统结束会话" "保持唤醒：已允许休眠" "程序退出（会话结束）"; do
  grep -q "$line" "$program/tolvane.log" || { cat "$program/tolvane.log"; fail "the session's end did not log $line"; }
done
echo "ok: the end of the session, a password set, asks nothing, is logged and the sleep block released"
stop_program
(cd "$program" && wine ./tolvanectl.exe password . --clear) >/dev/null 2>&1 ||
  fail "tolvanectl.exe password --clear failed"

# Automatic power-off (自动关机 at 343, 关机时间 at 344 in the settings record) a few seconds
# ahead. Under Wine, ExitWindowsEx ends the Wine session, this program with it, and leaves the
# machine alone: the ring log shows the request once, at its second, and the system's answer.
off_at=$(($(date +%s) + 8))
off=$(date -d "@$off_at" +%H:%M:%S)
printf '\1%s' "$off" | dd of="$program/px.edb" bs=1 seek=$((836 + 343)) conv=notrunc 2>/dev/null
: >"$program/tolvane.log"
start_program
find_window >/dev/null || fail "the window did not appear for the power-off"
for _ in $(seq 150); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the program still runs at $(date +%T), after its power-off time $off"
requests=$(grep -c "自动关机：请求关机（$off）" "$program/tolvane.log" || true)
[ "$requests" = 1 ] || { cat "$program/tolvane.log"; fail "power-off asked $requests times, not once"; }
grep -q "^\[[0-9-]* $off\.[0-9]*\] 自动关机：请求关机" "$program/tolvane.log" ||
  fail "power-off not asked at its second $off"
grep -q "自动关机：系统回答：ExitWindowsEx accepted" "$program/tolvane.log" ||
  { cat "$program/tolvane.log"; fail "Windows did not accept the power-off"; }
echo "ok: power-off asked once at $off, accepted, and the Wine session ended with the program"
wineserver -k 2>/dev/null || true
echo "wine program test passed"
