#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The package as a school installs it: `apt-get install ./tolvane_*.deb` into a fresh Debian 12
# root (debootstrap minbase, in this test's own folder), then tolvanectl and the program (under
# Xvfb) run from the installed files, keep the schedule in the user's data folder, and speak the
# desktop's language. Needs root (debootstrap, chroot) and Debian's mirror.
# Usage: install_test.sh PACKAGE.deb [CACHE_DIR]
set -euo pipefail
deb=$(realpath "$1")
cache=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../support/harness.sh
source "$here/../support/harness.sh"
[ "$(id -u)" -eq 0 ] || fail "the install test needs root (debootstrap and chroot)"

root=$work/root
mounted=()
unmount_all() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
}
# The chroot's mounts go before the work folder is removed.
trap 'test_status=$?; unmount_all; cleanup' EXIT
in_root() { chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root "$@"; }
seconds() { date +%s.%N; }

t0=$(seconds)
cache_args=()
if [ -n "$cache" ]; then
  mkdir -p "$cache"
  cache_args=(--cache-dir="$(realpath "$cache")")
fi
debootstrap --variant=minbase "${cache_args[@]}" bookworm "$root" http://deb.debian.org/debian \
  >"$work/debootstrap.log" 2>&1 || { tail -20 "$work/debootstrap.log"; fail "debootstrap failed"; }
t1=$(seconds)

cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc" && mounted+=("$root/proc")
mkdir -p "$root/tmp/.X11-unix"
mount --bind /tmp/.X11-unix "$root/tmp/.X11-unix" && mounted+=("$root/tmp/.X11-unix")
cp "$deb" "$root/tmp/"
in_root env DEBIAN_FRONTEND=noninteractive apt-get update -q >"$work/apt.log" 2>&1
in_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "/tmp/$(basename "$deb")" \
  >>"$work/apt.log" 2>&1 || { tail -30 "$work/apt.log"; fail "apt-get install of the package failed"; }
t2=$(seconds)

version=$(dpkg-deb -f "$deb" Version)
[ "$(in_root tolvane --version)" = "tolvane $version" ] || fail "tolvane --version: $(in_root tolvane --version)"
[ "$(in_root tolvanectl --version)" = "tolvanectl $version" ] || fail "tolvanectl --version"
for f in usr/share/applications/Tolvane.desktop usr/share/metainfo/org.tolvane.Tolvane.metainfo.xml \
  usr/share/icons/hicolor/48x48/apps/tolvane.png usr/share/icons/hicolor/scalable/apps/tolvane.svg \
  usr/share/man/man1/tolvane.1.gz usr/share/man/man1/tolvanectl.1.gz \
  usr/lib/systemd/user/tolvane-ring.service usr/share/doc/tolvane/copyright; do
  [ -f "$root/$f" ] || fail "the package did not install /$f"
done
in_root dpkg -s fonts-wqy-zenhei >/dev/null 2>&1 || fail "the CJK font (recommended) was not installed"

# tolvanectl without DIR: the user's data folder, nothing in /usr/bin.
data=$root/root/.local/share/tolvane
in_root tolvanectl add --start 07:30:00 --music /srv/bells/start.mp3 --days mon,tue >/dev/null \
  || fail "tolvanectl add without DIR"
[ -f "$data/db.edb" ] && [ -f "$data/px.edb" ] ||
  fail "the tables are not in ~/.local/share/tolvane: $(cd "$root" && find . -path ./proc -prune -o -name db.edb -print)"
ls "$root/usr/bin" | grep -q '\.edb$' && fail "tables were made in /usr/bin"
in_root tolvanectl list | grep -q '^07:30:00' || fail "tolvanectl list does not show the bell"
# Its messages in the desktop's language, from the translation inside the installed program.
zh=$(in_root env LANG=C tolvanectl add --start 07:30:00 --music /srv/x.mp3 2>&1 || true)
en=$(in_root env LANG=en_US.UTF-8 tolvanectl add --start 07:30:00 --music /srv/x.mp3 2>&1 || true)
grep -q '对不起！这个时间点已经有铃声！' <<<"$zh" || fail "C locale: $zh"
grep -q 'A bell already starts at this time' <<<"$en" || fail "English locale: $en"

# The program from the installed files, on a real X server, as root (who could write /usr/bin).
start_xvfb
chroot "$root" env -i PATH=/usr/bin:/bin HOME=/root DISPLAY="$DISPLAY" LANG=en_US.UTF-8 \
  tolvane >"$work/program.log" 2>&1 &
program=$!
pids+=("$program")
window=""
for _ in $(seq 100); do window=$(main_window "$program") && break; sleep 0.1; done
[ -n "$window" ] || { cat "$work/program.log"; fail "the installed program showed no window"; }
grep -q '程序启动' "$data/tolvane.log" || fail "the program's ring log is not in the data folder"
ls "$root/usr/bin" | grep -q '\.edb$' && fail "the program made tables in /usr/bin"
kill "$program"
wait "$program" 2>/dev/null || true
t3=$(seconds)

awk -v a="$t0" -v b="$t1" -v c="$t2" -v d="$t3" 'BEGIN {
  printf "package install test: debootstrap %.0f s, apt-get install %.0f s, checks %.0f s\n", b - a, c - b, d - c }'
echo "PASS: installed into a fresh Debian 12 root, tolvanectl and the program ran from it"
