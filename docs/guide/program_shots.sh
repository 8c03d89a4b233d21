#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every picture of the program the guide shows, taken from the real program started as a user
# starts it: an X server with a tray host (trayer), a sound server, a schedule prepared with
# tolvanectl (one bell ringing as the pictures are taken), the windows opened by their buttons and
# menu items (pressed through the accessibility bus and the keyboard) and closed with Esc.
# PREFIX-main-playing, -main-paused, -AddBellWindow, -SettingsWindow, -RingLogWindow,
# -CalendarWindow, -TimetableWindow, -system-menu and -tray, in the language of LANG.
# Run under an X server of its own (shots.sh starts one per language).
# Usage: program_shots.sh BIN_DIR OUT_DIR PREFIX
set -euo pipefail
bin=$1
out=$2
prefix=$3
src=$(realpath "$(dirname "$0")/../..")
source "$src/tests/support/harness.sh"
start_sound
start_session_bus
start_accessibility_bus
start_logind_mock
press() { /usr/bin/python3 "$src/tests/support/atspi_window.py" press "$1" 2>/dev/null; }
if [ "$prefix" = zh ]; then pause=暂停计划 paused=暂停中。。 stop=停止播放 add=增加铃声; else pause=Pause paused=Paused.. stop=Stop add="Add bell"; fi

program=$work/program
mkdir -p "$program/铃声"
sox -q -n -r 44100 -c 1 -b 16 "$work/bell.wav" synth 40 sine 660 vol 0.05
lame --quiet -b 64 "$work/bell.wav" "$program/铃声/上课.mp3"
cp "$program/铃声/上课.mp3" "$program/铃声/下课.mp3"
ringing=$(($(date +%s) + 8))
ctl() { "$bin/tolvanectl" "$@" >/dev/null; }
for bell in 07:50:00/上课 08:35:00/下课 08:45:00/上课 12:00:00/下课; do
  ctl add "$program" --start "${bell%/*}" --music "$program/铃声/${bell#*/}.mp3"
done
ctl add "$program" --start "$(date -d "@$ringing" +%T)" --end "$(date -d "@$((ringing + 30))" +%T)" \
  --music "$program/铃声/上课.mp3" --days mon,tue,wed,thu,fri,sat,sun
ctl holiday "$program" "$(date -d 'today + 3 days' +%F)" --note 运动会
ctl workday "$program" "$(date -d 'today + 5 days' +%F)" --as 周四 --note 调休
# A summer timetable besides the default one, and an exam timetable for a day next week.
ctl timetable "$program" add 夏季作息 --copy 常规作息
ctl timetable "$program" season 夏季作息 --from 05-01 --to 09-30
ctl timetable "$program" add 考试
ctl timetable "$program" generate 考试 --first 08:30 --lesson 120 --break 30 --morning 2 \
  --music-start "$program/铃声/上课.mp3" --music-end "$program/铃声/下课.mp3"
ctl workday "$program" "$(date -d 'today + 7 days' +%F)" --timetable 考试

trayer --edge top --align right --widthtype pixel --width 100 --height 32 >/dev/null 2>&1 &
pids+=($!)
wait_for 15 "the tray host" xdotool search --onlyvisible --class trayer
cp "$bin/tolvane" "$program/"
(cd "$program" && exec ./tolvane) 2>"$work/stderr" &
app=$!
pids+=($app)
wait_for 20 "the window" main_window "$app"
window=$(main_window "$app")
# A window of the program's besides the main window and its tips: the one a button opened.
other_window() {
  local w size
  for w in $(xdotool search --onlyvisible --pid "$app" 2>/dev/null); do
    size=$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*Geometry: //p')
    [ "$w" != "$window" ] && [ "${size#*x}" -gt 150 ] && { echo "$w"; return 0; }
  done
  return 1
}
no_other_window() { ! other_window >/dev/null; }
# Opens a window (COMMAND...), takes its picture as NAME and closes it with Esc.
take_window() {
  local name=$1 opened
  shift
  "$@"
  wait_for 10 "the $name window" other_window
  opened=$(other_window)
  sleep 1  # painted, its first tips gone by
  import -window "$opened" "$out/$prefix-$name.png"
  close_with_escape() {
    xdotool windowfocus "$(other_window)" 2>/dev/null
    xdotool key Escape
    sleep 0.3
    no_other_window
  }
  wait_for 10 "the $name window to close at Esc" close_with_escape
}
from_menu() {  # the System menu's item N (1: settings, 2: log, 3: calendar, 4: timetables, 5: minimise)
  xdotool mousemove --window "$window" 570 10 click 1
  sleep 0.7
  xdotool key $(printf 'Down %.0s' $(seq "$1")) Return
}

while [ "$(date +%s%N)" -lt "$(((ringing + 2) * 1000000000))" ]; do sleep 0.1; done
import -window "$window" "$out/$prefix-main-playing.png"
press "$stop"
press "$pause"
sleep 0.5
import -window "$window" "$out/$prefix-main-paused.png"
press "$paused"  # running again

take_window AddBellWindow press "$add"
take_window SettingsWindow from_menu 1
take_window RingLogWindow from_menu 2
take_window CalendarWindow from_menu 3
take_window TimetableWindow from_menu 4

eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --window "$window" 570 10 click 1
sleep 0.7
import -window root -crop "$((WIDTH + 140))x${HEIGHT}+${X}+${Y}" +repage "$out/$prefix-system-menu.png"
xdotool key Down Down Down Down Down Down Return  # 最小化
wait_for 10 "the tray icon" tray_icon "$app"
screen=$(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*\)x.*/\1/p')
xdotool mousemove --window "$(tray_icon "$app")" 8 8
sleep 1.5  # its tip shows
import -window root -crop "260x80+$((screen - 260))+0" +repage "$out/$prefix-tray.png"
