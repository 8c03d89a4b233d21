#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Compiles the desktop program's Qt sources as a Windows build sees them (_WIN32, the Win32
# back-ends, mingw-w64's headers) so the Windows-only paths cannot rot unseen. Debian carries no
# Qt for Windows, so the Qt headers are the Linux ones: this checks our code, it links nothing.
# The width of a Windows program built for real with Qt (BUILT_PROGRAM_DIR, by
# scripts/windows-program.sh) is left out: that build compiles the same sources with Windows' own
# Qt headers, and links them.
# Usage: qt_sources_check.sh SOURCE_DIR BUILD_DIR [BUILT_PROGRAM_DIR]
set -euo pipefail
src=$1
build=$2
arches=(i686 x86_64)
if [[ -n ${3:-} && -f $3/tolvane.exe ]]; then
  case $(x86_64-w64-mingw32-objdump -f "$3/tolvane.exe") in
    *pei-x86-64*) arches=(i686) ;;
    *pei-i386*) arches=(x86_64) ;;
  esac
fi

autogen="$build/tolvane_app_autogen/include"
[[ -f "$autogen/ui_MainWindow.h" ]] || { echo "no generated window headers in $autogen: build the program first" >&2; exit 1; }

# mpg123's headers alone, so the host's libc headers stay out of the Windows compile.
headers=$(mktemp -d)
trap 'rm -rf "$headers"' EXIT
mpg123_dir=/usr/include/$(gcc -print-multiarch)
[[ -f $mpg123_dir/mpg123.h ]] || mpg123_dir=/usr/include
cp "$mpg123_dir/mpg123.h" "$mpg123_dir/fmt123.h" "$headers/"

qt_includes=$(pkg-config --cflags-only-I Qt6Widgets Qt6Network | sed 's/-I/-isystem /g')
project_includes=("-I$src")

sources=("$src"/ui/*.cpp "$src"/schedule/ui/*.cpp "$src"/settings/ui/*.cpp "$src"/bells/qt/*.cpp "$src"/ringer/*.cpp
  "$src"/platform/HotKey_win32.cpp "$src"/platform/FontConfiguration_win32.cpp
  "$src"/platform/InstanceChannel_win32.cpp "$build/app/CarriedSkin.cpp"
  "$src"/cli/RingCommand.cpp "$src"/cli/ServiceCommand.cpp)
for file in "$src"/app/*.cpp; do
  [[ $file == *_linux.cpp ]] || sources+=("$file")
done
sources+=("$src"/bells/audio/*.cpp)

failed=0
for arch in "${arches[@]}"; do
  for file in "${sources[@]}"; do
    # The posix-thread compilers, as the Windows builds use (std::mutex and std::thread).
    # shellcheck disable=SC2086
    if ! "$arch-w64-mingw32-g++-posix" -std=c++20 -fsyntax-only -Wall -Wextra -Werror -DUNICODE -D_UNICODE -DTOLVANE_VERSION=\"check\" \
        $qt_includes -isystem "$headers" "${project_includes[@]}" -I"$autogen" "$file"; then
      echo "FAILED ($arch): $file" >&2
      failed=1
    fi
  done
done
[[ $failed == 0 ]] && echo "${#sources[@]} Qt sources compile for Windows (${arches[*]})"
exit $failed
