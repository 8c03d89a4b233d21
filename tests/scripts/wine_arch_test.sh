#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The choice of the Windows build Wine runs, and of Wine's loader, on kernels with and without
# 32-bit support (a fake kernel answer: a probe that starts or is refused as the kernel would
# refuse it) and with and without wine32: the 32-bit build only where a 32-bit program starts and
# wine32 is there, wine32 installed only where it could run, and wine, wineboot and winepath all
# the chosen loader. Then the built-in probe itself, and the PE loader's Wine test skipping with
# its reason where 32-bit programs cannot start.
# Usage: wine_arch_test.sh SOURCE_ROOT
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$root/scripts/wine-arch.sh"

# Kernels: one that starts the probe, one that answers as a kernel without IA32 emulation.
printf '#!/bin/sh\nexit 0\n' >"$work/runs"
printf '#!/bin/sh\necho "cannot execute binary file: Exec format error" >&2\nexit 126\n' >"$work/refuses"
chmod +x "$work/runs" "$work/refuses"
# Wine's loaders, each saying which it is, with what, and which loader its children get.
wine_with() {  # FOLDER LOADER...
  local folder=$1 loader
  shift
  mkdir -p "$folder"
  for loader in "$@"; do
    printf '#!/bin/sh\necho "%s $* WINELOADER=$WINELOADER"\n' "$loader" >"$folder/$loader"
    chmod +x "$folder/$loader"
  done
}
wine_with "$work/both" wine wine64
wine_with "$work/64-only" wine64

expect() {  # KERNEL WINE_DIR ARCH PACKAGES
  local arch packages
  arch=$(TOLVANE_32BIT_PROBE=$work/$1 TOLVANE_WINE_DIR=$work/$2 wine_arch)
  packages=$(TOLVANE_32BIT_PROBE=$work/$1 TOLVANE_WINE_DIR=$work/$2 wine_packages)
  [ "$arch" = "$3" ] || fail "kernel that $1, Wine in $2: the $arch build chosen, not $3"
  [ "$packages" = "$4" ] || fail "kernel that $1, Wine in $2: packages \"$packages\", not \"$4\""
}
expect refuses both x86_64 wine
expect refuses 64-only x86_64 wine
expect runs both i686 "wine wine32"
expect runs 64-only x86_64 "wine wine32"
echo "ok: the 32-bit build only where a 32-bit program starts and wine32 is there"

# Every Wine command, and the children Wine starts, go through the chosen loader, whatever else
# (Debian's scripts, which pick wine32 whenever it is installed) is on PATH.
mkdir "$work/debian"
for tool in wine wineboot winepath; do printf '#!/bin/sh\necho debian\n' >"$work/debian/$tool"; done
chmod +x "$work/debian"/*
for arch in x86_64 i686; do
  loader=$work/both/wine64
  [ "$arch" = i686 ] && loader=$work/both/wine
  said=$(PATH=$work/debian:$PATH TOLVANE_WINE_DIR=$work/both
    use_wine "$arch" "$work/bin-$arch"
    wine prog.exe a; wineboot -i; winepath -w /x)
  expected="$(basename "$loader") prog.exe a WINELOADER=$loader
$(basename "$loader") wineboot.exe -i WINELOADER=$loader
$(basename "$loader") winepath.exe -w /x WINELOADER=$loader"
  [ "$said" = "$expected" ] || fail "the $arch build's Wine commands ran as: $said"
done
echo "ok: wine, wineboot and winepath run the chosen loader, and Wine's children too"

# The built-in probe is a 32-bit x86 program, and the kernel's answer comes with a reason.
write_32bit_probe "$work/probe"
readelf -h "$work/probe" | grep -q "Class:.*ELF32" || fail "the probe is not a 32-bit ELF program"
readelf -h "$work/probe" | grep -q "Machine:.*80386" || fail "the probe is not an x86 program"
if why=$(kernel_runs_32bit); then
  echo "ok: this kernel runs 32-bit programs"
else
  [ "$why" = "this kernel runs no 32-bit programs" ] || fail "no 32-bit programs, and the reason: $why"
  echo "ok: $why"
fi

# The PE loader's Wine test skips, saying why, where no 32-bit program can start.
status=0
out=$(TOLVANE_32BIT_PROBE=$work/refuses "$root/tests/skin/wine_test.sh" /nonexistent.exe /nonexistent 2>&1) ||
  status=$?
[ "$status" = 77 ] || fail "the PE loader's test ended $status on a kernel without 32-bit: $out"
[[ $out == *"SKIPPED: this kernel runs no 32-bit programs"* ]] || fail "its skip said: $out"
echo "ok: the PE loader's Wine test skips with its reason"
echo "wine chooser test passed"
