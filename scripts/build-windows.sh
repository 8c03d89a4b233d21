#!/usr/bin/env bash
# Builds the desktop program for 32-bit Windows on Debian 12 and starts it once under Wine.
# Debian carries no Qt for Windows, so Qt (Core, Gui, Widgets, Network), libmpg123, libsodium and
# libical are first cross-built from Debian's own source packages with mingw-w64: about half an
# hour on two cores the first time, minutes after that. Not part of the test command for that
# reason.
# Changes the system: installs the Debian packages it needs; run it as root on a build machine.
# Source packages come from the same archive as the binary ones (scripts/debian-source.sh), with
# the machine's apt configuration left as it was.
# Usage: scripts/build-windows.sh [WORK_FOLDER]   (default: build-windows)
# The program lands in WORK_FOLDER/bin with every DLL it needs beside it.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
work=$(realpath -m "${1:-build-windows}")
prefix=${TOLVANE_WINDOWS_PREFIX:-$work/prefix}  # where the cross-built Qt and libmpg123 go
sources=$work/sources
mkdir -p "$work" "$sources"

scripts/deps.sh test
need=(dpkg-dev xz-utils bzip2)
missing=()
for p in "${need[@]}"; do dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

host=i686-w64-mingw32
toolchain=$work/mingw-qt.cmake
# The project's toolchain, with the Qt prefix searched too and the programs linked against the
# DLLs (the project's own cross build links statically).
cat >"$toolchain" <<EOF
include($root/cmake/mingw-i686.cmake)
list(APPEND CMAKE_FIND_ROOT_PATH "$prefix")
set(CMAKE_EXE_LINKER_FLAGS_INIT "")
EOF

fetch() {  # source package, folder it unpacks to
  "$root/scripts/debian-source.sh" "$1" "$2" "$sources"
}

qt_module() {  # folder under sources, extra cmake arguments...
  local folder=$1
  shift
  [ -f "$work/$folder.done" ] && return
  cmake -G Ninja -S "$sources/$folder" -B "$work/build-$folder" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF "$@"
  cmake --build "$work/build-$folder"
  cmake --install "$work/build-$folder"
  touch "$work/$folder.done"
}

fetch qt6-base qtbase-everywhere-src-6.4.2
qt_module qtbase-everywhere-src-6.4.2 -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF \
  -DFEATURE_dbus=OFF -DFEATURE_system_zlib=OFF -DINPUT_openssl=no \
  -DFEATURE_concurrent=OFF -DFEATURE_tabletevent=OFF  # Debian's source leaves out the Wintab header

scripts/libraries-windows.sh "$prefix" "$sources"

PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" cmake -G Ninja -S . -B "$work/tolvane" \
  -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release -DTOLVANE_BUILD_TESTS=OFF \
  -DTOLVANE_WERROR=ON -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_PREFIX_PATH="$prefix"
PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" cmake --build "$work/tolvane"

# The program with what it loads: Qt's DLLs and plugins, libmpg123, the compiler's runtime.
bin=$work/bin
rm -rf "$bin"  # a DLL left from an earlier build would hide one the program lacks
mkdir -p "$bin"
cp "$work/tolvane/bin/tolvane.exe" "$work/tolvane/bin/tolvanectl.exe" "$bin/"
cp "$prefix"/bin/Qt6{Core,Gui,Widgets,Network}.dll "$prefix/bin/libmpg123-0.dll" "$bin/"
for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll; do
  install -D "$prefix/plugins/$plugin" "$bin/$plugin"
done
runtime=$(dirname "$($host-g++-posix -print-libgcc-file-name)")
cp "$runtime"/libstdc++-6.dll "$runtime"/libgcc_s_dw2-1.dll "$bin/"
cp /usr/$host/lib/libwinpthread-1.dll "$bin/"
# Without their symbols the DLLs and programs are a fraction of the size (66 MB unstripped).
find "$bin" -name '*.dll' -o -name '*.exe' | xargs $host-strip --strip-unneeded
echo "built: $bin/tolvane.exe ($(du -sm "$bin" | cut -f1) MB)"

# The program under Wine.
tests/win32/wine_program_test.sh "$bin"

# What a Windows user installs: the zip and the NSIS installer, installed silently under Wine,
# started, and uninstalled.
scripts/package-windows.sh "$bin" "$work/dist"
tests/win32/wine_installer_test.sh "$bin" "$PWD" tolvane.exe
