#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Windows builds fetch Debian source packages. A machine whose apt sources are the one-line
# /etc/apt/sources.list (a debootstrap root, Debian 12's installer) must fetch them as well as one
# with deb822 files, and the fetch must leave the machine's apt configuration as it was.
# Usage: debian_source_test.sh SOURCE_ROOT
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The machine's own archive, written the one-line way, is all the configuration there is.
etc=$work/etc-apt
mkdir -p "$etc/sources.list.d"
shopt -s nullglob
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [ -f "$file" ] && grep -E '^[[:space:]]*deb[[:space:]]' "$file" >>"$etc/sources.list" || true
done
for file in /etc/apt/sources.list.d/*.sources; do
  # Each deb822 stanza as one line: "deb [signed-by=KEYRING] URI SUITE COMPONENTS" per suite.
  awk '
    function flush() {
      if (types ~ /(^| )deb( |$)/ && uris != "")
        for (s = 1; s <= split(suites, list, " "); s++)
          print "deb" (key != "" ? " [signed-by=" key "]" : "") " " uris " " list[s] " " comps
      types = uris = suites = comps = key = ""
    }
    /^$/ { flush(); next }
    /^Types:/ { sub(/^Types:[ ]*/, ""); types = $0 }
    /^URIs:/ { sub(/^URIs:[ ]*/, ""); uris = $0 }
    /^Suites:/ { sub(/^Suites:[ ]*/, ""); suites = $0 }
    /^Components:/ { sub(/^Components:[ ]*/, ""); comps = $0 }
    /^Signed-By:/ { sub(/^Signed-By:[ ]*/, ""); key = $0 }
    END { flush() }' "$file" >>"$etc/sources.list"
done
grep -q '^deb ' "$etc/sources.list" || { echo "FAIL: this machine names no package sources" >&2; exit 1; }

before=$(find /etc/apt /var/lib/apt/lists -maxdepth 2 -printf '%p %s %T@\n' | sort | sha256sum)
TOLVANE_APT_ETC=$etc "$root/scripts/debian-source.sh" hello hello-2.10 "$work/sources"
after=$(find /etc/apt /var/lib/apt/lists -maxdepth 2 -printf '%p %s %T@\n' | sort | sha256sum)

[ -f "$work/sources/hello-2.10/configure" ] || { echo "FAIL: hello's source was not unpacked" >&2; exit 1; }
[ "$before" = "$after" ] || { echo "FAIL: the fetch changed /etc/apt or the machine's package lists" >&2; exit 1; }
# A second call finds the source and asks nobody.
TOLVANE_APT_ETC=/nonexistent "$root/scripts/debian-source.sh" hello hello-2.10 "$work/sources"
# Without any sources there is nothing to derive from, and it says so.
if out=$(TOLVANE_APT_ETC=$work/none "$root/scripts/debian-source.sh" hello hello-2.10 "$work/other" 2>&1); then
  echo "FAIL: a fetch without sources succeeded" >&2; exit 1
fi
grep -q "no package sources" <<<"$out" || { echo "FAIL: unclear error: $out" >&2; exit 1; }
echo "PASS: a source package fetched from a sources.list-only configuration, apt's own left alone"
