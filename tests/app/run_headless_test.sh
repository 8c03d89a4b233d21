#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The README's first command on a machine without a display: scripts/run.sh builds (afresh, into
# BUILD_DIR), says in one line that it rings without a window, and is the headless ringer: its
# tables appear in the program folder, and SIGTERM ends it with 0. BUILD_DIR lies in the test
# command's build tree, so the compiler cache it runs with finds the objects of an earlier run.
# Usage: run_headless_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$(realpath -m "$2")
source "$src/tests/support/harness.sh"

unset DISPLAY WAYLAND_DISPLAY
rm -rf "$build"
export TOLVANE_BUILD_DIR=$build XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$src/scripts/run.sh" >"$work/stdout" 2>"$work/stderr" &
run=$!
pids+=($run)
# The whole build comes first: on two busy cores, with the rest of the suite beside it, that takes
# many minutes.
deadline=$((SECONDS + 1000))
while [ "$SECONDS" -lt "$deadline" ]; do grep -q '无窗口打铃启动' "$work/stdout" 2>/dev/null && break; sleep 0.2; done
grep -q '无窗口打铃启动' "$work/stdout" || fail "run.sh did not reach the headless ringer: $(tail -5 "$work/stderr")"
grep -q "^No display: ringing the schedule in $build/bin without a window" "$work/stdout" ||
  fail "run.sh did not say it rings without a window: $(head -3 "$work/stdout")"
# The start line is written before the tables are opened (and made when missing): give them a moment.
for _ in $(seq 100); do [ -f "$build/bin/db.edb" ] && break; sleep 0.1; done
[ -f "$build/bin/db.edb" ] || fail "no schedule in the program folder"
kill -TERM "$run"
status=0
wait "$run" || status=$?
[ "$status" = 0 ] || fail "SIGTERM ended it with $status"
echo "run.sh without a display test passed"
