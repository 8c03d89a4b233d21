#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The tree check on a copy of this tree (as an unpacked source has it, without git): clean as it
# is, then each kind of fault, a mis-formatted line, an include across the layers and a file
# without its licence line, failing the check with its file and line.
# Usage: check_tree_test.sh SOURCE_ROOT
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$root" && git ls-files | while read -r f; do [ -e "$f" ] && echo "$f"; done |
  tar -cf - -T -) | tar -xf - -C "$work"
"$work/scripts/check-tree.sh" >"$work/out" 2>&1 || { cat "$work/out"; fail "the tree as it is fails the check"; }
echo "ok: the tree as it is passes"

expect_finding() {  # WHAT PATTERN
  local status=0
  "$work/scripts/check-tree.sh" >"$work/out" 2>&1 || status=$?
  [ "$status" -ne 0 ] || fail "$1 passed the check"
  grep -q "$2" "$work/out" || { cat "$work/out"; fail "$1 was not named by file and line ($2)"; }
  echo "ok: $1 fails the check: $(grep -m1 "$2" "$work/out")"
}
source_file=base/Clock.h
cp "$work/$source_file" "$work/saved"
lines=$(wc -l <"$work/$source_file")
echo 'inline int   badly_spaced(){return 1;}' >>"$work/$source_file"
expect_finding "a mis-formatted line" "$source_file:$((lines + 1)):[0-9]*: error"
cp "$work/saved" "$work/$source_file"

sed -i '2i #include "app/MainWindow.h"' "$work/$source_file"
expect_finding "an include across the layers" "$source_file:2: base may not include app/MainWindow.h"
cp "$work/saved" "$work/$source_file"

sed -i '2d' "$work/scripts/run.sh"
expect_finding "a script without its licence line" "scripts/run.sh:1: no \"SPDX-License-Identifier"
echo "tree check test passed"
