#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The ring log never says heard, nor played out, for a bell nobody could hear. The headless ringer
# on a real PulseAudio server rings four bells: into a muted sink, into one at 5 %, into one at
# full volume, and with no server at all; each bell's lines must say which it was. tolvanectl
# status says the same of the output meanwhile.
# Usage: inaudible_output_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

unset DISPLAY WAYLAND_DISPLAY DBUS_SYSTEM_BUS_ADDRESS
start_sound
"$src/tests/support/make-tones.sh" "$work/tones" >/dev/null
dir=$work/bells
mkdir "$dir"
t0=$(($(date +%s) + 3))
at() { date -d "@$((t0 + $1))" +%H:%M:%S; }
for offset in 0 3 6 12; do
  "$bin/tolvanectl" add "$dir" --start "$(at $offset)" --music "$work/tones/a440.mp3" \
    --days mon,tue,wed,thu,fri,sat,sun >/dev/null
done
"$bin/tolvanectl" ring "$dir" >"$work/stdout" 2>"$work/stderr" &
ringer=$!
pids+=($ringer)
wait_for 5 "the ringer to start" grep -q '无窗口打铃启动' "$work/stdout"

until_second() { while [ "$(date +%s%N)" -lt "$(((t0 + $1) * 1000000000 + ${2:-0} * 1000000))" ]; do sleep 0.02; done; }
pactl set-sink-mute bells 1
# What an administrator sees meanwhile: this ringer, its plan, the muted output, the problem.
status=$("$bin/tolvanectl" status "$dir" --json)
/usr/bin/python3 - "$status" "$ringer" <<'PY' || fail "tolvanectl status: $status"
import json, sys
s = json.loads(sys.argv[1])
assert s["ringer"] == {"pid": int(sys.argv[2]), "plan": "running"}, s["ringer"]
assert s["output"]["name"] == "bells" and s["output"]["present"] and s["output"]["muted"], s["output"]
assert s["clock"]["offset_seconds"] == 0 and "synchronized" in s["clock"]
assert any("输出已静音" in p for p in s["problems"]), s["problems"]
assert s["next_bell"].endswith("a440.mp3"), s["next_bell"]
PY
echo "ok: tolvanectl status names the ringer and the muted output"
until_second 1 500
pactl set-sink-mute bells 0
pactl set-sink-volume bells 5%
until_second 4 500
pactl set-sink-volume bells 100%
# Meanwhile a call: a desktop's module-role-cork mutes music streams while a phone stream plays.
pactl load-module module-role-cork >/dev/null
pacat --property=media.role=phone </dev/zero &
pids+=($!)
bell_stream() { pactl list sink-inputs | grep -q 'media.role = "alarm"'; }
wait_for 8 "the heard bell's stream" bell_stream
bell=$(pactl list sink-inputs | /usr/bin/python3 -c '
import sys
for block in sys.stdin.read().split("Sink Input #"):
    if "media.role = \"alarm\"" in block: print(block)')
grep -q 'application.name = "Tolvane"' <<<"$bell" || fail "the bell's stream does not say it is Tolvane's: $bell"
grep -q 'Mute: no' <<<"$bell" || fail "the bell's stream was muted during a call: $bell"
echo "ok: the bell's stream is an alarm of Tolvane's, not muted by a call"
wait_for 8 "the heard bell to play out" grep -q "铃声停止：播放完毕" "$dir/tolvane.log"
# The sound server goes away before the last bell.
for p in "${pids[@]}"; do
  [ "$(cat "/proc/$p/comm" 2>/dev/null)" = pulseaudio ] && kill "$p"
done
server_gone() { ! pactl info; }
wait_for 5 "the sound server to end" server_gone
until_second 13 500
kill -TERM "$ringer"
wait "$ringer" || true
log=$(cat "$dir/tolvane.log")

lines_of() { grep -F "$(at "$1")" <<<"$log" || true; }
expect() {  # offset, what the bell's lines must hold, what they must not
  local lines
  lines=$(lines_of "$1")
  grep -qF "$2" <<<"$lines" || fail "the bell of T0+$1 does not say \"$2\": $lines"
  if [ -n "${3:-}" ] && grep -qF "$3" <<<"$lines"; then fail "the bell of T0+$1 says \"$3\": $lines"; fi
}
expect 0 "铃声没有被听到：$(at 0)，输出已静音" "铃声响起：$(at 0)"
expect 3 "铃声没有被听到：$(at 3)，输出音量只有 5%" "铃声响起：$(at 3)"
expect 6 "铃声响起：$(at 6)，第一个声音迟到"
grep -qF "放完了，但没有人听得到（输出已静音）" <<<"$log" || fail "the muted bell's end is not said: $log"
grep -qF "放完了，但没有人听得到（输出音量只有 5%）" <<<"$log" || fail "the quiet bell's end is not said: $log"
[ "$(grep -c '铃声停止：播放完毕' <<<"$log")" = 1 ] || fail "only the heard bell played out: $log"
after_last=$(sed -n "/铃声开始：$(at 12)/,\$p" <<<"$log")
grep -qF "没有声音输出" <<<"$after_last" || fail "the last bell does not say there was no output: $after_last"
grep -qF "铃声停止：没有声音输出" <<<"$after_last" || fail "the last bell's end is not said: $after_last"
grep -qF "播放完毕" <<<"$after_last" && fail "a bell without any output played out: $after_last"
echo "PASS: muted, 5 %, heard and no server, each said in the bell's own lines"
