#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The power-off request against a real D-Bus: a private bus standing in for the system bus, with
# python3-dbusmock's logind template on it. The mock must record exactly one PowerOff(false).
# Without any bus the request must pass silently.
# Usage: logind_poweroff_test.sh BIN_DIR
set -euo pipefail
bin=$1
source "$(dirname "$0")/../support/harness.sh"

# No bus at all: nothing happens, quickly.
DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/none" timeout 10 "$bin/poweroff_probe"

start_logind_mock

timeout 10 "$bin/poweroff_probe"
calls=$(gdbus call --system -d org.freedesktop.login1 -o /org/freedesktop/login1 \
  -m org.freedesktop.DBus.Mock.GetCalls)
echo "calls: $calls"
count=$(grep -o "'PowerOff'" <<<"$calls" | wc -l)
if [ "$count" != 1 ] || ! grep -q "'PowerOff', \[<false>\]" <<<"$calls"; then
  echo "FAIL: expected exactly one PowerOff(false)" >&2
  cat "$work/mock-logind.log" >&2
  exit 1
fi
echo "logind power-off test passed"
