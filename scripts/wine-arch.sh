#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Which Windows build Wine can run on this machine, and the Wine loader that runs it. One answer
# for the package install (scripts/deps.sh), the builds (scripts/test.sh), the Wine tests and the
# bench (tests/support/harness.sh).
#
# Whether wine32 is installed says nothing about whether 32-bit programs start: a kernel built
# without IA32 emulation refuses every one ("Exec format error"), wine32's loader included, and
# Debian's wine, wineboot and winepath then still pick that loader. So the kernel is asked, by
# starting a 32-bit program of a few bytes, and Wine's 64-bit loader is named outright where it
# says no.
#
#   scripts/wine-arch.sh             prints i686 or x86_64: the build the Wine tests run
#   scripts/wine-arch.sh packages    prints the Wine packages to install (wine, and wine32 where it
#                                    can run)
#   scripts/wine-arch.sh kernel      exits 0 when this kernel runs 32-bit programs, else prints
#                                    why not and exits 1
# Sourced, it defines the same as functions, and use_wine ARCH FOLDER (see below).
#
# TOLVANE_32BIT_PROBE names a program to start instead of the built-in one (the chooser's own test
# gives a fake kernel answer that way); TOLVANE_WINE_DIR the folder of Wine's loaders
# (/usr/lib/wine).

wine_dir() { echo "${TOLVANE_WINE_DIR:-/usr/lib/wine}"; }

# A static i386 ELF program that only calls exit(0): a kernel with 32-bit support runs it, one
# without refuses to load it.
write_32bit_probe() {
  printf '%b' '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
    '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
    '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
    '\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08' \
    '\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00' \
    '\x00\x10\x00\x00\xb8\x01\x00\x00\x00\x31\xdb\xcd\x80' >"$1"
  chmod +x "$1"
}

kernel_runs_32bit() {
  local probe=${TOLVANE_32BIT_PROBE:-} folder="" status=0
  if [ -z "$probe" ]; then
    folder=$(mktemp -d)
    probe=$folder/probe32
    write_32bit_probe "$probe"
  fi
  "$probe" >/dev/null 2>&1 || status=$?
  [ -z "$folder" ] || rm -rf "$folder"
  [ "$status" -eq 0 ] && return 0
  echo "this kernel runs no 32-bit programs"
  return 1
}

wine_packages() {
  if kernel_runs_32bit >/dev/null; then echo "wine wine32"; else echo "wine"; fi
}

# i686 where a 32-bit program starts and wine32's loader is there (most bell PCs run 32-bit
# Windows, so that build is the one worth testing); else x86_64, also where a mirror could not
# serve wine32 today.
wine_arch() {
  if [ -x "$(wine_dir)/wine" ] && kernel_runs_32bit >/dev/null; then echo i686; else echo x86_64; fi
}

# Puts wine, wineboot and winepath for ARCH's loader first on PATH, as small programs in FOLDER
# (so that whatever a test starts, through a pipe or timeout or a script of its own, uses them),
# and exports WINELOADER, by which Wine starts a Windows program's child processes.
use_wine() {
  local arch=$1 folder=$2 loader tool
  loader=$(wine_dir)/wine64
  [ "$arch" = i686 ] && loader=$(wine_dir)/wine
  mkdir -p "$folder"
  printf '#!/bin/sh\nexec %s "$@"\n' "$loader" >"$folder/wine"
  for tool in wineboot winepath; do
    printf '#!/bin/sh\nexec %s %s.exe "$@"\n' "$loader" "$tool" >"$folder/$tool"
  done
  chmod +x "$folder/wine" "$folder/wineboot" "$folder/winepath"
  export WINELOADER=$loader PATH=$folder:$PATH
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  case ${1:-arch} in
    arch) wine_arch ;;
    packages) wine_packages ;;
    kernel) kernel_runs_32bit >&2 ;;
    *) echo "usage: $0 [arch|packages|kernel]" >&2; exit 2 ;;
  esac
fi
