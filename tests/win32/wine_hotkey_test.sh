#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Win32 hot key under Wine on Xvfb: Shift+T pressed with xdotool while the test's window has
# the focus (Wine delivers hot keys only then) reaches it as WM_HOTKEY.
# Usage: wine_hotkey_test.sh WIN32_BIN_DIR
set -euo pipefail
winbin=$1
source "$(dirname "$0")/../support/harness.sh"

start_xvfb
start_wine

wine "$winbin/win32_hotkey_test.exe" >"$work/out" 2>&1 &
test_pid=$!
for _ in $(seq 200); do grep -q ready "$work/out" && break; sleep 0.1; done
grep -q ready "$work/out" || { cat "$work/out"; fail "the test window did not get ready"; }
window=$(xdotool search --sync --name TolvaneHotKeyTest | head -1)
xdotool windowfocus "$window" 2>/dev/null || true
sleep 0.3
xdotool key shift+t
status=0
wait "$test_pid" || status=$?
cat "$work/out"
[ "$status" = 0 ] || fail "no WM_HOTKEY"
echo "wine hot key test passed"
