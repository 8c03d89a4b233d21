#!/usr/bin/env bash
# Packs a Windows program folder (every file the program needs beside it) for users:
# OUT/tolvane-VERSION-win32.zip (the folder and a README) and OUT/tolvane-VERSION-setup.exe (an
# NSIS installer: Program Files, Start menu, uninstaller). Prints both paths.
# Usage: scripts/package-windows.sh PROGRAM_FOLDER OUT [MAIN_EXE (tolvane.exe)]
set -euo pipefail
cd "$(dirname "$0")/.."
folder=$(realpath "$1")
out=$(realpath -m "$2")
main=${3:-tolvane.exe}
version=$(sed -n 's/^project(Tolvane VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
mkdir -p "$out"
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

# The files as users get them: the program folder, without build leftovers, and the README.
(cd "$folder" && find . -type f ! -name '*.a' ! -name '*.dll.a' ! -name '*.edb' ! -name '*.log') |
  while read -r f; do install -D "$folder/$f" "$stage/Tolvane/$f"; done
sed "s/@VERSION@/$version/" dist/windows/README.txt >"$stage/Tolvane/README.txt"

zip="$out/tolvane-$version-win32.zip"
rm -f "$zip"
(cd "$stage" && zip -qr "$zip" Tolvane)

# The uninstaller deletes exactly these files, then the folders they were in when left empty.
list=$stage/uninstall.nsh
(cd "$stage/Tolvane" && find . -type f | sed 's|^\./||; s|/|\\|g' |
  awk '{ printf "  Delete \"$INSTDIR\\%s\"\n", $0 }') >"$list"
(cd "$stage/Tolvane" && find . -mindepth 1 -type d | sort -r | sed 's|^\./||; s|/|\\|g' |
  awk '{ printf "  RMDir \"$INSTDIR\\%s\"\n", $0 }') >>"$list"
setup="$out/tolvane-$version-setup.exe"
makensis -V2 -DVERSION="$version" -DSOURCE="$stage/Tolvane" -DOUTFILE="$setup" \
  -DUNINSTALL_LIST="$list" -DMAIN_EXE="$main" dist/windows/tolvane.nsi >&2
echo "$zip"
echo "$setup"
