#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Debian's own checks of the package and its desktop files: desktop-file-validate, appstreamcli
# and lintian, failing on any error or warning (the README explains what they only hint at).
# Usage: lint_test.sh PACKAGE.deb
set -euo pipefail
deb=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dpkg-deb -x "$deb" "$work"

desktop-file-validate "$work/usr/share/applications/Tolvane.desktop"
appstreamcli validate --no-net --explain "$work"/usr/share/metainfo/*.metainfo.xml
status=0
found=$(lintian --fail-on error,warning --display-info "$deb" 2>&1) || status=$?
# As root lintian says it should not be; it checks the same.
grep -v 'running with root privileges' <<<"$found" || true
[ "$status" -eq 0 ] || { echo "FAIL: lintian found errors or warnings" >&2; exit 1; }

# The copyright file names every library the programs contain or link, with its licence, as the
# program itself lists them (关于, tolvanectl licences).
copyright=$work/usr/share/doc/tolvane/copyright
"$work/usr/bin/tolvanectl" licences >"$work/licences"
head -1 "$work/licences" | grep -q ": GPL-3.0-or-later$" || { echo "FAIL: $(head -1 "$work/licences")" >&2; exit 1; }
tail -n +2 "$work/licences" | while IFS= read -r line; do
  name=${line%%: *} licence=${line#*: }
  licence=${licence%% (*}
  tr -s ' \n' ' ' <"$copyright" | grep -qF "$name ($licence)" ||
    { echo "FAIL: the copyright file does not name $name ($licence)" >&2; exit 1; }
done
echo "PASS: desktop-file-validate, appstreamcli and lintian accept the package, and its copyright names every library"
