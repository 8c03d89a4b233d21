#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# 立即播放 through the running ringer (`tolvanectl ring`), PulseAudio's null sink recorded:
# `tolvanectl ring-now` plays at once and is logged with who asked; a bell of the schedule due
# meanwhile cuts in at its second; `--repeat` plays again and again until `tolvanectl stop`. A
# bell always wins: ring-nows asked in the second before a bell and while it sounds wait until it
# is over (the last one asked plays), and the bell is at its second.
# Without a ringer, or with music that cannot play or is neither in the library nor in the
# schedule, nothing is asked and it says why. Files that are no request of tolvanectl's put in
# the request's place (a FIFO, a file too large, another user's) hold nothing up and are removed.
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
# What a ring-now may play: the library's music (and the schedule's).
mkdir -p "$dir/media"
for tone in long440 c880; do cp "$work/tones/$tone.mp3" "$dir/media/"; done

status=0
ctl ring-now "$dir" "$dir/media/c880.mp3" >/dev/null 2>"$work/said" || status=$?
[ "$status" = 1 ] && grep -q "no ringer runs on" "$work/said" ||
  fail "ring-now without a ringer: status $status, $(cat "$work/said")"

t0=$(($(date +%s) + 12))
at() { date -d "@$((t0 + $1))" +%H:%M:%S; }
ctl add "$dir" --start "$(at 0)" --music "$work/tones/b660.mp3" --days mon,tue,wed,thu,fri,sat,sun >/dev/null
ctl add "$dir" --start "$(at 8)" --music "$work/tones/b660.mp3" --days mon,tue,wed,thu,fri,sat,sun >/dev/null
"$bin/tolvanectl" ring "$dir" >"$work/stdout" 2>"$work/stderr" &
pids+=($!)
wait_for 10 "the ringer" grep -q '无窗口打铃启动' "$work/stdout"

status=0
ctl ring-now "$dir" "$work/tones/broken.mp3" >/dev/null 2>"$work/said" || status=$?
[ "$status" = 1 ] && grep -q "cannot play" "$work/said" ||
  fail "ring-now of music that cannot play: status $status, $(cat "$work/said")"
status=0
ctl ring-now "$dir" "$work/tones/a440.mp3" >/dev/null 2>"$work/said" || status=$?
[ "$status" = 1 ] && grep -q "立即播放只能播放铃声库里或铃声计划里的音乐" "$work/said" ||
  fail "ring-now of music from elsewhere: status $status, $(cat "$work/said")"
echo "ok: without a ringer, or with music that cannot play or comes from elsewhere, ring-now refuses and says why"
# A name tolvanectl was given reaches the terminal escaped in what it says: no escape sequence,
# line break or direction mark of the name's own.
ctl check "$work/"$'\e[2J\u202eevil\u2028.edb' >/dev/null 2>"$work/said" || true
grep -qF '\x1B[2J\u202Eevil\u2028.edb' "$work/said" && ! grep -q $'\e\|\u202e\|\u2028' "$work/said" ||
  fail "tolvanectl's error shows a name's control characters raw: $(od -c "$work/said" | head -5)"
echo "ok: tolvanectl's errors show a name's control characters escaped"

# Nothing put in the request's place holds the ringer up: a FIFO nobody writes to, a file too
# large, another user's request naming music from elsewhere.
mkfifo "$dir/tolvane.request"
wait_for 3 "the FIFO to be removed" test ! -e "$dir/tolvane.request"
head -c 1000000 /dev/zero >"$dir/tolvane.request"
wait_for 3 "the large file to be removed" test ! -e "$dir/tolvane.request"
refusals=("not a regular file" "larger than 4096 bytes")
if [ "$(id -u)" = 0 ]; then  # only root can give a file to another user
  printf 'tolvane-request 1\n%s\n%s000\nring-now\nonce\nforged\n%s\n' "${pids[-1]}" "$(date +%s)" \
    "$work/tones/a440.mp3" >"$work/foreign"
  chown nobody "$work/foreign"
  mv "$work/foreign" "$dir/tolvane.request"
  wait_for 3 "another user's request to be removed" test ! -e "$dir/tolvane.request"
  refusals+=("owned by another user")
fi
log=$(cat "$dir/tolvane.log")
for why in "${refusals[@]}"; do
  grep -q "tolvane.request 不是 tolvanectl 放的请求，已删除：$why" <<<"$log" || fail "not said: $why: $log"
done
grep -q forged <<<"$log" && fail "another user's request was carried out: $log"
echo "ok: a FIFO, a file too large and another user's request are removed and said, none carried out"

