#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds libmpg123 (the decoding library alone: no output modules, none of the build
# machine's libraries) for 32-bit Windows from Debian's own source package, into PREFIX (static
# and DLL, with its pkg-config file). Does nothing when PREFIX already has it.
# The source comes from the machine's own archive (scripts/debian-source.sh), which leaves the
# machine's apt configuration as it was.
# Usage: scripts/mpg123-windows.sh PREFIX [SOURCES_FOLDER]   (TOLVANE_WINDOWS_HOST=x86_64-w64-mingw32
# for 64-bit Windows)
set -euo pipefail
prefix=$(realpath -m "$1")
sources=$(realpath -m "${2:-$prefix/../sources}")
host=${TOLVANE_WINDOWS_HOST:-i686-w64-mingw32}  # x86_64-w64-mingw32 for a 64-bit build
[ -f "$prefix/lib/libmpg123.a" ] && exit 0
mkdir -p "$sources"
folder=$sources/mpg123-1.31.2
"$(dirname "$0")/debian-source.sh" mpg123 mpg123-1.31.2 "$sources"
[ -d "$folder" ] || { echo "could not fetch the source of mpg123" >&2; exit 1; }
cd "$folder"
# Built in its source folder: what an earlier build for another target left goes first.
[ ! -f Makefile ] || make distclean >/dev/null 2>&1 || true
PKG_CONFIG_LIBDIR=/nonexistent ./configure --host=$host --prefix="$prefix" --with-audio=dummy \
  --enable-modules=no --enable-static >/dev/null
make -j"$(nproc)" src/libmpg123/libmpg123.la >/dev/null
make install-pkgconfigDATA install-nodist_includeHEADERS install-includeHEADERS >/dev/null
install -D src/libmpg123/.libs/libmpg123.a "$prefix/lib/libmpg123.a"
install -D src/libmpg123/.libs/libmpg123.dll.a "$prefix/lib/libmpg123.dll.a"
install -D src/libmpg123/.libs/libmpg123-0.dll "$prefix/bin/libmpg123-0.dll"
