#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The office's page served by the Windows ringer (tolvanectl.exe ring) under Wine, its client on
# the Linux side over loopback as the office's browser would be: the certificate served is the one
# the status shows, a wrong password is refused, the right one logs in, a bell added through the
# page is in the tables (read by the Linux build) and in the ring log with the client's address.
# Usage: wine_web_test.sh WINDOWS_BIN_DIR LINUX_BIN_DIR SOURCE_DIR
set -euo pipefail
winbin=$1 bin=$2 src=$3
source "$src/tests/support/harness.sh"

unset DISPLAY
start_wine
dir=$work/bells
mkdir "$dir"
windows_dir=$(winepath -w "$dir")
ctl() { wine "$winbin/tolvanectl.exe" "$@"; }
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("", 0)); print(s.getsockname()[1])')
ctl init "$windows_dir" >/dev/null
mkdir -p "$dir/media"
printf 'ID3 not really sound' >"$dir/media/bell.mp3"  # a file of the 铃声库, which the page offers
ctl option "$windows_dir" web_port "$port" >/dev/null
password='Corridor bells 7'
printf '%s\n' "$password" | ctl password "$windows_dir" >/dev/null 2>&1 || fail "tolvanectl.exe password failed"

wine "$winbin/tolvanectl.exe" ring "$windows_dir" >"$work/stdout" 2>"$work/stderr" &
pids+=($!)
wait_for 30 "the page under Wine" grep -q '网页已开启' "$work/stdout"
fingerprint=$(ctl status "$windows_dir" --json | /usr/bin/python3 -c 'import json, sys; print(json.load(sys.stdin)["web"]["fingerprint"])')
grep -q "证书指纹（SHA-256）$fingerprint" "$work/stdout" || fail "the log's fingerprint is not the status's"
echo "ok: with a password set the Windows ringer opens its page"

PYTHONPATH=$src/tests/web /usr/bin/python3 - "$port" "$fingerprint" "$password" <<'PY' || fail "the page under Wine"
import hashlib, html, re, socket, sys, urllib.parse
from page_client import PageClient, context, cookie_of, token_in

port, fingerprint, password = int(sys.argv[1]), sys.argv[2], sys.argv[3]
page = PageClient(port)
with socket.create_connection(("127.0.0.1", port)) as plain:
    with context.wrap_socket(plain) as tls:
        served = hashlib.sha256(tls.getpeercert(binary_form=True)).hexdigest().upper()
assert ":".join(served[i:i + 2] for i in range(0, 64, 2)) == fingerprint, served
status, headers, _ = page.log_in("wrong guess", address="127.0.0.2")
assert status == 403 and not cookie_of(headers, "tolvane_session"), status
status, headers, _ = page.log_in(password)
session = cookie_of(headers, "tolvane_session")
assert status == 303 and session, status
token = token_in(page.request("GET", "/schedule", cookie=session)[2])
offered = re.search(r'<option value="([^"]*bell\.mp3)"', page.request("GET", "/schedule", cookie=session)[2])
assert offered, "the library's file is not offered"
form = urllib.parse.urlencode({"start": "23:59:58", "music": html.unescape(offered.group(1)), "d0": "1",
                               "token": token})
status, _, _ = page.request("POST", "/schedule/add", form, cookie=session)
assert status == 303, status
schedule = page.request("GET", "/schedule", cookie=session)[2]
assert re.search(r'href="/schedule/change\?start=23(%3A|:)59(%3A|:)58', schedule), "the added bell is not listed"
PY
echo "ok: from Linux, the served certificate is the status's, a wrong password is refused (403), the right one logs in and adds a bell"

"$bin/tolvanectl" list "$dir" | grep -q '^23:59:58.*bell.mp3' || fail "the bell added through the page is not in the tables: $("$bin/tolvanectl" list "$dir")"
log=$(ctl log "$windows_dir" | tr -d '\r')
grep -q '网页登录失败：密码不对（127.0.0.2）' <<<"$log" || fail "the failed log-in is not in the ring log: $log"
grep -q '网页（127.0.0.1）：添加铃声 23:59:58' <<<"$log" || fail "the change is not in the ring log: $log"
echo "ok: the bell is in the tables and the log-in failure and the change are in the ring log"
echo "wine web test passed"
