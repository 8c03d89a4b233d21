#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package tolvane_VERSION_amd64.deb into build-package/ and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh build
# Debian's hardened build flags, as its own packages are built.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
  LDFLAGS=$(dpkg-buildflags --get LDFLAGS) \
  cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DTOLVANE_BUILD_TESTS=OFF -DTOLVANE_BUILD_BENCH=OFF >/dev/null
cmake --build build-package
(cd build-package && cpack -G DEB >/dev/null)
ls "$PWD"/build-package/tolvane_*_amd64.deb
