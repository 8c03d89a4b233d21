#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The sound thread asks the system to schedule it ahead of ordinary work, against the real
# RealtimeKit daemon on a private system bus whose PolicyKit is python3-dbusmock's: real time
# where it is allowed, a raised nice level where only that is, and where nothing is, the bell
# still plays and the refusal is said once.
# Usage: sound_priority_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$(dirname "$0")/../support/harness.sh"
[ "$(id -u)" -eq 0 ] || skip "RealtimeKit needs root here to change other threads' scheduling"

export HOME=$work XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER DBUS_SESSION_BUS_ADDRESS
"$src/tests/support/make-tones.sh" "$work/tones" >/dev/null
start_pulse
start_realtime_kit "['org.freedesktop.RealtimeKit1.acquire-real-time']"

# Plays a three-second tone and prints the player thread's scheduling class and nice level while
# it plays; what tolvanectl said goes to $work/said.
player_scheduling() {
  "$bin/tolvanectl" play "$work/tones/long440.mp3" 2>"$work/said" &
  local player=$!
  sleep 1
  # The first thread of that name: the sound server's client library starts its own threads
  # from it, which inherit the name.
  local threads
  threads=$(ps -L -o tid=,cls=,ni=,comm= -p "$player" | sort -n)
  kill -INT "$player"
  wait "$player" || fail "tolvanectl play failed: $(cat "$work/said")"
  [ -n "$threads" ] || fail "tolvanectl play ended within a second of its three-second tone: $(cat "$work/said")"
  awk '$4 == "player" { print $2, $3; exit }' <<<"$threads"
}

got=$(player_scheduling)
[ "$got" = "RR -" ] || fail "with real time allowed the player thread is '$got', not round-robin"
[ ! -s "$work/said" ] || fail "a raised thread was talked about: $(cat "$work/said")"
grep -q "RT at priority 1" "$work/rtkit.log" || fail "RealtimeKit did not log the grant"

allow_realtime "['org.freedesktop.RealtimeKit1.acquire-high-priority']"
got=$(player_scheduling)
[ "$got" = "TS -11" ] || fail "with only a high priority allowed the player thread is '$got'"

allow_realtime "[]"
got=$(player_scheduling)
[ "$got" = "TS $(ps -o ni= -p $$ | tr -d ' ')" ] || fail "with nothing allowed the player thread is '$got'"
[ "$(grep -c "the sound thread has ordinary priority: RealtimeKit refused" "$work/said")" = 1 ] ||
  fail "the refusal was not said once: $(cat "$work/said")"
echo "sound priority test passed"
