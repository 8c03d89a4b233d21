// SPDX-License-Identifier: GPL-3.0-or-later
// The web page's answers, request by request, over a real folder of tables: who may log in and
// for how long, which forms are taken, and that nothing from a request reaches a page unescaped.
// The ringer behind it is a recording stand-in here; the page served by the real program is
// tested from outside (web_server_test.sh, web_browser_test.sh).

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "schedule/core/BellEditing.h"
#include "schedule/core/BellLibrary.h"
#include "schedule/core/Calendar.h"
#include "schedule/core/Schema.h"
#include "schedule/core/Timetables.h"
#include "settings/core/Password.h"
#include "tests/support/TempDir.h"
#include "web/HttpParts.h"
#include "web/WebApp.h"

namespace tolvane {
namespace {

class LineLog final : public RingLog {
public:
    void note(const std::string& line) override { lines.push_back(line); }
    void warn(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

class StandInRinger final : public WebRinger {
public:
    std::optional<RingerState> state() override {
        RingerState s;
        s.plan = running ? PlanState::kRunning : PlanState::kPaused;
        return s;
    }
    bool setRunning(bool on) override { return running = on, true; }
    bool stopSound() override { return ++stops, true; }
    Result<std::string> speechPreview(const std::string& text) override { return "ID3 " + text; }
    std::optional<Status> sayNotice(const std::string& text, int times,
                                    std::optional<int> secondOfToday,
                                    const std::string& who) override {
        rungNow.push_back("say " + text + " " + std::to_string(times) +
                          (secondOfToday ? " at " + std::to_string(*secondOfToday) : "") + " " +
                          who);
        return Status::ok();
    }
    std::optional<bool> cancelNotice(int id, const std::string& who) override {
        rungNow.push_back("cancel " + std::to_string(id) + " " + who);
        return true;
    }
    std::optional<Status> ringNow(const std::string& music, bool repeat,
                                  const std::string& who) override {
        rungNow.push_back(music + (repeat ? " repeat " : " once ") + who);
        return Status::ok();
    }
    std::string fileUnplayableBecause(const std::string& file) override {
        std::ifstream in(file, std::ios::binary);
        char tag[3] = {};
        in.read(tag, 3);
        return std::string(tag, 3) == "ID3" ? "" : "不是MP3文件";
    }
    const Clock& clock() override { return schoolClock; }
    RingLog& log() override { return ringLog; }

    bool running = true;
    int stops = 0;
    std::vector<std::string> rungNow;
    ManualClock schoolClock{civilToEpochSeconds(2026, 12, 9, 7, 59, 0) * 1000};
    LineLog ringLog;
};

constexpr char kPassword[] = "corridor-7";

class WebAppTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(openOrCreateTables(db, dir.path()).usable());
        ASSERT_TRUE(setPassword(db, kPassword).isOk());
        WebApp::Setup setup;
        setup.folder = dir.path();
        setup.ringer = &ringer;
        setup.hostNames = {"localhost", "bells.school.lan", "192.168.1.20", "::1"};
        setup.nowMs = [this] { return nowMs; };
        setup.deskKey = "this computer's secret";
        app = std::make_unique<WebApp>(std::move(setup));
        ASSERT_TRUE(makeBellLibrary(dir.path(), "").isOk());
        test::writeFile(dir.file("media/a.mp3"), "ID3 a");
        test::writeFile(dir.file("media/b.mp3"), "ID3 b");
    }
    // A file of the 铃声库, as a bell names it, and as a form sends it.
    std::string libraryFile(const std::string& name) { return dir.file("media/" + name); }
    std::string formMusic(const std::string& name) { return urlEncoded(libraryFile(name)); }

    static HttpRequest request(const std::string& method, const std::string& target,
                               const std::string& body = {}, const std::string& cookie = {},
                               const std::string& from = "192.168.1.50") {
        HttpRequest r;
        r.method = method;
        r.target = target;
        r.host = "bells.school.lan:8443";
        r.cookie = cookie;
        r.contentType = "application/x-www-form-urlencoded";
        r.body = body;
        r.clientAddress = from;
        return r;
    }
    HttpResponse send(const std::string& method, const std::string& target,
                      const std::string& body = {}, const std::string& cookie = {},
                      const std::string& from = "192.168.1.50") {
        return app->handle(request(method, target, body, cookie, from));
    }
    static std::string header(const HttpResponse& r, const std::string& name, size_t nth = 0) {
        for (const auto& [n, v] : r.headers)
            if (n == name && nth-- == 0) return v;
        return {};
    }
    static std::string cookiePair(const std::string& setCookie) {
        return setCookie.substr(0, setCookie.find(';'));
    }
    static std::string tokenIn(const std::string& html) {
        const std::string mark = "name=\"token\" value=\"";
        const size_t at = html.find(mark);
        return at == std::string::npos ? "" : html.substr(at + mark.size(), 64);
    }
    HttpResponse tryLogIn(const std::string& password, const std::string& from = "192.168.1.50",
                          const std::string& desk = {}) {
        const HttpResponse form = send("GET", "/login", {}, {}, from);
        const std::string cookies =
            cookiePair(header(form, "Set-Cookie")) + (desk.empty() ? "" : "; " + desk);
        return send("POST", "/login", "token=" + tokenIn(form.body) + "&password=" + password,
                    cookies, from);
    }
    // The session cookie of a right log-in.
    std::string logIn() {
        const HttpResponse r = tryLogIn(kPassword);
        EXPECT_EQ(303, r.status);
        return cookiePair(header(r, "Set-Cookie"));
    }
    size_t bellCount() {
        TableDatabase check;
        EXPECT_TRUE(openTablesForReading(check, dir.path()).isOk());
        auto bells = readBells(check);
        return bells.isOk() ? bells.value().size() : 0;
    }

