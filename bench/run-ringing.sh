#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints the ringing engine's figures as "name value unit" lines: bell onset latency on a private
# PulseAudio server (50 bells; again with the other core busy) and the share of seconds ticked
# exactly once over a run with the other core busy (600 s unless given), each also for the naive
# free-running 1000 ms timer.
# Usage: bench/run-ringing.sh [BUILD_DIR] [COVERAGE_SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
seconds=${2:-600}
scripts/deps.sh test >&2
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLVANE_BUILD_BENCH=ON >&2
cmake --build "$build" --target onset_bench >&2

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME=$work XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
pulseaudio --system=false -n --exit-idle-time=-1 --daemonize=no --disable-shm=yes \
  -L module-native-protocol-unix -L "module-null-sink sink_name=bells" --log-target=file:"$work/pulse.log" &
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink bells
tests/support/make-tones.sh "$work/tones"

for mode in onset naive-onset; do
  echo "# $build/bin/onset_bench $mode 50 a440.mp3 (private PulseAudio, null sink)" >&2
  "$build/bin/onset_bench" "$mode" 50 "$work/tones/a440.mp3"
done
# The same bells with the other core kept busy by a shell loop, as on a PC that does other work.
echo "# $build/bin/onset_bench onset 50 a440.mp3, the other core busy" >&2
(while :; do :; done) &
spinner=$!
"$build/bin/onset_bench" onset 50 "$work/tones/a440.mp3" | sed 's/^/busy_core_/'
kill "$spinner"
for mode in coverage naive-coverage; do
  echo "# $build/bin/onset_bench $mode $seconds (the other core busy)" >&2
  "$build/bin/onset_bench" "$mode" "$seconds"
done
