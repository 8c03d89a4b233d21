#!/usr/bin/env bash
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
# What Windows does not tell of the output is not claimed: no mute, level or port made up.
json=$(run_wine status "$wine_dir" --json | tr -d '\r')
grep -q '"muted": null, "volume_percent": null, "port_available": null' <<<"$json" ||
  fail "status --json claims the output's state under Wine: $json"
echo "ok: status --json leaves the output's mute, level and port unknown where the system does not tell"
echo "wine back-ends test passed"
