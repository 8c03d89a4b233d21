#!/usr/bin/env bash
# Runs output_window_tests on this run's own PulseAudio server (a null sink "bells", the default)
# and a private system bus with python3-dbusmock's timedated, its time synchronisation off.
# Usage: output_window_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"
unset DISPLAY WAYLAND_DISPLAY DBUS_SYSTEM_BUS_ADDRESS
start_sound
dbus-daemon --session --nofork --print-address=3 --address="unix:path=$work/bus" 3>"$work/address" 2>/dev/null &
pids+=($!)
wait_for 5 "the private bus's address" test -s "$work/address"
export DBUS_SYSTEM_BUS_ADDRESS=$(head -1 "$work/address")
/usr/bin/python3 -m dbusmock --system --template timedated --parameters '{"NTP": false}' >"$work/mock.log" 2>&1 &
pids+=($!)
wait_for 10 "timedated's mock" gdbus introspect --system -d org.freedesktop.timedate1 -o /org/freedesktop/timedate1
"$src/tests/support/make-tones.sh" "$work/tones" >/dev/null
TONES=$work/tones QT_QPA_PLATFORM=offscreen "$bin/output_window_tests"
