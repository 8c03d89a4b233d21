#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The user guide's pictures: the script that takes them still runs, and it gives every picture
# the guides and READMEs show (not that the pixels match: they hold the day's clock).
# Usage: docs_guide_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$1
build=$2
source "$src/tests/support/harness.sh"
"$src/docs/guide/shots.sh" "$build" "$work/images" >"$work/shots.log" 2>&1 ||
  fail "docs/guide/shots.sh failed: $(grep -v '^SpiRegistry\|^Connection\|^Stream' "$work/shots.log" | tail -15)"
missing=()
for page in "$src/README.md" "$src/README.zh-CN.md" "$src/docs/guide/zh-CN.md" "$src/docs/guide/en.md"; do
  while read -r image; do
    name=$(basename "$image")
    [ -f "$work/images/$name" ] || missing+=("$(basename "$page"): $name not taken by shots.sh")
    [ -f "$src/docs/guide/images/$name" ] || missing+=("$(basename "$page"): $name not in docs/guide/images")
  done < <(grep -o '!\[[^]]*\]([^)]*\.png)' "$page" | sed 's/.*(\(.*\))/\1/')
done
[ ${#missing[@]} -eq 0 ] || fail "$(printf '%s\n' "${missing[@]}")"
echo "PASS: every picture the guide shows is taken by shots.sh and committed"
