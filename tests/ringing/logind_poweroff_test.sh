#!/usr/bin/env bash
# The power-off request against a real D-Bus: a private bus standing in for the system bus, with
# python3-dbusmock's logind template on it. The mock must record exactly one PowerOff(false).
# Without any bus the request must pass silently.
# Usage: logind_poweroff_test.sh BIN_DIR
set -euo pipefail
bin=$1
source "$(dirname "$0")/../support/harness.sh"

# No bus at all: nothing happens, quickly.
DBUS_SYSTEM_BUS_ADDRESS="unix:path=$work/none" timeout 10 "$bin/poweroff_probe"

dbus-daemon --session --nofork --print-address=3 --address="unix:path=$work/bus" 3>"$work/address" &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/address" ] && break; sleep 0.1; done
export DBUS_SYSTEM_BUS_ADDRESS=$(head -1 "$work/address")

# Debian's own interpreter: python3-dbusmock is a Debian package.
/usr/bin/python3 -m dbusmock --system --template logind >"$work/mock.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  gdbus introspect --system -d org.freedesktop.login1 -o /org/freedesktop/login1 >/dev/null 2>&1 && break
  sleep 0.1
done

timeout 10 "$bin/poweroff_probe"
calls=$(gdbus call --system -d org.freedesktop.login1 -o /org/freedesktop/login1 \
  -m org.freedesktop.DBus.Mock.GetCalls)
echo "calls: $calls"
count=$(grep -o "'PowerOff'" <<<"$calls" | wc -l)
if [ "$count" != 1 ] || ! grep -q "'PowerOff', \[<false>\]" <<<"$calls"; then
  echo "FAIL: expected exactly one PowerOff(false)" >&2
  cat "$work/mock.log" >&2
  exit 1
fi
echo "logind power-off test passed"
