#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Talks to the web page the real ringer serves, as an office, an attacker and a crowd would.

Usage: web_server_checks.py PORT FOLDER FINGERPRINT BELL_EPOCH PASSWORD NEW_PASSWORD SIEGE_BELL_EPOCH \
    BURST_BELL_EPOCH RINGER_PID

Before the bell: a wrong Host, plain HTTP, a malformed request, an oversized body (with and
without a length), an oversized header, five wrong passwords from one address (the sixth try
waits), a form without its token (nothing changes), a form with it. Around the bell: 50 desks'
parallel requests, each asking the ringer for its state, a client that sends its request a byte at a
time, oversized bodies. After it: a password change ends the session from before. Around the
siege bell: guesses from 40 addresses and 8 sessions while every connection slot is held idle, and
the office's page still comes within 2 s.
Prints one "ok:" line per check; exits 1 at the first failure.
"""
import concurrent.futures
import hashlib
from html import unescape
import http.client
import re
import socket
import ssl
import sys
import threading
import time
import urllib.parse

from page_client import PageClient, context, cookie_of, header, token_in

port, folder, fingerprint = int(sys.argv[1]), sys.argv[2], sys.argv[3]
bell, password, new_password = float(sys.argv[4]), sys.argv[5], sys.argv[6]
page = PageClient(port)
request, log_in = page.request, page.log_in


def fail(what):
    print("FAIL: " + what, file=sys.stderr)
    sys.exit(1)


def ok(what):
    print("ok: " + what, flush=True)


def raw_tls(payload, wait=5.0):
    """What the server answers bytes sent over TLS, as they are."""
    with socket.create_connection(("127.0.0.1", port), timeout=wait) as plain:
        with context.wrap_socket(plain) as tls:
            tls.sendall(payload)
            answer = b""
            try:
                while b"\r\n\r\n" not in answer:
                    piece = tls.recv(4096)
                    if not piece:
                        break
                    answer += piece
            except (socket.timeout, ssl.SSLError, ConnectionError):
                pass
            return answer


def bell_count():
    return len(re.findall(r'href="/schedule/change\?start=', request("GET", "/schedule", cookie=session)[2]))


# The certificate served is the one the program shows.
with socket.create_connection(("127.0.0.1", port)) as plain:
    with context.wrap_socket(plain) as tls:
        served = hashlib.sha256(tls.getpeercert(binary_form=True)).hexdigest().upper()
if ":".join(served[i:i + 2] for i in range(0, 64, 2)) != fingerprint:
    fail(f"the certificate served is not the one shown ({served})")
ok("the certificate served has the fingerprint tolvanectl status shows")

status, _, _ = request("GET", "/login", host="evil.example")
if status != 421:
    fail(f"a request for another host got {status}")
ok("a request naming another host is refused (421)")

with socket.create_connection(("127.0.0.1", port), timeout=5) as plain:
    plain.sendall(b"GET / HTTP/1.1\r\nHost: localhost\r\n\r\n")
    try:
        answer = plain.recv(4096)
    except (socket.timeout, ConnectionError):
        answer = b""
if answer.startswith(b"HTTP/"):
    fail(f"plain HTTP got an HTTP answer: {answer[:80]!r}")
ok("plain HTTP gets no HTTP answer")

if not raw_tls(b"NOT HTTP AT ALL\r\n\r\n").startswith(b"HTTP/1.1 400"):
    fail("a malformed request was not refused with 400")
ok("a malformed request is refused (400)")

status, _, _ = request("POST", "/login", body="x=" + "a" * 70000)
if status != 413:
    fail(f"a 70000-byte body got {status}")
chunk = b"2000\r\n" + b"a" * 0x2000 + b"\r\n"
answer = raw_tls(b"POST /login HTTP/1.1\r\nHost: localhost\r\nTransfer-Encoding: chunked\r\n"
                 b"Content-Type: application/x-www-form-urlencoded\r\n\r\n" + chunk * 10)
if not answer.startswith(b"HTTP/1.1 413"):
    fail(f"an endless chunked body was not refused: {answer[:60]!r}")
answer = raw_tls(b"GET / HTTP/1.1\r\nHost: localhost\r\nX-Filler: " + b"a" * 16000 + b"\r\n\r\n")
if not answer.startswith(b"HTTP/1.1 431"):
    fail(f"a 16 kB header was not refused: {answer[:60]!r}")
# An upload says its 200 MiB up front: refused on its header, before any of it is read.
answer = raw_tls(b"POST /library/upload?name=big.mp3 HTTP/1.1\r\nHost: localhost\r\n"
                 b"Content-Type: audio/mpeg\r\nContent-Length: 209715200\r\n\r\n" + b"ID3" * 100)
if not answer.startswith(b"HTTP/1.1 413"):
    fail(f"a 200 MiB upload was not refused on its header: {answer[:60]!r}")
ok("bodies over 64 KiB (with a length or chunked), an upload of 200 MiB and a 16 kB header are "
   "refused (413, 431)")

held = []
for _ in range(20):
    plain = socket.create_connection(("127.0.0.1", port), timeout=3, source_address=("127.0.0.3", 0))
    try:
        held.append(context.wrap_socket(plain))
    except (ssl.SSLError, ConnectionError, socket.timeout):
        plain.close()
for connection in held:
    connection.close()
if len(held) != 16:
    fail(f"one address held {len(held)} connections at once, not 16")
ok("one address holds at most 16 connections at once")

for attempt in range(5):
    status, _, _ = log_in("wrong guess", address="127.0.0.2")
    if status != 403:
        fail(f"wrong password {attempt + 1} got {status}")
status, _, html = log_in(password, address="127.0.0.2")
if status != 429:
    fail(f"the sixth try within a minute got {status}, not 429")
ok("five wrong passwords from one address, then even the right one waits (429)")

status, headers, _ = log_in(password)
session = cookie_of(headers, "tolvane_session")
if status != 303 or not session:
    fail(f"the right password from another address got {status}")
attributes = header(headers, "Set-Cookie")[0]
for needed in ("HttpOnly", "Secure", "SameSite=Strict"):
    if needed not in attributes:
        fail(f"the session cookie lacks {needed}: {attributes}")
status, headers, html = request("GET", "/", cookie=session)
for name, value in (("Content-Security-Policy", "default-src 'self'"),
                    ("X-Frame-Options", "DENY"), ("X-Content-Type-Options", "nosniff")):
    if not any(value in v for v in header(headers, name)):
        fail(f"the page lacks {name}: {value}")
ok("logged in: the cookie is HttpOnly, Secure, SameSite=Strict; the page sends CSP, "
   "X-Frame-Options and nosniff")

before = bell_count()
# The page offers the library's music (and the schedule's): the first of its choices.
offered = re.search(r'<option value="([^"]*)"', request("GET", "/schedule", cookie=session)[2])
if not offered:
    fail("the bell form offers no music")
form = urllib.parse.urlencode({"start": "23:59:58", "music": unescape(offered.group(1)),
                               "d0": "1"})
status, _, _ = request("POST", "/schedule/add", form, cookie=session)
if status != 403 or bell_count() != before:
    fail(f"a form without its token got {status} and the bells went from {before} to {bell_count()}")
ok("a form without its token is refused (403) and nothing changes")
token = token_in(request("GET", "/schedule", cookie=session)[2])
status, _, _ = request("POST", "/schedule/add", form + "&token=" + token, cookie=session)
if status != 303 or bell_count() != before + 1:
    fail(f"a form with its token got {status}")
ok("the same form with its token adds the bell")

# Around the bell: a crowd, a slow client and oversized bodies.
if time.time() > bell - 1.5:
    fail("the checks before the bell took too long for the crowd to meet the bell")
while time.time() < bell - 1.5:
    time.sleep(0.02)
stop_at = bell + 2.0
crowd_answers = []


def crowd_member(desk):
    answers = []
    while time.time() < stop_at:
        answers.append(request("GET", "/", cookie=session, address=f"127.0.0.{10 + desk}")[0])
    return answers


def slow_client():
    with socket.create_connection(("127.0.0.1", port), timeout=10) as plain:
        with context.wrap_socket(plain) as tls:
            for byte in b"GET / HTTP/1.1\r\nHost: localhost\r\n":
                if time.time() > stop_at:
                    break
                tls.sendall(bytes([byte]))
                time.sleep(0.1)


slow = threading.Thread(target=slow_client)
slow.start()
with concurrent.futures.ThreadPoolExecutor(max_workers=52) as pool:
    crowd = pool.map(crowd_member, range(50))
    oversized = pool.submit(lambda: request("POST", "/login", body="x=" + "a" * 70000)[0])
    for answers in crowd:
        crowd_answers += answers
    if oversized.result() != 413:
        fail("an oversized body during the bell was not refused")
slow.join()
if len(crowd_answers) < 50 or any(s != 200 for s in crowd_answers):
    fail(f"the crowd got {sorted(set(crowd_answers))} in {len(crowd_answers)} answers")
ok(f"50 parallel clients got {len(crowd_answers)} pages, a slow client and an oversized body "
   "were served or refused around the bell")

token = token_in(request("GET", "/password", cookie=session)[2])
change = urllib.parse.urlencode({"old": password, "new": new_password, "again": new_password,
                                 "token": token})
status, _, _ = request("POST", "/password", change, cookie=session)
if status != 303:
    fail(f"the password change got {status}")
status, headers, _ = request("GET", "/", cookie=session)
if status != 303 or header(headers, "Location") != ["/login"]:
    fail(f"the session from before the change got {status}")
status, _, _ = request("POST", "/stop", "token=" + token, cookie=session)
if status != 403:
    fail(f"a form of the session from before the change got {status}")
status, _, _ = log_in(new_password)
if status != 303:
    fail(f"the new password did not log in ({status})")
ok("after a password change the session from before is refused, the new password logs in")

# The page under siege around a third bell: 40 addresses guess the password at log-in, 8 logged-in
# sessions guess the old one on the password form, and 4 addresses hold 16 idle connections each
# (every slot the server has), opening another whenever one is closed. The office, already
# logged in, must get its page within 2 s throughout.
siege_bell = float(sys.argv[7])
status, headers, _ = log_in(new_password)
session = cookie_of(headers, "tolvane_session")
desk = cookie_of(headers, "tolvane_desk")
guessing_sessions = [cookie_of(log_in(new_password)[1], "tolvane_session") for _ in range(8)]
if status != 303 or not all(guessing_sessions):
    fail("the sessions for the siege could not log in")
if time.time() > siege_bell - 4:
    fail("the checks before the siege took too long for it to meet the bell")
while time.time() < siege_bell - 4:
    time.sleep(0.02)
siege_ends = siege_bell + 2.0


def guess_at_log_in(n):
    while time.time() < siege_ends:
        try:
            log_in(f"guess {n}", address=f"127.0.0.{100 + n}")
        except (OSError, http.client.HTTPException):
            pass


def guess_old_password(cookie, address):
    # From addresses of their own: this computer itself (127.0.0.1) is a known desk.
    while time.time() < siege_ends:
        try:
            token = token_in(request("GET", "/password", cookie=cookie, address=address)[2])
            form = urllib.parse.urlencode({"old": "a guess", "new": "x1", "again": "x1", "token": token})
            request("POST", "/password", form, cookie=cookie, address=address)
        except (OSError, http.client.HTTPException):
            pass


def hold_idle(address):
    held = []
    while time.time() < siege_ends:
        held = [c for c in held if still_open(c)]
        while len(held) < 16 and time.time() < siege_ends:
            try:
                plain = socket.create_connection(("127.0.0.1", port), timeout=2,
                                                 source_address=(address, 0))
                held.append(context.wrap_socket(plain))
            except (OSError, ssl.SSLError):
                break
        time.sleep(0.05)
    for c in held:
        c.close()


def still_open(connection):
    connection.setblocking(False)
    try:
        return connection.recv(1) != b""
    except (ssl.SSLWantReadError, BlockingIOError):
        return True
    except (OSError, ssl.SSLError):
        return False
    finally:
        connection.setblocking(True)


office_waits, office_logins = [], []
with concurrent.futures.ThreadPoolExecutor(max_workers=52) as pool:
    attackers = [pool.submit(hold_idle, f"127.0.0.{20 + a}") for a in range(4)]
    time.sleep(1.0)  # every slot taken before the guessing starts
    attackers += [pool.submit(guess_at_log_in, n) for n in range(40)]
    attackers += [pool.submit(guess_old_password, cookie, f"127.0.0.{50 + n}")
                  for n, cookie in enumerate(guessing_sessions)]
    while time.time() < siege_ends:
        asked = time.time()
        try:
            status = request("GET", "/", cookie=session)[0]
        except (OSError, http.client.HTTPException) as e:
            status = repr(e)
        office_waits.append(time.time() - asked)
        if status != 200:
            fail(f"the office got {status} during the siege")
        if not office_logins and time.time() > siege_bell - 2:
            # A desk the office used before, now with another address: it gets in all the same.
            asked = time.time()
            office_logins.append((log_in(new_password, address="127.0.0.9", desk=desk)[0],
                                  time.time() - asked))
        time.sleep(0.2)
    for attacker in attackers:
        attacker.result()
slowest = max(office_waits)
if slowest > 2.0:
    fail(f"the office waited {slowest:.2f} s for its page during the siege")
ok(f"under siege (40 guessing addresses, 8 guessing sessions, 64 idle connections) the office "
   f"got its page {len(office_waits)} times, in {slowest:.2f} s at most")
if not desk or not office_logins or office_logins[0][0] != 303 or office_logins[0][1] > 5:
    fail(f"the office's desk ({desk}) could not log in during the siege: {office_logins}")
ok(f"the office's desk logged in during the siege in {office_logins[0][1]:.1f} s")

# 64 strangers, no session, each posting a chunked 20 MiB upload at once around a bell: answered
# from the header (403) while still sending, and the ringer's memory stays within 64 MiB of its
# rest (its peak, reset just before; Linux's clear_refs).
burst_bell, ringer_pid = float(sys.argv[8]), sys.argv[9]


def memory_kib(field):
    with open(f"/proc/{ringer_pid}/status") as status:
        for line in status:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    fail(f"the ringer's {field} is not in /proc")


def stranger_upload(n):
    chunk = b"10000\r\n" + bytes(0x10000) + b"\r\n"
    with socket.create_connection(("127.0.0.1", port), timeout=10,
                                  source_address=(f"127.0.1.{n % 4 + 1}", 0)) as plain:
        with context.wrap_socket(plain) as tls:
            sent_at = time.time()
            tls.sendall(b"POST /library/upload?name=song.mp3 HTTP/1.1\r\nHost: localhost\r\n"
                        b"Transfer-Encoding: chunked\r\nContent-Type: audio/mpeg\r\n\r\n")
            answer = tls.recv(4096)
            waited = time.time() - sent_at
            try:  # the rest of the body, as a stranger would go on sending it
                for _ in range(20 * 16):
                    tls.sendall(chunk)
            except (OSError, ssl.SSLError):
                pass
            return answer[:12], waited


while time.time() < burst_bell - 2:
    time.sleep(0.02)
with open(f"/proc/{ringer_pid}/clear_refs", "w") as clear:
    clear.write("5")
at_rest = memory_kib("VmRSS")
with concurrent.futures.ThreadPoolExecutor(max_workers=64) as pool:
    answers = list(pool.map(stranger_upload, range(64)))
peak = memory_kib("VmHWM")
refused = [a for a, _ in answers if a == b"HTTP/1.1 403"]
if len(refused) != 64 or max(w for _, w in answers) > 3:
    fail(f"the strangers' uploads got {sorted(set(a for a, _ in answers))}, "
         f"the slowest in {max(w for _, w in answers):.1f} s")
if peak - at_rest > 64 * 1024:
    fail(f"64 strangers' uploads took the ringer from {at_rest // 1024} MiB to {peak // 1024} MiB")
ok(f"64 strangers' 20 MiB uploads were refused from their headers; the ringer's memory went "
   f"from {at_rest // 1024} MiB to at most {peak // 1024} MiB")
