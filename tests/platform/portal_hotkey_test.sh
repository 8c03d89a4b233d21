#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs portal_hotkey_tests as on a Wayland session, against the GlobalShortcuts portal's mock on a
# private session bus.
# Usage: portal_hotkey_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"
start_session_bus
start_portal_mock "$src"
XDG_SESSION_TYPE=wayland QT_QPA_PLATFORM=offscreen "$bin/portal_hotkey_tests" || { cat "$work/portal.log" >&2; exit 1; }
