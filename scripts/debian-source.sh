#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Downloads and unpacks a Debian source package into FOLDER, from the same archive the machine
# installs its packages from, without changing the machine's apt configuration: the deb-src lines
# are derived from its sources (one-line sources.list, *.list or deb822 *.sources files) into a
# folder of the build's own, with its own package lists and cache. Does nothing when FOLDER
# already holds UNPACKED, which may be a pattern ("openssl-3.0.*") where the archive's security
# updates change the version.
# Usage: scripts/debian-source.sh PACKAGE UNPACKED FOLDER
# TOLVANE_APT_ETC names another apt configuration folder to derive from (tests use it).
set -euo pipefail
package=$1
unpacked=$2
folder=$(realpath -m "$3")
etc=${TOLVANE_APT_ETC:-/etc/apt}
unpacked_there() { compgen -G "$folder/$unpacked" >/dev/null; }
unpacked_there && exit 0

apt=$folder/apt
mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial"
: >"$apt/sources.list"
shopt -s nullglob
for file in "$etc/sources.list" "$etc"/sources.list.d/*.list; do
  [ -f "$file" ] || continue
  sed -n 's/^[[:space:]]*deb\([[:space:]]\)/deb-src\1/p' "$file" >>"$apt/sources.list"
done
rm -f "$apt"/sources.list.d/*.sources
for file in "$etc"/sources.list.d/*.sources; do
  sed 's/^Types:.*/Types: deb-src/' "$file" >"$apt/sources.list.d/$(basename "$file")"
done
if [ ! -s "$apt/sources.list" ] && [ -z "$(ls "$apt"/sources.list.d)" ]; then
  echo "debian-source: no package sources in $etc to derive source packages from" >&2
  exit 1
fi

options=(-q -o "Dir::Etc::SourceList=$apt/sources.list" -o "Dir::Etc::SourceParts=$apt/sources.list.d"
  -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache")
apt-get "${options[@]}" update >&2
# Some packages list an upstream signature the archive does not hold; apt then fails after
# fetching the rest, so what counts is the source itself.
(cd "$folder" && { apt-get "${options[@]}" source --download-only "$package" >&2 || true; })
original=$(cd "$folder" && ls "$package"_*.orig.tar.* 2>/dev/null | grep -v '\.asc$' | head -1 || true)
[ -n "$original" ] || { echo "debian-source: could not fetch the source of $package" >&2; exit 1; }
tar -C "$folder" -xf "$folder/$original"
unpacked_there || { echo "debian-source: $original did not unpack to $unpacked" >&2; exit 1; }
