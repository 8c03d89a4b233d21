#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes sure the cache of libraries the Windows programs link is there, and prints its prefix:
# Qt (scripts/qt-windows.sh), libmpg123, libsodium and libical (scripts/libraries-windows.sh),
# libmp3lame (scripts/lame-windows.sh),
# cross-built from Debian's source packages once per machine (about 20 min on two cores; nothing
# after that) into ${TOLVANE_CACHE:-~/.cache/tolvane}/windows-ARCH-KEY, outside any clone. KEY
# changes with the scripts that fill it, so a changed script builds afresh; older caches go.
# Usage: scripts/windows-cache.sh ARCH   (i686 or x86_64)
set -euo pipefail
cd "$(dirname "$0")/.."
arch=$1
cache_base=${TOLVANE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tolvane}
# The licence line changes nothing the cache holds.
key=$(cat scripts/qt-windows.sh scripts/libraries-windows.sh scripts/mpg123-windows.sh \
  scripts/debian-patches.sh "cmake/mingw-$arch.cmake" | grep -vx '# SPDX-License-Identifier: .*' |
  sha256sum | cut -c1-12)
prefix=$cache_base/windows-$arch-$key
mkdir -p "$cache_base"
for old in "$cache_base"/windows-"$arch"-*; do
  [ "$old" = "$prefix" ] || rm -rf "$old"
done
export TOLVANE_WINDOWS_HOST=$arch-w64-mingw32
scripts/libraries-windows.sh "$prefix" "$cache_base/sources" >&2
# Kept out of the key: it adds its library to a cache that lacks it (half a minute) instead of
# building Qt again for it.
scripts/lame-windows.sh "$prefix" "$cache_base/sources" >&2
scripts/qt-windows.sh "$prefix" "$cache_base/sources" >&2
echo "$prefix"
