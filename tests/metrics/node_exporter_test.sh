#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The district's view of a bell computer, with the real engines: the headless ringer writes
# tolvane.prom into metrics_dir, Debian's node_exporter serves it through its textfile collector
# (scraped with curl), and promtool checks it. A bell heard, the output muted (said at once, and a
# bell then unheard), the ringer stopped (tolvane_up 0) and started again (its counts kept), and a
# metrics folder that cannot be written (said once as a problem; the bells go on).
# Usage: node_exporter_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"
command -v promtool >/dev/null || skip "promtool (Debian: prometheus) is not installed"
exporter=$(command -v prometheus-node-exporter || true)
[ -n "$exporter" ] || skip "node_exporter (Debian: prometheus-node-exporter) is not installed"

unset DISPLAY WAYLAND_DISPLAY
start_sound
"$src/tests/support/make-tones.sh" "$work/tones"
dir=$work/bells
metrics=$work/textfile
mkdir "$dir" "$metrics"
t0=$(($(date +%s) + 4))
at() { date -d "@$((t0 + $1))" +%H:%M:%S; }
ctl() { "$bin/tolvanectl" "$@" >/dev/null; }
all=mon,tue,wed,thu,fri,sat,sun
ctl add "$dir" --start "$(at 0)" --music "$work/tones/a440.mp3" --days "$all"
ctl add "$dir" --start "$(at 4)" --music "$work/tones/a440.mp3" --days "$all"
ctl add "$dir" --start 23:59:59 --music "$work/tones/a440.mp3" --days "$all"
ctl option "$dir" metrics_dir "$metrics"

port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
"$exporter" --web.listen-address="127.0.0.1:$port" --collector.disable-defaults \
  --collector.textfile --collector.textfile.directory="$metrics" >"$work/exporter.log" 2>&1 &
pids+=($!)
scrape() { curl -sf "http://127.0.0.1:$port/metrics"; }
wait_for 10 "node_exporter" scrape
# The value of one series as node_exporter serves it (labels as written in the file).
value() { scrape | awk -v s="$1" '$1 == s { print $2 }'; }
serves() { awk -v v="$(value "$1")" -v w="$2" 'BEGIN { exit !(v != "" && v + 0 == w + 0) }'; }

ring() {
  "$bin/tolvanectl" ring "$dir" >>"$work/stdout" 2>>"$work/stderr" &
  ringer=$!
  pids+=($ringer)
}
ring
wait_for 10 "the first metrics" serves tolvane_up 1
promtool check metrics <"$metrics/tolvane.prom" || fail "promtool refuses the file: $(cat "$metrics/tolvane.prom")"
serves tolvane_paused 0 || fail "a running plan is served as paused"
wait_for 5 "the output served as the sound server tells it" serves tolvane_output_present 1
serves tolvane_output_muted 0 || fail "the output is not served as unmuted: $(scrape | grep output)"
serves 'tolvane_problems{kind="output"}' 0 || fail "an output problem is served"
serves tolvane_next_bell_timestamp_seconds "$t0" ||
  fail "the next bell is served at $(value tolvane_next_bell_timestamp_seconds), not $t0"
serves tolvane_bells_left_today 3 || fail "bells left today: $(value tolvane_bells_left_today)"
scrape | grep -q '^tolvane_info{folder="'"$dir"'",timetable="常规作息",version="' ||
  fail "tolvane_info: $(scrape | grep tolvane_info)"
# The shipped alerts ask only for what the ringer writes.
for name in $(grep -o 'tolvane_[a-z_]*' "$src/dist/prometheus/tolvane-alerts.yml" | sort -u); do
  grep -q "^$name[{ ]" "$metrics/tolvane.prom" || grep -q "^${name}_bucket{" "$metrics/tolvane.prom" ||
    [ "$name" = tolvane_last_bell_heard_timestamp_seconds ] ||
    fail "the alert rules ask for $name, which the ringer does not write"
done
echo "ok: node_exporter serves the ringer's metrics, which promtool accepts and the alerts use"

wait_for 6 "the first bell counted as heard" serves 'tolvane_bells_total{result="heard"}' 1
serves 'tolvane_bell_lateness_seconds_bucket{le="0.1"}' 1 ||
  fail "the bell heard is not within 0.1 s: $(scrape | grep lateness)"
heard_at=$(value tolvane_last_bell_heard_timestamp_seconds)
awk -v h="$heard_at" -v t="$t0" 'BEGIN { exit !(h >= t && h < t + 1) }' ||
  fail "the last bell heard is served at $heard_at, its second was $t0"
echo "ok: the bell heard is counted at once, with its lateness and time"

pactl set-sink-mute bells 1
wait_for 5 "the muted output served" serves tolvane_output_muted 1
serves 'tolvane_problems{kind="output"}' 1 || fail "the muted output is not served as a problem"
wait_for 8 "the bell rung into the muted output counted unheard" \
  serves 'tolvane_bells_total{result="unheard"}' 1
pactl set-sink-mute bells 0
echo "ok: a muted output is served at once, and the bell it swallows counted unheard"

kill -TERM "$ringer"
wait "$ringer" || true
serves tolvane_up 0 || fail "a ringer that ended still says it is up"
ring
wait_for 10 "the ringer started again" serves tolvane_up 1
serves 'tolvane_bells_total{result="heard"}' 1 && serves 'tolvane_bells_total{result="unheard"}' 1 ||
  fail "the counts did not survive the restart: $(scrape | grep bells_total)"
echo "ok: an ended ringer says so, and one started again goes on counting"

# A folder that cannot be written: a file stands where it should be.
touch "$work/not-a-folder"
ctl option "$dir" metrics_dir "$work/not-a-folder/metrics"
wait_for 5 "the metrics problem in the log" grep -q "监控指标不能写入" "$dir/tolvane.log"
"$bin/tolvanectl" status "$dir" | grep -q "not-a-folder/metrics" ||
  fail "status does not say the metrics cannot be written: $("$bin/tolvanectl" status "$dir")"
[ "$(grep -c "监控指标不能写入" "$dir/tolvane.log")" = 1 ] || fail "the problem was said more than once"
kill -0 "$ringer" || fail "the ringer ended over its metrics"
echo "ok: a metrics folder that cannot be written is said once, and the ringer goes on"
