#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages a build needs when any is missing (as root, non-interactive).
# Usage: scripts/deps.sh build|test
set -euo pipefail

packages=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev
  qt6-base-dev libmpg123-dev libpulse-dev libxcb1-dev libfontconfig-dev
  libspdlog-dev libsimpleini-dev nlohmann-json3-dev libsodium-dev libssl-dev libboost-dev libsystemd-dev libical-dev libcsv-dev libespeak-ng-dev libmp3lame-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n fonts-wqy-zenhei xvfb xauth
  sox lame)
optional=()
if [ "${1:-build}" = test ]; then
  # Benchmarks and the fuzzer; a real sound server and its tools;
  # a private D-Bus with the logind and PolicyKit mocks, and RealtimeKit; stress-ng for the
  # bench's busy machine; libfaketime to step the clock under the real program, and the zone
  # database for the days the clock changes;
  # the Debian package's checks and its install into a fresh root; the Windows installer; the
  # autotools that make libsodium's build files for its Windows cross build, xz for Qt's source;
  # ccache, so a second run recompiles only what changed; Prometheus's promtool and node_exporter
  # for the metrics a district watches.
  packages+=(libbenchmark-dev clang clang-format libclang-rt-14-dev pulseaudio pulseaudio-utils
    dbus-daemon libglib2.0-bin python3-dbusmock python3-dbus rtkit stress-ng tzdata python3-gi xdotool x11-utils trayer faketime openssl weston qt6-wayland syncthing chromium python3-websocket at-spi2-core gir1.2-atspi-2.0 imagemagick
    gcc-mingw-w64-i686 g++-mingw-w64-i686 g++-mingw-w64-x86-64
    debootstrap lintian desktop-file-utils appstream nsis zip unzip bzip2 procps
    autoconf automake libtool xz-utils perl ccache
    prometheus prometheus-node-exporter)
  # Wine, and wine32 for the 32-bit Windows programs (the PE loader's test program among them)
  # where this kernel can start them at all: elsewhere it would only take the place of the 64-bit
  # loader that can. wine32 needs the i386 architecture, and is asked for on its own below, since
  # an i386 index that a mirror is still syncing can leave it uninstallable for days while
  # everything else installs.
  packages+=(wine)
  if [[ " $("$(dirname "$0")/wine-arch.sh" packages) " == *" wine32 "* ]]; then
    optional=(wine32)
    if [ "$(id -u)" -eq 0 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
      dpkg --add-architecture i386
    fi
  fi
fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

missing=()
for p in "${packages[@]}" "${optional[@]}"; do
  installed "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
  echo "error: these Debian packages are missing and installing them needs root: ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
required=()
for p in "${packages[@]}"; do installed "$p" || required+=("$p"); done
# A mirror caught mid-sync fails one index now and serves it a minute later; after three tries,
# go on with the indexes that did come: the install says clearly what it still cannot find. With
# only an optional package missing, one try is enough (it will likely fail the same way).
tries=3
[ ${#required[@]} -eq 0 ] && tries=1
for try in $(seq "$tries"); do
  apt-get update -q && break
  [ "$try" = "$tries" ] && echo "warning: apt-get update failed; installing from the indexes it has" >&2
  [ "$try" = "$tries" ] || sleep $((try * 20))
done
[ ${#required[@]} -eq 0 ] || apt-get install -y -q --no-install-recommends "${required[@]}"
for p in "${optional[@]}"; do
  installed "$p" && continue
  apt-get install -y -q --no-install-recommends "$p" ||
    echo "warning: $p cannot be installed from this mirror now; the tests that need it say they are skipped" >&2
done
