#!/usr/bin/env bash
# Runs portal_hotkey_tests as on a Wayland session, against the GlobalShortcuts portal's mock on a
# private session bus.
# Usage: portal_hotkey_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"
dbus-daemon --session --nofork --print-address=3 --address="unix:path=$work/session-bus" 3>"$work/session-address" 2>/dev/null &
pids+=($!)
wait_for 5 "the private session bus" test -s "$work/session-address"
export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/session-address")
/usr/bin/python3 -m dbusmock --template "$src/tests/support/global_shortcuts_portal.py" >"$work/portal.log" 2>&1 &
pids+=($!)
wait_for 10 "the portal's mock" gdbus introspect --session -d org.freedesktop.portal.Desktop -o /org/freedesktop/portal/desktop
XDG_SESSION_TYPE=wayland QT_QPA_PLATFORM=offscreen "$bin/portal_hotkey_tests" || { cat "$work/portal.log" >&2; exit 1; }
