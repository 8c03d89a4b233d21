#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The headless ringer, `tolvanectl ring`, with no display at all: PulseAudio's null sink recorded,
# python3-dbusmock's logind on a private system bus. A bell rings at its second, a bell added with
# tolvanectl while it runs rings at its, a missing file is skipped and logged with its reason; a
# second ringer on the folder exits 1 naming the first; the sleep inhibitor is held while it runs
# and dropped when SIGTERM ends it (within a second, status 0); `tolvanectl log` shows the day.
# Then the school calendar: today a holiday (silent), then a make-up day (the other weekday rings).
# Usage: headless_ring_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

unset DISPLAY WAYLAND_DISPLAY
start_sound
start_logind_mock
inhibitors() {
  gdbus call --system -d org.freedesktop.login1 -o /org/freedesktop/login1 \
    -m org.freedesktop.login1.Manager.ListInhibitors
}

"$src/tests/support/make-tones.sh" "$work/tones"
dir=$work/bells
mkdir "$dir"
t0=$(($(date +%s) + 5))
at() { date -d "@$((t0 + $1))" +%H:%M:%S; }
all=mon,tue,wed,thu,fri,sat,sun
ctl() { "$bin/tolvanectl" "$@" >/dev/null; }
ctl add "$dir" --start "$(at 0)" --music "$work/tones/a440.mp3" --days "$all"
ctl add "$dir" --start "$(at 2)" --music "$work/tones/missing.mp3" --days "$all"

"$bin/tolvanectl" ring "$dir" >"$work/stdout" 2>"$work/stderr" &
ringer=$!
pids+=($ringer)
for _ in $(seq 300); do grep -q '无窗口打铃启动' "$work/stdout" 2>/dev/null && break; sleep 0.1; done
grep -q '无窗口打铃启动' "$work/stdout" || fail "the ringer did not start: $(cat "$work/stderr")"

status=0
"$bin/tolvanectl" ring "$dir" >/dev/null 2>"$work/second" || status=$?
[ "$status" = 1 ] || fail "a second ringer on the folder ended with $status, not 1"
grep -q "process $ringer" "$work/second" || fail "the second ringer does not name the first: $(cat "$work/second")"
echo "ok: a second ringer on the folder exits 1 and names the process that rings"
# Two ringers started together on a folder not there yet (a ringer at boot before its drive):
# one makes the folder and rings, the other exits 1.
new=$work/not/yet
"$bin/tolvanectl" ring "$new" >"$work/new1" 2>&1 &
first=$!
"$bin/tolvanectl" ring "$new" >"$work/new2" 2>&1 &
second=$!
pids+=($first $second)
wait_for 10 "one of two ringers on a new folder to give way" \
  bash -c "! kill -0 $first 2>/dev/null || ! kill -0 $second 2>/dev/null"
sleep 0.5
running=0
for p in $first $second; do kill -0 "$p" 2>/dev/null && running=$((running + 1)); done
[ "$running" = 1 ] || fail "$running ringers ring a new folder: $(cat "$work/new1" "$work/new2")"
grep -q "already rings the bells of this folder" "$work/new1" "$work/new2" ||
  fail "the ringer that gave way does not say why: $(cat "$work/new1" "$work/new2")"
kill $first $second 2>/dev/null || true
wait $first $second 2>/dev/null || true
echo "ok: of two ringers started on a folder not there yet, one rings and the other exits"
for _ in $(seq 100); do grep -q Tolvane <<<"$(inhibitors)" && break; sleep 0.1; done
grep -q "'sleep:idle', 'Tolvane', '[^']*', 'block'" <<<"$(inhibitors)" ||
  fail "no sleep:idle block inhibitor while the plan runs: $(inhibitors)"
echo "ok: the sleep inhibitor is held while it rings"

ctl add "$dir" --start "$(at 4)" --music "$work/tones/b660.mp3" --days "$all"

parecord --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 --file-format=wav "$work/rec.wav" &
recorder=$!
pids+=($recorder)
# While the first bell plays, the status says what the ringer says: that bell, and the music that
# will not play.
while [ "$(date +%s%N)" -lt "$(((t0 * 1000 + 300) * 1000000))" ]; do sleep 0.02; done
"$bin/tolvanectl" status "$dir" --json >"$work/status.json"
/usr/bin/python3 - "$work/status.json" <<'PY' || fail "the status is not the ringer's: $(cat "$work/status.json")"
import json, sys
status = json.load(open(sys.argv[1]))
assert status["ringer"]["plan"] == "running", status["ringer"]
assert status["bell_playing"] and "a440.mp3" in status["bell_playing"], status["bell_playing"]
assert any("missing.mp3" in p for p in status["problems"]), status["problems"]
PY
echo "ok: the status says the bell playing and the music that will not play, as the ringer does"
while [ "$(date +%s%N)" -lt "$(((t0 + 5) * 1000000000))" ]; do sleep 0.05; done
recorded_until=$(date +%s.%N)
kill -INT "$recorder"
wait "$recorder" || true

