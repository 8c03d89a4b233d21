#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs output_window_tests on this run's own PulseAudio server (a null sink "bells", the default)
# and a private system bus with python3-dbusmock's timedated, its time synchronisation off.
# Usage: output_window_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"
unset DISPLAY WAYLAND_DISPLAY DBUS_SYSTEM_BUS_ADDRESS
start_sound
start_system_bus
start_dbus_mock timedated org.freedesktop.timedate1 /org/freedesktop/timedate1 '{"NTP": false}'
"$src/tests/support/make-tones.sh" "$work/tones" >/dev/null
TONES=$work/tones QT_QPA_PLATFORM=offscreen "$bin/output_window_tests"
