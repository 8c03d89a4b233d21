#!/usr/bin/env bash
# Prints the desktop program's figures under Xvfb with 20 bells as "name value unit" lines: time
# from process start to the first painted clock face, CPU use over 60 s with the clock visible,
# resident memory.
# Usage: bench/run-program.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
seconds=${2:-60}
scripts/deps.sh test >&2
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLVANE_BUILD_BENCH=ON >&2
cmake --build "$build" --target tolvane fill_schedule >&2
echo "# bench/run-program.sh $build $seconds (Xvfb, 20 bells)" >&2

source bench/program-folder.sh

# Warm start: once to fill the caches, then measured.
(cd "$work/program" && timeout 3 ./tolvane >/dev/null 2>&1) || true
start=$(date +%s%3N)
(cd "$work/program" && TOLVANE_REPORT_FIRST_PAINT=1 exec ./tolvane) 2>"$work/stderr" &
pid=$!
for _ in $(seq 100); do grep -q first-paint-ms "$work/stderr" && break; sleep 0.05; done
painted=$(sed -n 's/first-paint-ms //p' "$work/stderr")
echo "start_to_first_paint $((painted - start)) ms"

ticks=$(getconf CLK_TCK)
cpu() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
sleep 2
before=$(cpu)
sleep "$seconds"
after=$(cpu)
awk -v d=$((after - before)) -v t="$ticks" -v s="$seconds" \
  'BEGIN { printf "cpu_clock_visible %.2f %%_of_one_core\n", 100 * d / t / s }'
awk '/VmRSS/ { printf "resident_memory %.1f MB\n", $2 / 1024 }' "/proc/$pid/status"
