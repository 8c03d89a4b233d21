#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The desktop program at rest under Xvfb with 20 bells, beside a peer measured in the same run
# with the same harness: Debian's Alarm Clock applet (alarm-clock-applet) with 0 and 20 alarms,
# in a home and D-Bus session of its own. Prints "name value unit" lines, and each Tolvane figure
# as a ratio to the peer's: start to window mapped and to the first painted clock face (cold, with
# the page cache emptied where that is allowed, and warm, the median of eleven starts), CPU
# and wake-ups a second (voluntary context switches of all threads) over SECONDS with the window
# shown and hidden in the tray, own memory (private dirty and anonymous) with PSS and RSS 10 s after
# the start and its largest parts by kind, and every thread with its wake-ups. The toolkit's floor (bench/floor_window.cpp: a Qt window with one
# Chinese label) is started the same way, and each start figure is also given as a ratio to it.
# Usage: bench/run-program.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
seconds=${2:-60}
scripts/deps.sh test >&2
source bench/rest-figures.sh
install_peer
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLVANE_BUILD_BENCH=ON >&2
cmake --build "$build" --target tolvane fill_schedule floor_window >&2
echo "# bench/run-program.sh $build $seconds (Xvfb, 20 bells; peer: alarm-clock-applet)" >&2

source bench/program-folder.sh
trayer --edge top --align right --widthtype pixel --width 100 --height 32 >/dev/null 2>&1 &

# Starts Tolvane (or program $1 of the program folder); leaves $pid, $window, and its start to
# window mapped and to first paint (ms) in $mapped and $painted.
start_tolvane() {
  local start program=${1:-tolvane}
  watch_maps "$work/maps"
  start=$(date +%s%3N)
  started=$start
  (cd "$work/program" && TOLVANE_REPORT_FIRST_PAINT=1 exec "./$program") 2>"$work/stderr" &
  pid=$!
  for _ in $(seq 100); do grep -q first-paint-ms "$work/stderr" && break; sleep 0.05; done
  mapped=$(($(first_map_of "$work/maps" "$pid") - start))
  kill "$map_watcher"
  window=$(wait_for_window "$pid")
  painted=$(($(sed -n 's/first-paint-ms //p' "$work/stderr") - start))
}

stop_tolvane() {
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

# Waits until $2 seconds after the epoch milliseconds $1: memory is taken 10 s after a start, when
# the program rests as it will all day, with nothing handed back by hand.
wait_after_start() { sleep "$(awk -v s="$1" -v n="$(date +%s%3N)" -v d="$2" 'BEGIN { w = (s + d * 1000 - n) / 1000; print (w > 0 ? w : 0) }')"; }

median() { tr ' ' '\n' | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

# Tolvane cold (nothing of it in the page cache), then warm.
if drop_page_cache; then
  start_tolvane
  figure tolvane cold_start_to_window_mapped "$mapped" ms
  figure tolvane cold_start_to_first_paint "$painted" ms
  stop_tolvane
else
  echo "# cold start not measured: the page cache cannot be dropped here" >&2
fi
# Warm: the program and the toolkit's floor in turns, as this machine's speed drifts within
# minutes, and the median of eleven starts each, as one start varies by tens of ms. The program's
# last start is left running.
cp "$build/bin/floor_window" "$work/program/"
(cd "$work/program" && timeout 3 ./floor_window >/dev/null 2>&1) || true
(cd "$work/program" && timeout 3 ./tolvane >/dev/null 2>&1) || true
declare -A all_mapped all_painted
for ((i = 1; i <= 11; i++)); do
  for who in qt_floor tolvane; do
    program=tolvane
    [ "$who" = qt_floor ] && program=floor_window
    start_tolvane "$program"
    all_mapped[$who]+=" $mapped" all_painted[$who]+=" $painted"
    if [ "$who" != tolvane ] || ((i < 11)); then stop_tolvane; fi
  done
done
for who in qt_floor tolvane; do
  echo "# $who warm starts: mapped${all_mapped[$who]} ms, first paint${all_painted[$who]} ms" >&2
  # shellcheck disable=SC2086  # the figures, one word each
  figure "$who" start_to_window_mapped "$(echo ${all_mapped[$who]} | median)" ms
  # shellcheck disable=SC2086
  figure "$who" start_to_first_paint "$(echo ${all_painted[$who]} | median)" ms
done
wait_after_start "$started" 10
memory tolvane "$pid"
measure_rest tolvane shown "$pid" "$seconds"
# Hidden in the tray: "最小化" from the System menu.
xdotool mousemove --window "$window" 570 10 click 1
sleep 0.5
xdotool key Down Down Down Down Down Down Return
sleep 2
measure_rest tolvane hidden "$pid" "$seconds"
kill "$pid"
wait "$pid" 2>/dev/null || true

# The peer, with no alarm and with 20 (every day at 06:00 .. 06:19, never due in the run).
for alarms in 0 20; do
  peer_home=$work/peer-$alarms
  mkdir -p "$peer_home"
  # The first peer starts cold, as Tolvane's first start did.
  cold=""
  [ "$alarms" = 0 ] && drop_page_cache && cold=cold_
  rm -f "$work/peer-start"
  watch_maps "$work/maps"
  # Its start is taken as it is executed, after its session bus and settings are made.
  HOME=$peer_home XDG_CONFIG_HOME=$peer_home/.config dbus-run-session -- bash -c '
    list=""
    for ((i = 0; i < $1; i++)); do
      p=/io/github/alarm-clock-applet/alarm-$i/
      dconf write ${p}type "'"'"'clock'"'"'"
      dconf write ${p}time "int64 $((6 * 3600 + i * 60))"
      dconf write ${p}active true
      dconf write ${p}repeat "['"'"'mon'"'"', '"'"'tue'"'"', '"'"'wed'"'"', '"'"'thu'"'"', '"'"'fri'"'"']"
      list+="${list:+, }$i"
    done
    [ "$1" -gt 0 ] && dconf write /io/github/alarm-clock-applet/alarms "@au [$list]"
    dconf write /io/github/alarm-clock-applet/gconf-migrated true
    date +%s%3N >"$2"
    exec alarm-clock-applet' peer "$alarms" "$work/peer-start" >"$work/peer-$alarms.log" 2>&1 &
  for _ in $(seq 200); do peer=$(pgrep -n -x alarm-clock-app || true); [ -n "$peer" ] && break; sleep 0.05; done
  figure "peer_${alarms}_alarms" "${cold}start_to_window_mapped" \
    $(($(first_map_of "$work/maps" "$peer") - $(cat "$work/peer-start"))) ms
  kill "$map_watcher"
  wait_for_window "$peer" >/dev/null
  wait_after_start "$(cat "$work/peer-start")" 10
  memory "peer_${alarms}_alarms" "$peer"
  measure_rest "peer_${alarms}_alarms" shown "$peer" "$seconds"
  kill "$peer"
  sleep 0.5
done

ratios tolvane peer_20_alarms peer_0_alarms qt_floor
