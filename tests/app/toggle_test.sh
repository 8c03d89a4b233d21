#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# `tolvane --toggle` under Xvfb: hides the running program's window, then shows it again, from
# outside (a desktop shortcut's command); with no program running from the folder it says so and
# exits 1.
# Usage: toggle_test.sh BIN_DIR
set -euo pipefail
bin=$1
source "$(dirname "$0")/../support/harness.sh"

start_xvfb
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$work/program"
cp "$bin/tolvane" "$work/program/"
(cd "$work/program" && exec ./tolvane) 2>"$work/stderr" &
program=$!
pids+=($program)
wait_for 20 "the main window" main_window "$program"

"$work/program/tolvane" --toggle || fail "--toggle did not reach the running program"
wait_for 3 "--toggle to hide the window" no_main_window "$program"
"$work/program/tolvane" --toggle
wait_for 3 "--toggle to show the window again" main_window "$program"
echo "ok: --toggle hides and shows the running program's window"

kill -TERM "$program"
wait "$program" || true
status=0
"$work/program/tolvane" --toggle 2>"$work/toggle.err" || status=$?
[ "$status" = 1 ] || fail "--toggle without a running program ended with $status"
grep -q "no running program" "$work/toggle.err" || fail "--toggle did not say why: $(cat "$work/toggle.err")"
echo "PASS: --toggle with no running program says so and exits 1"
