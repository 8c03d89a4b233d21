# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the program benchmarks: a work folder that goes at exit, a private X server and
# session bus, and a program folder $work/program holding the program and 20 bells. Needs $build.
work=$(mktemp -d)
trap 'kill $(jobs -p) $(cat "$work/bus-pid" 2>/dev/null) 2>/dev/null || true; wait 2>/dev/null; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display") XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR" "$work/program"
# A session bus of its own, as on a desktop (and as the peer gets): without one, Qt's first
# window asks libdbus for the accessibility bus, which starts a bus daemon inside the program's
# start-up.
dbus-daemon --session --fork --address="unix:path=$XDG_RUNTIME_DIR/bus" --print-pid >"$work/bus-pid"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/bus
# And a system bus with logind's mock, as on a desktop: the program asks logind to keep the
# machine awake as its plan starts.
dbus-daemon --session --fork --address="unix:path=$work/system-bus" --print-pid >>"$work/bus-pid"
export DBUS_SYSTEM_BUS_ADDRESS=unix:path=$work/system-bus
/usr/bin/python3 -m dbusmock --system --template logind >/dev/null 2>&1 &
for _ in $(seq 100); do
  gdbus introspect --system -d org.freedesktop.login1 -o /org/freedesktop/login1 >/dev/null 2>&1 && break
  sleep 0.1
done
cp "$build/bin/tolvane" "$work/program/"
"$build/bin/fill_schedule" "$work/program" 20
