#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Keeps the tree as clean as it is: every C++ source formatted as .clang-format says, every
# include along an edge docs/architecture.md allows (tests/layering), and every source file
# carrying the licence line. Each finding names its file and line; exits non-zero on any.
# Runs in seconds, so the test command runs it before anything is built.
# Usage: scripts/check-tree.sh [ROOT (the clone this script is in)]
set -euo pipefail
root=$(realpath "${1:-$(dirname "$0")/..}")
cd "$root"
licence_line='SPDX-License-Identifier: GPL-3.0-or-later'

# The tree's files: what git tracks, or in a folder without git (an unpacked source package) every
# file outside the build folders.
tree_files() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files --cached --others --exclude-standard
  else
    find . -path './build*' -prune -o -path ./.git -prune -o -type f -print | sed 's|^\./||'
  fi
}
tree_files | while read -r file; do [ -e "$file" ] && echo "$file"; done | sort >"${TMPDIR:-/tmp}/tolvane-tree.$$"
trap 'rm -f "${TMPDIR:-/tmp}/tolvane-tree.$$"' EXIT
files() { grep -E "$1" "${TMPDIR:-/tmp}/tolvane-tree.$$" || true; }

failed=0
cxx=$(files '\.(cpp|h|c)$')
# clang-format names each file, line and column it would change ("FILE:L:C: error: ...").
if ! echo "$cxx" | xargs clang-format --dry-run --Werror; then
  echo "FAIL: C++ sources not formatted as .clang-format says (clang-format -i FILE mends them)" >&2
  failed=1
fi

/usr/bin/python3 tests/layering/include_edges_test.py "$root" || failed=1

# The licence line within a file's first three lines (after a #! line and its like).
missing=0
while read -r file; do
  [ -n "$file" ] || continue
  head -3 "$file" | grep -q "$licence_line" && continue
  echo "$file:1: no \"$licence_line\" line" >&2
  missing=$((missing + 1))
done < <(files '\.(cpp|h|c|cpp\.in|sh|py|cmake|nsi)$|(^|/)CMakeLists\.txt$|^\.ci/run$|^bench/run$')
if [ "$missing" -ne 0 ]; then
  echo "FAIL: $missing source files without the licence line" >&2
  failed=1
fi

[ "$failed" -eq 0 ] || exit 1
echo "tree: $(echo "$cxx" | wc -l) C++ sources formatted, includes layered, licence lines present"
