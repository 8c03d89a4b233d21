#!/usr/bin/env bash
# The PE loader on a real Win32 implementation: runs the mingw-built wine_loader_test.exe under
# Wine in a fresh prefix, with one wineserver kept alive for the run.
# Usage: wine_test.sh EXE DLL_FOLDER
set -euo pipefail
exe=$1
dlls=$2
source "$(dirname "$0")/../support/harness.sh"

unset DISPLAY
start_wine
wine "$exe" "$(winepath -w "$dlls")"
