#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Every text of the sources is in the translation files and translated: lupdate over the tree
# into a copy of each .ts finds nothing new, and lrelease finds nothing unfinished.
# Usage: translations_test.sh SOURCE_DIR LUPDATE LRELEASE [lupdate options...]
set -euo pipefail
src=$1 lupdate=$2 lrelease=$3
shift 3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$src"
status=0
for ts in translations/*.ts; do
  cp "$ts" "$work/"
  copy="$work/$(basename "$ts")"
  found=$("$lupdate" -I . "$@" base platform storage settings schedule speech bells ringer language ui app cli web -ts "$copy" 2>&1)
  if ! grep -q '(0 new and' <<<"$found"; then
    echo "FAIL: $ts misses texts of the sources (run the update_translations target):"
    grep -i 'found' <<<"$found"
    diff <(grep -o '<source>.*</source>' "$ts") <(grep -o '<source>.*</source>' "$copy") | grep '^>' || true
    status=1
  fi
  released=$("$lrelease" "$copy" -qm "$work/out.qm" 2>&1)
  if ! grep -q ' 0 unfinished' <<<"$released"; then
    echo "FAIL: $ts has unfinished translations: $released"
    status=1
  fi
  echo "$ts: $(grep -o 'Generated.*' <<<"$released")"
done
exit $status
