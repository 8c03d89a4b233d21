#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds Tolvane and starts it. Its program folder is build/bin: px.edb and db.edb live there.
# Without a display it rings that schedule all the same, with the headless ringer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
# TOLVANE_BUILD_DIR: another build folder (the test of this script uses its own).
build=${TOLVANE_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVANE_BUILD_TESTS=OFF \
  -DTOLVANE_WERROR=OFF
cmake --build "$build"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: ringing the schedule in $build/bin without a window (tolvanectl ring $build/bin; Ctrl+C ends it)"
  exec "$build/bin/tolvanectl" ring "$build/bin"
fi
exec "$build/bin/tolvane"
