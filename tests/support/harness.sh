# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by the test scripts: a work folder that goes at exit, background processes (in pids)
# killed at exit last-started first, fail(), and a private X server.

# The test runs as the leader of a process group of its own, and marks its environment, so that
# everything it starts is found at its end however it was started (through a shell function, a
# pipe, a service the test's own bus activated): the clean-up ends the whole group, and a process
# that left the group (a daemon) yet still runs fails the test.
if [ "$(ps -o pgid= -p $$ | tr -d ' ')" != "$$" ]; then
  exec setsid --wait "$BASH" "$0" "$@"
fi

work=$(mktemp -d)
export TOLVANE_TEST_RUN=$work
pids=()
mounts=()  # file systems a test mounted in its folder, unmounted before it is removed
# The processes of this run other than this shell: of its process group (group) or carrying its
# mark in their environment (marked).
run_processes() {
  local kind=$1 pid
  if [ "$kind" = group ]; then
    pgrep -g "$$" >"$work/.processes" 2>/dev/null || true
  else
    grep -lsxz "TOLVANE_TEST_RUN=$work" /proc/[0-9]*/environ 2>/dev/null |
      cut -d/ -f3 >"$work/.processes" || true
  fi
  # The search's own processes carry the mark too, and are gone by now.
  while read -r pid; do
    if [ "$pid" != "$$" ] && [ "$pid" != "$BASHPID" ] && [ -d "/proc/$pid" ]; then echo "$pid"; fi
  done <"$work/.processes"
}
# Ends the rest of the group; false, naming them, when processes of the run had left it.
end_run_processes() {
  local group escaped
  group=$(run_processes group)
  [ -z "$group" ] || { kill $group 2>/dev/null || true; sleep 0.5; }
  group=$(run_processes group)
  [ -z "$group" ] || kill -KILL $group 2>/dev/null || true
  escaped=$(run_processes marked)
  [ -z "$escaped" ] && return 0
  echo "FAIL: processes this test started outlived it:" >&2
  ps -o pid=,args= -p "$(echo $escaped | tr ' ' ,)" >&2 || true
  kill -KILL $escaped 2>/dev/null || true
  return 1
}
cleanup() {
  local status=${test_status:-$?} i
  # A background subshell inherits this trap and runs it when it is killed: only the test's own
  # shell cleans up.
  [ "$BASHPID" = "$$" ] || return 0
  # Only a process of this run: one that ended long ago may have left its number to another
  # test's (an Xvfb), on a machine that compiles beside the tests and wraps its numbers round.
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    grep -qsxz "TOLVANE_TEST_RUN=$work" "/proc/${pids[i]}/environ" && kill "${pids[i]}" 2>/dev/null || true
  done
  wait 2>/dev/null || true
  end_run_processes || status=1
  # What the program said before a failure is the first clue, and is gone with the folder.
  if [ "$status" -ne 0 ] && [ "$status" -ne 77 ] && [ -s "$work/stderr" ]; then
    echo "--- the program's stderr:" >&2
    tail -20 "$work/stderr" >&2
  fi
  for i in "${mounts[@]}"; do umount -l "$i" 2>/dev/null || true; done
  # A child of a killed process (a browser's renderer) may still be writing into the folder.
  rm -rf "$work" 2>/dev/null || { sleep 1; rm -rf "$work"; }
  exit "$status"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
# Ends the test as skipped (ctest's SKIP_RETURN_CODE), saying why.
skip() { echo "SKIPPED: $*"; exit 77; }

# Polls COMMAND every 50 ms until it succeeds; after SECONDS, fails naming WHAT was awaited.
# Usage: wait_for SECONDS WHAT COMMAND [ARGS...]
wait_for() {
  local seconds=$1 what=$2 deadline
  shift 2
  deadline=$(( $(date +%s%N) + seconds * 1000000000 ))
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s%N)" -lt "$deadline" ] || fail "timed out after ${seconds} s waiting for $what"
    sleep 0.05
  done
}

