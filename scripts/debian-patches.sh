#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Applies, once, the Debian patches (security fixes among them) of the source package PACKAGE
# whose .debian.tar.* lies in SOURCES to its unpacked FOLDER. Says so when there are none.
# Usage: scripts/debian-patches.sh PACKAGE FOLDER SOURCES
set -euo pipefail
package=$1
folder=$2
sources=$3
[ -f "$folder/.debian-patches-applied" ] && exit 0
debian=$(ls "$sources/${package}"_*.debian.tar.* 2>/dev/null | head -1 || true)
if [ -n "$debian" ]; then
  mkdir -p "$folder/.debian"
  tar -C "$folder/.debian" -xf "$debian"
  if [ -f "$folder/.debian/debian/patches/series" ]; then
    while read -r patch; do
      case $patch in '' | '#'*) continue ;; esac
      patch -d "$folder" -p1 -s <"$folder/.debian/debian/patches/${patch%% *}"
    done <"$folder/.debian/debian/patches/series"
  fi
else
  echo "debian-patches: no Debian patches found for $package; building the upstream source" >&2
fi
touch "$folder/.debian-patches-applied"
