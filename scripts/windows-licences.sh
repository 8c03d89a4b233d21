#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence texts a Windows program folder owes its users into BIN/licenses: Tolvane.txt,
# and NAME.txt for every library the program contains, NAME as the program lists it (关于,
# tolvanectl licences). The texts are the libraries' own, from the Debian sources the Windows
# libraries were built from (SOURCES, filled by scripts/windows-cache.sh), and for what is
# compiled in from this machine's Debian packages (headers, the compiler's runtime) those
# packages' copyright files.
# Usage: scripts/windows-licences.sh BIN SOURCES
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "$1")/licenses
sources=$(realpath "$2")
rm -rf "$out"
mkdir -p "$out"

# The one folder SOURCES has for PATTERN (the archive's updates change versions).
source_folder() {
  local found
  found=$(compgen -G "$sources/$1" | sort -V | tail -1)
  [ -n "$found" ] || { echo "windows-licences: no $1 in $sources" >&2; exit 1; }
  echo "$found"
}
# NAME.txt from FILES, one after the other with their names between.
gather() {
  local name=$1 file
  shift
  for file in "$@"; do
    [ -s "$file" ] || { echo "windows-licences: $name: $file is missing" >&2; exit 1; }
    printf '==> %s <==\n\n' "$(basename "$file")"
    cat "$file"
    printf '\n'
  done >"$out/$name.txt"
}
# A Debian copyright file's stand-alone paragraph for LICENCE (the full text its Files point to).
debian_licence_paragraph() {
  awk -v want="License: $2" '
    /^$/ { if (keep) exit; files = 0; next }
    /^Files:/ { files = 1 }
    $0 == want && !files { keep = 1 }
    keep { print }' "$1"
}

cp LICENSE "$out/Tolvane.txt"

qt=$(source_folder 'qtbase-everywhere-src-*')
# Qt under the LGPL (which builds on the GPL's text), then the notices of the third-party code in
# its source, each from its qt_attribution.json: some of it this build leaves out, none of it is
# left unsaid.
/usr/bin/python3 - "$qt" >"$out/qt-parts.txt" <<'EOF'
import json, os, sys
root = sys.argv[1]
for folder, _, files in sorted(os.walk(os.path.join(root, "src"))):
    if "qt_attribution.json" not in files:
        continue
    with open(os.path.join(folder, "qt_attribution.json"), encoding="utf-8") as f:
        entries = json.loads(f.read(), strict=False)  # some hold raw line breaks
    for entry in entries if isinstance(entries, list) else [entries]:
        print(f"==> {entry.get('Name', '?')} ({entry.get('License', '?')}) <==\n")
        if entry.get("Copyright"):
            print(entry["Copyright"].strip() + "\n")
        named = entry.get("LicenseFiles") or str(entry.get("LicenseFile", "")).split()
        for name in named:
            path = os.path.join(folder, name)
            if os.path.isfile(path):
                print(open(path, encoding="utf-8", errors="replace").read())
EOF
gather Qt "$qt/LICENSES/LGPL-3.0-only.txt" "$qt/LICENSES/GPL-3.0-only.txt" "$out/qt-parts.txt"
rm "$out/qt-parts.txt"

gather libmpg123 "$(source_folder 'mpg123-*/COPYING')"
gather LAME "$(source_folder 'lame-*/COPYING')"
gather libsodium "$(source_folder 'libsodium-*/LICENSE')"
ical=$(source_folder 'libical-*')
gather libical "$ical/LICENSE" "$ical/LICENSE.LGPL21.txt" "$ical/LICENSE.MPL2.txt"
csv=$(source_folder 'libcsv-*')
gather libcsv "$csv/COPYING.LESSER"
gather OpenSSL "$(source_folder 'openssl-*/LICENSE.txt')"

# Compiled in from Debian's headers, and the compiler's runtime DLLs beside the program.
boost=$(compgen -G '/usr/share/doc/libboost1.*-dev/copyright' | sort -V | tail -1)
debian_licence_paragraph "$boost" BSL-1.0 >"$out/boost-licence.txt"
gather Boost "$out/boost-licence.txt"
rm "$out/boost-licence.txt"
gather spdlog /usr/share/doc/libspdlog-dev/copyright
gather fmt /usr/share/doc/libfmt-dev/copyright
gather SimpleIni /usr/share/doc/libsimpleini-dev/copyright
gather GCC-runtime /usr/share/doc/gcc-mingw-w64-base/copyright
gather winpthreads /usr/share/doc/mingw-w64-common/copyright
echo "windows-licences: $(ls "$out" | wc -l) texts in $out" >&2
