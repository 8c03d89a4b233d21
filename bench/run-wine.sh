#!/usr/bin/env bash
# The Windows program's bell onset under Wine, as "name value unit" lines: the program built by
# scripts/build-windows.sh rings a bell made by tolvanectl.exe through waveOut into a private
# PulseAudio server (tests/win32/wine_program_test.sh), RUNS times.
# Usage: bench/run-wine.sh [WINDOWS_BIN_DIR (build-windows/bin)] [RUNS (3)]
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build-windows/bin}
runs=${2:-3}
[ -f "$bin/tolvane.exe" ] || { echo "no $bin/tolvane.exe: run scripts/build-windows.sh first" >&2; exit 1; }
echo "# tests/win32/wine_program_test.sh $bin, $runs runs" >&2
for _ in $(seq "$runs"); do
  tests/win32/wine_program_test.sh "$bin" 2>&1 | sed -n 's/^wine bell onset: \([0-9-]*\) ms.*/\1/p'
done | sort -n | awk '{ v[NR] = $1 } END {
  printf "wine_bell_onset_median %d ms\nwine_bell_onset_max %d ms\n", v[int((NR + 1) / 2)], v[NR] }'
