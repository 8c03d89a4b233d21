#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The web page of the real headless ringer (`tolvanectl ring`), with PulseAudio's null sink
# recorded: refused until a password is set (said in the log and the status), then served over
# HTTPS with the fingerprint the status shows; a wrong Host, plain HTTP, a malformed request,
# oversized bodies and headers, wrong passwords and a form without its token are all refused
# (web_server_checks.py), 50 parallel clients and a slow one meet a bell, a siege (guesses from
# many addresses and sessions, every connection slot held idle) meets another, 64 strangers'
# uploads a fourth, and all the bells still sound at their second. The password field holds an Argon2id hash, never the
# password; failed log-ins and changes are in the ring log with the client's address. A port
# another program holds is said by the ringer, and by the status, which only reads its log.
# Usage: web_server_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2
source "$src/tests/support/harness.sh"

unset DISPLAY WAYLAND_DISPLAY
start_sound
start_logind_mock
"$src/tests/support/make-tones.sh" "$work/tones"
dir=$work/bells
mkdir "$dir"
ctl() { "$bin/tolvanectl" "$@"; }
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("", 0)); print(s.getsockname()[1])')
ctl init "$dir" >/dev/null
ctl option "$dir" web_port "$port" >/dev/null

# Started directly, not through ctl(): $! must be the ringer itself for the clean-up to end it.
"$bin/tolvanectl" ring "$dir" >"$work/stdout" 2>"$work/stderr" &
ringer=$!
pids+=($ringer)
wait_for 10 "the ringer's refusal" grep -q '网页没有开启：还没有设置软件密码' "$work/stdout"
ctl status "$dir" | grep -q '网页没有开启：还没有设置软件密码' || fail "the status does not say why there is no page"
echo "ok: without a password the page is refused, said in the log and the status"

password='Corridor bells 7'
printf '%s\n' "$password" | ctl password "$dir" >/dev/null 2>&1
wait_for 10 "the page" grep -q '网页已开启' "$work/stdout"
fingerprint=$(ctl status "$dir" --json | /usr/bin/python3 -c 'import json, sys; print(json.load(sys.stdin)["web"]["fingerprint"])')
grep -q "证书指纹（SHA-256）$fingerprint" "$work/stdout" || fail "the log's fingerprint is not the status's"
[ "$(stat -c %a "$dir/tolvane-web.key")" = 600 ] || fail "the key is not private"
echo "ok: once a password is set the page starts within a second, its key private (0600)"
# The page's threads (its password hashes among their work) run below the ringer's priority.
nice_of() { ps -L -o tid=,ni= -p "$ringer" | awk -v t="$1" '$1 == t { print $2 }'; }
lowered=$(ps -L -o ni= -p "$ringer" | grep -c '^ *10$' || true)
[ "$(nice_of "$ringer")" = 0 ] && [ "$lowered" -ge 2 ] ||
  fail "the page's threads do not run below the ringer: $(ps -L -o tid=,ni=,comm= -p "$ringer" | tr '\n' ' ')"
echo "ok: the page's threads run at nice 10, the ringer's at 0"

stored=$(ctl dump "$dir/px.edb" --json)
grep -q '"\$argon2id\$' <<<"$stored" || fail "the password field holds no Argon2id hash: $stored"
grep -q "$password" <<<"$stored" && fail "the password itself is in px.edb"
echo "ok: px.edb holds an Argon2id hash and never the password"

t0=$(($(date +%s) + 12))
at() { date -d "@$((t0 + $1))" +%H:%M:%S; }
all=mon,tue,wed,thu,fri,sat,sun
ctl add "$dir" --start "$(at 0)" --music "$work/tones/a440.mp3" --days "$all" >/dev/null
ctl add "$dir" --start "$(at 5)" --music "$work/tones/b660.mp3" --days "$all" >/dev/null
ctl add "$dir" --start "$(at 12)" --music "$work/tones/c880.mp3" --days "$all" >/dev/null
ctl add "$dir" --start "$(at 20)" --music "$work/tones/a440.mp3" --days "$all" >/dev/null

parecord --device=bells.monitor --latency-msec=10 --channels=1 --rate=44100 --file-format=wav "$work/rec.wav" &
recorder=$!
pids+=($recorder)
/usr/bin/python3 "$src/tests/web/web_server_checks.py" "$port" "$dir" "$fingerprint" "$t0" \
  "$password" "Office 2nd password" $((t0 + 12)) $((t0 + 20)) "$ringer" ||
  fail "the checks against the page failed"
while [ "$(date +%s%N)" -lt "$(((t0 + 21) * 1000000000))" ]; do sleep 0.05; done
recorded_until=$(date +%s.%N)
kill -INT "$recorder"
wait "$recorder" || true
read_tones "$bin" "$work/rec.wav" "$recorded_until"
[ "${#tones[@]}" = 4 ] || fail "expected 4 tones, heard ${#tones[@]}"
expect_tone 0 440 "$t0" 150
expect_tone 1 660 $((t0 + 5)) 150
expect_tone 2 880 $((t0 + 12)) 60
expect_tone 3 440 $((t0 + 20)) 60
# The ringer's own measure, to the millisecond: its first samples handed to the output.
late_at() { ctl log "$dir" | sed -n "s/.*铃声响起：$(at "$1").*迟到 \([0-9]*\) 毫秒.*/\1/p" | tail -1; }
late=$(late_at 12)
[ -n "$late" ] && [ "$late" -le 15 ] || fail "the bell under siege was ${late:-never} ms late: $(ctl log "$dir" | grep "$(at 12)")"
burst_late=$(late_at 20)
[ -n "$burst_late" ] && [ "$burst_late" -le 15 ] ||
  fail "the bell met by the strangers' uploads was ${burst_late:-never} ms late"
echo "ok: the bell met by the crowd, the one after it, the one under siege ($late ms late) and the one met by 64 uploads ($burst_late ms late) sound at their seconds"

log=$(ctl log "$dir")
[ "$(grep -c '网页登录失败：密码不对（127.0.0.2）' <<<"$log")" = 5 ] || fail "the five failed log-ins are not logged: $log"
grep -q '网页（127.0.0.1）：添加铃声 23:59:58' <<<"$log" || fail "the change is not logged with the address"
grep -q '网页（127.0.0.1）：修改密码' <<<"$log" || fail "the password change is not logged"
grep -q -e 'wrong guess' -e "$password" -e 'Office 2nd password' <<<"$log" && fail "a password is in the ring log"
echo "ok: failed log-ins and changes are in the ring log with the address, no password"

# A port another program holds: only the ringer can know it, and the status says what it said.
/usr/bin/python3 -c '
import socket, sys, time
try:  # both families where the machine has IPv6, as the page listens
    s = socket.socket(socket.AF_INET6)
    s.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 0)
    s.bind(("::", 0))
except OSError:
    s = socket.socket()
    s.bind(("", 0))
s.listen()
print(s.getsockname()[1], flush=True)
time.sleep(120)' >"$work/held" &
pids+=($!)
wait_for 10 "a port held by another program" test -s "$work/held"
ctl option "$dir" web_port "$(cat "$work/held")" >/dev/null
wait_for 10 "the ringer's word on the held port" grep -q "网页没有开启：端口 $(cat "$work/held") 已被别的程序占用" "$work/stdout"
status=$(ctl status "$dir")
grep -q "网页没有开启：端口 $(cat "$work/held") 已被别的程序占用" <<<"$status" ||
  fail "the status does not say the port is held: $status"
grep -q '^web page: not served' <<<"$status" || fail "the status shows a page that is not served: $status"
echo "ok: a port held by another program is said by the ringer and by the status"
