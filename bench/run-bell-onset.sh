#!/usr/bin/env bash
# Bell onset as heard, Tolvane beside Debian's Alarm Clock applet (alarm-clock-applet) in the same
# run: each rings BELLS times (a 0.6 s tone, 5 s apart) into this run's PulseAudio null sink, whose
# monitor is recorded; a bell's onset is the time from its second to its first sample heard, to
# the 20 ms of the tone scan's windows and at most late by the monitor's delivery of its first
# chunk (bench/run-ringing.sh has when Tolvane hands its first samples over, to the millisecond).
# Prints "name value unit" lines and each Tolvane figure as a ratio to the peer's.
# Usage: bench/run-bell-onset.sh [BUILD_DIR] [BELLS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build-bench}
bells=${2:-5}
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
tests/support/make-tones.sh "$work/tones" >/dev/null
tone=$work/tones/a440.mp3

# The bells' seconds: the first a few seconds ahead, then every 5 s.
bell_seconds() {
  local first=$(($(date +%s) + $1)) i
  for ((i = 0; i < bells; i++)); do echo $((first + 5 * i)); done
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
      for (k = 1; k <= n; k++) if (heard >= s[k] - 0.05 && heard < s[k] + 4) { printf "%.0f", (heard - s[k]) * 1000; exit }
    }')")
  done
  echo "# $who onsets (ms): ${onsets[*]}" >&2
  figure "$who" bells_heard "${#tones[@]}" count
  printf '%s\n' "${onsets[@]}" | grep . | sort -n | awk -v who="$who" '{ v[NR] = $1 } END {
    if (NR) printf "%s %d %d\n", who, v[int((NR + 1) / 2)], v[NR] }' | while read -r w median max; do
    figure "$w" bell_onset_median "$median" ms
    figure "$w" bell_onset_max "$max" ms
  done
}

# Tolvane: the bells added by tolvanectl while the program runs (it follows the change).
mkdir "$work/program"
cp "$bin/tolvane" "$bin/tolvanectl" "$work/program/"
(cd "$work/program" && exec ./tolvane) >/dev/null 2>&1 &
pids+=($!)
wait_for_window "${pids[-1]}" >/dev/null
mapfile -t seconds < <(bell_seconds 4)
for s in "${seconds[@]}"; do
  "$work/program/tolvanectl" add "$work/program" --start "$(date -d "@$s" +%T)" --music "$tone" \
    --days "$(date -d "@$s" +%a | tr 'A-Z' 'a-z')" >/dev/null
done
record_onsets tolvane "${seconds[@]}"
kill "${pids[-1]}"

# The peer: one-shot alarms at the same kind of seconds (its time of day as seconds), playing the
# same file once, in a D-Bus session of its own.
mapfile -t seconds < <(bell_seconds 4)
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
