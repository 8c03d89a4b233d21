#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The Win32 back-ends under Wine: the back-end checks of win32_backends_test.exe, then table files
# written by tolvanectl.exe under Wine compared byte for byte (creation time aside) with those
# written on Linux.
# Usage: wine_backends_test.sh WIN32_BIN_DIR LINUX_BIN_DIR
set -euo pipefail
winbin=$1
bin=$2
source "$(dirname "$0")/../support/harness.sh"

unset DISPLAY
start_wine

# Run from a folder with a Chinese name: the program folder must come back whole.
mkdir "$work/checks" "$work/铃声 程序"
cp "$winbin/win32_backends_test.exe" "$work/铃声 程序/"
wine "$work/铃声 程序/win32_backends_test.exe" "$(winepath -w "$work/checks")"
[[ -f "$work/铃声 程序/db.edb" ]] || fail "the tables are not in the program folder"

# The same schedule written by both builds, in folders with Chinese names.
linux_dir="$work/linux 铃声" wine_dir="$work/wine 铃声"
mkdir "$linux_dir" "$wine_dir"
schedule() {  # runner folder
  local run=$1 folder=$2
  "$run" add "$folder" --start 08:00:00 --end 08:00:30 --music "/铃声/上课.mp3" >/dev/null
  "$run" add "$folder" --start 12:00:00 --music "/铃声/午休" --days mon,sat >/dev/null
  "$run" change "$folder" 08:00:00 --days none >/dev/null
}
run_linux() { "$bin/tolvanectl" "$@"; }
run_wine() {
  local command=$1 folder=$2
  shift 2
  wine "$winbin/tolvanectl.exe" "$command" "$(winepath -w "$folder")" "$@"
}
schedule run_linux "$linux_dir"
schedule run_wine "$wine_dir"
for table in px.edb db.edb; do
  for side in "$linux_dir" "$wine_dir"; do  # the creation time (bytes 8 to 15) differs by nature
    printf '\0\0\0\0\0\0\0\0' | dd of="$side/$table" bs=1 seek=8 conv=notrunc 2>/dev/null
  done
  cmp "$linux_dir/$table" "$wine_dir/$table" || fail "$table differs between Linux and Wine"
  echo "ok: $table written under Wine is byte for byte the one written on Linux"
done
# The options file written under Wine (CRLF lines) is the Linux build's too.
run_wine option "$wine_dir" clock_offset -12 >/dev/null
[ "$("$bin/tolvanectl" option "$wine_dir" clock_offset)" = -12 ] ||
  fail "the Linux build does not read the offset written under Wine: $(cat "$wine_dir/tolvane.conf")"
run_wine option "$wine_dir" volume 101 2>/dev/null && fail "a volume of 101 % was taken under Wine"
echo "ok: tolvane.conf written under Wine is read on Linux, and a bad value is refused"

# The clock: the Windows Time service's setting, as any user can read it.
w32time='HKLM\SYSTEM\CurrentControlSet\Services\W32Time\Parameters'
wine reg add "$w32time" /v Type /d NoSync /f >/dev/null 2>&1
status=$(run_wine status "$wine_dir" | tr -d '\r')
grep -q "^clock: not synchronised, offset -12 s" <<<"$status" || fail "status under Wine: $status"
grep -q "Windows 时间服务被设置为不同步时间" <<<"$status" || fail "no clock problem under Wine: $status"
wine reg add "$w32time" /v Type /d NTP /f >/dev/null 2>&1
run_wine status "$wine_dir" | grep -q "^clock: synchronised" || fail "an NTP time service is not taken as synchronised"
echo "ok: the time service set not to synchronise is said under Wine, and one set to NTP is not"
# Without a sound server Windows' audio endpoints list no output, and that is said; its mute, level
# and port are not made up.
json=$(PULSE_SERVER=unix:$work/no-sound-server run_wine status "$wine_dir" --json | tr -d '\r')
grep -q '"present": false, "muted": null, "volume_percent": null, "port_available": null' <<<"$json" ||
  fail "status --json under Wine without a sound server: $json"
