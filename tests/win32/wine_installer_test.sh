#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows installer under Wine: scripts/package-windows.sh packs the cross-built folder (here
# the Qt-free one, tolvanectl.exe standing in for the program), the installer runs silently (/S),
# the installed program runs from the Start-menu's folder, and the uninstaller removes what was
# installed but keeps a schedule made beside it.
# With MAIN_EXE tolvane.exe (the Windows program) the installed program itself is started from the
# Start menu's target and must show its window.
# Usage: wine_installer_test.sh WIN32_BIN_DIR SOURCE_DIR [MAIN_EXE (tolvanectl.exe)]
set -euo pipefail
winbin=$1 src=$2 main=${3:-tolvanectl.exe}
source "$(dirname "$0")/../support/harness.sh"

mapfile -t made < <("$src/scripts/package-windows.sh" "$winbin" "$work/out" "$main" 2>"$work/pack.log")
zip=${made[0]} setup=${made[1]}
unzip -Z1 "$zip" >"$work/zip.list"
grep -qx 'Tolvane/tolvanectl.exe' "$work/zip.list" || fail "the zip lacks the program"
grep -qx 'Tolvane/README.txt' "$work/zip.list" || fail "the zip lacks the README"

start_xvfb
start_wine
wine "$setup" /S || fail "the silent install failed"
folder=$(find "$WINEPREFIX/drive_c" -maxdepth 2 -type d -name Tolvane -path '*Program Files*' | head -1)
[ -n "$folder" ] && [ -f "$folder/tolvanectl.exe" ] || fail "nothing installed in Program Files"
[ -n "$(find "$WINEPREFIX/drive_c" -name Tolvane.lnk -path '*Start Menu*')" ] || fail "no Start-menu entry"
windows_folder=$(winepath -w "$folder")
version=$(sed -n 's/^project(Tolvane VERSION \([0-9.]*\).*/\1/p' "$src/CMakeLists.txt")
out=$(wine "$windows_folder\\tolvanectl.exe" --version | tr -d '\r')
[ "$out" = "tolvanectl $version" ] || fail "the installed program says: $out"
if [ "$main" = tolvane.exe ]; then
  # The licence texts the school is owed, installed and in the zip: Tolvane's, and one for every
  # library the program says it contains.
  grep -qx 'Tolvane/licenses/Tolvane.txt' "$work/zip.list" || fail "the zip lacks the licence"
  # The bells we ship, which a new 铃声库 is made with, in the zip and installed.
  grep -qx 'Tolvane/media/上课.mp3' "$work/zip.list" || fail "the zip lacks the shipped bells"
  [ -s "$folder/media/上课.mp3" ] || fail "the shipped bells were not installed"
  wine "$windows_folder\\tolvanectl.exe" licences | tr -d '\r' >"$work/licences"
  head -1 "$work/licences" | grep -q ": GPL-3.0-or-later$" || fail "licences: $(head -1 "$work/licences")"
  grep -q "GNU GENERAL PUBLIC LICENSE" "$folder/licenses/Tolvane.txt" || fail "no licence installed"
  while IFS= read -r line; do
    name=${line%%: *}
    [ -s "$folder/licenses/$name.txt" ] || fail "no licence text for $name in the installed program"
    grep -qx "Tolvane/licenses/$name.txt" "$work/zip.list" || fail "the zip lacks $name's licence"
  done < <(tail -n +2 "$work/licences")
  echo "ok: the licence texts of Tolvane and $(($(wc -l <"$work/licences") - 1)) libraries installed"
  wine "$windows_folder\\tolvane.exe" >"$work/program.log" 2>&1 &
  pids+=($!)
  shown=""
  for _ in $(seq 300); do
    for w in $(xdotool search --onlyvisible --class tolvane 2>/dev/null); do
      xdotool getwindowgeometry "$w" 2>/dev/null | grep -q 'Geometry: 663x488' && shown=$w
    done
    [ -n "$shown" ] && break
    sleep 0.1
  done
  [ -n "$shown" ] || { cat "$work/program.log"; fail "the installed program showed no window"; }
  wineserver -k 2>/dev/null || true
  start_wine
fi
# A schedule made by the installed program (its folder may be written under Wine).
wine "$windows_folder\\tolvanectl.exe" init >/dev/null
data=$(find "$WINEPREFIX/drive_c" -name db.edb | head -1)
[ -n "$data" ] || fail "the installed program made no tables"

# The uninstaller copies itself away and returns at once: wait for what it removes.
wine "$windows_folder\\uninstall.exe" /S
for _ in $(seq 300); do [ -f "$folder/uninstall.exe" ] || break; sleep 0.1; done
[ ! -f "$folder/tolvanectl.exe" ] && [ ! -f "$folder/uninstall.exe" ] || fail "the uninstaller left the program"
[ -z "$(find "$WINEPREFIX/drive_c" -name Tolvane.lnk)" ] || fail "the Start-menu entry stayed"
[ -f "$data" ] || fail "the uninstaller removed the schedule $data"
echo "PASS: installed silently, ran, uninstalled; the schedule stayed"
