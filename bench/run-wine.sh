#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows program's bell onset and Stop under Wine, as "name value unit" lines: the program
# built by scripts/build-windows.sh rings bells made by tolvanectl.exe through WASAPI into a
# private PulseAudio server (tests/win32/wine_program_test.sh), RUNS times.
# Usage: bench/run-wine.sh [WINDOWS_BIN_DIR (build-windows/bin)] [RUNS (3)]
set -euo pipefail
cd "$(dirname "$0")/.."
bin=${1:-build-windows/bin}
runs=${2:-3}
[ -f "$bin/tolvane.exe" ] || { echo "no $bin/tolvane.exe: run scripts/build-windows.sh first" >&2; exit 1; }
echo "# tests/win32/wine_program_test.sh $bin, $runs runs" >&2
figures=$(mktemp)
trap 'rm -f "$figures"' EXIT
# A run that fails still gives the figures it reached; the failures are counted.
failed=0
for _ in $(seq "$runs"); do
  tests/win32/wine_program_test.sh "$bin" >>"$figures" 2>&1 || failed=$((failed + 1))
done
summary() {  # figure name, pattern with the number as \1
  sed -n "s/$2/\1/p" "$figures" | sort -n | awk -v name="$1" '{ v[NR] = $1 } END {
    if (NR) printf "%s_median %d ms\n%s_max %d ms\n", name, v[int((NR + 1) / 2)], name, v[NR] }'
}
summary wine_bell_onset '^wine bell onset: \([0-9-]*\) ms.*'
summary wine_stop_to_silence '^wine stop: silent \([0-9-]*\) ms.*'
echo "wine_program_test_failed $failed runs"
