#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Bells that speak, on the real stack: `tolvanectl ring` with PulseAudio's null sink recorded.
# A bell added with --say whose words were never made (the speech folder emptied, as when the
# tables come from another computer) has them made ahead by the ringer and said in its log; at its
# second it rings its music, then says its words; the ring log says the words were heard. A bell
# whose end time comes before its music ends is cut there, its words unsaid, and the log says so.
# A notice (tolvanectl say, as the office's page) asked for just before a bell waits until that
# bell is over: the bell rings at its second, then the notice is said.
# Usage: speech_bell_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

unset DISPLAY WAYLAND_DISPLAY
start_sound
"$src/tests/support/make-tones.sh" "$work/tones"
dir=$work/bells
mkdir "$dir"
t0=$(($(date +%s) + 8))
at() { date -d "@$((t0 + $1))" +%H:%M:%S; }
all=mon,tue,wed,thu,fri,sat,sun
ctl() { "$bin/tolvanectl" "$@" >/dev/null; }
ctl add "$dir" --start "$(at 0)" --music "$work/tones/a440.mp3" --days "$all" --say "第3节课上课"
ctl add "$dir" --start "$(at 4)" --end "$(at 6)" --music "$work/tones/long440.mp3" --days "$all" \
  --say "放学"
ls "$dir/media/语音/"*.mp3 >/dev/null || fail "adding a bell with --say made no speech"
rm -r "$dir/media/语音"

"$bin/tolvanectl" ring "$dir" >"$work/stdout" 2>"$work/stderr" &
pids+=($!)
ringer=$!
wait_for 20 "the ringer to make the bells' words" grep -q "语音播报已做好：放学" "$work/stdout"
grep -q "语音播报已做好：第3节课上课" "$work/stdout" || fail "the first bell's words were not made: $(cat "$work/stdout")"
[ "$(date +%s)" -lt "$t0" ] || fail "the words were made only after the bell's second"
echo "ok: words missing on disk are made ahead by the ringer, and its log says so"

parecord --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 --file-format=wav "$work/rec.wav" &
recorder=$!
pids+=($recorder)
while [ "$(date +%s%N)" -lt "$(((t0 * 1000 + 3300) * 1000000))" ]; do sleep 0.02; done
"$bin/tolvanectl" say "$dir" "请各班班主任到会议室开会" >"$work/say" 2>&1 || fail "say failed: $(cat "$work/say")"
while [ "$(date +%s%N)" -lt "$(((t0 + 11) * 1000000000))" ]; do sleep 0.05; done
recorded_until=$(date +%s.%N)
kill -INT "$recorder"
wait "$recorder" || true
kill -TERM "$ringer"
wait "$ringer" || true

# Loudness in 50 ms windows, placed on the wall clock by the recording's end.
/usr/bin/python3 - "$work/rec.wav" "$recorded_until" "$t0" <<'PY' || fail "the recording is not music, then words"
import array, math, sys, wave
rec = wave.open(sys.argv[1])
samples = array.array("h", rec.readframes(rec.getnframes()))
rate = rec.getframerate()
start = float(sys.argv[2]) - len(samples) / rate
t0 = int(sys.argv[3])
window = rate // 20
def loud(t):  # RMS of the window at wall-clock time t
    i = int((t - start) * rate)
    chunk = samples[max(i, 0):max(i, 0) + window]
    return math.sqrt(sum(s * s for s in chunk) / max(len(chunk), 1))
def sounding(a, b):  # seconds of sound between t0+a and t0+b
    return sum(0.05 for k in range(int((b - a) * 20)) if loud(t0 + a + k * 0.05) > 300)
def onset(second):  # of the sound from t0+second on
    return next(k * 0.005 for k in range(200) if loud(t0 + second + k * 0.005) > 300)
assert onset(0) < 0.15, f"the bell began {onset(0):.3f} s after its second"
assert sounding(3.3, 3.95) == 0, "the notice was said before the bell it should wait for"
assert onset(4) < 0.15, f"the bell after the notice was asked began {onset(4):.3f} s late"
assert sounding(0.0, 0.6) > 0.45, "the music did not play"
words = sounding(0.9, 3.9)
assert words > 0.6, f"only {words:.2f} s of words after the music"
notice = sounding(7.2, 10.5)  # after the bell, cut at 6 (or played out at 7)
assert notice > 1.0, f"only {notice:.2f} s of the notice after the bell: it was not held for it"
print(f"onsets {onset(0) * 1000:.0f} and {onset(4) * 1000:.0f} ms, words {words:.2f} s, notice {notice:.2f} s")
PY
echo "ok: a bell rings its music at its second, then its words; a notice waits for the next bell"

log=$("$bin/tolvanectl" log "$dir" --day "$(date -d "@$t0" +%F)")
grep -q "语音播报：第3节课上课（$(at 0) 的铃声，语音响起）" <<<"$log" ||
  fail "the words are not logged as heard: $log"
grep -q "语音播报：放学（$(at 4) 的铃声，语音没有播出：到了结束时间）" <<<"$log" ||
  fail "the words cut by the end time are not logged as unsaid: $log"
grep -q "立即播放等铃声响完再进行：.*（tolvanectl）" <<<"$log" || fail "the held notice is not logged: $log"
echo "ok: the ring log says the words were heard, or cut by the end time"
