#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# tolvanectl.exe changes a schedule under Wine while another process holds its tables the way the
# running program does (win32_table_holder.exe): Windows will not put a file in the place of one
# that is open, so every change, purge and calendar reset must get through all the same, say why
# when it cannot, and the holder must follow what was changed.
# Usage: wine_shared_tables_test.sh WIN32_BIN_DIR
set -euo pipefail
winbin=$1
source "$(dirname "$0")/../support/harness.sh"

unset DISPLAY
start_wine

dir=$work/school
mkdir "$dir"
ctl() {  # command, then its arguments after the folder
  local command=$1
  shift
  wine "$winbin/tolvanectl.exe" "$command" "$(winepath -w "$dir")" "$@" 2>"$work/ctl.err" | tr -d '\r'
  local rc=${PIPESTATUS[0]}
  tr -d '\r' <"$work/ctl.err" | grep -v "音乐\|music" >&2 || true
  return "$rc"
}
ctl add --start 08:00:00 --music 'C:\bells\up.mp3' >/dev/null
ctl add --start 09:00:00 --music 'C:\bells\down.mp3' >/dev/null
ctl add --start 10:00:00 --music 'C:\bells\up.mp3' >/dev/null

wine "$winbin/win32_table_holder.exe" "$(winepath -w "$dir")" "$(winepath -w "$work/stop")" \
  >"$work/holder.out" 2>&1 &
pids+=($!)
wait_for 60 "the holder's first reading" grep -q "^bells: 08:00:00 09:00:00 10:00:00" "$work/holder.out"

out=$(ctl change 08:00:00 --start 08:05:00) || fail "change while the tables are held: $out $(cat "$work/ctl.err")"
grep -q "修改成功" <<<"$out" || fail "change said: $out"
ctl delete 09:00:00 || fail "delete while the tables are held: $(cat "$work/ctl.err")"
ctl holiday 2026-12-24 2026-12-26 --note 寒假 || fail "holiday while the tables are held"
ctl normal 2026-12-25 || fail "normal while the tables are held: $(cat "$work/ctl.err")"
echo "ok: change, delete, holiday and normal succeed while another process holds the tables"

[ "$(ctl list | cut -f1 | tr '\n' ' ')" = "08:05:00 10:00:00 " ] || fail "the bells are now: $(ctl list)"
calendar=$(ctl calendar)
grep -q "2026-12-24" <<<"$calendar" && grep -q "2026-12-26" <<<"$calendar" &&
  ! grep -q "2026-12-25" <<<"$calendar" || fail "the calendar is now: $calendar"
compgen -G "$dir/*.tmp" >/dev/null && fail "a rebuilt table was left beside the real one: $(ls "$dir")"
echo "ok: the tables hold exactly the changes, purged, with no scratch file left"

holder_printed() { tr -d '\r' <"$work/holder.out" | grep -qx "$1"; }
wait_for 10 "the holder following the changes" holder_printed "bells: 08:05:00 10:00:00"
grep "^error" "$work/holder.out" && fail "the holder could not read a table"
echo "ok: the holder read the changed tables again"

# A failure says why: a bell that is not there.
ctl delete 11:00:00 && fail "deleting a bell that is not there succeeded"
grep -q "no bell starts at 11:00:00" "$work/ctl.err" || fail "delete of a missing bell said: $(cat "$work/ctl.err")"
echo "ok: a delete that cannot be done says why"

touch "$work/stop"
wait_for 20 "the holder to end" sh -c "! kill -0 ${pids[-1]} 2>/dev/null"
echo "wine shared tables test passed"
