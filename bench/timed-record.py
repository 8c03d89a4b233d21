#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the raw 16-bit mono PCM read from standard input (a recorder's output) to a WAV file and
# the wall-clock time of its first sample to a second file. Each chunk arrives some time after its
# last sample was recorded, never before: the earliest arrival less the audio before it is the
# closest bound on when the recording began. (Taken from the time after the recorder had ended,
# it carried the recorder's ending, which varied from run to run.)
# Usage: recorder | bench/timed-record.py RATE OUT.wav START_FILE
import sys
import time
import wave

rate = int(sys.argv[1])
begun = None
frames = 0
with wave.open(sys.argv[2], "wb") as out:
    out.setnchannels(1)
    out.setsampwidth(2)
    out.setframerate(rate)
    while chunk := sys.stdin.buffer.read1(65536):
        arrived = time.time()
        frames += len(chunk) // 2
        estimate = arrived - frames / rate
        begun = estimate if begun is None else min(begun, estimate)
        out.writeframesraw(chunk)
with open(sys.argv[3], "w") as start:
    start.write("%.4f\n" % (begun if begun is not None else time.time()))
