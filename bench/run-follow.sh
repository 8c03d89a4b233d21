#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Prints how long a schedule change made with tolvanectl takes to reach the running program (the
# tables read again and the list rebuilt, so the next tick rings the new schedule), as "name value
# unit" lines: median and maximum over 20 changes, under Xvfb with 20 bells.
# Usage: bench/run-follow.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
changes=20
scripts/deps.sh test >&2
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLVANE_BUILD_BENCH=ON >&2
cmake --build "$build" --target tolvane tolvanectl fill_schedule >&2
echo "# bench/run-follow.sh $build (Xvfb, 20 bells, $changes tolvanectl adds)" >&2

source bench/program-folder.sh
(cd "$work/program" && TOLVANE_REPORT_RELOAD=1 exec ./tolvane) 2>"$work/stderr" &
sleep 2

latencies=()
for i in $(seq "$changes"); do
  before=$(grep -c '^reload-ms' "$work/stderr" || true)
  start=$(date +%s%3N)
  "$build/bin/tolvanectl" add "$work/program" --start "$(printf '23:%02d:00' "$i")" --music /bells/x.mp3 >/dev/null
  for _ in $(seq 400); do [ "$(grep -c '^reload-ms' "$work/stderr" || true)" -gt "$before" ] && break; sleep 0.005; done
  done_at=$(grep '^reload-ms' "$work/stderr" | tail -1 | cut -d' ' -f2)
  latencies+=($((done_at - start)))
  sleep 0.2
done
printf '%s\n' "${latencies[@]}" | sort -n | awk '
  { v[NR] = $1 }
  END {
    printf "follow_change_to_armed_median %d ms\n", (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2)
    printf "follow_change_to_armed_max %d ms\n", v[NR]
  }'
