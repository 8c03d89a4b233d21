#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The real program as a user who is not the tables' owner (setpriv to nobody; the tests run as
# root, whom permissions do not stop), under Xvfb. Each case checks the table files' bytes after:
# - tables an administrator left in a program folder nobody may write: used, read-only; the window
#   says so, tolvanectl's changes are refused; "开机启动" writes the user's own autostart entry;
# - a db.edb nobody may read: the box, exit 1, nothing renamed or created;
# - a program folder without tables that nobody may write: the tables go to $XDG_DATA_HOME/tolvane;
# - a px.edb without its record: the program starts with the default record.
# Usage: nothing_lost_test.sh BIN_DIR
set -euo pipefail
[ -n "${TRACE:-}" ] && set -x
bin=$1
source "$(dirname "$0")/../support/harness.sh"

start_xvfb
chmod 755 "$work"
user_home=$work/home
mkdir -m 700 "$user_home" "$user_home/run"
chown -R nobody:nogroup "$user_home"
as_nobody() {  # replaces the (sub)shell it runs in
  exec env HOME="$user_home" XDG_RUNTIME_DIR="$user_home/run" XDG_CONFIG_HOME="$user_home/config" \
    XDG_DATA_HOME="$user_home/data" setpriv --reuid=nobody --regid=nogroup --clear-groups "$@"
}
box_titled() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1; }
wait_for() { for _ in $(seq 100); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done; return 1; }
has_box() { [ -n "$(box_titled "$1")" ]; }
close_box() {  # title
  local box
  box=$(box_titled "$1")
  xdotool windowfocus "$box" 2>/dev/null || true
  xdotool key Return
}

# 1. Tables an administrator left in a folder nobody may write (root's, mode 755 and 644).
program=$work/program
mkdir "$program"
cp "$bin/tolvane" "$program/"
"$bin/tolvanectl" add "$program" --start 08:00:00 --music /bells/a.mp3 >/dev/null
sums=$(md5sum "$program"/*.edb)
(cd "$program" && as_nobody ./tolvane) 2>"$work/stderr" &
app=$!
pids+=($app)
wait_for has_box "信息：" || fail "no message that the schedule is read-only: $(cat "$work/stderr")"
close_box "信息："
wait_for main_window "$app" || fail "the window did not appear"
window=$(main_window "$app")
[ ! -e "$user_home/data/tolvane" ] || fail "the tables were made in the user's data folder"
echo "ok: the program folder's tables are used read-only, and the window says so"
out=$(as_nobody "$bin/tolvanectl" add "$program" --start 09:00:00 --music /bells/b.mp3) &&
  fail "tolvanectl added a bell to a read-only schedule"
grep -q "$program/db.edb" <<<"$out" || fail "the refusal does not name the file: $out"
echo "ok: tolvanectl's change is refused, naming the file"

# "开机启动" in the Settings window (the System menu's first item).
xdotool mousemove --window "$window" 570 10 click 1
sleep 0.5
xdotool key Down Return
wait_for has_box "设置" || fail "the Settings window did not open"
settings=$(box_titled "设置")
xdotool mousemove --window "$settings" 40 18 click 1
wait_for has_box "信息：" || fail "no message after 开机启动"
close_box "信息："
[ -f "$user_home/config/autostart/Tolvane.desktop" ] ||
  fail "开机启动 did not write the user's own autostart entry"
[ "$(stat -c %U "$user_home/config/autostart/Tolvane.desktop")" = nobody ] || fail "the entry is not the user's"
echo "ok: 开机启动 writes \$XDG_CONFIG_HOME/autostart/Tolvane.desktop for a user who is not root"
kill "$app"
wait "$app" 2>/dev/null || true
[ "$(md5sum "$program"/*.edb)" = "$sums" ] || fail "the read-only tables changed"
[ -z "$(find "$program" -name '*.damaged*')" ] || fail "a table was set aside"

# 2. A db.edb nobody may read: said, nothing renamed or created, exit 1.
chmod 600 "$program/db.edb"
(cd "$program" && as_nobody ./tolvane) 2>"$work/stderr" &
app=$!
pids+=($app)
wait_for has_box "信息：" || fail "no box for an unreadable db.edb"
close_box "信息："
status=0
wait "$app" || status=$?
[ "$status" = 1 ] || fail "exit status $status for an unreadable db.edb"
[ "$(md5sum "$program"/*.edb)" = "$sums" ] || fail "an unreadable table was changed"
[ -z "$(find "$program" -name '*.damaged*')" ] || fail "an unreadable table was set aside"
echo "ok: an unreadable db.edb is reported and left alone"

# 3. A folder without tables that nobody may write: the user's data folder.
empty=$work/empty
mkdir "$empty"
cp "$bin/tolvane" "$empty/"
(cd "$empty" && as_nobody ./tolvane) 2>"$work/stderr" &
app=$!
pids+=($app)
wait_for main_window "$app" || fail "the window did not appear"
wait_for test -f "$user_home/data/tolvane/db.edb" || fail "no tables in the user's data folder"
kill "$app"
wait "$app" 2>/dev/null || true
echo "ok: without tables in an unwritable program folder, they are made in \$XDG_DATA_HOME/tolvane"

# 4. A px.edb holding its header and no record (the record count at 16 set to 0, cut after it).
mine=$work/mine
mkdir "$mine"
cp "$bin/tolvane" "$mine/"
"$bin/tolvanectl" init "$mine" >/dev/null
cp "$mine/px.edb" "$work/px.full"
truncate -s 836 "$mine/px.edb"
printf '\0' | dd of="$mine/px.edb" bs=1 seek=16 conv=notrunc 2>/dev/null
(cd "$mine" && exec ./tolvane) 2>"$work/stderr" &
app=$!
pids+=($app)
wait_for main_window "$app" || fail "the window did not appear"
sleep 0.5
has_box "运行时出错!" && fail "a px.edb without its record stopped the start"
[ "$(stat -c %s "$mine/px.edb")" = 1480 ] || fail "px.edb did not get its default record"
# The same bytes as a fresh one but for the next stamp (20..23) and the record's stamp (836..839).
same_past() { cmp <(tail -c +$(($1 + 1)) "$mine/px.edb" | head -c "$2") <(tail -c +$(($1 + 1)) "$work/px.full" | head -c "$2") >/dev/null; }
same_past 0 20 && same_past 24 812 && same_past 840 640 ||
  fail "the default record differs from a fresh table's"
kill "$app"
wait "$app" 2>/dev/null || true
echo "ok: a px.edb without its record gets the default one"
echo "nothing lost test passed"
