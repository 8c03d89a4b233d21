# SPDX-License-Identifier: GPL-3.0-or-later
# Sourced by bench/run-program.sh and run-bell-onset.sh: what a process costs at rest, read from /proc. Each figure is
# printed as "WHO_name value unit" and kept in $work/figures for the ratios at the end.

# The peer, Debian's Alarm Clock applet, with its settings tools and GStreamer's PulseAudio
# output, installed when missing.
install_peer() {
  local p missing=()
  for p in alarm-clock-applet dconf-cli dconf-service gstreamer1.0-plugins-good; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] ||
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
}

figure() {
  echo "$1_$2 $3 $4"
  echo "$1 $2 $3" >>"$work/figures"
}

# The first visible window of process $1 (waits up to 10 s).
wait_for_window() {
  local w
  for _ in $(seq 2000); do
    w=$(xdotool search --onlyvisible --pid "$1" 2>/dev/null | head -1) && [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.005
  done
  echo "no window of process $1" >&2
  return 1
}

# Writes "MS WINDOW" to file $1 the moment each top-level window is mapped on the display, from the
# X server's map events as they arrive; leaves the watcher's process id in $map_watcher. Looking
# for the window in a loop instead saw it only at its next look, and took a share of the CPU the
# start was measured on.
watch_maps() {
  rm -f "$1.events"
  mkfifo "$1.events"
  : >"$1"
  (
    local t= w
    while IFS= read -r line; do
      case $line in
        MapNotify*) t=${EPOCHREALTIME/./} t=${t:0:-3} ;;
        *"event "*", window "*)
          [ -n "$t" ] || continue
          w=${line##*, window } w=${w%%,*}
          echo "$t $w" >>"$1"
          t=
          ;;
      esac
    done
  ) <"$1.events" &
  stdbuf -oL xev -root -event substructure >"$1.events" 2>/dev/null &
  map_watcher=$!
  # xev selects the events before it prints anything; a map until then would be missed.
  sleep 0.3
}

# The time (ms) the first window of process $2 was mapped, from watch_maps' file $1 (waits 10 s).
first_map_of() {
  local _ t w
  for _ in $(seq 200); do
    while read -r t w; do
      [ "$(xdotool getwindowpid "$w" 2>/dev/null)" = "$2" ] && { echo "$t"; return 0; }
    done <"$1"
    sleep 0.05
  done
  echo "no window of process $2 was mapped" >&2
  return 1
}

# Empties the page cache, so that the next start reads its libraries and fonts from disk: a cold
# start, as after switching the PC on. Fails where that is not allowed (not root, a container).
drop_page_cache() {
  sync
  { echo 3 >/proc/sys/vm/drop_caches; } 2>/dev/null
}

# Voluntary context switches and time on a CPU (ns) of each thread of $1: "tid name count ns"
# lines. The scheduler's own nanoseconds: the process's clock ticks (10 ms) were too coarse to
# tell 0.02 % of a core (12 ms a minute) from twice that.
thread_switches() {
  local task
  for task in /proc/"$1"/task/*; do
    printf '%s %s %s %s\n' "${task##*/}" "$(tr ' ' '_' <"$task/comm")" \
      "$(awk '/^voluntary_ctxt_switches/ { print $2 }' "$task/status")" \
      "$(awk '{ print $1 }' "$task/schedstat")"
  done 2>/dev/null
}

# CPU (% of one core) and wake-ups a second over $4 seconds of process $3, in state $2, and the
# wake-ups of each thread.
measure_rest() {
  local who=$1 state=$2 pid=$3 seconds=$4
  thread_switches "$pid" >"$work/switches-before"
  sleep "$seconds"
  thread_switches "$pid" >"$work/switches-after"
  # Threads that came and went within the window are not counted; at rest there are none.
  figure "$who" "cpu_$state" "$(awk -v s="$seconds" 'NR == FNR { b[$1] = $4; next }
    $1 in b { total += $4 - b[$1] } END { printf "%.4f", total / 1e7 / s }' \
    "$work/switches-before" "$work/switches-after")" "%_of_one_core"
  figure "$who" "wakeups_$state" "$(awk -v s="$seconds" 'NR == FNR { b[$1] = $3; next }
    { total += $3 - b[$1] } END { printf "%.1f", total / s }' "$work/switches-before" "$work/switches-after")" "per_s"
  awk -v s="$seconds" -v who="$who" -v state="$state" 'NR == FNR { b[$1] = $3; c[$1] = $4; next }
    { printf "# %s %s thread %s (%s): %.2f wake-ups/s, %.4f %% of a core\n", who, state, $2, $1,
      ($3 - b[$1]) / s, ($4 - c[$1]) / 1e7 / s }' \
    "$work/switches-before" "$work/switches-after" >&2
}

# The memory of $2: its own (pages it wrote, private dirty, and anonymous pages not yet written:
# what the system must keep for it alone) as the headline, PSS and RSS beside it, and its
# resident memory by kind of mapping.
memory() {
  local who=$1 pid=$2
  figure "$who" own_memory "$(awk '
    /^[0-9a-f]+-[0-9a-f]+ / { anonymous = ($6 == "" || $6 ~ /^\[(heap|stack|anon)/); next }
    /^Private_Dirty:/ { own += $2 }
    /^Private_Clean:/ { if (anonymous) own += $2 }
    END { printf "%.1f", own / 1024 }' "/proc/$pid/smaps")" MiB
  figure "$who" rss "$(awk '/^Rss:/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/smaps_rollup")" MiB
  figure "$who" pss "$(awk '/^Pss:/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/smaps_rollup")" MiB
  awk -v who="$who" '
    /^[0-9a-f]+-[0-9a-f]+ / { path = $6; next }
    /^Rss:/ {
      kind = "other libraries"
      if (path ~ /libQt6/) kind = "Qt libraries"
      else if (path ~ /libc\.so|libstdc\+\+|libm\.so|libgcc|ld-linux/) kind = "C/C++ runtime"
      else if (path == "" || path ~ /^\[(heap|stack|anon)/) kind = "heap and anonymous"
      else if (path ~ /libX|libxcb|libxkb|SYSV|memfd/) kind = "X libraries and window image"
      else if (path ~ /\.tt[cf]$|\.otf$/) kind = "font files"
      else if (path ~ /libicu/) kind = "ICU"
      else if (path ~ /pulse|mpg123|asound|gst|libsnd|multimedia/) kind = "audio and PulseAudio"
      else if (path ~ /gtk|gdk|glib|gio|gobject|cairo|pango|harfbuzz|freetype|fontconfig/) kind = "GTK, GLib and text"
      else if (path ~ /tolvane|alarm-clock/) kind = "the program itself"
      rss[kind] += $2
    }
    END { for (k in rss) printf "# %s memory: %-30s %6.1f MiB\n", who, k, rss[k] / 1024 }' \
    "/proc/$pid/smaps" | sort -t: -k2 -rn >&2
}

# Each figure of $1 beside the same figure of each peer, as a ratio.
ratios() {
  local who=$1 peer
  shift
  for peer in "$@"; do
    awk -v who="$who" -v peer="$peer" '
      $1 == who { ours[$2] = $3 } $1 == peer { theirs[$2] = $3 }
      END {
        for (name in ours) if (name in theirs) {
          if (theirs[name] > 0) printf "ratio_%s_vs_%s %.2f x\n", name, peer, ours[name] / theirs[name]
          else printf "ratio_%s_vs_%s n/a (peer %s)\n", name, peer, theirs[name]
        }
      }' "$work/figures" | sort
  done
}
