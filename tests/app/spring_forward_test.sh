#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The headless ringer through the real spring-forward night (Europe/Berlin, 2027-03-28: 02:00
# becomes 03:00) under libfaketime, and tolvanectl plan for the same night: the ringer names the
# two bells of the skipped hour as not rung and rings the one after the change at its second,
# and the plan says the same lines.
# Usage: spring_forward_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

unset DISPLAY WAYLAND_DISPLAY
start_sound
"$src/tests/support/make-tones.sh" "$work/tones" >/dev/null
export TZ=Europe/Berlin
dir=$work/bells
mkdir "$dir"
ctl() { "$bin/tolvanectl" "$@"; }
ctl init "$dir" >/dev/null
for start in 02:10:00 02:30:00 03:00:02; do
  ctl add "$dir" --start "$start" --music "$work/tones/a440.mp3" --days sun >/dev/null
done

# The ringer's clock starts at 01:59:57, three seconds before the change.
offset=$(($(date -d "2027-03-28 01:59:57" +%s) - $(date +%s)))
libfaketime=$(dpkg -L libfaketime | grep '/libfaketime.so.1$')
LD_PRELOAD=$libfaketime FAKETIME="+${offset}s" FAKETIME_DONT_FAKE_MONOTONIC=1 \
  "$bin/tolvanectl" ring "$dir" >"$work/stdout" 2>"$work/stderr" &
pids+=($!)
wait_for 10 "the ringer" grep -q '无窗口打铃启动' "$work/stdout"
wait_for 12 "the bell after the change" grep -q '铃声响起：03:00:02' "$work/stdout"

said=$(grep -o '时钟向前跳了.*' "$work/stdout" || true)
expected=$'时钟向前跳了 3600 秒：02:10:00 的铃声没有响（'"$work/tones/a440.mp3"$'）\n时钟向前跳了 3600 秒：02:30:00 的铃声没有响（'"$work/tones/a440.mp3"'）'
[ "$said" = "$expected" ] || fail "the ringer said: $said"
grep -q '铃声开始：02:' "$work/stdout" && fail "a bell of the skipped hour rang: $(cat "$work/stdout")"
echo "ok: the ringer names the skipped hour's bells as not rung and rings 03:00:02 at its second"

planned=$(ctl plan "$dir" --from "2027-03-28 01:59:57" --to "2027-03-28 03:00:05" | sed 's/^[^ ]* [^ ]* //')
[ "$planned" = "$(printf 'log %s\nlog %s\nstart %s' "${expected%%$'\n'*}" "${expected#*$'\n'}" "$work/tones/a440.mp3")" ] ||
  fail "the plan says otherwise: $planned"
echo "ok: tolvanectl plan says what the ringer did"
