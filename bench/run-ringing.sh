#!/usr/bin/env bash
# Prints the ringing engine's figures: tick cost over 1,000 bells, bell onset latency on a private
# PulseAudio server (50 bells), and the share of seconds ticked exactly once over a run with the
# other core busy (600 s unless given).
# Usage: bench/run-ringing.sh [BUILD_DIR] [COVERAGE_SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
seconds=${2:-600}
scripts/deps.sh test
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLVANE_BUILD_TESTS=ON -DTOLVANE_BUILD_BENCH=ON
cmake --build "$build" --target tick_bench onset_bench table_bench

"$build/bin/tick_bench"

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
export HOME=$work XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
pulseaudio --system=false -n --exit-idle-time=-1 --daemonize=no --disable-shm=yes \
  -L module-native-protocol-unix -L "module-null-sink sink_name=bells" --log-target=file:"$work/pulse.log" &
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
pactl set-default-sink bells
tests/support/make-tones.sh "$work/tones"

"$build/bin/onset_bench" onset 50 "$work/tones/a440.mp3"
"$build/bin/onset_bench" coverage "$seconds"
