#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program under libfaketime, on Xvfb with PulseAudio: just after a bell has rung, its
# clock is set back two seconds (as an NTP step can), so the bell's second comes round again. It
# must not ring twice; the next bell still rings at its second. Then a jump forward over a bell,
# taken back: the bell rings at once, saying how late, and not again when its second comes back.
# Usage: clock_step_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

start_xvfb
start_sound

"$src/tests/support/make-tones.sh" "$work/tones"
program=$work/program
mkdir -p "$program"
cp "$bin/tolvane" "$program/"
t0=$(($(date +%s) + 6))
at() { date -d "@$((t0 + $1))" +%H:%M:%S; }
"$bin/tolvanectl" add "$program" --start "$(at 0)" --music "$work/tones/a440.mp3" \
  --days mon,tue,wed,thu,fri,sat,sun >/dev/null
"$bin/tolvanectl" add "$program" --start "$(at 4)" --music "$work/tones/b660.mp3" \
  --days mon,tue,wed,thu,fri,sat,sun >/dev/null
sums=$(md5sum "$program"/*.edb)

# The program's wall clock is the real one plus the offset in this file (read at every call);
# its timers run on the real monotonic clock.
libfaketime=$(dpkg -L libfaketime | grep '/libfaketime.so.1$')
echo "+0" >"$work/offset"
(cd "$program" && LD_PRELOAD=$libfaketime FAKETIME_TIMESTAMP_FILE=$work/offset FAKETIME_NO_CACHE=1 \
  FAKETIME_DONT_FAKE_MONOTONIC=1 exec ./tolvane) 2>"$work/stderr" &
app=$!
pids+=($app)
for _ in $(seq 100); do main_window "$app" >/dev/null && break; sleep 0.1; done
main_window "$app" >/dev/null || fail "the window did not appear"

parecord --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 --file-format=wav "$work/rec.wav" &
recorder=$!
pids+=($recorder)
wait_until() { while [ "$(date +%s%N)" -lt "$(((t0 + $1) * 1000000000 + ${2:-0} * 1000000))" ]; do sleep 0.02; done; }
wait_until 1 200
echo "-2" >"$work/offset"  # the program's clock now reads T0-1 and comes to T0 again
wait_until 7 800
recorded_until=$(date +%s.%N)
kill -INT "$recorder"
wait "$recorder" || true
kill -0 "$app" 2>/dev/null || fail "the program ended"

read_tones "$bin" "$work/rec.wav" "$recorded_until"
[ "${#tones[@]}" = 2 ] || fail "expected 2 tones (the bell once, then the next one), heard ${#tones[@]}"
expect_tone 0 440 "$t0" 200
expect_tone 1 660 $((t0 + 6)) 200  # the program's T0+4, real T0+6 after the step
[ "$(md5sum "$program"/*.edb)" = "$sums" ] || fail "the table files changed"
echo "ok: a clock set back two seconds rings no bell twice, and the next bell rings at its second"

# A jump forward over a bell, taken back three seconds later (an offset set by mistake, a wrong
# 对时 corrected): the bell passed over rings at once, and only then.
t1=$(($(date +%s) + 9))  # real seconds; the program's clock reads 2 s behind
"$bin/tolvanectl" add "$program" --start "$(date -d "@$((t1 - 2))" +%H:%M:%S)" \
  --music "$work/tones/a440.mp3" --days mon,tue,wed,thu,fri,sat,sun >/dev/null
parecord --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 --file-format=wav "$work/rec2.wav" &
recorder=$!
pids+=($recorder)
wait_until $((t1 - t0 - 6))
echo "+98" >"$work/offset"  # 100 s ahead: the bell's second is passed over
wait_until $((t1 - t0 - 3))
echo "-2" >"$work/offset"   # taken back
wait_until $((t1 - t0 + 2)) 500
recorded_until=$(date +%s.%N)
kill -INT "$recorder"
wait "$recorder" || true
read_tones "$bin" "$work/rec2.wav" "$recorded_until"
[ "${#tones[@]}" = 1 ] || fail "expected the bell passed over once, heard ${#tones[@]} tones"
# The jump is seen once libfaketime reads its offset file again and the program's next second
# comes: the bell within 2.5 s of it.
expect_tone 0 440 "$((t1 - 6))" 2500
grep -q "时钟向前跳了 10[0-9] 秒：.* 的铃声现在补响，迟到 9[0-9] 秒" "$program/tolvane.log" ||
  { cat "$program/tolvane.log"; fail "the bell rung late is not logged with how late"; }
echo "ok: a bell passed over by a jump forward rings at once, and not again when the clock is taken back"
echo "clock step test passed"
