#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds everything and runs every test: unit tests (ctest), a short fuzzing run, a build of the
# benchmarks, and the Debian package's checks and install test. Exits non-zero when anything
# fails, and prints its own duration.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test
# Formatting, layering and licence lines first: a finding takes seconds to say, not a build.
scripts/check-tree.sh

# The Qt-free core, tolvanectl and the Win32 back-ends for Windows with mingw-w64, 32- and 64-bit,
# and the desktop program itself with Qt. One of them, with Qt, libmpg123, libsodium and libical
# cross-built into the machine's cache (scripts/windows-cache.sh: about 20 min the first time), is
# run under Wine by the tests below: the 32-bit one, which most bell PCs run, where this kernel
# starts 32-bit programs and wine32 is installed; else the 64-bit one under Wine's 64-bit loader,
# so a kernel without 32-bit support, or a mirror that cannot serve wine32 today, still leaves the
# Windows code tested (scripts/wine-arch.sh).
wine_arch=$(scripts/wine-arch.sh)
echo "Wine tests run the $wine_arch build"
windows_prefix=$(scripts/windows-cache.sh "$wine_arch")

# Every build below (and the README's run command, which a test runs) compiles through ccache, its
# cache beside the Windows libraries: a run after a change recompiles what the change touched. The
# paths in the clone are hashed relative to it, so a fresh clone elsewhere finds the same objects.
export CCACHE_DIR=${CCACHE_DIR:-${TOLVANE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tolvane}/ccache}
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=true CCACHE_MAXSIZE=${CCACHE_MAXSIZE:-4G}
export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
for arch in i686 x86_64; do
  pkg_config_dir=/nonexistent
  if [ "$arch" = "$wine_arch" ]; then
    pkg_config_dir=$windows_prefix/lib/pkgconfig
    scripts/build-folder-for.sh "build-mingw-$arch" "$windows_prefix"
  fi
  PKG_CONFIG_LIBDIR=$pkg_config_dir cmake -S . -B "build-mingw-$arch" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-$arch.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DTOLVANE_WITH_QT=OFF -DTOLVANE_BUILD_TESTS=ON -DTOLVANE_WERROR=ON
  cmake --build "build-mingw-$arch"
done
windows_program=$(scripts/windows-program.sh "$wine_arch" "build-windows-$wine_arch" | tail -1)

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOLVANE_BUILD_TESTS=ON \
  -DTOLVANE_BUILD_BENCH=ON -DTOLVANE_WERROR=ON -DTOLVANE_WIN32_BIN="$PWD/build-mingw-$wine_arch/bin" \
  -DTOLVANE_WINDOWS_PROGRAM="$windows_program"
cmake --build build-test
(cd build-test && ctest --output-on-failure -j2) | tee build-test/ctest.log
unit_total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' build-test/ctest.log | tail -1)
# ctest says a test was skipped, not why: each skipped test with its own reason.
awk '/^[0-9]+\/[0-9]+ Testing: / { name = $3 } /^SKIPPED: / { print "skipped: " name ": " substr($0, 10) }' \
  build-test/Testing/Temporary/LastTest.log

# The table reader, the PE loader and the page's request handling must survive any bytes: fuzz
# them briefly under ASan and UBSan (with Qt, which the page uses; only the fuzz targets are built).
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOLVANE_BUILD_TESTS=OFF -DTOLVANE_BUILD_FUZZ=ON -DTOLVANE_WITH_QT=ON -DTOLVANE_WERROR=ON
# Each fuzz target with its seeds; a finding stops the script (set -e) with the crashing input.
fuzz_targets=(table_fuzz:tests/fuzz/seeds pe_fuzz:tests/fuzz/pe-seeds web_fuzz:tests/fuzz/web-seeds)
cmake --build build-fuzz --target "${fuzz_targets[@]%%:*}"
seconds=${TOLVANE_FUZZ_SECONDS:-20}
for entry in "${fuzz_targets[@]}"; do
  target=${entry%%:*}
  mkdir -p "build-fuzz/corpus-$target"
  "build-fuzz/bin/$target" -max_total_time="$seconds" -print_final_stats=0 "build-fuzz/corpus-$target" "${entry#*:}"
done
echo "fuzzing: ${#fuzz_targets[@]} targets found nothing in $seconds s each"

# The Debian package: built as scripts/package.sh builds it, accepted by Debian's checks, and
# installed with apt-get into a fresh Debian 12 root where both programs run.
package=$(scripts/package.sh | tail -1)
tests/package/lint_test.sh "$package"
tests/package/install_test.sh "$package"
package_tests=2

echo "tests: $((unit_total + ${#fuzz_targets[@]} + package_tests)) passed, 0 failed"
echo "test command: $((SECONDS / 60)) min $((SECONDS % 60)) s"