# Starts Xvfb on a free display and points DISPLAY at it.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  pids+=($!)
  wait_for 5 "Xvfb's display number" test -s "$work/display"
  export DISPLAY=:$(cat "$work/display")
}

# A fresh Wine prefix in the work folder, with one wineserver kept alive for the run, and wine,
# wineboot and winepath the loader that runs the Windows build here (scripts/wine-arch.sh).
start_wine() {
  source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-arch.sh"
  use_wine "$(wine_arch)" "$work/wine-bin"
  export WINEPREFIX=$work/prefix WINEDEBUG=-all HOME=$work WINEDLLOVERRIDES="mscoree,mshtml="
  wineboot -i >/dev/null 2>&1
  wineserver -p &
  pids+=($!)
  trap 'test_status=$?; wineserver -k 2>/dev/null || true; cleanup' EXIT
}

# A PulseAudio server of this run (its runtime folder in XDG_RUNTIME_DIR) with a null sink
# "bells" as the default output. Without module-suspend-on-idle (Debian's default.pa loads it):
# PulseAudio 16's null sink, woken from suspension, renders nothing for about two seconds and then
# all it was given at once, so a recording of its monitor hears a sound started cold (a ring-now,
# a pacat) cut short though every sample was played; a real card wakes in milliseconds.
start_pulse() {
  pulseaudio --system=false -n --exit-idle-time=-1 --daemonize=no --disable-shm=yes \
    -L module-native-protocol-unix -L "module-null-sink sink_name=bells" --log-target=file:"$work/pulse.log" &
  pids+=($!)
  wait_for 5 "the PulseAudio server" pactl info
  pactl set-default-sink bells
}

# A private session bus of this run.
start_session_bus() {
  dbus-daemon --session --nofork --print-address=3 --address="unix:path=$work/session-bus" 3>"$work/session-address" 2>/dev/null &
  pids+=($!)
  wait_for 5 "the private session bus" test -s "$work/session-address"
  export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/session-address")
}

# The GlobalShortcuts portal's mock (tests/support/global_shortcuts_portal.py, in source folder
# $1) on the session bus.
start_portal_mock() {
  /usr/bin/python3 -m dbusmock --template "$1/tests/support/global_shortcuts_portal.py" >"$work/portal.log" 2>&1 &
  pids+=($!)
  wait_for 10 "the portal's mock" gdbus introspect --session -d org.freedesktop.portal.Desktop -o /org/freedesktop/portal/desktop
}

# A private bus standing in for the system bus.
start_system_bus() {
  dbus-daemon --session --nofork --print-address=3 --address="unix:path=$work/bus" 3>"$work/address" 2>/dev/null &
  pids+=($!)
  wait_for 5 "the private bus's address" test -s "$work/address"
  export DBUS_SYSTEM_BUS_ADDRESS=$(head -1 "$work/address")
}

# python3-dbusmock's template $1 on the private system bus, at bus name $2 and object $3, with
# the template's parameters $4 (JSON), if any (Debian's own interpreter: python3-dbusmock is a
# Debian package).
start_dbus_mock() {
  /usr/bin/python3 -m dbusmock --system --template "$1" ${4:+--parameters "$4"} >"$work/mock-$1.log" 2>&1 &
  pids+=($!)
  wait_for 10 "the mock of $1" gdbus introspect --system -d "$2" -o "$3"
}

# The private system bus with logind's mock on it.
start_logind_mock() {
  start_system_bus
  start_dbus_mock logind org.freedesktop.login1 /org/freedesktop/login1
}

