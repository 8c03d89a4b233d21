#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds libmp3lame (the encoding library alone: speech made ahead is encoded with it) for
# Windows from Debian's own source package with Debian's patches, into PREFIX (static, with the
# pkg-config file Debian's packaging adds). Does nothing when PREFIX already has it.
# Usage: scripts/lame-windows.sh PREFIX [SOURCES_FOLDER]   (TOLVANE_WINDOWS_HOST=x86_64-w64-mingw32
# for 64-bit Windows)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(realpath -m "$1")
sources=$(realpath -m "${2:-$prefix/../sources}")
host=${TOLVANE_WINDOWS_HOST:-i686-w64-mingw32}
[ -f "$prefix/lib/libmp3lame.a" ] && exit 0
mkdir -p "$sources"
"$here/debian-source.sh" lame lame-3.100 "$sources"
folder=$sources/lame-3.100
"$here/debian-patches.sh" lame "$folder" "$sources"
rm -rf "$sources/build-lame-$host" && mkdir "$sources/build-lame-$host"
# The library alone: no command-line encoder, no decoder (libmpg123 decodes), no assembly.
(cd "$sources/build-lame-$host" &&
  PKG_CONFIG_LIBDIR=/nonexistent "$folder/configure" --host="$host" --prefix="$prefix" \
    --disable-shared --enable-static --disable-frontend --disable-decoder --disable-gtktest \
    --disable-dependency-tracking >/dev/null &&
  make -j"$(nproc)" -C libmp3lame >/dev/null &&
  make -C libmp3lame install >/dev/null && make -C include install >/dev/null)
mkdir -p "$prefix/lib/pkgconfig"
printf 'prefix=%s\nName: lame\nDescription: MP3 encoder library\nVersion: 3.100\nLibs: -L${prefix}/lib -lmp3lame\nCflags: -I${prefix}/include/lame\n' \
  "$prefix" >"$prefix/lib/pkgconfig/lame.pc"
