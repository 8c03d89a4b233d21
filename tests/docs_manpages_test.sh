#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The manual pages name every command and option the programs take: each tolvanectl command of
# its --help has an entry in tolvanectl(1), and each option of tolvane in tolvane(1).
# Usage: docs_manpages_test.sh SOURCE_DIR BIN_DIR
set -euo pipefail
src=$1
bin=$2
missing=()
for command in $("$bin/tolvanectl" --help | grep -o '^ *\(usage: \)\?tolvanectl [a-z-]*' | awk '{print $NF}' | sort -u); do
  page_name=${command//-/\\\\-}
  grep -q "^\.B[IR]* \"\?${page_name}" "$src/dist/tolvanectl.1" || missing+=("tolvanectl(1): $command")
done
for option in --version --toggle; do
  grep -q "^\.B ${option//-/\\\\-}$" "$src/dist/tolvane.1" || missing+=("tolvane(1): $option")
done
if [ ${#missing[@]} -gt 0 ]; then
  printf 'FAIL: not in the manual page: %s\n' "${missing[@]}" >&2
  exit 1
fi
echo "PASS: the manual pages name every command and option"
