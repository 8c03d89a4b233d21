#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Empties the CMake build FOLDER when it was configured against another Windows library cache
# than PREFIX (a changed build script makes a new cache and removes the old one, whose paths
# the folder's CMake cache would still name), and marks it as PREFIX's.
# Usage: scripts/build-folder-for.sh FOLDER PREFIX
set -euo pipefail
folder=$1 prefix=$2
marker=$folder/.windows-cache
[ -f "$marker" ] && [ "$(cat "$marker")" != "$prefix" ] && rm -rf "$folder"
[ -d "$folder" ] && [ ! -f "$marker" ] && rm -rf "$folder"
mkdir -p "$folder"
echo "$prefix" >"$marker"
