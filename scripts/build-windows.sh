#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the desktop program for Windows on Debian 12 (32-bit by default, which most bell PCs
# run), tries it under Wine and packs it for users: the zip and the NSIS installer, which is
# installed silently under Wine, started and uninstalled. The test command does the same for the
# build its Wine runs; this is for a release of either.
# Changes the system: installs the Debian packages it needs; run it as root on a build machine.
# Usage: scripts/build-windows.sh [WORK_FOLDER (build-windows)] [ARCH (i686 or x86_64)]
# The program lands in WORK_FOLDER/bin with every DLL it needs beside it, the packages in
# WORK_FOLDER/dist.
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(realpath -m "${1:-build-windows}")
arch=${2:-i686}

scripts/deps.sh test
bin=$(scripts/windows-program.sh "$arch" "$work" | tail -1)
tests/win32/wine_program_test.sh "$bin"
scripts/package-windows.sh "$bin" "$work/dist"
tests/win32/wine_installer_test.sh "$bin" "$PWD" tolvane.exe
