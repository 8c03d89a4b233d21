#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Packs a Windows program folder (every file the program needs beside it) for users:
# OUT/tolvane-VERSION-win32.zip (the folder and a README) and OUT/tolvane-VERSION-setup.exe (an
# NSIS installer: Program Files, Start menu, uninstaller). Prints both paths. A 64-bit program
# gets a 64-bit installer (which a Windows without 32-bit support still runs) and a -win64 zip.
# Usage: scripts/package-windows.sh PROGRAM_FOLDER OUT [MAIN_EXE (tolvane.exe)]
set -euo pipefail
cd "$(dirname "$0")/.."
folder=$(realpath "$1")
out=$(realpath -m "$2")
main=${3:-tolvane.exe}
version=$(sed -n 's/^project(Tolvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
mkdir -p "$out"

# The machine field of the main program's PE header: 8664 for x86-64, 014c for x86.
pe_machine() {
  local header
  header=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  od -An -tx2 -j$((header + 4)) -N2 "$1" | tr -d ' '
}
bits=32 target=(-X"Target x86-unicode")
if [ "$(pe_machine "$folder/$main")" = 8664 ]; then
  bits=64 target=(-X"Target amd64-unicode" -DWIN64)
fi
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# The files as users get them: the program folder, without build leftovers, and the README.
(cd "$folder" && find . -type f ! -name '*.a' ! -name '*.dll.a' ! -name '*.edb' ! -name '*.log') |
  while read -r f; do install -D "$folder/$f" "$stage/Tolvane/$f"; done
sed "s/@VERSION@/$version/" dist/windows/README.txt >"$stage/Tolvane/README.txt"

zip="$out/tolvane-$version-win$bits.zip"
rm -f "$zip"
(cd "$stage" && zip -qr "$zip" Tolvane)

# The uninstaller deletes exactly these files, then the folders they were in when left empty.
list=$stage/uninstall.nsh
(cd "$stage/Tolvane" && find . -type f | sed 's|^\./||; s|/|\\|g' |
  awk '{ printf "  Delete \"$INSTDIR\\%s\"\n", $0 }') >"$list"
(cd "$stage/Tolvane" && find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g' |
  awk '{ printf "  RMDir \"$INSTDIR\\%s\"\n", $0 }') >>"$list"
setup="$out/tolvane-$version-setup.exe"
makensis -V2 -INPUTCHARSET UTF8 "${target[@]}" -DVERSION="$version" -DSOURCE="$stage/Tolvane" -DOUTFILE="$setup" \
  -DUNINSTALL_LIST="$list" -DMAIN_EXE="$main" dist/windows/tolvane.nsi >&2
echo "$zip"
echo "$setup"
