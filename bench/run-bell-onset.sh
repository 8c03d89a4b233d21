#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Bell onset as heard, Tolvane beside Debian's Alarm Clock applet (alarm-clock-applet) in the same
# run: each rings BELLS times (a 0.6 s tone, 5 s apart) into this run's PulseAudio null sink, whose
# monitor is recorded; a bell's onset is the time from its second to its first sample heard, to
# the 20 ms of the tone scan's windows and at most late by the monitor's delivery of its first
# chunk (bench/run-ringing.sh has when Tolvane hands its first samples over, to the millisecond).
# Prints "name value unit" lines and each Tolvane figure as a ratio to the peer's.
# Then Tolvane again, STRESSED_BELLS times (3 s apart) while stress-ng keeps every core busy at
# normal priority: its onsets and the breaks heard inside its tones (a tone in two pieces, or cut
# short), beside the quiet figures.
# Usage: bench/run-bell-onset.sh [BUILD_DIR] [BELLS] [STRESSED_BELLS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
bells=${2:-5}
stressed_bells=${3:-20}
scripts/deps.sh test >&2
source bench/rest-figures.sh
install_peer
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTOLVANE_BUILD_BENCH=ON >&2
cmake --build "$build" --target tolvane tolvanectl tone_scan >&2
bin=$(realpath "$build/bin")
echo "# bench/run-bell-onset.sh $build $bells (Xvfb, PulseAudio null sink; peer: alarm-clock-applet)" >&2

source tests/support/harness.sh
start_xvfb
start_sound
# As on a desktop, RealtimeKit gives the sound thread real time when it asks.
start_realtime_kit "['org.freedesktop.RealtimeKit1.acquire-real-time']"
tests/support/make-tones.sh "$work/tones" >/dev/null
tone=$work/tones/a440.mp3

# The bells' seconds: the first $1 seconds ahead, then one every $3 s ($2 of them).
bell_seconds() {
  local first=$(($(date +%s) + $1)) i
  for ((i = 0; i < $2; i++)); do echo $((first + $3 * i)); done
}

# Records the null sink until the last of the seconds in $2.. has rung, then prints the onset of
# each tone heard (ms after the matching second) as figures of $1: median and max.
record_onsets() {
  local who=$1 rec
  shift
  local seconds=("$@")
  # Through a fifo, so that the recorder's first sample is timed as its chunks arrive.
  mkfifo "$work/$who.pcm"
  bench/timed-record.py 44100 "$work/$who.wav" "$work/$who.start" <"$work/$who.pcm" &
  local timer=$!
  parecord --raw --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 \
    --format=s16le >"$work/$who.pcm" &
  rec=$!
  sleep $((seconds[-1] - $(date +%s) + 3))
  kill -INT "$rec"
  wait "$rec" || true
  wait "$timer"
  read_tones "$bin" "$work/$who.wav" 0 >&2
  recorded_from=$(cat "$work/$who.start")
  local i onsets=()
  for ((i = 0; i < ${#tones[@]}; i++)); do
    onsets+=("$(awk -v r="$recorded_from" -v t="${tones[i]#*@}" -v seconds="${seconds[*]}" 'BEGIN {
      split(t, p, ":"); heard = r + p[1]; n = split(seconds, s, " ")
      for (k = 1; k <= n; k++) if (heard >= s[k] - 0.05 && heard < s[k] + 2.5) { printf "%.0f", (heard - s[k]) * 1000; exit }
    }')")
  done
  echo "# $who onsets (ms): ${onsets[*]}" >&2
  figure "$who" bells_heard "${#tones[@]}" count
  # Each bell's pieces are the tones starting within 2 s of its second; one piece of the whole
  # 0.6 s (to the scan's 20 ms) is a bell heard without a break.
  figure "$who" tone_breaks "$(printf '%s\n' "${tones[@]}" | awk -v r="$recorded_from" -v seconds="${seconds[*]}" '
    { split($0, a, "@"); split(a[2], p, ":"); heard = r + p[1]
      n = split(seconds, s, " ")
      for (k = 1; k <= n; k++) if (heard >= s[k] - 0.05 && heard < s[k] + 2) { pieces[k]++; length_of[k] += p[2] } }
    END { for (k in pieces) breaks += pieces[k] - 1 + (pieces[k] == 1 && length_of[k] < 0.56); print breaks + 0 }')" count
  printf '%s\n' "${onsets[@]}" | grep . | sort -n | awk -v who="$who" '{ v[NR] = $1 } END {
    if (NR) printf "%s %d %d\n", who, v[int((NR + 1) / 2)], v[NR] }' | while read -r w median max; do
    figure "$w" bell_onset_median "$median" ms
    figure "$w" bell_onset_max "$max" ms
  done
}

# Tolvane: the bells added by tolvanectl while the program runs (it follows the change), as
# figures of $1: $2 bells, $3 s apart.
ring_tolvane() {
  local folder=$work/program-$1
  mkdir "$folder"
  cp "$bin/tolvane" "$bin/tolvanectl" "$folder/"
  (cd "$folder" && exec ./tolvane) >/dev/null 2>&1 &
  pids+=($!)
  wait_for_window "${pids[-1]}" >/dev/null
  mapfile -t seconds < <(bell_seconds 4 "$2" "$3")
  for s in "${seconds[@]}"; do
    "$folder/tolvanectl" add "$folder" --start "$(date -d "@$s" +%T)" --music "$tone" \
      --days "$(date -d "@$s" +%a | tr 'A-Z' 'a-z')" >/dev/null
  done
  record_onsets "$1" "${seconds[@]}"
  kill "${pids[-1]}"
  wait "${pids[-1]}" 2>/dev/null || true
}
ring_tolvane tolvane "$bells" 5
# Every core busy with ordinary work, as a school PC running an update beside the bells.
stress-ng --cpu "$(nproc)" --timeout $((stressed_bells * 3 + 15)) >/dev/null 2>&1 &
stress=$!
pids+=($stress)
ring_tolvane tolvane_stressed "$stressed_bells" 3
kill "$stress" 2>/dev/null || true
wait "$stress" 2>/dev/null || true

# The peer: one-shot alarms at the same kind of seconds (its time of day as seconds), playing the
# same file once, in a D-Bus session of its own.
mapfile -t seconds < <(bell_seconds 4 "$bells" 5)
dbus-run-session -- bash -c '
  list=""
  i=0
  for s in "$@"; do
    p=/io/github/alarm-clock-applet/alarm-$i/
    dconf write ${p}type "'"'"'clock'"'"'"
    dconf write ${p}time "int64 $(( $(date -d "@$s" +%-H) * 3600 + $(date -d "@$s" +%-M) * 60 + $(date -d "@$s" +%-S) ))"
    dconf write ${p}active true
    dconf write ${p}notify-type "'"'"'sound'"'"'"
    dconf write ${p}sound-file "'"'"'file://'"$tone"''"'"'"
    dconf write ${p}sound-repeat false
    list+="${list:+, }$i"
    i=$((i + 1))
  done
  dconf write /io/github/alarm-clock-applet/alarms "@au [$list]"
  dconf write /io/github/alarm-clock-applet/gconf-migrated true
  exec alarm-clock-applet' peer "${seconds[@]}" >"$work/peer.log" 2>&1 &
pids+=($!)
record_onsets peer "${seconds[@]}"
# Ending the applet ends its session and its bus; killing dbus-run-session instead left that bus,
# and the accessibility bus the applet had started on it, running after the bench.
pkill -x -P "${pids[-1]}" alarm-clock-app || true
wait "${pids[-1]}" 2>/dev/null || true

ratios tolvane peer
