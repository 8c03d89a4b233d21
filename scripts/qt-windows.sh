#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds Qt (qtbase 6.4.2: Core, Gui, Widgets and Network, shared) for Windows from Debian's
# own source package and its patches into PREFIX, with only what the desktop program uses. Does
# nothing when PREFIX already has it. About 25 min on two cores; the test command keeps PREFIX in
# a cache outside the clone (scripts/windows-cache.sh).
# The host tools (moc, rcc, uic) are Debian's Qt 6.4.2, which the Linux build installs anyway.
# Usage: scripts/qt-windows.sh PREFIX [SOURCES_FOLDER]   (TOLVANE_WINDOWS_HOST=x86_64-w64-mingw32
# for 64-bit Windows)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(realpath -m "$1")
sources=$(realpath -m "${2:-$prefix/../sources}")
host=${TOLVANE_WINDOWS_HOST:-i686-w64-mingw32}
[ -f "$prefix/lib/cmake/Qt6Widgets/Qt6WidgetsConfig.cmake" ] && exit 0
mkdir -p "$sources"

folder=$sources/qtbase-everywhere-src-6.4.2
"$here/debian-source.sh" qt6-base qtbase-everywhere-src-6.4.2 "$sources"
"$here/debian-patches.sh" qt6-base "$folder" "$sources"
# With OpenGL left out, 6.4's Windows platform plugin still names its dynamic-GL switch, which
# only exists with OpenGL; the upstream fix (later releases) guards it the same way.
sed -i 's/^#if QT_CONFIG(dynamicgl)$/#if QT_CONFIG(opengl) \&\& QT_CONFIG(dynamicgl)/' \
  "$folder"/src/plugins/platforms/windows/*.cpp "$folder"/src/plugins/platforms/windows/*.h
# A thread_local with a destructor in a MinGW DLL can be destroyed after its thread's emulated
# TLS block is gone: every thread that had matched a regular expression then freed a garbage
# JIT stack at its exit (a page fault at pcre2_jit_stack_free_16, about one start in three under
# Wine). A plain pointer registers no destructor; the stack, made only when a match outgrows
# PCRE's default 32 KiB, is left to the process, as the thread's own memory is.
regex=$folder/src/corelib/text/qregularexpression.cpp
sed -i -e 's/^static thread_local std::unique_ptr<pcre2_jit_stack_16, PcreJitStackFree> jitStacks;$/Q_CONSTINIT static thread_local pcre2_jit_stack_16 *jitStacks = nullptr;/' \
  -e 's/return jitStacks\.get();/return jitStacks;/' \
  -e 's/jitStacks\.reset(\(pcre2_jit_stack_create_16([^;]*)\));/jitStacks = \1;/' "$regex"
[ "$(grep -c 'jitStacks\.\|unique_ptr<pcre2_jit_stack_16' "$regex")" = 0 ] ||
  { echo "qt-windows.sh: the JIT stack's thread_local was not replaced" >&2; exit 1; }

toolchain=$sources/qt-$host.cmake
cat >"$toolchain" <<EOF
include($here/../cmake/mingw-${host%%-*}.cmake)
set(CMAKE_EXE_LINKER_FLAGS_INIT "")
EOF
# What the program does not use, left out to build in a fraction of the time. Text is drawn
# through GDI and DirectWrite (no FreeType, no opt-in DirectWrite font list), the page is not
# Qt's (no TLS, HTTP or DNS), and the windows are plain dialogs. The tablet events' Wintab header
# is not in Debian's source.
left_out=(-DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF -DFEATURE_direct2d=OFF
  -DFEATURE_directwrite3=OFF -DFEATURE_freetype=OFF -DFEATURE_sql=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_dbus=OFF -DFEATURE_xml=OFF -DFEATURE_testlib=OFF -DFEATURE_concurrent=OFF
  -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_tuiotouch=OFF -DINPUT_openssl=no
  -DFEATURE_ssl=OFF -DFEATURE_schannel=OFF -DFEATURE_http=OFF -DFEATURE_dnslookup=OFF
  -DFEATURE_graphicsview=OFF -DFEATURE_wizard=OFF -DFEATURE_mdiarea=OFF -DFEATURE_fontdialog=OFF
  -DFEATURE_colordialog=OFF -DFEATURE_undocommand=OFF -DFEATURE_lcdnumber=OFF
  -DFEATURE_splashscreen=OFF -DFEATURE_keysequenceedit=OFF -DFEATURE_errormessage=OFF
  -DFEATURE_syntaxhighlighter=OFF -DFEATURE_textodfwriter=OFF)
build=$sources/build-qtbase-$host
rm -rf "$build"
cmake -G Ninja -S "$folder" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_tabletevent=OFF "${left_out[@]}" >/dev/null
cmake --build "$build"
cmake --install "$build" >/dev/null
rm -rf "$build"
