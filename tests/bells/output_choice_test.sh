#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The loudspeaker and the clock offset, on a real PulseAudio server with two null sinks ("bells",
# the default, and "corridor"), recorded from their monitors, and the headless ringer:
# - the default output muted, then at 5 %: said in the ring log and by tolvanectl status within
#   a second (the ringer hears the server's events; it does not poll);
# - output corridor chosen with tolvanectl option: the next bell is recorded on corridor's monitor
#   and not on the default's; at bell volume 50 % the next is half as loud (-6 dB);
# - clock_offset +2: a bell rings 2 s before its system second, and the log names its school time;
# - corridor unloaded: said within a second; loaded again: said to be back, the next bell heard,
#   the ringer the same.
# Usage: output_choice_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

unset DISPLAY WAYLAND_DISPLAY DBUS_SYSTEM_BUS_ADDRESS
start_sound
corridor=$(pactl load-module module-null-sink sink_name=corridor)
"$src/tests/support/make-tones.sh" "$work/tones" >/dev/null
dir=$work/bells
mkdir "$dir"
"$bin/tolvanectl" init "$dir" >/dev/null
"$bin/tolvanectl" ring "$dir" >"$work/stdout" 2>"$work/stderr" &
ringer=$!
pids+=($ringer)
log=$dir/tolvane.log
wait_for 5 "the ringer to start" grep -q '无窗口打铃启动' "$work/stdout"
said() { grep -qF "$1" "$log"; }
status_says() {
  "$bin/tolvanectl" status "$dir" --json | /usr/bin/python3 -c "
import json, sys
s = json.load(sys.stdin)
sys.exit(0 if $1 else 1)"
}

# 1. The default output muted, then turned down: said within a second, and back to normal.
pactl set-sink-mute bells 1
wait_for 1 "the muted output in the log" said "声音输出 bells 听不到：输出已静音"
status_says 's["output"]["muted"] and any("输出已静音" in p for p in s["problems"])' ||
  fail "tolvanectl status does not say the output is muted"
pactl set-sink-mute bells 0
wait_for 1 "the output back in the log" said "声音输出正常：bells"
pactl set-sink-volume bells 5%
wait_for 1 "the quiet output in the log" said "声音输出 bells 听不到：输出音量只有 5%"
status_says 's["output"]["volume_percent"] == 5' || fail "tolvanectl status does not say 5 %"
pactl set-sink-volume bells 100%
echo "ok: the default output muted and at 5 % are said within a second, in the log and the status"

# 2. Corridor chosen: the bells play there, at the bell volume, and follow the clock offset.
"$bin/tolvanectl" option "$dir" output corridor >/dev/null
wait_for 2 "the ringer to take the output chosen" said "声音输出改为 corridor"
for sink in bells corridor; do
  parecord --device=$sink.monitor --latency-msec=10 --channels=1 --rate=44100 --raw |
    /usr/bin/python3 "$src/bench/timed-record.py" 44100 "$work/$sink.wav" "$work/$sink.start" &
  pids+=($!)
done
t0=$(($(date +%s) + 3))
at() { date -d "@$((t0 + $1))" +%H:%M:%S; }
everyday=mon,tue,wed,thu,fri,sat,sun
"$bin/tolvanectl" add "$dir" --start "$(at 0)" --music "$work/tones/a440.mp3" --days $everyday >/dev/null
"$bin/tolvanectl" add "$dir" --start "$(at 3)" --music "$work/tones/b660.mp3" --days $everyday >/dev/null
"$bin/tolvanectl" add "$dir" --start "$(at 9)" --music "$work/tones/c880.mp3" --days $everyday >/dev/null
until_second() { while [ "$(date +%s%N)" -lt "$(((t0 + $1) * 1000000000 + ${2:-0} * 1000000))" ]; do sleep 0.02; done; }
until_second 1 500
"$bin/tolvanectl" option "$dir" volume 50 >/dev/null
until_second 4 500
"$bin/tolvanectl" option "$dir" clock_offset 2 >/dev/null
wait_for 2 "the offset in the log" said "时钟偏移改为 +2 秒"
until_second 8 500
pkill -INT -f "parecord --device" || true
wait_for 5 "the recordings to end" test -s "$work/corridor.start"
wait_for 5 "the recordings to end" test -s "$work/bells.start"

bells_heard=$("$bin/tone_scan" "$work/bells.wav")
[ -z "$bells_heard" ] || fail "the default output played bells meant for corridor: $bells_heard"
heard=$("$bin/tone_scan" --timed "$work/corridor.wav")
echo "corridor heard: $heard"
read -r -a tones <<<"$heard"
unset 'tones[-1]'
recorded_from=$(cat "$work/corridor.start")
[ "${#tones[@]}" = 3 ] || fail "corridor should have heard 3 bells, heard: $heard"
expect_tone 0 440 "$t0" 150
# At half the level the tone's first milliseconds fall below what the scan counts as a tone.
expect_tone 1 660 "$((t0 + 3))" 300
# Scheduled at t0+9 on the school's clock, which runs 2 s ahead of the system's.
expect_tone 2 880 "$((t0 + 7))" 150
said "铃声开始：$(at 9)" || fail "the log does not name the bell's school time $(at 9)"
/usr/bin/python3 - "$work/corridor.wav" "$recorded_from" "$t0" <<'PY' || fail "the bell volume did not halve the level"
import array, sys, wave
w = wave.open(sys.argv[1])
rate = w.getframerate()
samples = array.array("h", w.readframes(w.getnframes()))
begun, t0 = float(sys.argv[2]), int(sys.argv[3])
def peak(second):  # the loudest sample of the bell starting at t0 + second
    first = max(0, int((t0 + second - begun) * rate))
    return max(abs(s) for s in samples[first:first + rate])
full, half = peak(0), peak(3)
print("peak at 100 %%: %d, at 50 %%: %d (%.2f)" % (full, half, half / full))
sys.exit(0 if full > 8000 and 0.42 < half / full < 0.58 else 1)
PY
echo "ok: the output chosen plays the bells, at half the level at 50 %, 2 s early with an offset of +2"

# 3. The output chosen goes away and comes back: said each time, and the ringer rings on.
pactl unload-module "$corridor"
wait_for 1 "the missing output in the log" said "选定的声音输出 corridor 不存在"
status_says '"corridor 不存在" in " ".join(s["problems"]) and not s["output"]["present"]' ||
  fail "tolvanectl status does not say the output chosen is missing"
pactl load-module module-null-sink sink_name=corridor >/dev/null
wait_for 1 "the output back in the log" said "声音输出正常：corridor"
# The next bell is heard there (the school's clock runs 2 s ahead of the system's).
next=$(date -d "@$(($(date +%s) + 2 + 2))" +%H:%M:%S)
"$bin/tolvanectl" add "$dir" --start "$next" --music "$work/tones/a440.mp3" --days $everyday >/dev/null
wait_for 5 "the bell after the output came back" said "铃声响起：$next"
kill -0 "$ringer" || fail "the ringer ended"
[ "$(grep -c '无窗口打铃启动' "$work/stdout")" = 1 ] || fail "the ringer started again"
echo "PASS: the output chosen and the bell volume are followed, and every problem is said at once"