stop_started=$(date +%s%N)
kill -TERM "$ringer"
status=0
wait "$ringer" || status=$?
stop_ms=$((($(date +%s%N) - stop_started) / 1000000))
[ "$status" = 0 ] || fail "SIGTERM ended the ringer with $status"
[ "$stop_ms" -lt 1000 ] || fail "SIGTERM took $stop_ms ms"
echo "ok: SIGTERM ends it in $stop_ms ms with status 0"
[ ! -e "$dir/tolvane.state" ] || fail "the ringer's state outlived it"
grep -q "Tolvane" <<<"$(inhibitors)" && fail "the inhibitor was not released at exit: $(inhibitors)"
echo "ok: the inhibitor is released at exit"

read_tones "$bin" "$work/rec.wav" "$recorded_until"
[ "${#tones[@]}" = 2 ] || fail "expected 2 tones, heard ${#tones[@]}"
expect_tone 0 440 "$t0" 150
expect_tone 1 660 $((t0 + 4)) 150
echo "ok: a bell rings at its second, and one added while it runs at its"

day=$(date -d "@$t0" +%F)
log=$("$bin/tolvanectl" log "$dir" --day "$day")
grep -q "铃声响起：$(at 0)，第一个声音迟到 [0-9]* 毫秒" <<<"$log" || fail "no lateness line for the first bell: $log"
grep -q "铃声响起：$(at 4)，第一个声音迟到" <<<"$log" || fail "no lateness line for the added bell"
grep -q "跳过文件：$work/tones/missing.mp3（文件不存在）" <<<"$log" || fail "the missing file is not logged: $log"
grep -q "铃声没有被听到：$(at 2)，$work/tones/missing.mp3（文件不存在）" <<<"$log" ||
  fail "the bell of a missing file is not logged as not heard: $log"
[ "$(grep -c '铃声停止：播放完毕' <<<"$log")" = 2 ] || fail "a bell of a missing file played out: $log"
grep -q "db.edb 被更改：重新读取铃声计划" <<<"$log" || fail "the reload is not logged"
grep -q "铃声响起：$(at 0)" "$work/stdout" || fail "the log is not echoed to stdout"
echo "ok: the ring log has each bell's lateness, the skipped file and the reload; stdout echoes it"
[ -n "${SHOW_LOG:-}" ] && echo "$log"

# The school calendar: today a holiday, so today's bell stays silent; then today rings as
# tomorrow's weekday, so that weekday's bell rings.
t1=$(($(date +%s) + 5))
at1() { date -d "@$((t1 + $1))" +%H:%M:%S; }
today=$(date -d "@$t1" +%F)
weekday=$(date -d "@$t1" +%a | tr 'A-Z' 'a-z' | cut -c1-3)
other=$(date -d "@$((t1 + 86400))" +%a | tr 'A-Z' 'a-z' | cut -c1-3)
ctl holiday "$dir" "$today" --note 测试放假
ctl add "$dir" --start "$(at1 0)" --music "$work/tones/a440.mp3" --days "$weekday"
ctl add "$dir" --start "$(at1 3)" --music "$work/tones/c880.mp3" --days "$other"
"$bin/tolvanectl" ring "$dir" >"$work/stdout2" 2>&1 &
ringer=$!
pids+=($ringer)
parecord --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 --file-format=wav "$work/rec2.wav" &
recorder=$!
pids+=($recorder)
while [ "$(date +%s%N)" -lt "$(((t1 + 1) * 1000000000 + 500000000))" ]; do sleep 0.05; done
ctl workday "$dir" "$today" --as "$other"
while [ "$(date +%s%N)" -lt "$(((t1 + 4) * 1000000000 + 800000000))" ]; do sleep 0.05; done
kill -INT "$recorder"
wait "$recorder" || true
kill -TERM "$ringer"
wait "$ringer" || true
read_tones "$bin" "$work/rec2.wav" "$(date +%s.%N)"
[ "${#tones[@]}" = 1 ] && [ "${tones[0]%%@*}" = 880 ] ||
  fail "expected only the make-up day's bell (880 Hz), heard: ${tones[*]}"
echo "ok: a holiday rings no bell; a make-up day rings the weekday it stands for"
echo "headless ringer test passed"
