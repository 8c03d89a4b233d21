#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Cross-builds the C libraries the Windows programs link besides Qt, for 32-bit Windows, from
# Debian's own source packages with Debian's patches (its security fixes among them): libmpg123
# (decoding, scripts/mpg123-windows.sh), libsodium (the password's Argon2id hash) and libical
# (published holiday plans, with its own time zone data: Windows has no zoneinfo), libcsv (作息表
# as spreadsheets keep them) and OpenSSL
# (the office's page is HTTPS only; its HTTP is Boost.Beast, header-only, from Debian's
# libboost-dev, linked into PREFIX/include). Static libraries and their pkg-config files go into
# PREFIX. A library PREFIX already has is left as it
# is, so a prefix kept between runs costs nothing after the first (about 4 min on two cores).
# Usage: scripts/libraries-windows.sh PREFIX [SOURCES_FOLDER]   (TOLVANE_WINDOWS_HOST=x86_64-w64-mingw32
# for 64-bit Windows)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
prefix=$(realpath -m "$1")
sources=$(realpath -m "${2:-$prefix/../sources}")
host=${TOLVANE_WINDOWS_HOST:-i686-w64-mingw32}  # x86_64-w64-mingw32 for a 64-bit build
mkdir -p "$sources"

"$here/mpg123-windows.sh" "$prefix" "$sources"

if [ ! -f "$prefix/lib/libsodium.a" ]; then
  "$here/debian-source.sh" libsodium libsodium-1.0.18 "$sources"
  folder=$sources/libsodium-1.0.18
  "$here/debian-patches.sh" libsodium "$folder" "$sources"
  # Debian's source is the release's Git tree: its build files are made here, as Debian does.
  [ -x "$folder/configure" ] || (cd "$folder" && autoreconf -fi >/dev/null 2>&1)
  # Build folders are per target: a sources folder may serve both the 32- and 64-bit builds.
  rm -rf "$sources/build-libsodium-$host" && mkdir "$sources/build-libsodium-$host"
  (cd "$sources/build-libsodium-$host" &&
    PKG_CONFIG_LIBDIR=/nonexistent "$folder/configure" --host=$host --prefix="$prefix" \
      --disable-shared --enable-static --disable-dependency-tracking >/dev/null &&
    make -j"$(nproc)" >/dev/null && make install >/dev/null)
fi

if [ ! -f "$prefix/lib/libical.a" ]; then
  "$here/debian-source.sh" libical3 libical-3.0.16 "$sources"
  folder=$sources/libical-3.0.16
  "$here/debian-patches.sh" libical3 "$folder" "$sources"
  # The library alone: no GLib, C++, Berkeley DB, ICU or documentation.
  rm -rf "$sources/build-libical-$host"
  cmake -G Ninja -S "$folder" -B "$sources/build-libical-$host" \
    -DCMAKE_TOOLCHAIN_FILE="$here/../cmake/mingw-${host%%-*}.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DSTATIC_ONLY=ON -DUSE_BUILTIN_TZDATA=ON \
    -DICAL_GLIB=OFF -DICAL_BUILD_DOCS=OFF -DENABLE_GTK_DOC=OFF -DGOBJECT_INTROSPECTION=OFF \
    -DWITH_CXX_BINDINGS=OFF -DLIBICAL_BUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_ICU=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_BDB=ON -DCMAKE_DISABLE_FIND_PACKAGE_BerkeleyDB=ON >/dev/null
  cmake --build "$sources/build-libical-$host" >/dev/null
  cmake --install "$sources/build-libical-$host" >/dev/null
fi

if [ ! -f "$prefix/lib/libcsv.a" ]; then
  "$here/debian-source.sh" libcsv 'libcsv-3.0.3*' "$sources"
  folder=$(ls -d "$sources"/libcsv-3.0.3* | sort -V | tail -1)
  "$here/debian-patches.sh" libcsv "$folder" "$sources"
  rm -rf "$sources/build-libcsv-$host" && mkdir "$sources/build-libcsv-$host"
  (cd "$sources/build-libcsv-$host" &&
    "$folder/configure" --host=$host --prefix="$prefix" --disable-shared --enable-static \
      --disable-dependency-tracking >/dev/null 2>&1 &&
    make -j"$(nproc)" >/dev/null 2>&1 && make install >/dev/null)
  # libcsv ships no pkg-config file; the build finds the Windows libraries through pkg-config.
  mkdir -p "$prefix/lib/pkgconfig"
  printf 'prefix=%s\nName: libcsv\nDescription: CSV parser\nVersion: 3.0.3\nLibs: -L${prefix}/lib -lcsv\nCflags: -I${prefix}/include\n' \
    "$prefix" >"$prefix/lib/pkgconfig/libcsv.pc"
fi

if [ ! -f "$prefix/lib/libssl.a" ]; then
  # The version follows the archive's security updates.
  "$here/debian-source.sh" openssl 'openssl-3.0.*' "$sources"
  folder=$(ls -d "$sources"/openssl-3.0.* | sort -V | tail -1)
  "$here/debian-patches.sh" openssl "$folder" "$sources"
  # Debian's pic.patch makes the 32-bit x86 assembly position-independent the ELF way, with GOT
  # relocations a COFF assembler cannot represent ("cannot represent relocation type
  # BFD_RELOC_386_GOTPC"): the 32-bit library is built from OpenSSL's C code instead.
  case $host in x86_64-*) target=(mingw64) ;; *) target=(mingw no-asm) ;; esac
  # The libraries alone (no command-line tool, tests or manual); OpenSSL builds out of its tree.
  rm -rf "$sources/build-openssl-$host" && mkdir "$sources/build-openssl-$host"
  (cd "$sources/build-openssl-$host" &&
    "$folder/Configure" "${target[@]}" --cross-compile-prefix="$host-" --prefix="$prefix" \
      --libdir=lib no-shared no-tests no-engine no-module >/dev/null &&
    make -j"$(nproc)" build_libs >/dev/null && make install_dev >/dev/null)
fi

# Boost.Beast and Boost.Asio are header-only: the Windows build reads Debian's own headers.
[ -e "$prefix/include/boost" ] || { mkdir -p "$prefix/include" && ln -s /usr/include/boost "$prefix/include/boost"; }
