#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The tray icon on a StatusNotifierItem host (a private session bus with a minimal watcher, as
# KDE Plasma, Xfce 4.18, LXQt or GNOME's AppIndicator extension provide): "最小化" puts the icon
# there with its tip; a click on it (Activate, which Qt reports as Trigger) brings the window back.
# Usage: tray_sni_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

start_xvfb
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR" "$work/program"
cp "$bin/tolvane" "$work/program/"

dbus-daemon --session --nofork --print-address=3 --address="unix:path=$work/session-bus" 3>"$work/address" 2>/dev/null &
pids+=($!)
wait_for 5 "the session bus's address" test -s "$work/address"
export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/address")
: >"$work/items"
/usr/bin/python3 "$src/tests/support/sni_host.py" "$work/items" 2>"$work/host.log" &
pids+=($!)
watcher_up() {
  gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.NameHasOwner org.kde.StatusNotifierWatcher 2>/dev/null | grep -q true
}
wait_for 10 "the StatusNotifierWatcher" watcher_up

(cd "$work/program" && QT_LOGGING_RULES="qt.qpa.tray=true" exec ./tolvane) 2>"$work/stderr" &
program=$!
pids+=($program)
retry() { for _ in $(seq 200); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done; return 1; }  # 20 s: a loaded machine starts slowly
gone() { ! "$@" >/dev/null 2>&1; }
retry main_window "$program" || fail "the window did not appear"
window=$(main_window "$program")

# The menu picture button, then "最小化".
xdotool mousemove --window "$window" 570 10 click 1
sleep 0.5  # the menu pops up; it cannot be told from the start-up tip by its window
xdotool key Down Down Down Down Down Down Return
retry gone main_window "$program" || fail "最小化 did not hide the window: $(cat "$work/stderr")"
retry test -s "$work/items" || fail "no item registered with the StatusNotifierWatcher"
read -r service path <"$work/items"
tip=$(gdbus call --session -d "$service" -o "$path" -m org.freedesktop.DBus.Properties.Get \
  org.kde.StatusNotifierItem ToolTip)
grep -q '双击可显示！' <<<"$tip" || fail "the icon's tip is not 双击可显示！: $tip"
echo "ok: 最小化 puts the icon on the StatusNotifierItem host, with its tip"

gdbus call --session -d "$service" -o "$path" -m org.kde.StatusNotifierItem.Activate 10 10 >/dev/null
retry main_window "$program" || fail "a click (Activate) on the icon did not bring the window back"
echo "ok: a click on the icon brings the window back"
echo "tray on a StatusNotifierItem host test passed"