# The real RealtimeKit daemon on the private system bus, with python3-dbusmock's PolicyKit
# allowing the actions in $1 (a GVariant string array, e.g. "['org.freedesktop.RealtimeKit1.acquire-real-time']"):
# a thread may then be given real time as on a desktop. Needs root.
start_realtime_kit() {
  [ -n "${DBUS_SYSTEM_BUS_ADDRESS:-}" ] || start_system_bus
  start_dbus_mock polkitd org.freedesktop.PolicyKit1 /org/freedesktop/PolicyKit1/Authority
  /usr/libexec/rtkit-daemon --no-drop-privileges --no-chroot --no-canary --no-limit-resources \
    --stderr >"$work/rtkit.log" 2>&1 &
  pids+=($!)
  wait_for 5 "RealtimeKit" gdbus introspect --system -d org.freedesktop.RealtimeKit1 -o /org/freedesktop/RealtimeKit1
  allow_realtime "$1"
}
allow_realtime() {
  gdbus call --system -d org.freedesktop.PolicyKit1 -o /org/freedesktop/PolicyKit1/Authority \
    -m org.freedesktop.DBus.Mock.SetAllowed "$1" >/dev/null
}

# The program's main window (visible, 663 x 488) among the windows of process $1.
main_window() {
  local w
  for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    xdotool getwindowgeometry "$w" 2>/dev/null | grep -q 'Geometry: 663x488' && { echo "$w"; return 0; }
  done
  return 1
}
no_main_window() { ! main_window "$1"; }
# The tray icon (a visible window at most 32 high) of process $1 in an XEmbed tray.
tray_icon() {
  local w h
  for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
    h=$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*Geometry: [0-9]*x//p')
    [ -n "$h" ] && [ "$h" -le 32 ] && { echo "$w"; return 0; }
  done
  return 1
}
# A visible window titled $1, and none.
titled_window() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
no_titled_window() { ! titled_window "$1"; }

# The sound stack of a desktop test: this run's own home, runtime folder and PulseAudio server,
# kept flowing with silence so that a recording of the null sink runs with the wall clock.
start_sound() {
  export HOME=$work XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  unset PULSE_SERVER DBUS_SESSION_BUS_ADDRESS
  start_pulse
  pacat --raw --format=s16le --rate=44100 --channels=1 </dev/zero &
  pids+=($!)
}

# The tones of recording $2 (tone_scan in $1), stopped at wall-clock time $3 (date +%s.%N):
# sets tones (HZ@START:LENGTH each) and recorded_from, the wall-clock time of its first sample.
read_tones() {
  local heard total
  heard=$("$1/tone_scan" --timed "$2")
  echo "heard: $heard"
  read -r -a tones <<<"$heard"
  total=${tones[-1]#total:}
  unset 'tones[-1]'
  recorded_from=$(awk -v u="$3" -v t="$total" 'BEGIN { printf "%.3f", u - t }')
}

# Fails unless tone $1 (from 0) is $2 Hz and starts between -50 ms and $4 ms after epoch second $3.
expect_tone() {
  local tone=${tones[$1]} start
  [ "${tone%%@*}" = "$2" ] || fail "tone $(($1 + 1)) is ${tone%%@*} Hz, expected $2"
  start=${tone#*@}
  start=${start%%:*}
  awk -v r="$recorded_from" -v s="$start" -v t="$3" -v late="$4" \
    'BEGIN { d = (r + s - t) * 1000; exit !(d > -50 && d < late) }' ||
    fail "tone $(($1 + 1)) started $(awk -v r="$recorded_from" -v s="$start" -v t="$3" 'BEGIN { print r + s - t }') s from its second"
}

# The accessibility bus on the session bus (start_session_bus first), and the program's windows
# on it: tests/support/atspi_window.py then reads and presses them from outside.
start_accessibility_bus() {
  /usr/libexec/at-spi-bus-launcher --launch-immediately >"$work/a11y.log" 2>&1 &
  pids+=($!)
  wait_for 10 "the accessibility bus" gdbus call --session -d org.a11y.Bus -o /org/a11y/bus -m org.a11y.Bus.GetAddress
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}
