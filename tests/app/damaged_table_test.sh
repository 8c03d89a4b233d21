#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# A schedule of 60 bells cut short under the running headless ringer, as a copy caught halfway
# leaves it: the file is never written over, a copy of it is kept as db.edb.damaged, the ring log
# and `tolvanectl status` say which file and why, `check` fails on it, and the next bell rings from
# the schedule read before. The copy finishing makes the file whole and the problem goes. A ringer
# started on a damaged file sets it aside and says so; `tolvanectl repair` keeps its whole records.
# Usage: damaged_table_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

unset DISPLAY WAYLAND_DISPLAY
start_sound
"$src/tests/support/make-tones.sh" "$work/tones"
dir=$work/bells
mkdir "$dir"
all=mon,tue,wed,thu,fri,sat,sun
ctl() { "$bin/tolvanectl" "$@" >/dev/null; }
# 58 bells in the small hours, then two due in seconds.
for i in $(seq 58); do
  ctl add "$dir" --start "$(printf '02:%02d:%02d' $((i / 60)) $((i % 60)))" --music "$work/tones/a440.mp3" --days "$all"
done
t0=$(($(date +%s) + 4))
at() { date -d "@$((t0 + $1))" +%H:%M:%S; }
ctl add "$dir" --start "$(at 0)" --music "$work/tones/a440.mp3" --days "$all"
ctl add "$dir" --start "$(at 8)" --music "$work/tones/b660.mp3" --days "$all"
cp "$dir/db.edb" "$work/db.full"

"$bin/tolvanectl" ring "$dir" >"$work/stdout" 2>"$work/stderr" &
pids+=($!)
wait_for 30 "the ringer to start" grep -q '无窗口打铃启动' "$work/stdout"
wait_for 10 "the first bell" grep -q "铃声响起：$(at 0)" "$dir/tolvane.log"

truncate -s 3000 "$dir/db.edb"
cp "$dir/db.edb" "$work/db.cut"
wait_for 5 "the damage to be said" grep -q "表文件已损坏" "$dir/tolvane.log"
grep "表文件已损坏" "$dir/tolvane.log" | grep -q "db.edb：it is cut short: it holds [0-9]* of the 60 records" ||
  fail "the log does not say which file and why: $(grep 表文件 "$dir/tolvane.log")"
cmp -s "$dir/db.edb.damaged" "$work/db.cut" || fail "no copy of the damaged file as it was"
"$bin/tolvanectl" status "$dir" --json >"$work/status.json"
grep -q "表文件 $dir/db.edb 已损坏" "$work/status.json" || fail "status does not say it: $(cat "$work/status.json")"
status=0
"$bin/tolvanectl" check "$dir/db.edb" >"$work/check" 2>&1 || status=$?
[ "$status" = 1 ] && grep -q "damaged: it is cut short" "$work/check" || fail "check passed a cut file: $(cat "$work/check")"
echo "ok: a file cut short under the ringer is kept as it is, copied aside, and said in the log, status and check"

wait_for 15 "the next bell" grep -q "铃声响起：$(at 8)" "$dir/tolvane.log"
cmp -s "$dir/db.edb" "$work/db.cut" || fail "the damaged file was written over"
[ "$(ls "$dir" | grep -c damaged)" = 1 ] || fail "more than one copy: $(ls "$dir")"
echo "ok: the next bell rang from the schedule read before, and the file was never written"

# The copy finishes: the file is whole again, and read.
cp "$work/db.full" "$dir/db.edb.part" && mv "$dir/db.edb.part" "$dir/db.edb"
wait_for 5 "the file to be read again" grep -q "表文件又能读取了：$dir/db.edb" "$dir/tolvane.log"
"$bin/tolvanectl" status "$dir" --json >"$work/status.json"
grep -q "已损坏" "$work/status.json" && fail "status still says the file is damaged"
echo "ok: a file made whole again is read, and no longer a problem"

kill "${pids[-1]}"
wait "${pids[-1]}" 2>/dev/null || true
cp "$work/db.cut" "$dir/db.edb"
"$bin/tolvanectl" ring "$dir" >"$work/stdout2" 2>&1 &
pids+=($!)
wait_for 30 "the second ringer to start" grep -q '无窗口打铃启动' "$work/stdout2"
# Its first line is written before it opens the tables: the copy is looked at once it is said.
wait_for 10 "the damaged file to be set aside" grep -q "已改名保存为 $dir/db.edb.damaged-2" "$work/stdout2"
cmp -s "$dir/db.edb.damaged-2" "$work/db.cut" || fail "the ringer started on a damaged file did not set it aside"
"$bin/tolvanectl" status "$dir" --json >"$work/status.json"
grep -q "db.edb.damaged-2" "$work/status.json" || fail "status does not say the file was set aside"
kill "${pids[-1]}"
wait "${pids[-1]}" 2>/dev/null || true
echo "ok: a ringer started on a damaged file sets it aside and says so"

# An index naming a table outside the folder, and a season that is no season.
ctl timetable "$dir" add 考试
ctl timetable "$dir" add 夏季
ctl timetable "$dir" season 夏季 --from 05-01 --to 09-30
/usr/bin/python3 - "$dir/zx.edb" <<'PY'
import sys
path = sys.argv[1]
data = open(path, "rb").read()
data = data.replace(b"zx1.edb" + b"\0" * 5, b"/tmp/zx1.edb", 1).replace(b"05-01", b"13-45", 1)
open(path, "wb").write(data)
PY
"$bin/tolvanectl" ring "$dir" >"$work/stdout3" 2>&1 &
pids+=($!)
wait_for 30 "the third ringer to start" grep -q '无窗口打铃启动' "$work/stdout3"
grep -q "作息表“考试”的表文件“/tmp/zx1.edb”不是这个文件夹里的表" "$dir/tolvane.log" ||
  fail "a table outside the folder is not said: $(tail -5 "$dir/tolvane.log")"
grep -q "作息表“夏季”的季节不能用" "$dir/tolvane.log" || fail "a bad season is not said"
[ ! -e /tmp/zx1.edb.lock ] || fail "a lock file was made outside the folder"
"$bin/tolvanectl" status "$dir" --json >"$work/status.json"
grep -q "不是这个文件夹里的表" "$work/status.json" && grep -q "季节不能用" "$work/status.json" ||
  fail "status does not say what of the index cannot be used: $(cat "$work/status.json")"
kill "${pids[-1]}"
wait "${pids[-1]}" 2>/dev/null || true
echo "ok: an index naming a table elsewhere, or a bad season, is said and not followed"

cp "$work/db.cut" "$work/repair.edb"
"$bin/tolvanectl" repair "$work/repair.edb" >"$work/repair" || fail "repair failed: $(cat "$work/repair")"
kept=$(sed -n 's/.*repaired: \([0-9]*\) records kept.*/\1/p' "$work/repair")
[ -n "$kept" ] && [ "$kept" -gt 0 ] || fail "repair said: $(cat "$work/repair")"
cmp -s "$work/repair.edb.damaged" "$work/db.cut" || fail "repair kept no copy of the file as it was"
"$bin/tolvanectl" check "$work/repair.edb" | grep -q "no repair needed: $kept records" || fail "the repaired file does not pass"
echo "ok: repair keeps the $kept whole records, and the file as it was"
echo "damaged table test passed"