parecord --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 --file-format=wav "$work/rec.wav" &
recorder=$!
pids+=($recorder)
until_second() { while [ "$(date +%s%N)" -lt "$(($1 * 1000000000))" ]; do sleep 0.02; done; }
until_second $((t0 - 2))
asked=$(date +%s.%N)
ctl ring-now "$dir" "$dir/media/long440.mp3" >/dev/null
until_second $((t0 + 2))
ctl ring-now "$dir" "$dir/media/c880.mp3" --repeat >/dev/null
sleep 0.5
ctl status "$dir" >"$work/status-during" || true
until_second $((t0 + 4))
ctl stop "$dir" >/dev/null
stopped=$(date +%s.%N)
until_second_ms() { while [ "$(date +%s%N)" -lt "$(($1 * 1000000))" ]; do sleep 0.01; done; }
until_second_ms $(((t0 + 8) * 1000 - 200))
ctl ring-now "$dir" "$dir/media/long440.mp3" >/dev/null
until_second_ms $(((t0 + 8) * 1000 + 200))
ctl ring-now "$dir" "$dir/media/c880.mp3" >/dev/null
until_second $((t0 + 10))
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
started_before() {  # whether tone $1 started before the epoch $2
  awk -v r="$recorded_from" -v t="${tones[$1]#*@}" -v s="$2" 'BEGIN { split(t, p, ":"); exit !(r + p[1] < s) }'
}
i=2
while ((i < ${#tones[@]})) && started_before "$i" $((t0 + 6)); do
  [ "${tones[i]%%@*}" = 880 ] || fail "tone $((i + 1)) is not the repeated one: ${tones[*]}"
  started_before "$i" "$stopped" || fail "a tone started after the stop: ${tones[i]}"
  repeats=$((repeats + 1))
  i=$((i + 1))
done
[ "$repeats" -ge 3 ] || fail "the repeated tone was heard $repeats times in two seconds"
echo "ok: rung now at once, cut in on by the bell at its second, repeated until stopped ($repeats times)"
grep -qF "ringing now: $dir/media/c880.mp3, repeated until stopped" "$work/status-during" ||
  fail "status while the ring-now repeats: $(cat "$work/status-during")"
echo "ok: status says the ring-now sounding, as the ringer's state has it"

# The second bell, whole at its second; then only the last ring-now asked around it, after it.
[ $((${#tones[@]} - i)) = 2 ] || fail "around the second bell: ${tones[*]:i}"
expect_tone "$i" 660 $((t0 + 8)) 60
awk -v r="$recorded_from" -v b="${tones[i]#*@}" -v n="${tones[i + 1]#*@}" 'BEGIN {
  split(b, p, ":"); split(n, q, ":"); exit !(p[2] > 0.4 && r + q[1] >= r + p[1] + p[2] - 0.02) }' ||
  fail "the bell was cut short or the ring-now did not wait for it: ${tones[*]:i}"
[ "${tones[i + 1]%%@*}" = 880 ] || fail "the ring-now after the bell is not the last asked: ${tones[*]:i}"
awk -v n="${tones[i + 1]#*@}" 'BEGIN { split(n, q, ":"); exit !(q[2] >= 0.35) }' ||
  fail "the ring-now after the bell was not heard whole (0.4 s): ${tones[i + 1]}"
echo "ok: ring-nows asked just before and during a bell wait until it is over; the last one plays"

log=$(ctl log "$dir")
for line in "立即播放：$dir/media/long440.mp3（tolvanectl）" "立即播放被 $(at 0) 的铃声打断" \
  "立即播放：$dir/media/c880.mp3，重复播放直到停止（tolvanectl）" "停止播放（tolvanectl）" "立即播放结束：停止播放"; do
  grep -qF "$line" <<<"$log" || fail "the ring log lacks \"$line\": $log"
done
for line in "立即播放等铃声响完再进行：$dir/media/long440.mp3（tolvanectl）" \
  "立即播放取消：又有新的立即播放（tolvanectl）" "立即播放等铃声响完再进行：$dir/media/c880.mp3（tolvanectl）"; do
  grep -qF "$line" <<<"$log" || fail "the ring log lacks \"$line\": $log"
done
for second in 0 8; do
  late=$(sed -n "s/.*铃声响起：$(at "$second")，第一个声音迟到 \([0-9]*\) 毫秒.*/\1/p" <<<"$log")
  [ -n "$late" ] && [ "$late" -le 15 ] || fail "the bell at $(at "$second") was ${late:-never} ms late: $log"
done
echo "ok: the ring log says each ring-now, who asked, the cut-in, the stop and the waits; the bells at most 15 ms late"
