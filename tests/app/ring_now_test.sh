#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# 立即播放 through the running ringer (`tolvanectl ring`), PulseAudio's null sink recorded:
# `tolvanectl ring-now` plays at once and is logged with who asked; a bell of the schedule due
# meanwhile cuts in at its second; `--repeat` plays again and again until `tolvanectl stop`.
# Without a ringer, or with music that cannot play, nothing is asked and it says why.
# Usage: ring_now_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

unset DISPLAY WAYLAND_DISPLAY
start_sound
"$src/tests/support/make-tones.sh" "$work/tones" >/dev/null
dir=$work/bells
ctl() { "$bin/tolvanectl" "$@"; }
mkdir "$dir"
ctl init "$dir" >/dev/null

status=0
ctl ring-now "$dir" "$work/tones/a440.mp3" >/dev/null 2>"$work/said" || status=$?
[ "$status" = 1 ] && grep -q "no ringer runs on" "$work/said" ||
  fail "ring-now without a ringer: status $status, $(cat "$work/said")"

t0=$(($(date +%s) + 6))
at() { date -d "@$((t0 + $1))" +%H:%M:%S; }
ctl add "$dir" --start "$(at 0)" --music "$work/tones/b660.mp3" --days mon,tue,wed,thu,fri,sat,sun >/dev/null
"$bin/tolvanectl" ring "$dir" >"$work/stdout" 2>"$work/stderr" &
pids+=($!)
wait_for 10 "the ringer" grep -q '无窗口打铃启动' "$work/stdout"

status=0
ctl ring-now "$dir" "$work/tones/broken.mp3" >/dev/null 2>"$work/said" || status=$?
[ "$status" = 1 ] && grep -q "cannot play" "$work/said" ||
  fail "ring-now of music that cannot play: status $status, $(cat "$work/said")"
echo "ok: without a ringer, or with music that cannot play, ring-now refuses and says why"

parecord --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 --file-format=wav "$work/rec.wav" &
recorder=$!
pids+=($recorder)
until_second() { while [ "$(date +%s%N)" -lt "$(($1 * 1000000000))" ]; do sleep 0.02; done; }
until_second $((t0 - 2))
asked=$(date +%s.%N)
ctl ring-now "$dir" "$work/tones/long440.mp3" >/dev/null
until_second $((t0 + 2))
ctl ring-now "$dir" "$work/tones/c880.mp3" --repeat >/dev/null
until_second $((t0 + 4))
ctl stop "$dir" >/dev/null
stopped=$(date +%s.%N)
until_second $((t0 + 5))
recorded_until=$(date +%s.%N)
kill -INT "$recorder"
wait "$recorder" || true
read_tones "$bin" "$work/rec.wav" "$recorded_until"

# The three-second tone from the moment it was asked until the bell's second, the bell whole at
# its second, then the repeated tone at least three times, none after the stop.
[ "${tones[0]%%@*}" = 440 ] || fail "the first tone heard is not the one rung now: ${tones[*]}"
awk -v r="$recorded_from" -v t="${tones[0]#*@}" -v a="$asked" -v t0="$t0" 'BEGIN {
  split(t, p, ":"); start = r + p[1]; end = start + p[2]
  exit !(start - a < 0.3 && end > t0 - 0.1 && end < t0 + 0.1) }' ||
  fail "the tone rung now did not sound from its request until the bell: ${tones[0]}"
expect_tone 1 660 "$t0" 60
repeats=0
for ((i = 2; i < ${#tones[@]}; i++)); do
  [ "${tones[i]%%@*}" = 880 ] || fail "tone $((i + 1)) is not the repeated one: ${tones[*]}"
  awk -v r="$recorded_from" -v t="${tones[i]#*@}" -v s="$stopped" 'BEGIN {
    split(t, p, ":"); exit !(r + p[1] < s) }' || fail "a tone started after the stop: ${tones[i]}"
  repeats=$((repeats + 1))
done
[ "$repeats" -ge 3 ] || fail "the repeated tone was heard $repeats times in two seconds"
echo "ok: rung now at once, cut in on by the bell at its second, repeated until stopped ($repeats times)"

log=$(ctl log "$dir")
for line in "立即播放：$work/tones/long440.mp3（tolvanectl）" "立即播放被 $(at 0) 的铃声打断" \
  "立即播放：$work/tones/c880.mp3，重复播放直到停止（tolvanectl）" "停止播放（tolvanectl）" "立即播放结束：停止播放"; do
  grep -qF "$line" <<<"$log" || fail "the ring log lacks \"$line\": $log"
done
late=$(sed -n "s/.*铃声响起：$(at 0)，第一个声音迟到 \([0-9]*\) 毫秒.*/\1/p" <<<"$log")
[ -n "$late" ] && [ "$late" -le 15 ] || fail "the bell was ${late:-never} ms late: $log"
echo "ok: the ring log says each ring-now, who asked, the cut-in and the stop; the bell $late ms late"
