#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The PE loader on a real Win32 implementation: runs the mingw-built wine_loader_test.exe under
# Wine in a fresh prefix, with one wineserver kept alive for the run.
# Usage: wine_test.sh EXE DLL_FOLDER
set -euo pipefail
exe=$1
dlls=$2
source "$(dirname "$0")/../support/harness.sh"
# The loader is for 32-bit skin DLLs, so its program is 32-bit: only Wine's 32-bit loader runs it.
source "$(dirname "$0")/../../scripts/wine-arch.sh"
why=$(kernel_runs_32bit) || skip "$why"
[ "$(wine_arch)" = i686 ] || skip "wine32 is not installed here, so no 32-bit program can run"

unset DISPLAY
start_wine
wine "$exe" "$(winepath -w "$dlls")"
