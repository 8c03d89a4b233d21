#!/usr/bin/python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The office's day on the web page, in a real headless Chromium driven over DevTools, against the
real desktop program: every step checked in the page and, through the accessibility bus, in the
program's window.

Usage: browser_checks.py BASE_URL DEVTOOLS_PORT PASSWORD UPLOADS BIN_DIR FOLDER SHOTS_DIR SMALL_DISK
UPLOADS holds a440.mp3 (a bell), long440.mp3 (one the small disk cannot hold), renamed.mp3 (text)
and big.mp3 (200 MiB); SMALL_DISK is 1 when the program's 铃声库 is a file system of 32 KiB.
Prints "bell_at=EPOCH" when the bell it adds is due, and one "ok:" line per check.
"""
import datetime
import os
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(__file__))
from cdp import Page  # noqa: E402

base, devtools, password, uploads, bin_dir, folder, shots, small_disk = sys.argv[1:9]
music = os.path.join(folder, "media", "a440.mp3")  # the bell's music, once uploaded
window_texts = os.path.join(os.path.dirname(__file__), "..", "support", "atspi_window.py")


def fail(what):
    print("FAIL: " + what, file=sys.stderr)
    sys.exit(1)


def ok(what):
    print("ok: " + what, flush=True)


def window_shows(text, seconds=5, shown=True, within_a_line=False):
    deadline = time.time() + seconds
    while time.time() < deadline:
        said = subprocess.run(["/usr/bin/python3", window_texts, "texts"], capture_output=True,
                              text=True).stdout.splitlines()
        found = any(text in line for line in said) if within_a_line else text in said
        if found == shown:
            return
        time.sleep(0.2)
    fail(f"the window {'does not show' if shown else 'still shows'} {text!r}: {said}")


def clock(epoch):
    return datetime.datetime.fromtimestamp(epoch).strftime("%H:%M:%S")


page = Page(devtools)
user_agent = page.evaluate("navigator.userAgent")
page.call("Network.enable")
page.call("Network.setUserAgentOverride", userAgent=user_agent, acceptLanguage="zh-CN,zh")
page.call("Emulation.setDeviceMetricsOverride", width=360, height=780, deviceScaleFactor=1,
          mobile=True)

page.open(base + "/login")
page.fill({"password": "not it"})
page.press("form button[type=submit]", "/login")
if "密码不对" not in page.text():
    fail("a wrong password is not said")
page.fill({"password": password})
page.press("form button[type=submit]", "/")
if "计划运行中" not in page.text():
    fail("the today page does not say the plan runs: " + page.text())
ok("logged in with the program's password (a wrong one is said)")

def upload(name):
    page.open(base + "/library")
    page.choose_file("#upload input[type=file]", os.path.join(uploads, name))
    page.press("#upload button", "/library")
    return page.text()


said = upload("a440.mp3")
if "已放入铃声库：a440.mp3" not in said:
    fail("a valid MP3 is not taken into the library: " + said)
heard = page.evaluate("""new Promise(done => {
    const a = document.querySelector('audio[src="/library/file?name=a440.mp3"]');
    if (!a) return done(-2);
    a.onloadedmetadata = () => done(a.duration); a.onerror = () => done(-1);
    a.preload = 'auto'; a.load(); })""")
if not heard or heard < 0.5:
    fail(f"试听 in the browser does not load the uploaded bell (duration {heard})")
page.screenshot(os.path.join(shots, "web-library-phone-zh.png"))
ok("an MP3 chosen in the browser is uploaded into the library and plays there (试听)")

said = upload("fourteen.mp3")
kept = os.path.join(folder, "media", "fourteen.mp3")
if "已放入铃声库：fourteen.mp3" not in said or os.path.getsize(kept) != os.path.getsize(
        os.path.join(uploads, "fourteen.mp3")):
    fail("a 14 MiB MP3 sent with its length is not taken whole: " + said)
ok("a 14 MiB MP3 is uploaded whole by the page's script")

if "不能作为铃声播放" not in upload("renamed.mp3"):
    fail("a text file named .mp3 is not refused")
if os.path.exists(os.path.join(folder, "media", "renamed.mp3")):
    fail("the refused file was kept")
ok("a text file renamed to .mp3 is refused, and not kept")

page.open(base + "/library")
page.choose_file("#upload input[type=file]", os.path.join(uploads, "big.mp3"))
page.evaluate("document.querySelector('#upload button').click()")
page.wait_for("document.getElementById('upload-said').textContent.includes('文件太大')")
ok("a 200 MiB file is refused in the browser before it is sent")

escaped = page.evaluate("""fetch('/library/upload?name=' + encodeURIComponent('../escape.mp3') +
    '&token=' + document.querySelector('[name=token]').value,
    {method: 'POST', headers: {'Content-Type': 'audio/mpeg'}, body: 'ID3'}).then(r => r.status)""")
if escaped != 422 or os.path.exists(os.path.join(folder, "escape.mp3")):
    fail(f"a name with ../ got {escaped}")
ok("a name with ../ is refused (422) and nothing is written outside the library")

if small_disk == "1":
    # Said where the file was chosen, in the server's words: the page stays.
    page.open(base + "/library")
    page.choose_file("#upload input[type=file]", os.path.join(uploads, "full.mp3"))
    page.evaluate("document.querySelector('#upload button').click()")
    page.wait_for("document.getElementById('upload-said').textContent.includes('No space left')")
    if sorted(os.listdir(os.path.join(folder, "media"))) != ["a440.mp3", "fourteen.mp3"]:
        fail("a full disk left something behind: " + str(os.listdir(os.path.join(folder, "media"))))
    ok("a full disk is refused with its reason, and leaves nothing half-written")

page.open(base + "/schedule")
bell_at = int(time.time()) + 10
fields = {"start": clock(bell_at), "music": music}
fields.update({f"d{d}": True for d in range(7)})
page.fill(fields)
page.press("form.bell button", "/schedule")
print(f"bell_at={bell_at}", flush=True)
if clock(bell_at) not in page.text():
    fail("the added bell is not listed on the page")
window_shows("cell: " + clock(bell_at))
overflow = page.evaluate("document.documentElement.scrollWidth")
if overflow > 360:
    fail(f"the schedule is {overflow} px wide on a 360 px phone")
page.screenshot(os.path.join(shots, "web-schedule-phone-zh.png"))
ok("a bell added 10 s ahead is listed on the page and in the window; the page fits 360 px")

# The today page stays live: its clock and the countdown tick, and once the bell has rung the next
# bell is another, all without a reload.
page.open(base + "/")
said = page.evaluate("[document.getElementById('clock').textContent,"
                     " document.getElementById('next').textContent]")
due = datetime.datetime.fromtimestamp(bell_at).strftime("%Y-%m-%d %H:%M:%S")
if due not in said[1]:
    fail("the today page does not name the bell due next: " + said[1])
time.sleep(2.2)
later = page.evaluate("[document.getElementById('clock').textContent,"
                      " document.getElementById('next').textContent]")
if later[0] == said[0] or later[1] == said[1]:
    fail(f"the today page stood still: {said} then {later}")
try:
    page.wait_for(f"!document.getElementById('next').textContent.includes('{due}')",
                  seconds=bell_at + 12 - time.time())
except TimeoutError:
    fail("after its bell the today page still names it: " + page.text())
ok(f"the today page ticks ({said[0]} then {later[0]}) and moves on after the bell, unreloaded")

while time.time() < bell_at + 2:
    time.sleep(0.1)

# 立即播放 from the page: the running program plays it on the bell output, and logs who asked.
page.open(base + "/")
page.fill({"music": music})
rang_at = time.time()
page.press("form[action='/ringnow'] button", "/")
print(f"ring_now_at={rang_at}", flush=True)
if "正在立即播放" not in page.text():
    fail("立即播放 is not said on the page: " + page.text())
window_shows("立即播放", within_a_line=True)
time.sleep(1.5)  # heard whole before the next change
ok("立即播放 on the page plays at once through the program")

# 广播通知: typed in the office, said now through the program, and another kept for a few seconds
# later, listed on the page until its second and said then.
page.fill({"text": "请各班班主任到会议室开会"})
notice_at = time.time()
page.press("form[action='/notice'] button[value=now]", "/")
print(f"notice_at={notice_at}", flush=True)
if "正在广播通知：请各班班主任到会议室开会" not in page.text():
    fail("the notice said now is not said on the page: " + page.text())
time.sleep(4)  # heard whole before the next one
timed_notice_at = int(time.time()) + 5
page.fill({"text": "放学", "times": "2", "at": clock(timed_notice_at)})
page.press("form[action='/notice'] button[value=at]", "/")
print(f"timed_notice_at={timed_notice_at}", flush=True)
listed = page.text()
if f"通知将在 {clock(timed_notice_at)} 广播：放学" not in listed or "今天稍后的广播通知" not in listed:
    fail("the notice for later is not said and listed on the page: " + listed)
status = subprocess.run([os.path.join(bin_dir, "tolvanectl"), "status", folder],
                        capture_output=True, text=True).stdout
if f"notice later today: {clock(timed_notice_at)} 放学 (2 times)" not in status:
    fail("tolvanectl status does not list the notice for later: " + status)
page.screenshot(os.path.join(shots, "web-notice-phone-zh.png"))
try:  # the live part, fetched again by the page's script, drops it once said
    page.wait_for("!document.body.innerText.includes('今天稍后的广播通知')",
                  seconds=timed_notice_at + 8 - time.time())
except TimeoutError:
    fail("the notice said at its time is still listed on the page: " + page.text())
time.sleep(max(0.0, timed_notice_at + 5 - time.time()))  # 放学 said twice
ok("a notice is said now from the page, and one for later is listed and said at its second")

moved = clock(bell_at + 3600)
page.open(base + "/schedule/change?start=" + clock(bell_at))
page.fill({"start": moved})
page.press("form.bell button", "/schedule")
window_shows("cell: " + moved)
window_shows("cell: " + clock(bell_at), shown=False)
ok("changed on the page, changed in the window")

page.open(base + "/")
page.press("form[action='/plan'] button", "/")
if "计划已暂停" not in page.text():
    fail("the pause is not said on the page")
window_shows("button: 暂停中。。")
page.press("form[action='/plan'] button", "/")
window_shows("button: 暂停计划")
ok("paused and resumed from the page: the window's button follows")

page.open(base + "/schedule/delete?start=" + moved)
page.press("form[action='/schedule/delete'] button", "/schedule")
window_shows("cell: " + moved, shown=False)
ok("deleted on the page, gone from the window")

tomorrow = (datetime.date.today() + datetime.timedelta(days=1)).isoformat()
page.open(base + "/calendar")
page.fill({"from": tomorrow, "day": "0", "note": "运动会"})
page.press("form.bell button", "/calendar")
calendar = subprocess.run([os.path.join(bin_dir, "tolvanectl"), "calendar", folder],
                          capture_output=True, text=True).stdout
if tomorrow not in calendar or "运动会" not in calendar:
    fail("the holiday set on the page is not in the calendar: " + calendar)
page.screenshot(os.path.join(shots, "web-calendar-phone-zh.png"))
ok("a holiday set on the page is in the school calendar")

# A second 作息表 made with tolvanectl while the program runs: the page chooses it, and a bell added
# there is that timetable's, not the default's.
tolvanectl = os.path.join(bin_dir, "tolvanectl")
subprocess.run([tolvanectl, "timetable", folder, "add", "考试"], check=True, capture_output=True)
page.open(base + "/schedule")
page.fill({"t": "考试"})
page.press("form[action='/schedule'] button", "/schedule")
exam_bell = clock(bell_at + 7200)
page.fill({"start": exam_bell, "music": music, "d0": True})
page.press("form.bell button", "/schedule")
exam = subprocess.run([tolvanectl, "list", folder, "--timetable", "考试"], capture_output=True,
                      text=True).stdout
usual = subprocess.run([tolvanectl, "list", folder], capture_output=True, text=True).stdout
if exam_bell not in exam or exam_bell in usual or "考试" not in page.evaluate(
        "document.querySelector('select[name=t]').value"):
    fail(f"the bell added to 考试 on the page is not 考试's alone: 考试 {exam!r}, 常规 {usual!r}")
ok("a timetable made by tolvanectl is chosen on the page, and a bell added there is its own")

page.open(base + "/log")
log = page.text()
if "铃声响起：" + clock(bell_at) not in log:
    fail("the log page does not show the bell heard: " + log)
# Chromium reaches localhost over IPv6 where it can.
if not any(f"网页（{address}）：添加铃声 {clock(bell_at)}" in log for address in ("127.0.0.1", "::1")):
    fail("the log page does not show the page's change with the address: " + log)
ok("the log page shows the bell heard and the page's change with the address")

page.call("Network.setUserAgentOverride", userAgent=user_agent, acceptLanguage="en-US,en")
page.open(base + "/")
if page.evaluate("document.documentElement.lang") != "en" or "The plan is running" not in page.text():
    fail("the page is not in English for an English browser: " + page.text())
page.screenshot(os.path.join(shots, "web-today-phone-en.png"))
ok("an English browser gets the page in English")

# A problem is said to each reader in their own language: the page in English, the window (which
# runs in Chinese) in Chinese, at the same moment.
subprocess.run(["pactl", "set-sink-mute", "bells", "1"], check=True)
said = ""
for _ in range(50):
    page.open(base + "/")
    said = page.text()
    if "muted" in said:
        break
    time.sleep(0.2)
if "Nobody can hear the sound output bells: the output is muted" not in said:
    fail("the English page does not say the muted output in English: " + said)
muted_in_chinese = "声音输出 bells 听不到：输出已静音。"
window_shows(muted_in_chinese, within_a_line=True)
subprocess.run(["pactl", "set-sink-mute", "bells", "0"], check=True)
window_shows(muted_in_chinese, shown=False, within_a_line=True)
ok("a muted output is said in English on the English page and in Chinese in the window")

elsewhere = sorted({e["params"]["request"]["url"] for e in page.events
                    if e.get("method") == "Network.requestWillBeSent"
                    and not e["params"]["request"]["url"].startswith((base + "/", "data:"))})
# data: URLs are the browser's own pictures (its date and time inputs' icons), fetched from nowhere.
if elsewhere:
    fail(f"the page asked for things from elsewhere: {elsewhere}")
ok("every request the pages made went to the program itself")

# The browser ends with all of its processes before the test's folder goes.
page.call("Browser.close")
