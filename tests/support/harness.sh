# Sourced by the test scripts: a work folder that goes at exit, background processes (in pids)
# killed at exit last-started first, fail(), and a private X server.
work=$(mktemp -d)
pids=()
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts Xvfb on a free display and points DISPLAY at it.
start_xvfb() {
  Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  export DISPLAY=:$(cat "$work/display")
}

# A fresh Wine prefix in the work folder, with one wineserver kept alive for the run.
start_wine() {
  export WINEPREFIX=$work/prefix WINEDEBUG=-all HOME=$work WINEDLLOVERRIDES="mscoree,mshtml="
  wineboot -i >/dev/null 2>&1
  wineserver -p &
  pids+=($!)
  trap 'wineserver -k 2>/dev/null || true; cleanup' EXIT
}
