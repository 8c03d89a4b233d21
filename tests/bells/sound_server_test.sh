#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Plays bells through tolvanectl into a real PulseAudio server started here (a null sink whose
# monitor is recorded) and checks the tones heard: a program that started before the server, a
# file whole, a folder, and a stop.
# Usage: sound_server_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$(dirname "$0")/../support/harness.sh"

export HOME=$work XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER DBUS_SESSION_BUS_ADDRESS
"$src/tests/support/make-tones.sh" "$work/tones"

# A program started before the sound server: silent at first, heard once the server is up.
"$bin/late_server_probe" "$work/tones/a440.mp3" "$work/ready" "$work/go" &
probe=$!
pids+=($probe)
for _ in $(seq 100); do [ -e "$work/ready" ] && break; sleep 0.1; done

start_pulse

mkdir "$work/folder"
cp "$work/tones/c880.mp3" "$work/tones/broken.mp3" "$work/folder/"

parecord --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 \
  --file-format=wav "$work/rec.wav" &
rec=$!
pids+=($rec)
sleep 0.5

touch "$work/go"
wait "$probe"
"$bin/tolvanectl" play "$work/tones/a440.mp3"
"$bin/tolvanectl" play "$work/folder"
# Ctrl+C after a moment: the three-second tone must stop there.
"$bin/tolvanectl" play "$work/tones/long440.mp3" &
player=$!
sleep 1.0
# By now the bell plays on a grown buffer: half a second written ahead, not the 60 ms it began
# with, so a moment's wait for the processor does not break the tone.
buffered=$(pactl list sink-inputs | sed -n 's/.*Buffer Latency: \([0-9]*\) usec.*/\1/p' | head -1)
kill -INT "$player"
wait "$player"
sleep 0.5
kill -INT "$rec"
wait "$rec" || true

heard=$("$bin/tone_scan" "$work/rec.wav")
echo "heard: $heard"
# a440 whole (0.6 s) from the probe and from tolvanectl, then the folder's one MP3 (0.4 s), then
# long440 cut after about a second. A tone whose end was cut off (the ~150 ms a sink holds when it
# reports idle) falls short by more than the 0.08 s allowed for the encoder's padding and the
# 20 ms windows.
expected=(440:0.60 440:0.60 880:0.40 440:1.00)
read -r -a tones <<<"$heard"
[ "${#tones[@]}" = 4 ] || fail "expected 4 tones, heard: $heard"
for i in 0 1 2 3; do
  want=${expected[i]} got=${tones[i]}
  [ "${want%%:*}" = "${got%%:*}" ] || fail "tone $((i + 1)) is ${got%%:*} Hz, not ${want%%:*}"
  slack=0.08
  [ "$i" = 3 ] && slack=0.3  # stopped by Ctrl+C after about a second
  awk -v w="${want#*:}" -v g="${got#*:}" -v s="$slack" 'BEGIN { exit !(g >= w - s && g <= w + s) }' ||
    fail "tone $((i + 1)) lasted ${got#*:} s, not ${want#*:} s"
done
[ "${buffered:-0}" -ge 250000 ] ||
  fail "the playing bell had ${buffered:-no} µs written ahead, not a grown buffer"
echo "sound server test passed"
