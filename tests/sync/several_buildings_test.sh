#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Several buildings on one schedule, the guide's way: two Syncthing instances on this machine
# (loopback only, no discovery, relays or NAT), the office's folder Send Only and the building's
# Receive Only (watcher delay 1 s), each with the guide's .stignore; the building rings its copy
# with `tolvanectl ring`, its sound recorded from a null sink.
# - a bell added at the office 20 s ahead is heard in the building at its second;
# - a change made in the building by mistake is not sent back;
# - each computer's lock, scratch and log files stay its own;
# - with another computer's lock file put in the building's folder, a second ringer is refused;
# - the building's ring log deleted under the running ringer is made again at its next line.
# Usage: several_buildings_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

unset DISPLAY WAYLAND_DISPLAY DBUS_SYSTEM_BUS_ADDRESS
start_sound
"$src/tests/support/make-tones.sh" "$work/tones" >/dev/null
office=$work/office building=$work/building
mkdir -p "$office" "$building"
"$bin/tolvanectl" init "$office" >/dev/null
for folder in "$office" "$building"; do
  printf '%s\n' '*.lock' '*.tmp' '*.damaged*' 'tolvane*.log' 'tolvane-web.*' 'tolvane.state' 'tolvane.notices' 'tolvane.counts' >"$folder/.stignore"
done

free_port() { /usr/bin/python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
declare -A gui listen id
for name in office building; do
  syncthing generate --home="$work/st-$name" --no-default-folder >"$work/st-$name.gen" 2>&1
  id[$name]=$(grep -o 'Device ID: .*' "$work/st-$name.gen" | cut -d' ' -f3)
  gui[$name]=$(free_port)
  listen[$name]=$(free_port)
done
/usr/bin/python3 "$src/tests/sync/syncthing_config.py" "$work/st-office" "${gui[office]}" \
  "${listen[office]}" "$office" sendonly "${id[building]}" "${listen[building]}"
/usr/bin/python3 "$src/tests/sync/syncthing_config.py" "$work/st-building" "${gui[building]}" \
  "${listen[building]}" "$building" receiveonly "${id[office]}" "${listen[office]}"
for name in office building; do
  syncthing serve --home="$work/st-$name" --no-browser --no-restart --logfile="$work/st-$name.log" \
    >/dev/null 2>&1 &
  pids+=($!)
done
received() { test -s "$building/px.edb" -a -s "$building/db.edb" -a -s "$building/xl.edb"; }
wait_for 60 "the office's tables in the building" received
echo "ok: the building received the office's tables"

"$bin/tolvanectl" ring "$building" >"$work/ring.out" 2>&1 &
ringer=$!
pids+=($ringer)
wait_for 5 "the building's ringer" grep -q '无窗口打铃启动' "$work/ring.out"

at=$(date -d "@$(($(date +%s) + 20))" +%H:%M:%S)
"$bin/tolvanectl" add "$office" --start "$at" --music "$work/tones/a440.mp3" \
  --days mon,tue,wed,thu,fri,sat,sun >/dev/null
listed() { "$bin/tolvanectl" list "$building" | grep -q "$at"; }
wait_for 15 "the bell to reach the building" listed
echo "ok: a bell added at the office reached the building"

# Meanwhile, by mistake, a change in the building: kept there, never sent to the office.
office_tables=$(md5sum "$office/db.edb" | cut -d' ' -f1)
"$bin/tolvanectl" add "$building" --start 23:59:58 --music "$work/tones/a440.mp3" >/dev/null 2>&1
sleep 4
[ "$(md5sum "$office/db.edb" | cut -d' ' -f1)" = "$office_tables" ] ||
  fail "a change made in the building was sent back to the office"
echo "ok: a change made in the building is not sent back"

# Another computer's lock file arrives in the building's folder: one ringer still.
printf '4242\n' >"$building/.tolvane.lock.arriving"
mv "$building/.tolvane.lock.arriving" "$building/tolvane.lock"
status=0
timeout 10 "$bin/tolvanectl" ring "$building" >"$work/second.out" 2>&1 || status=$?
[ "$status" != 0 ] || fail "a second ringer started on the building's folder"
kill -0 "$ringer" || fail "the building's ringer ended"
echo "ok: with another lock file in place, a second ringer is refused"

# The building's log deleted under its ringer (a "revert local changes" would do it).
rm -f "$building/tolvane.log"
log_after() { grep -q "铃声响起：$at" "$building/tolvane.log" 2>/dev/null; }
wait_for 30 "the bell heard in the building, in a ring log made again" log_after
grep -F "铃声响起：$at" "$building/tolvane.log"
for file in tolvane.log tolvane.lock; do
  [ -e "$office/$file" ] && fail "the building's $file reached the office"
done
echo "PASS: the office's bell rang in the building at its second; each computer kept its own files"
