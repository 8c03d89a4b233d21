#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the MP3 fixtures of the playback tests in folder $1: sine tones of distinct pitches
# (sox), encoded with lame, and one file that is not MP3 at all.
set -euo pipefail
out=$1
mkdir -p "$out"
tone() {  # name rate channels seconds hz
  sox -q -n -r "$2" -c "$3" -b 16 "$out/$1.wav" synth "$4" sine "$5" vol 0.5
  lame --quiet -b 128 "$out/$1.wav" "$out/$1.mp3"
  rm "$out/$1.wav"
}
tone a440 44100 1 0.6 440
tone b660 44100 1 0.5 660
tone c880 22050 2 0.4 880
tone long440 44100 1 3.0 440
echo "this is not an MP3 file" > "$out/broken.mp3"
