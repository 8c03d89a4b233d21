#!/usr/bin/env bash
# Builds everything and runs every test: unit tests (ctest), a short fuzzing run, and a build of
# the benchmarks. Exits non-zero when anything fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh test

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOLVANE_BUILD_TESTS=ON \
  -DTOLVANE_BUILD_BENCH=ON -DTOLVANE_WERROR=ON
cmake --build build-test
(cd build-test && ctest --output-on-failure -j2) | tee build-test/ctest.log
unit_total=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' build-test/ctest.log | tail -1)

# The table reader and the PE loader must survive any bytes: fuzz them briefly under ASan and UBSan.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOLVANE_BUILD_TESTS=OFF -DTOLVANE_BUILD_FUZZ=ON -DTOLVANE_WITH_QT=OFF -DTOLVANE_WERROR=ON
cmake --build build-fuzz --target table_fuzz pe_fuzz
seconds=${TOLVANE_FUZZ_SECONDS:-20}
mkdir -p build-fuzz/corpus build-fuzz/pe-corpus
build-fuzz/bin/table_fuzz -max_total_time="$seconds" -print_final_stats=0 build-fuzz/corpus tests/fuzz/seeds
build-fuzz/bin/pe_fuzz -max_total_time="$seconds" -print_final_stats=0 build-fuzz/pe-corpus tests/fuzz/pe-seeds
echo "fuzzing: table_fuzz and pe_fuzz found nothing in $seconds s each"

echo "tests: $((unit_total + 2)) passed, 0 failed"
