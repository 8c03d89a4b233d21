#!/usr/bin/env bash
# Pictures of the real program started as a user starts it, on an X server with a tray host
# (trayer) and a schedule prepared with tolvanectl: the System menu open over the window
# (PREFIX-system-menu.png), and after its 最小化 the icon in the tray with its tip
# (PREFIX-tray.png). Run under an X server of its own (shots.sh starts one per language).
# Usage: program_shots.sh BIN_DIR OUT_DIR PREFIX
set -euo pipefail
bin=$1
out=$2
prefix=$3
source "$(dirname "$0")/../../tests/support/harness.sh"
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR" "$work/program"
cp "$bin/tolvane" "$work/program/"
"$(dirname "$0")/../../tests/support/make-tones.sh" "$work/tones" >/dev/null
mkdir "$work/program/铃声"
cp "$work/tones/a440.mp3" "$work/program/铃声/上课.mp3"
cp "$work/tones/b660.mp3" "$work/program/铃声/下课.mp3"
for bell in 07:50:00/上课 08:35:00/下课 08:45:00/上课; do
  "$bin/tolvanectl" add "$work/program" --start "${bell%/*}" --music "$work/program/铃声/${bell#*/}.mp3" >/dev/null
done
trayer --edge top --align right --widthtype pixel --width 100 --height 32 >/dev/null 2>&1 &
pids+=($!)
wait_for 15 "the tray host" xdotool search --onlyvisible --class trayer
(cd "$work/program" && exec ./tolvane) 2>"$work/stderr" &
program=$!
pids+=($program)
tray_icon() {
  local w h
  for w in $(xdotool search --onlyvisible --pid "$program" 2>/dev/null); do
    h=$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*Geometry: [0-9]*x//p')
    [ -n "$h" ] && [ "$h" -le 32 ] && { echo "$w"; return 0; }
  done
  return 1
}
wait_for 20 "the window" main_window "$program"
window=$(main_window "$program")
sleep 3  # the start-up tip has gone
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove --window "$window" 570 10 click 1
sleep 0.7  # the menu pops up
import -window root -crop "$((WIDTH + 140))x${HEIGHT}+${X}+${Y}" +repage "$out/$prefix-system-menu.png"
xdotool key Down Down Down Down Return
wait_for 10 "the tray icon" tray_icon
screen=$(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*\)x.*/\1/p')
xdotool mousemove --window "$(tray_icon)" 8 8
sleep 1.5  # its tip shows
import -window root -crop "260x80+$((screen - 260))+0" +repage "$out/$prefix-tray.png"
