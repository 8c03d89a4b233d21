#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The bell service under Wine's service manager, as a school's IT would drive it from a terminal:
# tolvanectl.exe service install, status and remove, each saying what it did, and the ring log in
# the folder showing the service's own start and stop.
# Wine's manager answers the start asked right after an installation only after a while (1053),
# so the test first waits for the service to run; it then starts the service's process again and
# again, so stop and start, plain calls of the same manager, are left to a real Windows.
# Usage: wine_service_test.sh WINDOWS_BIN_DIR
set -euo pipefail
winbin=$1
src=$(cd "$(dirname "$0")/../.." && pwd)
source "$src/tests/support/harness.sh"

start_sound
start_wine
program="$work/程序"
mkdir -p "$program"
cp -r "$winbin"/. "$program/"
ctl() { (cd "$program" && timeout -k 5 90 wine ./tolvanectl.exe "$@") 2>&1 | tr -d '\r'; }
status_is() { [ "$(ctl service status || true)" = "service Tolvane: $1" ]; }
# Asked every two seconds: Wine's manager is slow to answer, and a busy poll would keep it busy.
until_status() {  # seconds state
  local i
  for ((i = 0; i < $1; i += 2)); do status_is "$2" && return 0; sleep 2; done
  fail "the service is not $2 after $1 s: $(ctl service status || true); $(cat "$program/tolvane.log")"
}

status_is "not installed" || fail "status before the installation: $(ctl service status || true)"
ctl init . >/dev/null
ctl service install "$(winepath -w "$program")" >"$work/install" || true
grep -q "^installed: the service Tolvane rings" "$work/install" || fail "install: $(cat "$work/install")"
until_status 120 running
echo "ok: installed, and status says it runs"

ctl service remove | grep -q "^removed: the service Tolvane" || fail "remove said otherwise"
status_is "not installed" || fail "status after the removal: $(ctl service status || true)"
log=$(tr -d '\r' <"$program/tolvane.log")
for line in "打铃服务启动：" "服务管理器要求停止" "打铃服务结束："; do
  grep -q "$line" <<<"$log" || fail "the ring log lacks \"$line\": $log"
done
echo "ok: removed; the ring log shows the service's start and its stop"
