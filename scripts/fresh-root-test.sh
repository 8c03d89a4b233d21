#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the README's test command in a fresh Debian 12 root, as a new bell PC or CI machine would
# meet it: debootstrap minbase, apt's sources the one-line /etc/apt/sources.list (main only, no
# security updates), nothing installed but what the test command installs itself. The clone is
# the committed HEAD of this working tree. Needs root (debootstrap, chroot) and Debian's mirror.
# Usage: fresh-root-test.sh WORK_DIR [CACHE_DIR]
# CACHE_DIR, when given, is mounted as the root's ~/.cache/tolvane (the Windows libraries and the
# compiler cache), so a run measures the packages and the tests rather than a cold build.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
work=$(realpath -m "$1")
cache=${2:-}
[ "$(id -u)" -eq 0 ] || { echo "fresh-root-test.sh needs root (debootstrap and chroot)" >&2; exit 2; }
[ ! -e "$work" ] || { echo "$work exists; give a new folder" >&2; exit 2; }
root=$work/root
mkdir -p "$work"

mounted=()
unmount_all() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do umount -l "${mounted[i]}" 2>/dev/null || true; done
}
trap unmount_all EXIT
bind() {
  mkdir -p "$root/$2"
  mount --bind "$1" "$root/$2" && mounted+=("$root/$2")
}

start=$SECONDS
debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian >"$work/debootstrap.log" 2>&1 \
  || { tail -20 "$work/debootstrap.log"; exit 1; }
echo "deb http://deb.debian.org/debian bookworm main" >"$root/etc/apt/sources.list"
rm -f "$root"/etc/apt/sources.list.d/*
cp /etc/resolv.conf "$root/etc/resolv.conf"
mount -t proc proc "$root/proc" && mounted+=("$root/proc")
mount -t sysfs sys "$root/sys" && mounted+=("$root/sys")
bind /dev dev
mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts" && mounted+=("$root/dev/pts")
mount -t tmpfs tmpfs "$root/dev/shm" && mounted+=("$root/dev/shm")
if [ -n "$cache" ]; then
  mkdir -p "$cache"
  bind "$(realpath "$cache")" root/.cache/tolvane
fi
git clone -q "$here" "$root/work/tolvane"
echo "fresh root ready in $((SECONDS - start)) s; running the test command"

run_start=$SECONDS
status=0
chroot "$root" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 CI=true \
  bash -c 'cd /work/tolvane && bash .ci/run' </dev/null >"$work/test.log" 2>&1 || status=$?
tail -5 "$work/test.log"
echo "test command in the fresh root: exit $status, $(((SECONDS - run_start) / 60)) min $(((SECONDS - run_start) % 60)) s"
# Anything the tests started and left behind still runs inside the root.
leftover=$(for p in /proc/[0-9]*; do
  [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ] && echo "${p#/proc/} $(tr '\0' ' ' <"$p/cmdline")"
done || true)
if [ -n "$leftover" ]; then
  echo "processes the tests left running:" && echo "$leftover"
  kill -9 $(cut -d' ' -f1 <<<"$leftover") 2>/dev/null || true
  status=1
fi
exit "$status"
