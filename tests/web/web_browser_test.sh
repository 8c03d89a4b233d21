#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The web page in a real browser: the real desktop program under Xvfb serves it (its sound to
# PulseAudio's null sink, recorded; its window read through the accessibility bus), and Debian's
# Chromium, headless and driven over DevTools (browser_checks.py), logs in, uploads MP3s into the
# 铃声库 (a good one, a renamed text file, one too large, a name with ../, a full disk), adds a
# bell 6 s ahead with the uploaded music
# (heard at its second, listed in the window), changes and deletes it, pauses and resumes,
# sets a holiday, reads the log, and shows the page on a 360 px phone and in English.
# Screenshots go to SHOTS_DIR.
# Usage: web_browser_test.sh BIN_DIR SOURCE_DIR SHOTS_DIR
set -euo pipefail
bin=$1
src=$2
shots=$(realpath -m "$3")
mkdir -p "$shots"
source "$src/tests/support/harness.sh"

start_xvfb
start_sound
start_session_bus
start_accessibility_bus
"$src/tests/support/make-tones.sh" "$work/tones"
program=$work/program
mkdir "$program"
cp "$bin/tolvane" "$program/"
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("", 0)); print(s.getsockname()[1])')
password='Office desk 3'
"$bin/tolvanectl" init "$program" >/dev/null
printf '%s\n' "$password" | "$bin/tolvanectl" password "$program" >/dev/null 2>&1
"$bin/tolvanectl" option "$program" web_port "$port" >/dev/null
# What the office uploads: a bell, a 14 MiB MP3 (an hour's music, sent by the page's script with
# its length said), and, with the 铃声库 on a file system of 16 MiB where root may mount one, an
# 18 MiB MP3 that meets a full disk for real. MP3 frames one after another are one MP3.
uploads=$work/uploads
mkdir "$uploads"
cp "$work/tones/a440.mp3" "$uploads/"
repeat_to() { /usr/bin/python3 -c 'import sys; d = open(sys.argv[1], "rb").read(); open(sys.argv[2], "wb").write(d * (int(sys.argv[3]) // len(d) + 1))' "$@"; }
repeat_to "$work/tones/long440.mp3" "$uploads/fourteen.mp3" $((14 * 1024 * 1024))
repeat_to "$work/tones/long440.mp3" "$uploads/full.mp3" $((18 * 1024 * 1024))
echo "minutes of the staff meeting" >"$uploads/renamed.mp3"
truncate -s 200M "$uploads/big.mp3"
mkdir "$program/media"
small_disk=0
if mount -t tmpfs -o size=16m tmpfs "$program/media" 2>/dev/null; then
  mounts+=("$program/media")
  small_disk=1
fi

(cd "$program" && exec ./tolvane) >"$work/stdout" 2>"$work/stderr" &
pids+=($!)
wait_for 20 "the program's page" grep -q '网页已开启' "$program/tolvane.log"

# The user data folder is the run's own: DevToolsActivePort there names the debugging port.
# Debian 12's point-release Chromium refuses a DevTools WebSocket whose Origin it was not told of
# (403), the security updates' one does not: the client's origin is allowed by name on both.
chromium --headless=new --no-sandbox --disable-gpu --no-first-run --user-data-dir="$work/chromium" \
  --disable-background-networking --disable-component-update --disable-sync \
  --remote-debugging-port=0 --remote-allow-origins=http://127.0.0.1 --ignore-certificate-errors \
  about:blank >"$work/chromium.log" 2>&1 &
chromium=$!
pids+=($chromium)
wait_for 30 "Chromium's DevTools port" test -s "$work/chromium/DevToolsActivePort"
devtools=$(head -1 "$work/chromium/DevToolsActivePort")

parecord --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 --file-format=wav "$work/rec.wav" &
recorder=$!
pids+=($recorder)
/usr/bin/python3 "$src/tests/web/browser_checks.py" "https://localhost:$port" "$devtools" \
  "$password" "$uploads" "$bin" "$program" "$shots" "$small_disk" | tee "$work/checks" ||
  fail "the browser's checks failed"
bell_at=$(sed -n 's/^bell_at=//p' "$work/checks")
wait_for 10 "the browser to end" bash -c "! kill -0 $chromium 2>/dev/null"
recorded_until=$(date +%s.%N)
kill -INT "$recorder"
wait "$recorder" || true
read_tones "$bin" "$work/rec.wav" "$recorded_until"
ring_now_at=$(sed -n 's/^ring_now_at=//p' "$work/checks")
# Speech has moments that sound like short tones; the bells are 0.6 s of one.
bells=()
for tone in "${tones[@]}"; do
  awk -v l="${tone#*:}" 'BEGIN { exit !(l >= 0.4) }' && bells+=("$tone")
done
tones=("${bells[@]}")
[ "${#tones[@]}" = 2 ] || fail "expected the bell added in the browser and the one rung now, heard ${#tones[@]}"
expect_tone 0 440 "$bell_at" 150
expect_tone 1 440 "$ring_now_at" 400
grep -q "立即播放.*网页，" "$program/tolvane.log" || fail "the ring log does not say the page asked for 立即播放"
notice_at=$(sed -n 's/^notice_at=//p' "$work/checks")
timed_notice_at=$(sed -n 's/^timed_notice_at=//p' "$work/checks")
/usr/bin/python3 - "$work/rec.wav" "$recorded_until" "$notice_at" "$timed_notice_at" <<'PY' || fail "the page's notices were not heard"
import array, math, sys, wave
rec = wave.open(sys.argv[1])
samples = array.array("h", rec.readframes(rec.getnframes()))
rate = rec.getframerate()
start = float(sys.argv[2]) - len(samples) / rate
def loud(t):  # RMS of the 50 ms at wall-clock time t
    i = int((t - start) * rate)
    chunk = samples[max(i, 0):max(i, 0) + rate // 20]
    return math.sqrt(sum(s * s for s in chunk) / max(len(chunk), 1))
def onset(t, within):
    return next((k * 0.01 for k in range(int(within * 100)) if loud(t + k * 0.01) > 300), None)
def sounding(a, b):
    return sum(0.05 for k in range(int((b - a) * 20)) if loud(a + k * 0.05) > 300)
now, later = float(sys.argv[3]), float(sys.argv[4])
assert onset(now, 1.0) is not None, "the notice said now was not heard within 1 s"
assert sounding(now, now + 4) > 1.0, f"only {sounding(now, now + 4):.2f} s of the notice said now"
assert sounding(later - 2, later) == 0, "the notice for later was said early"
heard = onset(later, 1.0)  # the words' file begins with 0.4 s of quiet
assert heard is not None and heard < 0.6, f"the notice for later began {heard} s after its second"
assert sounding(later, later + 5) > 1.0, "the notice for later was not said"
print(f"notices: said now after {onset(now, 1.0) * 1000:.0f} ms, the later one {heard * 1000:.0f} ms after its second")
PY
grep -q "广播通知已安排：“放学”" "$program/tolvane.log" || fail "the ring log does not say the notice for later was kept"
grep -q "立即播放：.*网页，.*广播通知“放学”" "$program/tolvane.log" || fail "the ring log does not say the notice for later was said"
echo "ok: the bell added in the browser sounds at its second, 立即播放 and a notice from the page at once, a notice for later at its second"
