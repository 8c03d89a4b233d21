#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Windows desktop program (tolvane.exe and tolvanectl.exe with Qt) with mingw-w64 and
# gathers it in BIN with every DLL and plugin it loads, stripped. The libraries come from the
# machine's cache (scripts/windows-cache.sh), built first when it is missing.
# Prints BIN's path on its last line.
# Usage: scripts/windows-program.sh ARCH BUILD_FOLDER   (ARCH: i686 or x86_64; BIN is BUILD_FOLDER/bin)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
arch=$1
work=$(realpath -m "$2")
host=$arch-w64-mingw32

prefix=$(scripts/windows-cache.sh "$arch")

toolchain=$work/toolchain.cmake
mkdir -p "$work"
# The project's toolchain, with the Qt prefix searched too and the programs linked against the
# DLLs (the project's own Qt-free cross build links statically).
cat >"$toolchain" <<EOF
include($root/cmake/mingw-$arch.cmake)
list(APPEND CMAKE_FIND_ROOT_PATH "$prefix")
set(CMAKE_EXE_LINKER_FLAGS_INIT "")
EOF
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig
scripts/build-folder-for.sh "$work/tolvane" "$prefix"
cmake -G Ninja -S . -B "$work/tolvane" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_BUILD_TYPE=Release -DTOLVANE_BUILD_TESTS=OFF -DTOLVANE_WERROR=ON \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_PREFIX_PATH="$prefix" >&2
cmake --build "$work/tolvane" >&2

# The program with what it loads: Qt's DLLs and plugins, libmpg123, the compiler's runtime.
bin=$work/bin
rm -rf "$bin" # a DLL left from an earlier build would hide one the program lacks
mkdir -p "$bin"
cp "$work/tolvane/bin/tolvane.exe" "$work/tolvane/bin/tolvanectl.exe" "$bin/"
# The bells we ship, which a new 铃声库 is made with.
cp -r "$work/tolvane/bin/media" "$bin/"
cp "$prefix"/bin/Qt6{Core,Gui,Widgets,Network}.dll "$prefix/bin/libmpg123-0.dll" "$bin/"
for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll imageformats/qico.dll; do
  install -D "$prefix/plugins/$plugin" "$bin/$plugin"
done
runtime=$(dirname "$($host-g++-posix -print-libgcc-file-name)")
cp "$runtime"/libstdc++-6.dll "$bin/"
# 32-bit GCC unwinds with DWARF tables, 64-bit with SEH: each has its own runtime DLL.
cp "$runtime"/libgcc_s_*-1.dll "$bin/"
cp /usr/$host/lib/libwinpthread-1.dll "$bin/"
# The licence texts of Tolvane and of every library it contains, which its users are owed.
scripts/windows-licences.sh "$bin" "$(dirname "$prefix")/sources"
# Without their symbols the DLLs and programs are a fraction of the size (66 MB unstripped).
find "$bin" -name '*.dll' -o -name '*.exe' | xargs $host-strip --strip-unneeded
echo "windows-program: $bin/tolvane.exe ($(du -sm "$bin" | cut -f1) MB)" >&2
echo "$bin"
