#!/usr/bin/env bash
# Builds Tolvane and runs it on its program folder (build/bin).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTOLVANE_BUILD_TESTS=OFF
cmake --build build
# The desktop window is not built yet: prepare the program folder's tables as it will at start.
build/bin/tolvanectl init build/bin