grep -q '没有声音输出' <<<"$json" || fail "no output is not said as a problem under Wine: $json"
echo "ok: status under Wine says there is no output, and claims nothing of its state"
# The password, made under Wine with the cross-built libsodium: an Argon2id hash in px.edb that
# libsodium on Linux accepts for the password and refuses for another.
printf 'Bell-1 铃\n' | run_wine password "$wine_dir" >/dev/null || fail "tolvanectl.exe password failed"
hash=$("$bin/tolvanectl" dump "$wine_dir/px.edb" --json | /usr/bin/python3 -c '
import json, sys
print(json.load(sys.stdin)["records"][0]["values"]["软件密码"])')
[[ $hash == '$argon2id$'* ]] || fail "px.edb holds no Argon2id hash after tolvanectl.exe password: $hash"
verify() {  # hash, password: libsodium's own check, through its C interface
  /usr/bin/python3 -c '
import ctypes, sys
sodium = ctypes.CDLL("libsodium.so.23")
hash, password = sys.argv[1].encode() + b"\0", sys.argv[2].encode()
sys.exit(sodium.crypto_pwhash_str_verify(hash, password, ctypes.c_ulonglong(len(password))))' "$1" "$2"
}
verify "$hash" "Bell-1 铃" || fail "the hash made under Wine does not accept its password"
verify "$hash" "Bell-2 铃" && fail "the hash made under Wine accepts another password"
echo "ok: tolvanectl.exe password stores an Argon2id hash that Linux's libsodium checks"

# A published holiday plan read under Wine with the cross-built libical and its own time zones.
printf 'BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\nBEGIN:VEVENT\r\nUID:1\r\nSUMMARY:国庆节\r\nDTSTART;VALUE=DATE:20261001\r\nDTEND;VALUE=DATE:20261003\r\nEND:VEVENT\r\nBEGIN:VEVENT\r\nUID:2\r\nSUMMARY:补班\r\nDTSTART;TZID=Asia/Shanghai:20260927T080000\r\nDTEND;TZID=Asia/Shanghai:20260927T170000\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n' >"$work/假期.ics"
run_wine calendar-import "$wine_dir" "$(winepath -w "$work/假期.ics")" --as tue >/dev/null ||
  fail "tolvanectl.exe calendar-import failed"
calendar=$("$bin/tolvanectl" calendar "$wine_dir")
[ "$calendar" = "$(printf '2026-09-27 按周二 补班\n2026-10-01 放假 国庆节\n2026-10-02 放假 国庆节')" ] ||
  fail "the calendar after tolvanectl.exe calendar-import: $calendar"
echo "ok: tolvanectl.exe imports a holiday plan, zoned make-up day included"
# A 作息表 made and filled from a GBK spreadsheet under Wine, with the cross-built libcsv, and read
# on Linux: the index and the timetable's table are the same files on both.
printf '开始时间,结束时间,音乐,星期\r\n7:40,,/铃声/上课.mp3,周一至周五\r\n8:25,,/铃声/下课.mp3,"一、三"\r\n' |
  iconv -f UTF-8 -t GBK >"$work/冬季.csv"
run_wine timetable "$wine_dir" add 冬季 >/dev/null || fail "tolvanectl.exe timetable add failed"
run_wine timetable "$wine_dir" season 冬季 --from 10-01 --to 04-30 >/dev/null ||
  fail "tolvanectl.exe timetable season failed"
run_wine timetable "$wine_dir" import 冬季 "$(winepath -w "$work/冬季.csv")" >/dev/null ||
  fail "tolvanectl.exe timetable import failed"
winter=$("$bin/tolvanectl" list "$wine_dir" --timetable 冬季)
[ "$winter" = "$(printf '07:40:00\t-\t●●●●●○○\t/铃声/上课.mp3\n08:25:00\t-\t●○●○○○○\t/铃声/下课.mp3')" ] ||
  fail "the timetable imported under Wine, read on Linux: $winter"
"$bin/tolvanectl" timetable "$wine_dir" | grep -q "^冬季	2	10-01 至 04-30" ||
  fail "the timetables made under Wine, read on Linux: $("$bin/tolvanectl" timetable "$wine_dir")"
echo "ok: tolvanectl.exe makes a 作息表 from a GBK spreadsheet, and Linux reads it as made"
# Speech under Wine: SAPI lists no Chinese voice there, and that is said, never an empty MP3 made.
voices=$(run_wine voices "$wine_dir" | tr -d '\r')
grep -q "^no Chinese voice on this computer" <<<"$voices" || fail "tolvanectl.exe voices under Wine: $voices"
said=$(run_wine say "$wine_dir" 第3节课上课 --save 上课通知 2>&1 | tr -d '\r') &&
  fail "tolvanectl.exe say made speech without a voice: $said"
grep -q "这台电脑上没有中文语音" <<<"$said" || fail "tolvanectl.exe say without a voice says: $said"
[ ! -e "$wine_dir/media/上课通知.mp3" ] || fail "tolvanectl.exe say left a file without a voice"
echo "ok: tolvanectl.exe says there is no Chinese voice under Wine, and makes no file"
echo "wine back-ends test passed"