    test::TempDir dir;
    TableDatabase db;
    StandInRinger ringer;
    int64_t nowMs = 1'000'000;
    std::unique_ptr<WebApp> app;
};

TEST_F(WebAppTest, LogInWaitsAfterFiveWrongAndASessionEndsIdleOrWithThePassword) {
    EXPECT_EQ(303, send("GET", "/").status) << "no session: to the log-in page";
    const HttpResponse noCookie =
        send("POST", "/login", "token=" + std::string(64, 'a') + "&password=" + kPassword);
    EXPECT_EQ(403, noCookie.status) << "a log-in form another site posted";

    for (int i = 0; i < 5; ++i) EXPECT_EQ(403, tryLogIn("guess").status);
    const HttpResponse waiting = tryLogIn(kPassword);
    EXPECT_EQ(429, waiting.status) << "even the right password waits";
    EXPECT_NE(std::string::npos, waiting.body.find("60")) << waiting.body;
    EXPECT_EQ(303, tryLogIn(kPassword, "192.168.1.51").status) << "another desk is not held up";
    int failures = 0;
    for (const std::string& line : ringer.ringLog.lines) {
        if (line.find("网页登录失败") != std::string::npos) {
            ++failures;
            EXPECT_NE(std::string::npos, line.find("192.168.1.50")) << line;
        }
        EXPECT_EQ(std::string::npos, line.find("guess")) << "a tried password in the log";
    }
    EXPECT_EQ(5, failures);
    nowMs += 60'000;
    const std::string session = logIn();
    const std::string cookie = header(tryLogIn(kPassword), "Set-Cookie");
    for (const char* attribute : {"HttpOnly", "Secure", "SameSite=Strict"})
        EXPECT_NE(std::string::npos, cookie.find(attribute)) << cookie;

    EXPECT_EQ(200, send("GET", "/", {}, session).status);
    nowMs += WebSessions::kIdleMs - 1;
    EXPECT_EQ(200, send("GET", "/", {}, session).status) << "each request keeps it alive";
    nowMs += WebSessions::kIdleMs + 1;
    EXPECT_EQ(303, send("GET", "/", {}, session).status) << "8 h idle ends it";

    const std::string before = logIn();
    ASSERT_TRUE(setPassword(db, "changed-at-the-desk").isOk());
    EXPECT_EQ(303, send("GET", "/", {}, before).status) << "a session of the old password";
    EXPECT_EQ(403, send("POST", "/stop", "token=x", before).status);
    EXPECT_EQ(0, ringer.stops);
}

TEST_F(WebAppTest, ThePasswordFormGuessesWithinTheLogInsLimitsAndTellsNothingEarly) {
    const std::string session = logIn();
    auto changePassword = [&](const std::string& old, const std::string& again) {
        const std::string token = tokenIn(send("GET", "/password", {}, session).body);
        send("POST", "/password", "token=" + token + "&old=" + old + "&new=n3w&again=" + again,
             session);
        return send("GET", "/password", {}, session).body;
    };
    auto failuresLogged = [&] {
        return std::count_if(
            ringer.ringLog.lines.begin(), ringer.ringLog.lines.end(),
            [](const std::string& l) { return l.find("原密码不对") != std::string::npos; });
    };
    // The new fields differ: refused for that, whether the old one is right or not.
    EXPECT_NE(std::string::npos, changePassword("wrong", "other").find("两次输入的新密码不一样"));
    EXPECT_EQ(0, failuresLogged());
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(std::string::npos, changePassword("wrong", "n3w").find("原密码不对"));
    EXPECT_EQ(5, failuresLogged());
    EXPECT_NE(std::string::npos, changePassword(kPassword, "n3w").find("请 60 秒后再试"))
        << "the sixth guess in a minute waits, even a right one";
    EXPECT_EQ(429, tryLogIn(kPassword).status) << "log-in and the form share the address's tries";

    // Every address together: three more desks guessing five times each fill the minute's 20.
    for (const char* desk : {"192.168.1.61", "192.168.1.62", "192.168.1.63"})
        for (int i = 0; i < 5; ++i) EXPECT_EQ(403, tryLogIn("guess", desk).status);
    EXPECT_EQ(429, tryLogIn(kPassword, "192.168.1.64").status);
    EXPECT_EQ(200, send("GET", "/", {}, session).status) << "a desk logged in goes on";
    nowMs += GuessLimit::kWindowMs;
    EXPECT_EQ(303, tryLogIn(kPassword, "192.168.1.64").status);
}

// A desk that logged in keeps its mark: a burst of guesses from elsewhere fills the minute's
// budget of every address, and the desk still logs in, as does the bell computer itself.
TEST_F(WebAppTest, AKnownDeskLogsInThroughABurstOfGuesses) {
    const HttpResponse first = tryLogIn(kPassword, "192.168.1.70");
    const std::string desk = cookiePair(header(first, "Set-Cookie", 2));
    ASSERT_EQ(0u, desk.rfind("tolvane_desk=", 0)) << desk;
    EXPECT_NE(std::string::npos, header(first, "Set-Cookie", 2).find("Max-Age=2592000"));
    for (const char* guesser : {"10.0.0.1", "10.0.0.2", "10.0.0.3", "127.0.0.2"})
        for (int i = 0; i < 5; ++i) EXPECT_EQ(403, tryLogIn("guess", guesser).status);
    EXPECT_EQ(429, tryLogIn(kPassword, "192.168.1.71").status) << "a desk not known waits";
    EXPECT_EQ(429, tryLogIn(kPassword, "192.168.1.71", "tolvane_desk=1.forged").status);
    const std::string stale = "tolvane_desk=" + deskMark("another computer's", 1'700'000'000);
    EXPECT_EQ(429, tryLogIn(kPassword, "192.168.1.71", stale).status);
    EXPECT_EQ(303, tryLogIn(kPassword, "192.168.1.72", desk).status) << "its address changed";
    EXPECT_EQ(303, tryLogIn(kPassword, "127.0.0.1").status) << "this computer itself";
    EXPECT_EQ(303, tryLogIn(kPassword, "192.168.1.20").status) << "by an address of its own";
    EXPECT_EQ(429, tryLogIn(kPassword, "127.0.0.3").status) << "another loopback address";
    EXPECT_EQ(403, tryLogIn("a guess", "10.0.0.5", desk).status)
        << "a stolen mark gives no password, and its guesses are still the address's";
    const int64_t now = 1'800'000'000;
    EXPECT_TRUE(isDeskMark("k", deskMark("k", now - kDeskSeconds + 10), now));
    EXPECT_FALSE(isDeskMark("k", deskMark("k", now - kDeskSeconds - 10), now)) << "too old";
}

// Before a body is read: a stranger is answered from the header, a change from another site is
// refused, and an upload of the office's goes into a new hidden file of the library.
TEST_F(WebAppTest, StrangersAreAnsweredFromTheHeaderAndUploadsGoToAFileOfTheirOwn) {
    EXPECT_EQ(403, app->screen(request("POST", "/library/upload?name=x.mp3")).answer->status);
    EXPECT_EQ(403, app->screen(request("POST", "/schedule/add")).answer->status);
    EXPECT_EQ(303, app->screen(request("GET", "/")).answer->status);
    const HttpsServer::Screening logIn = app->screen(request("POST", "/login"));
    EXPECT_FALSE(logIn.answer || !logIn.bodyFile.empty()) << "a log-in's form is read whole";

    const std::string session = this->logIn();
    const std::string token = tokenIn(send("GET", "/library", {}, session).body);
    EXPECT_FALSE(app->screen(request("POST", "/schedule/add", {}, session)).answer)
        << "a form's token is in its body, not yet read";
    const auto screenUpload = [&](const std::string& name, const std::string& withToken) {
        return app->screen(
            request("POST", "/library/upload?name=" + urlEncoded(name) + "&token=" + withToken, {},
                    session));
    };
    EXPECT_EQ(403, screenUpload("x.mp3", std::string(64, '0')).answer->status);
    EXPECT_EQ(422, screenUpload("AUX .mp3", token).answer->status);
    const HttpsServer::Screening twin = screenUpload("A.MP3", token);
    ASSERT_TRUE(twin.answer);
    EXPECT_NE(std::string::npos, twin.answer->body.find("a.mp3")) << twin.answer->body;

    const HttpsServer::Screening one = screenUpload("新.mp3", token);
    const HttpsServer::Screening other = screenUpload("新.mp3", token);
    ASSERT_FALSE(one.answer);
    EXPECT_EQ(0u, one.bodyFile.rfind(dir.file("media/.upload-"), 0)) << one.bodyFile;
    EXPECT_NE(one.bodyFile, other.bodyFile);
    test::writeFile(one.bodyFile, "ID3 new");
    HttpRequest arrived = request(
        "POST", "/library/upload?name=" + urlEncoded("新.mp3") + "&token=" + token, {}, session);
    arrived.bodyFile = one.bodyFile;
    EXPECT_EQ(200, app->handle(arrived).status);
    EXPECT_EQ("ID3 new", test::readFile(libraryFile("新.mp3")));
    EXPECT_FALSE(std::filesystem::exists(one.bodyFile));

    // Another site's page posting with a token it got somehow: refused on what the browser says.
    const std::string stop = "token=" + tokenIn(send("GET", "/", {}, session).body);
    HttpRequest crossSite = request("POST", "/stop", stop, session);
    crossSite.origin = "https://evil.example";
    EXPECT_EQ(403, app->handle(crossSite).status);
    crossSite.origin = "https://bells.school.lan:8443";
    crossSite.secFetchSite = "cross-site";
    EXPECT_EQ(403, app->handle(crossSite).status);
    EXPECT_EQ(0, ringer.stops);
    crossSite.origin = "null";  // what a browser says under Referrer-Policy no-referrer
    EXPECT_EQ(403, app->handle(crossSite).status);
    crossSite.secFetchSite = "same-origin";
    EXPECT_EQ(303, app->handle(crossSite).status);
    EXPECT_EQ(1, ringer.stops);

    // Only the page's two buttons change the plan: anything else leaves the bells ringing.
    for (const char* plan : {"", "Pause", "resume ", "stop", "0"}) {
        send("POST", "/plan", stop + "&plan=" + urlEncoded(plan), session);
        EXPECT_TRUE(ringer.running) << plan;
    }
    send("POST", "/plan", stop + "&plan=pause", session);
    EXPECT_FALSE(ringer.running);
}

TEST_F(WebAppTest, FormsNeedTheirTokenAndBadInputChangesNothing) {
    const std::string session = logIn();
    const std::string token = tokenIn(send("GET", "/schedule", {}, session).body);
    ASSERT_EQ(64u, token.size());
    const std::string bell = "start=08%3A00%3A00&end=&music=" + formMusic("a.mp3") + "&d0=1&d2=1";
    EXPECT_EQ(403, send("POST", "/schedule/add", bell, session).status);
    EXPECT_EQ(
        403,
        send("POST", "/schedule/add", bell + "&token=" + std::string(64, '0'), session).status);
    EXPECT_EQ(0u, bellCount());

    EXPECT_EQ(303, send("POST", "/schedule/add", bell + "&token=" + token, session).status);
    EXPECT_EQ(1u, bellCount());
    EXPECT_NE(std::string::npos, ringer.ringLog.lines.back().find("192.168.1.50"));
    EXPECT_NE(std::string::npos, ringer.ringLog.lines.back().find("添加铃声 08:00:00"));

    // The window's own checks and message; the table as it was.
    const std::string late =
        "start=25%3A00%3A00&music=" + formMusic("b.mp3") + "&d0=1&token=" + token;
    EXPECT_EQ(303, send("POST", "/schedule/add", late, session).status);
    EXPECT_EQ(1u, bellCount());
    const std::string shown = send("GET", "/schedule", {}, session).body;
    EXPECT_NE(std::string::npos, shown.find("notice error")) << shown;

    // Music from outside the library and the schedule: no file of the bell computer is named.
    EXPECT_EQ(303, send("POST", "/schedule/add",
                        "start=09%3A00%3A00&music=%2Fetc%2Fpasswd&d0=1&token=" + token, session)
                       .status);
    EXPECT_EQ(1u, bellCount());
    EXPECT_NE(std::string::npos,
              send("GET", "/schedule", {}, session).body.find("请从铃声库里选择音乐"));
    const std::string change =
        "old=08%3A00%3A00&start=08%3A05&music=" + formMusic("a.mp3") + "&d4=1&token=" + token;
    EXPECT_EQ(303, send("POST", "/schedule/change", change, session).status);
    TableDatabase check;
    ASSERT_TRUE(openTablesForReading(check, dir.path()).isOk());
    auto bells = readBells(check);
    ASSERT_TRUE(bells.isOk());
    ASSERT_EQ(1u, bells.value().size());
    EXPECT_EQ("08:05:00", bells.value()[0].start) << "a time without seconds is on the minute";
    EXPECT_EQ((std::array<bool, 7>{false, false, false, false, true, false, false}),
              bells.value()[0].weekdays);

    EXPECT_EQ(303, send("POST", "/plan", "plan=pause&token=" + token, session).status);
    EXPECT_FALSE(ringer.running);
    EXPECT_EQ(
        303, send("POST", "/schedule/delete", "start=08%3A05%3A00&token=" + token, session).status);
    EXPECT_EQ(0u, bellCount());
    EXPECT_EQ(
        303,
        send("POST", "/calendar/set",
             "from=2026-12-10&to=2026-12-11&day=0&note=%E5%86%AC%E8%87%B3&token=" + token, session)
            .status);
    const auto calendarDays = [this] {
        TableDatabase calendar;
        EXPECT_TRUE(openTablesForReading(calendar, dir.path()).isOk());
        return readCalendar(calendar, "2026-01-01", "2026-12-31").size();
    };
    EXPECT_EQ(2u, calendarDays());
    EXPECT_EQ(
        303, send("POST", "/calendar/set", "from=2026-02-30&day=0&token=" + token, session).status);
    EXPECT_EQ(2u, calendarDays()) << "a day that is not";
    EXPECT_NE(std::string::npos,
              send("GET", "/calendar", {}, session).body.find("没有这一天：2026-02-30"))
        << "said in the page's language";

    // A forged log line, a NUL and bytes that are not UTF-8 are no music of the library: refused,
    // nothing stored, nothing logged as added.
    for (const char* music : {"%2Fb%2Fa.mp3%0A%5B2026-12-09+08%3A00%3A00.000%5D+x",
                              "%2Fb%2Fa.mp3%00%2Fb%2Fother.mp3", "%2Fb%2F%FF.mp3"}) {
        const std::string forged =
            std::string("start=09%3A00%3A00&music=") + music + "&d0=1&token=" + token;
        EXPECT_EQ(303, send("POST", "/schedule/add", forged, session).status);
        EXPECT_EQ(0u, bellCount()) << music;
        EXPECT_NE(std::string::npos,
                  send("GET", "/schedule", {}, session).body.find("请从铃声库里选择音乐"))
            << music;
    }
    EXPECT_EQ(303, send("POST", "/calendar/set", "from=2026-12-12&day=0&note=a%0Db&token=" + token,
                        session)
                       .status);
    EXPECT_EQ(2u, calendarDays()) << "a note with a carriage return";
}

// The schedule page shows and edits the 作息表 chosen (today's unless one is named), today's page
// says which rules and why, and the calendar page sets a day's; a name that is no timetable
// changes nothing.
TEST_F(WebAppTest, ThePagesWorkOnTheTimetableChosen) {
    ASSERT_TRUE(addTimetable(db, "考试").isOk());
    ASSERT_TRUE(setTimetableSeason(db, "考试", parseSeason("12-01", "12-31").value()).isOk());
    // What the tables hold now, read as another program would.
    const auto fresh = [this] {
        TableDatabase now;
        EXPECT_TRUE(openTablesForReading(now, dir.path()).isOk());
        return std::pair{timetableBellCount(now, "考试").value(), calendarTimetables(now, "", "")};
    };
    const auto examBells = [&] { return fresh().first; };
    const std::string session = logIn();
    const std::string list = send("GET", "/schedule", {}, session).body;
    EXPECT_NE(std::string::npos, list.find("<option value=\"考试\" selected>考试（今天）</option>"))
        << list;
    const std::string token = tokenIn(list);
    const std::string bell = "start=08%3A00&music=" + formMusic("a.mp3") + "&d0=1&token=" + token;
    EXPECT_EQ(303,
              send("POST", "/schedule/add", bell + "&t=" + urlEncoded("考试"), session).status);
    EXPECT_EQ(0u, bellCount());  // db.edb, the default timetable, as it was
    EXPECT_EQ(1, examBells());
    EXPECT_NE(std::string::npos, ringer.ringLog.lines.back().find("（作息表 考试）"));
    EXPECT_NE(
        std::string::npos,
        send("GET", "/schedule?t=" + urlEncoded("常规作息"), {}, session).body.find("还没有铃声"));

    const std::string unknown = "&t=" + urlEncoded("<b>没有</b>");
    EXPECT_EQ(303, send("POST", "/schedule/add", bell + unknown, session).status);
    const std::string refused = send("GET", "/schedule", {}, session).body;
    EXPECT_NE(std::string::npos, refused.find("没有作息表“&lt;b&gt;没有&lt;/b&gt;”")) << refused;
    EXPECT_EQ(1, examBells());

    EXPECT_NE(std::string::npos,
              send("GET", "/", {}, session).body.find("今天的作息表：考试（12-01 至 12-31）"));

    const std::string day = "from=2026-12-14&t=" + urlEncoded("常规作息") + "&token=" + token;
    EXPECT_EQ(303, send("POST", "/calendar/timetable", day, session).status);
    EXPECT_EQ("常规作息", fresh().second.at("2026-12-14"));
    EXPECT_NE(std::string::npos,
              send("GET", "/calendar", {}, session).body.find("按作息表 常规作息"));
    EXPECT_EQ(303,
              send("POST", "/calendar/clear", "from=2026-12-14&token=" + token, session).status);
    EXPECT_TRUE(fresh().second.empty());

    EXPECT_EQ(303, send("POST", "/schedule/delete",
                        "start=08%3A00%3A00&t=" + urlEncoded("考试") + "&token=" + token, session)
                       .status);
    EXPECT_EQ(0, examBells());
}

// Seasons and the rotation are picked on the calendar page: a day the month lacks is refused in
// words, an overlap too, and what is taken is what the window and tolvanectl read.
TEST_F(WebAppTest, SeasonsAndTheRotationArePickedOnTheCalendarPage) {
    ASSERT_TRUE(addTimetable(db, "夏季").isOk());
    ASSERT_TRUE(addTimetable(db, "冬季").isOk());
    ASSERT_TRUE(setTimetableSeason(db, "冬季", parseSeason("10-01", "04-30").value()).isOk());
    const auto index = [this] {
        TableDatabase now;
        EXPECT_TRUE(openTablesForReading(now, dir.path()).isOk());
        return readTimetableIndex(now);
    };
    const std::string session = logIn();
    const std::string calendar = send("GET", "/calendar", {}, session).body;
    EXPECT_NE(std::string::npos, calendar.find("action=\"/timetable/season\"")) << calendar;
    const std::string token = tokenIn(calendar);
    const auto season = [&](const std::string& from, const std::string& to) {
        const std::string form = "t=" + urlEncoded("夏季") + "&fm=" + from.substr(0, 2) +
                                 "&fd=" + from.substr(3) + "&tm=" + to.substr(0, 2) +
                                 "&td=" + to.substr(3) + "&token=" + token;
        EXPECT_EQ(303, send("POST", "/timetable/season", form, session).status);
        return send("GET", "/calendar", {}, session).body;
    };
    EXPECT_NE(std::string::npos, season("05-01", "09-31").find("9 月只有 30 天"));
    EXPECT_NE(std::string::npos, season("04-01", "09-30").find("重叠"));
    EXPECT_FALSE(index().find("夏季")->season.has_value());
    season("05-01", "09-30");
    EXPECT_EQ(parseSeason("05-01", "09-30").value(), index().find("夏季")->season);
    EXPECT_NE(std::string::npos,
              ringer.ringLog.lines.back().find("夏季 的季节设为 05-01 至 09-30"));

    // The rotation: the ticked ones, in the form's order, from the week of the date.
    const std::string rotation = "n0=" + urlEncoded("常规作息") + "&r0=1&n1=" + urlEncoded("夏季") +
                                 "&n2=" + urlEncoded("冬季") +
                                 "&r2=1&from=2026-12-07&token=" + token;
    EXPECT_EQ(303, send("POST", "/timetable/rotation", rotation, session).status);
    EXPECT_EQ((std::vector<std::string>{"常规作息", "冬季"}), index().rotation);
    EXPECT_EQ("2026-12-07", index().rotationStart);
    EXPECT_EQ(303, send("POST", "/timetable/rotation",
                        "n0=" + urlEncoded("常规作息") + "&token=" + token, session)
                       .status);
    EXPECT_TRUE(index().rotation.empty());
}

TEST_F(WebAppTest, RingNowOffersTheSchedulesMusicAndPlaysNothingElse) {
    const std::string session = logIn();
    std::string token = tokenIn(send("GET", "/schedule", {}, session).body);
    BellForm scheduled;
    scheduled.start = {"08", "00", "00"};
    scheduled.music = "/bells/school.mp3";  // put there by the window, outside the library
    scheduled.weekdays[0] = true;
    ASSERT_TRUE(addBell(db, scheduled).changed);
    const std::string today = send("GET", "/", {}, session).body;
    EXPECT_NE(std::string::npos, today.find("<option value=\"/bells/school.mp3\">")) << today;
    EXPECT_NE(std::string::npos, today.find(">a.mp3</option>")) << "the library's files too";

    EXPECT_EQ(303, send("POST", "/ringnow", "music=%2Fbells%2Fschool.mp3&repeat=1&token=" + token,
                        session)
                       .status);
    EXPECT_EQ((std::vector<std::string>{"/bells/school.mp3 repeat 网页，192.168.1.50"}),
              ringer.rungNow);
    // A path the schedule does not play is never sent to the ringer, whatever the form says.
    EXPECT_EQ(303,
              send("POST", "/ringnow", "music=%2Fetc%2Fpasswd&token=" + token, session).status);
    EXPECT_EQ(1u, ringer.rungNow.size());
    EXPECT_NE(std::string::npos, send("GET", "/", {}, session).body.find("notice error"));
    EXPECT_EQ(403, send("POST", "/ringnow", "music=%2Fbells%2Fschool.mp3", session).status)
        << "a form without its token";
    EXPECT_EQ(1u, ringer.rungNow.size());
}

// A bell's words are written on the bell form and kept by a post that does not carry them; a
// notice goes to the ringer with how many times it is said, and odd counts or words never do.
TEST_F(WebAppTest, BellsWordsAndTheOfficesNoticesGoWhereTheyShould) {
    const std::string session = logIn();
    const std::string token = tokenIn(send("GET", "/schedule", {}, session).body);
    const std::string bell = "start=08%3A00&music=" + formMusic("a.mp3") + "&d0=1&token=" + token;
    const auto spoken = [this] {
        TableDatabase now;
        EXPECT_TRUE(openTablesForReading(now, dir.path()).isOk());
        auto bells = readBells(now);
        return bells.isOk() && !bells.value().empty() ? bells.value()[0].spoken() : "?";
    };
    EXPECT_EQ(303, send("POST", "/schedule/add",
                        bell + "&speech=1&says=1&say=" + urlEncoded("第3节课上课"), session)
                       .status);
    EXPECT_EQ("第3节课上课", spoken());
    EXPECT_NE(std::string::npos,
              send("GET", "/schedule", {}, session).body.find("<td>第3节课上课</td>"));
    const std::string change =
        "old=08%3A00%3A00&start=08%3A01&music=" + formMusic("a.mp3") + "&d0=1&token=" + token;
    EXPECT_EQ(303, send("POST", "/schedule/change", change, session).status);
    EXPECT_EQ("第3节课上课", spoken()) << "a form without the words keeps them";
    EXPECT_EQ(303, send("POST", "/schedule/change",
                        "old=08%3A01%3A00&start=08%3A01&music=" + formMusic("a.mp3") +
                            "&d0=1&speech=1&token=" + token,
                        session)
                       .status);
    EXPECT_EQ("", spoken()) << "unticked on the form: the bell says nothing";

    EXPECT_EQ(303, send("POST", "/notice", "text=" + urlEncoded("放学") + "&times=2&token=" + token,
                        session)
                       .status);
    EXPECT_EQ((std::vector<std::string>{"say 放学 2 网页，192.168.1.50"}), ringer.rungNow);
    for (const std::string& odd :
         {"text=" + urlEncoded("放学") + "&times=9", std::string("text=&times=1")})
        EXPECT_EQ(303, send("POST", "/notice", odd + "&token=" + token, session).status);
    EXPECT_EQ(1u, ringer.rungNow.size());
    EXPECT_EQ(403, send("POST", "/notice", "text=x&times=1", session).status);
    EXPECT_EQ(1u, ringer.rungNow.size());
    // Heard first in the office's browser, and nowhere else.
    const auto preview =
        send("POST", "/notice/preview", "text=" + urlEncoded("放学") + "&token=" + token, session);
    EXPECT_EQ(200, preview.status);
    EXPECT_EQ("ID3 放学", preview.body);
    EXPECT_EQ(1u, ringer.rungNow.size());

    // At a time of today: the time as the school's second; one not a time never reaches the ringer.
    const std::string later = "text=" + urlEncoded("开会") + "&times=1&when=at&token=" + token;
    EXPECT_EQ(303, send("POST", "/notice", later + "&at=14%3A30", session).status);
    EXPECT_EQ("say 开会 1 at 52200 网页，192.168.1.50", ringer.rungNow.back());
    for (const char* odd : {"&at=", "&at=25%3A00", "&at=14%3A30%3A99", ""})
        EXPECT_EQ(303, send("POST", "/notice", later + odd, session).status) << odd;
    EXPECT_EQ(2u, ringer.rungNow.size());
    EXPECT_EQ(303, send("POST", "/notice/cancel", "id=7&token=" + token, session).status);
    EXPECT_EQ("cancel 7 网页，192.168.1.50", ringer.rungNow.back());
    EXPECT_EQ(303, send("POST", "/notice/cancel", "id=7x&token=" + token, session).status);
    EXPECT_EQ(403, send("POST", "/notice/cancel", "id=7", session).status);
    EXPECT_EQ(3u, ringer.rungNow.size());
}

TEST_F(WebAppTest, TheLibraryPlaysItsFilesAndTakesOnlyWholeMp3sUnderSafeNames) {
    const std::string session = logIn();
    const std::string library = send("GET", "/library", {}, session).body;
    const std::string token = tokenIn(library);
    EXPECT_NE(std::string::npos, library.find("src=\"/library/file?name=a.mp3\"")) << library;
    const HttpResponse heard = send("GET", "/library/file?name=a.mp3", {}, session);
    EXPECT_EQ("audio/mpeg", heard.contentType);
    EXPECT_EQ("ID3 a", heard.body);
    for (const char* elsewhere : {"..%2Fdb.edb", "%2Fetc%2Fpasswd", "db.edb", ""})
        EXPECT_EQ(404,
                  send("GET", std::string("/library/file?name=") + elsewhere, {}, session).status)
            << elsewhere;

    const auto upload = [&](const std::string& name, const std::string& bytes,
                            const std::string& withToken) {
        return send("POST", "/library/upload?name=" + urlEncoded(name) + "&token=" + withToken,
                    bytes, session)
            .status;
    };
    EXPECT_EQ(403, upload("校歌.mp3", "ID3 song", std::string(64, '0')));
    EXPECT_EQ(200, upload("校歌.mp3", "ID3 song", token));
    EXPECT_EQ("ID3 song", test::readFile(libraryFile("校歌.mp3")));
    EXPECT_NE(std::string::npos, send("GET", "/library", {}, session).body.find("已放入铃声库"));
    EXPECT_NE(std::string::npos, ringer.ringLog.lines.back().find("上传到铃声库 校歌.mp3"));

    EXPECT_EQ(422, upload("renamed.mp3", "plain text, not sound", token));
    EXPECT_EQ(422, upload("../outside.mp3", "ID3 x", token));
    EXPECT_EQ(422, upload("校歌.mp3", "ID3 other", token)) << "never over a file that is there";
    EXPECT_EQ("ID3 song", test::readFile(libraryFile("校歌.mp3")));
    EXPECT_FALSE(std::filesystem::exists(libraryFile("renamed.mp3")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("outside.mp3")));
    // The library's files are offered to a bell.
    EXPECT_NE(std::string::npos,
              send("GET", "/schedule", {}, session).body.find(">校歌.mp3</option>"));
}

TEST_F(WebAppTest, TheLogShowsADayLatestFirstWithTheDaysAroundIt) {
    test::writeFile(dir.file("tolvane.log"),
                    "[2026-12-08 08:00:00.000] 铃声开始：08:00:00 /b/a.mp3\n"
                    "[2026-12-09 07:30:00.000] 铃声开始：07:30:00 /b/early.mp3\n"
                    "[2026-12-09 07:58:00.000] 铃声开始：07:58:00 /b/late.mp3\n");
    const std::string session = logIn();
    const std::string today = send("GET", "/log", {}, session).body;
    const size_t late = today.find("/b/late.mp3"), early = today.find("/b/early.mp3");
    ASSERT_NE(std::string::npos, late) << today;
    EXPECT_LT(late, early) << "the latest line first";
    EXPECT_EQ(std::string::npos, today.find("/b/a.mp3")) << "another day's line";
    EXPECT_NE(std::string::npos, today.find("href=\"/log?day=2026-12-08\"")) << today;
    EXPECT_NE(std::string::npos, today.find("href=\"/log?day=2026-12-10\"")) << today;
    const std::string before = send("GET", "/log?day=2026-12-08", {}, session).body;
    EXPECT_NE(std::string::npos, before.find("/b/a.mp3")) << before;
}

TEST_F(WebAppTest, StrangersAndOddRequestsAreRefusedAndWhatIsShownIsEscaped) {
    for (const char* host : {"evil.example", "bells.school.lan.evil.example", "", "[::1", "::1"}) {
        HttpRequest r;
        r.method = "GET";
        r.target = "/login";
        r.host = host;
        EXPECT_EQ(421, app->handle(r).status) << host;
    }
    EXPECT_TRUE(hostIsOneOf("[::1]:8443", {"::1"}));
    EXPECT_TRUE(hostIsOneOf("BELLS.school.lan", {"bells.school.lan"}));
    EXPECT_EQ(405, send("DELETE", "/schedule").status);
    HttpRequest json;
    json.method = "POST";
    json.target = "/login";
    json.host = "localhost";
    json.contentType = "application/json";
    EXPECT_EQ(415, app->handle(json).status);

    EXPECT_TRUE(browserPrefersEnglish("en-GB,en;q=0.9,zh-CN;q=0.5"));
    EXPECT_FALSE(browserPrefersEnglish("zh-CN,zh;q=0.9,en;q=0.8"));
    EXPECT_FALSE(browserPrefersEnglish("de-DE,zh;q=0.5,en;q=0.4"));
    EXPECT_FALSE(browserPrefersEnglish(""));
    // The weights count, not the order: a browser set to Chinese first by weight gets Chinese.
    EXPECT_FALSE(browserPrefersEnglish("en;q=0.1,zh-CN;q=0.9"));
    EXPECT_TRUE(browserPrefersEnglish("zh;q=0.2, en-US;q=0.7"));
    EXPECT_FALSE(browserPrefersEnglish("en;q=0,zh;q=0.1"));    // q=0: not acceptable
    EXPECT_TRUE(browserPrefersEnglish("en;q=0.5,zh;q=0.5"));   // a tie: the first named
    EXPECT_FALSE(browserPrefersEnglish("english,zh"));         // not a tag of English
    EXPECT_FALSE(browserPrefersEnglish("en;q=abc,zh;q=0.1"));  // a malformed weight counts 0
    EXPECT_FALSE(browserPrefersEnglish("en;level=1;q=0.1,zh;q=0.9"));  // q after another parameter

    const std::string session = logIn();
    const std::string token = tokenIn(send("GET", "/schedule", {}, session).body);
    BellForm hostile;  // as another program might have stored it
    hostile.start = {"09", "00", "00"};
    hostile.music = "/b/<script>alert(1)</script>\".mp3";
    hostile.weekdays = {true, true, true, true, true, true, true};
    ASSERT_TRUE(addBell(db, hostile).changed);
    const std::string page = send("GET", "/schedule", {}, session).body;
    EXPECT_EQ(std::string::npos, page.find("<script>")) << page;
    EXPECT_NE(std::string::npos, page.find("&lt;script&gt;alert(1)&lt;/script&gt;&quot;.mp3"));
    EXPECT_EQ(std::string::npos,
              send("GET", "/schedule/change?start=%3Cb%3E", {}, session).body.find("<b>"));
}

}  // namespace
}  // namespace tolvane

namespace tolvane {
namespace {

TEST(HtmlTest, EveryValueIsEscapedUnlessItIsHtmlAlready) {
    const std::string hostile = "<script>alert('x')</script> & \"q\"";
    const Html cell = html("<td class=\"music\">{}</td>", hostile);
    EXPECT_EQ(cell.str(),
              "<td class=\"music\">&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt; &amp; "
              "&quot;q&quot;</td>");
    // A piece built the same way goes in as it is; numbers as digits.
    EXPECT_EQ(html("<tr>{}{}</tr>", cell, html("<td>{}</td>", 7)).str(),
              "<tr>" + cell.str() + "<td>7</td></tr>");
    EXPECT_EQ(html("<p>{} {}</p>", "a<b", std::string("c>d")).str(), "<p>a&lt;b c&gt;d</p>");
}

}  // namespace
}  // namespace tolvane
