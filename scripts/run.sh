#!/usr/bin/env bash
# Builds Tolvane and starts it. Its program folder is build/bin: px.edb and db.edb live there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVANE_BUILD_TESTS=OFF \
  -DTOLVANE_WERROR=OFF
cmake --build build
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display to show Tolvane on; start it under Xvfb with: xvfb-run -a build/bin/tolvane"
  exit 1
fi
exec build/bin/tolvane
