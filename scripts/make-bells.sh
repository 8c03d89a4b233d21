#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Renders the bells the program ships into folder $1: 上课, 下课, 预备 and 广播体操, signal tones
# of our own making (sox), encoded as MP3 (lame), so a new school has something to ring before it
# adds its own. The same notes make the same files, build after build.
# Usage: scripts/make-bells.sh OUT_DIR
set -euo pipefail
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rate=44100
# Each piece in a file of its own (the helpers run in subshells: a counter would not carry).
piece() { mktemp -p "$work" XXXXXX.wav; }

# A struck note: a plucked tone that dies away, then silence to fill its beat.
note() {  # hz seconds
  local f
  f=$(piece)
  sox -R -q -n -r $rate -c 1 -b 16 "$f" synth "$2" pluck "$1" fade q 0.002 "$2" 0.05 vol 0.9
  echo "$f"
}
# A steady tone, as a signal's beep.
beep() {  # hz seconds
  local f
  f=$(piece)
  sox -R -q -n -r $rate -c 1 -b 16 "$f" synth "$2" sine "$1" fade q 0.01 "$2" 0.03 vol 0.5
  echo "$f"
}
rest() {  # seconds
  local f
  f=$(piece)
  sox -R -q -n -r $rate -c 1 -b 16 "$f" trim 0 "$1"
  echo "$f"
}
bell() {  # name wav...
  local name=$1
  shift
  sox -R -q "$@" "$work/$name.wav" norm -3
  lame --quiet -b 128 --tt "$name" "$work/$name.wav" "$out/$name.mp3"
}

C5=523.25 D5=587.33 E5=659.26 G4=392.00 G5=783.99 C6=1046.50 A5=880.00 D6=1174.66

rising=("$(note $C5 0.4)" "$(note $E5 0.4)" "$(note $G5 0.4)" "$(note $C6 1.4)")
bell 上课 "${rising[@]}" "$(rest 0.5)" "${rising[@]}"
falling=("$(note $C6 0.4)" "$(note $G5 0.4)" "$(note $E5 0.4)" "$(note $C5 1.4)")
bell 下课 "${falling[@]}" "$(rest 0.5)" "${falling[@]}"
short=("$(beep $A5 0.25)" "$(rest 0.25)")
bell 预备 "${short[@]}" "${short[@]}" "${short[@]}" "$(beep $D6 0.8)"
call=("$(note $G4 0.25)" "$(note $C5 0.25)" "$(note $E5 0.25)" "$(note $G5 0.25)" "$(note $C6 1.0)")
bell 广播体操 "${call[@]}" "$(rest 0.3)" "$(note $G5 0.25)" "$(note $E5 0.25)" "$(note $D5 0.25)" \
  "$(note $E5 0.25)" "$(note $C5 1.2)" "$(rest 0.3)" "${call[@]}"
