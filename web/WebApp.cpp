#include "web/WebApp.h"

#include <QByteArray>
#include <QString>
#include <QUrlQuery>
#include <algorithm>
#include <charconv>
#include <map>

#include "ringing/core/RingLogFiles.h"
#include "schedule/core/BellEditing.h"
#include "schedule/core/Calendar.h"
#include "schedule/core/Schema.h"
#include "settings/core/Password.h"
#include "web/WebStyle.h"

namespace tolvane {

namespace {

constexpr char kSessionCookie[] = "tolvane_session";
constexpr char kLoginCookie[] = "tolvane_login";

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string cookieValue(const std::string& header, const std::string& name) {
    size_t at = 0;
    while (at < header.size()) {
        size_t end = header.find(';', at);
        if (end == std::string::npos) end = header.size();
        std::string pair = header.substr(at, end - at);
        pair.erase(0, pair.find_first_not_of(' '));
        if (pair.size() > name.size() && pair.compare(0, name.size(), name) == 0 &&
            pair[name.size()] == '=')
            return pair.substr(name.size() + 1);
        at = end + 1;
    }
    return {};
}

std::string cookie(const std::string& name, const std::string& value, bool ending) {
    return name + "=" + value + "; Path=/; HttpOnly; Secure; SameSite=Strict" +
           (ending ? "; Max-Age=0" : "");
}

// The fields of a form or a query (application/x-www-form-urlencoded), decoded.
std::map<std::string, std::string> fieldsOf(const std::string& encoded) {
    QString text = QString::fromUtf8(encoded.data(), static_cast<qsizetype>(encoded.size()));
    text.replace(QLatin1Char('+'), QLatin1Char(' '));
    std::map<std::string, std::string> fields;
    for (const auto& [name, value] : QUrlQuery(text).queryItems(QUrl::FullyDecoded))
        fields.emplace(name.toStdString(), value.toStdString());
    return fields;
}

std::string field(const std::map<std::string, std::string>& fields, const std::string& name) {
    auto it = fields.find(name);
    return it == fields.end() ? std::string() : it->second;
}

std::string urlEncoded(const std::string& text) {
    return QUrl::toPercentEncoding(QString::fromStdString(text)).toStdString();
}

// The folder's password hash as it is now; empty when none is set or it cannot be read (then
// nobody logs in and every session ends).
std::string folderPasswordHash(const std::string& folder) {
    TableDatabase db;
    if (!openTablesForReading(db, folder).isOk()) return {};
    auto read = readPasswordHash(db);
    return read.isOk() ? read.value() : std::string();
}

HttpResponse plain(int status, const std::string& text) {
    HttpResponse r;
    r.status = status;
    r.contentType = "text/plain; charset=utf-8";
    r.body = text;
    return r;
}

HttpResponse redirect(const std::string& path) {
    HttpResponse r;
    r.status = 303;
    r.headers.emplace_back("Location", path);
    return r;
}

LocalTime nowOf(const Clock& clock) {
    return clock.toLocal(clock.nowMs() / 1000);
}

// "08:05" or "08:05:30" as the three pieces the bell form takes; other text stays whole in the
// hour, so the window's own message names what is wrong.
std::array<std::string, 3> timePieces(const std::string& text) {
    std::array<std::string, 3> pieces{text, "", ""};
    const size_t first = text.find(':');
    if (first == std::string::npos) return pieces;
    const size_t second = text.find(':', first + 1);
    pieces[0] = text.substr(0, first);
    pieces[1] = text.substr(first + 1,
                            second == std::string::npos ? std::string::npos : second - first - 1);
    pieces[2] = second == std::string::npos ? "00" : text.substr(second + 1);
    return pieces;
}

std::string daysText(const std::array<bool, 7>& days) {
    std::string text;
    for (size_t d = 0; d < 7; ++d)
        if (days[d]) text += (text.empty() ? "" : " ") + weekdayName(d);
    return text.empty() ? "—" : text;
}

std::string durationText(int64_t seconds) {
    const int64_t days = seconds / 86400, hours = seconds % 86400 / 3600,
                  minutes = seconds % 3600 / 60, rest = seconds % 60;
    if (days > 0)
        return fillIn(uiText("WebPage", "%1 天 %2 小时"),
                      {std::to_string(days), std::to_string(hours)});
    if (hours > 0)
        return fillIn(uiText("WebPage", "%1 小时 %2 分"),
                      {std::to_string(hours), std::to_string(minutes)});
    if (minutes > 0)
        return fillIn(uiText("WebPage", "%1 分 %2 秒"),
                      {std::to_string(minutes), std::to_string(rest)});
    return fillIn(uiText("WebPage", "%1 秒"), {std::to_string(rest)});
}

// An input's value attribute.
std::string valueAttribute(const std::string& value) {
    return " value=\"" + htmlEscaped(value) + "\"";
}

}  // namespace

namespace {

// The weight of one Accept-Language item ("en-GB;q=0.8"): 1 without a q, 0 for a malformed one
// (RFC 9110: a q of 0 means "not acceptable").
double languageWeight(const std::string& item) {
    const size_t semicolon = item.find(';');
    if (semicolon == std::string::npos) return 1.0;
    std::string parameter = item.substr(semicolon + 1);
    parameter.erase(0, parameter.find_first_not_of(' '));
    if (parameter.rfind("q=", 0) != 0) return 1.0;
    const std::string value = parameter.substr(2, parameter.find_first_of(" ;", 2) - 2);
    if (value.empty() || value.size() > 5 ||
        value.find_first_not_of("0123456789.") != std::string::npos)
        return 0.0;
    double q = 0.0;  // from_chars: the program's locale may write decimals with a comma
    const auto read = std::from_chars(value.data(), value.data() + value.size(), q);
    return read.ec == std::errc() && q >= 0.0 && q <= 1.0 ? q : 0.0;
}

}  // namespace

bool browserPrefersEnglish(const std::string& acceptLanguage) {
    // The heaviest of the two languages the page has wins; on a tie, the one named first.
    struct Best {
        double weight = 0.0;
        size_t place = 0;
    } english, chinese;
    size_t at = 0;
    for (size_t place = 0; at < acceptLanguage.size(); ++place) {
        size_t end = acceptLanguage.find(',', at);
        if (end == std::string::npos) end = acceptLanguage.size();
        std::string item = lowered(acceptLanguage.substr(at, end - at));
        item.erase(0, item.find_first_not_of(' '));
        const std::string tag = item.substr(0, item.find_first_of(" ;"));
        Best* language = tag == "en" || tag.rfind("en-", 0) == 0   ? &english
                         : tag == "zh" || tag.rfind("zh-", 0) == 0 ? &chinese
                                                                   : nullptr;
        if (const double weight = languageWeight(item); language && weight > language->weight)
            *language = {weight, place};
        at = end + 1;
    }
    if (english.weight == 0.0) return false;
    return english.weight > chinese.weight ||
           (english.weight == chinese.weight && english.place < chinese.place);
}

bool hostIsOneOf(const std::string& host, const std::vector<std::string>& names) {
    std::string name = lowered(host);
    if (!name.empty() && name[0] == '[') {
        const size_t close = name.find(']');
        if (close == std::string::npos) return false;
        const std::string rest = name.substr(close + 1);
        if (!rest.empty() && rest[0] != ':') return false;
        name = name.substr(1, close - 1);
    } else if (const size_t colon = name.find(':'); colon != std::string::npos) {
        if (name.find(':', colon + 1) != std::string::npos) return false;  // IPv6 needs brackets
        name.resize(colon);
    }
    if (name.empty()) return false;
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return lowered(n) == name; });
}

std::string htmlEscaped(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

struct WebApp::Context {
    const HttpRequest& request;
    std::string path;
    std::map<std::string, std::string> query;
    std::map<std::string, std::string> form;
    std::optional<WebSessions::Session> session;
    bool english = false;
};

WebApp::WebApp(Setup setup) : m_setup(std::move(setup)) {}

HttpResponse WebApp::handle(const HttpRequest& request) {
    // Before anything is read: a name the certificate does not hold is another site's request
    // (DNS rebinding), or a mistake.
    if (!hostIsOneOf(request.host, m_setup.hostNames))
        return plain(421, "此地址不属于这台电脑（Host）");
    Context c{request, request.path(), fieldsOf(request.query()), {}, {}, false};
    c.english = m_setup.english && browserPrefersEnglish(request.acceptLanguage);
    UiTextLanguage language(c.english ? m_setup.english : nullptr);
    if (request.method == "POST") {
        if (lowered(request.contentType).rfind("application/x-www-form-urlencoded", 0) != 0)
            return plain(415, uiText("WebPage", "只接受网页表单"));
        c.form = fieldsOf(request.body);
    } else if (request.method != "GET" && request.method != "HEAD") {
        return plain(405, uiText("WebPage", "不支持此请求方法"));
    }
    return route(c);
}

HttpResponse WebApp::route(Context& c) {
    const bool post = c.request.method == "POST";
    if (c.path == "/style.css" && !post) {
        HttpResponse r;
        r.contentType = "text/css; charset=utf-8";
        r.body = webStyleSheet();
        return r;
    }
    if (c.path == "/login") return post ? logIn(c) : loginPage(c, {});
    if (c.path == "/favicon.ico") return plain(404, {});

    const std::string hash = folderPasswordHash(m_setup.folder);
    const std::string id = cookieValue(c.request.cookie, kSessionCookie);
    if (!id.empty()) c.session = m_sessions.use(id, hash, m_setup.nowMs());
    if (!c.session) return post ? plain(403, uiText("WebPage", "请先登录")) : redirect("/login");
    if (post && !sameToken(field(c.form, "token"), c.session->formToken))
        return plain(403, uiText("WebPage", "表单已过期，请回到页面重新提交"));

    if (c.path == "/logout" && post) {
        m_sessions.end(c.session->id);
        HttpResponse r = redirect("/login");
        r.headers.emplace_back("Set-Cookie", cookie(kSessionCookie, "", true));
        return r;
    }
    if (!post) {
        if (c.path == "/") return todayPage(c);
        if (c.path == "/schedule") return schedulePage(c);
        if (c.path == "/schedule/change") return changePage(c);
        if (c.path == "/schedule/delete") return deletePage(c);
        if (c.path == "/calendar") return calendarPage(c);
        if (c.path == "/log") return logPage(c);
        if (c.path == "/password") return passwordPage(c);
    } else {
        if (c.path == "/schedule/add") return saveBell(c, true);
        if (c.path == "/schedule/change") return saveBell(c, false);
        if (c.path == "/schedule/delete") return removeBell(c);
        if (c.path == "/calendar/set") return changeCalendar(c, true);
        if (c.path == "/calendar/clear") return changeCalendar(c, false);
        if (c.path == "/plan") return setPlan(c);
        if (c.path == "/stop") return stopSound(c);
        if (c.path == "/password") return changePassword(c);
    }
    return plain(404, uiText("WebPage", "没有这个页面"));
}

HttpResponse WebApp::page(Context& c, const std::string& title, const std::string& body) {
    const std::string token = c.session ? htmlEscaped(c.session->formToken) : "";
    std::string html = "<!DOCTYPE html>\n<html lang=\"" + std::string(c.english ? "en" : "zh-CN") +
                       "\"><head><meta charset=\"utf-8\"><meta name=\"viewport\" "
                       "content=\"width=device-width, initial-scale=1\"><title>" +
                       htmlEscaped(title) + " — " + uiText("WebPage", "铃声计划") +
                       "</title><link rel=\"stylesheet\" href=\"/style.css\"></head><body>";
    if (c.session) {
        html += "<nav><a href=\"/\">" + uiText("WebPage", "今天") + "</a><a href=\"/schedule\">" +
                uiText("WebPage", "铃声") + "</a><a href=\"/calendar\">" +
                uiText("WebPage", "校历") + "</a><a href=\"/log\">" +
                uiText("WebPage", "响铃记录") + "</a><a href=\"/password\">" +
                uiText("WebPage", "密码") +
                "</a><form method=\"post\" action=\"/logout\"><input type=\"hidden\" "
                "name=\"token\" value=\"" +
                token + "\"><button class=\"link\">" + uiText("WebPage", "退出登录") +
                "</button></form></nav>";
        bool isError = false;
        const std::string notice = m_sessions.takeNotice(c.session->id, &isError);
        if (!notice.empty())
            html += std::string("<p class=\"") + (isError ? "notice error" : "notice") +
                    "\" role=\"status\">" + htmlEscaped(notice) + "</p>";
    }
    html += "<main><h1>" + htmlEscaped(title) + "</h1>" + body + "</main></body></html>\n";
    HttpResponse r;
    r.body = c.request.method == "HEAD" ? std::string() : std::move(html);
    return r;
}

HttpResponse WebApp::backTo(Context& c, const std::string& path, const std::string& notice,
                            bool isError) {
    m_sessions.setNotice(c.session->id, notice, isError);
    return redirect(path);
}

void WebApp::logChange(const Context& c, const std::string& what) {
    m_setup.ringer->log().note("网页（" + c.request.clientAddress + "）：" + what);
}

namespace {
std::string hiddenToken(const std::string& token) {
    return "<input type=\"hidden\" name=\"token\"" + valueAttribute(token) + ">";
}
}  // namespace

HttpResponse WebApp::loginPage(Context& c, const std::string& error) {
    // Before a session there is no form token yet: the log-in form carries one that must match
    // a cookie of its own, so another site cannot log a browser in. A browser that has one keeps
    // it: a second tab, or a request the browser makes by itself, must not spoil the first form.
    std::string token = cookieValue(c.request.cookie, kLoginCookie);
    if (token.size() != 64 || token.find_first_not_of("0123456789abcdef") != std::string::npos)
        token = randomToken();
    std::string body;
    if (!error.empty())
        body += "<p class=\"notice error\" role=\"alert\">" + htmlEscaped(error) + "</p>";
    body += "<form method=\"post\" action=\"/login\">" + hiddenToken(token) + "<label>" +
            uiText("WebPage", "软件密码") +
            "<input type=\"password\" name=\"password\" autocomplete=\"current-password\" "
            "required autofocus></label><button type=\"submit\">" +
            uiText("WebPage", "登录") + "</button></form>";
    HttpResponse r = page(c, uiText("WebPage", "登录"), body);
    r.headers.emplace_back("Set-Cookie", cookie(kLoginCookie, token, false));
    return r;
}

HttpResponse WebApp::logIn(Context& c) {
    const std::string& address = c.request.clientAddress;
    if (!sameToken(field(c.form, "token"), cookieValue(c.request.cookie, kLoginCookie)))
        return plain(403, uiText("WebPage", "表单已过期，请回到页面重新提交"));
    int wait = 0;
    if (!m_sessions.mayTry(address, m_setup.nowMs(), &wait)) {
        HttpResponse r = loginPage(c, fillIn(uiText("WebPage", "密码错误次数太多，请 %1 秒后再试"),
                                             {std::to_string(wait)}));
        r.status = 429;
        return r;
    }
    const std::string hash = folderPasswordHash(m_setup.folder);
    if (hash.empty() || !passwordMatches(hash, field(c.form, "password"))) {
        m_sessions.failed(address, m_setup.nowMs());
        m_setup.ringer->log().warn("网页登录失败：密码不对（" + address + "）");
        HttpResponse r = loginPage(c, uiText("WebPage", "密码不对"));
        r.status = 403;
        return r;
    }
    m_sessions.succeeded(address);
    m_setup.ringer->log().note("网页（" + address + "）：登录");
    HttpResponse r = redirect("/");
    r.headers.emplace_back("Set-Cookie",
                           cookie(kSessionCookie, m_sessions.open(hash, m_setup.nowMs()), false));
    r.headers.emplace_back("Set-Cookie", cookie(kLoginCookie, "", true));
    return r;
}

namespace {

bool ringsOnDay(const BellRecord& bell, const RingDay& day) {
    return day.startsBells && bell.weekdays[static_cast<size_t>((day.weekday + 6) % 7)];
}

std::vector<BellRecord> bellsByTime(TableDatabase& db) {
    auto read = readBells(db);
    std::vector<BellRecord> bells =
        read.isOk() ? std::move(read).value() : std::vector<BellRecord>{};
    std::stable_sort(bells.begin(), bells.end(), [](const BellRecord& a, const BellRecord& b) {
        return a.sortValue < b.sortValue;
    });
    return bells;
}

std::string calendarWord(TableDatabase& db, const LocalTime& now) {
    const RingDay day = ringDayOf(db, now);
    std::string word = weekdayName(static_cast<size_t>((now.weekday + 6) % 7));
    if (!day.fromCalendar) return word;
    word += "，" + ringDayText(day.startsBells ? ringDayOfWeekday(day.weekday) : kNoBells);
    const auto entries = readCalendar(db, dateText(now), dateText(now));
    if (!entries.empty() && !entries[0].note.empty()) word += "（" + entries[0].note + "）";
    return word;
}

// "下一个铃声：…，还有 …", or that there is none within two weeks.
std::string nextBellParagraph(const std::optional<NextBell>& next, const LocalTime& now) {
    if (!next) return "<p class=\"next\">" + uiText("WebPage", "两周内没有铃声") + "</p>";
    LocalTime at = next->day;
    const auto pieces = timePieces(next->bell.start);
    at.hour = std::atoi(pieces[0].c_str());
    at.minute = std::atoi(pieces[1].c_str());
    at.second = std::atoi(pieces[2].c_str());
    const int64_t left = std::max<int64_t>(0, civilToEpochSeconds(at) - civilToEpochSeconds(now));
    return "<p class=\"next\">" +
           fillIn(uiText("WebPage", "下一个铃声：%1 %2，还有 %3"),
                  {dateText(next->day), htmlEscaped(next->bell.start), durationText(left)}) +
           "</p>";
}

}  // namespace

HttpResponse WebApp::todayPage(Context& c) {
    const Clock& clock = m_setup.ringer->clock();
    const LocalTime now = nowOf(clock);
    TableDatabase db;
    const Status opened = openTablesForReading(db, m_setup.folder);
    std::string body = "<p class=\"clock\">" + dateText(now) + " " + timeText(now) + "</p>";
    if (!opened.isOk())
        body += "<p class=\"notice error\">" + htmlEscaped(opened.message()) + "</p>";
    body += "<p>" + uiText("WebPage", "今天：") + htmlEscaped(calendarWord(db, now)) + "</p>";

    const std::optional<RingerState> state = m_setup.ringer->state();
    if (!state) {
        body += "<p class=\"notice error\">" + uiText("WebPage", "响铃程序没有回答") + "</p>";
    } else {
        const bool running = state->plan == PlanState::kRunning;
        body += "<form method=\"post\" action=\"/plan\" class=\"row\">" +
                hiddenToken(c.session->formToken) + "<span>" +
                (running ? uiText("WebPage", "计划运行中") : uiText("WebPage", "计划已暂停")) +
                "</span>" + "<input type=\"hidden\" name=\"plan\" value=\"" +
                (running ? "pause" : "resume") + "\"><button type=\"submit\">" +
                (running ? uiText("WebPage", "暂停计划") : uiText("WebPage", "恢复计划")) +
                "</button></form>";
        const std::string playing =
            state->playing ? timeText(state->playing->start) + " " + state->playing->music : "";
        body +=
            "<form method=\"post\" action=\"/stop\" class=\"row\">" +
            hiddenToken(c.session->formToken) + "<span>" +
            (playing.empty() ? uiText("WebPage", "现在没有铃声")
                             : fillIn(uiText("WebPage", "正在响：%1"), {htmlEscaped(playing)})) +
            "</span><button type=\"submit\" class=\"attention\">" + uiText("WebPage", "停止") +
            "</button></form>";
        if (!state->problems.empty()) {
            body += "<h2>" + uiText("WebPage", "问题") + "</h2><ul class=\"problems\">";
            for (const RingerProblem& p : state->problems)
                body += "<li>" + htmlEscaped(p.text) + "</li>";
            body += "</ul>";
        }
        body += nextBellParagraph(state->next, now);
    }
    body += "<h2>" + uiText("WebPage", "今天的铃声") + "</h2>";
    const RingDay today = ringDayOf(db, now);
    std::string rows;
    for (const BellRecord& bell : bellsByTime(db)) {
        if (!ringsOnDay(bell, today)) continue;
        rows += "<tr><td>" + htmlEscaped(bell.start) + "</td><td>" +
                htmlEscaped(bell.end.empty() ? "—" : bell.end) + "</td><td class=\"music\">" +
                htmlEscaped(bell.music) + "</td></tr>";
    }
    body += rows.empty() ? "<p>" + uiText("WebPage", "今天没有铃声") + "</p>"
                         : "<table><thead><tr><th>" + uiText("WebPage", "开始") + "</th><th>" +
                               uiText("WebPage", "结束") + "</th><th>" + uiText("WebPage", "音乐") +
                               "</th></tr></thead><tbody>" + rows + "</tbody></table>";
    return page(c, uiText("WebPage", "今天"), body);
}

namespace {

std::string bellForm(const std::string& action, const std::string& token, const BellRecord& bell,
                     const std::string& oldStart, const std::vector<std::string>& musicChoices,
                     const std::string& button) {
    std::string html =
        "<form method=\"post\" action=\"" + action + "\" class=\"bell\">" + hiddenToken(token);
    if (!oldStart.empty())
        html += "<input type=\"hidden\" name=\"old\"" + valueAttribute(oldStart) + ">";
    html += "<label>" + uiText("WebPage", "开始时间") +
            "<input type=\"time\" step=\"1\" name=\"start\" required" + valueAttribute(bell.start) +
            "></label>";
    html += "<label>" + uiText("WebPage", "结束时间（可不填）") +
            "<input type=\"time\" step=\"1\" name=\"end\"" + valueAttribute(bell.end) + "></label>";
    html += "<label>" + uiText("WebPage", "音乐（这台电脑上的 MP3 文件或文件夹）") +
            "<input type=\"text\" name=\"music\" list=\"music\" required" +
            valueAttribute(bell.music) + "></label><datalist id=\"music\">";
    for (const std::string& m : musicChoices) html += "<option" + valueAttribute(m) + ">";
    html += "</datalist><fieldset><legend>" + uiText("WebPage", "响铃的日子") + "</legend>";
    for (size_t d = 0; d < 7; ++d)
        html += "<label class=\"day\"><input type=\"checkbox\" name=\"d" + std::to_string(d) +
                "\" value=\"1\"" + (bell.weekdays[d] ? " checked" : "") + ">" + weekdayName(d) +
                "</label>";
    html += "</fieldset><button type=\"submit\">" + button + "</button></form>";
    return html;
}

std::vector<std::string> musicChoicesOf(const std::vector<BellRecord>& bells) {
    std::vector<std::string> music;
    for (const BellRecord& b : bells)
        if (std::find(music.begin(), music.end(), b.music) == music.end()) music.push_back(b.music);
    return music;
}

}  // namespace

HttpResponse WebApp::schedulePage(Context& c) {
    TableDatabase db;
    const Status opened = openTablesForReading(db, m_setup.folder);
    const std::vector<BellRecord> bells =
        opened.isOk() ? bellsByTime(db) : std::vector<BellRecord>{};
    std::string body;
    if (!opened.isOk())
        body += "<p class=\"notice error\">" + htmlEscaped(opened.message()) + "</p>";
    if (bells.empty()) {
        body += "<p>" + uiText("WebPage", "还没有铃声") + "</p>";
    } else {
        body += "<table class=\"bells\"><thead><tr><th>" + uiText("WebPage", "开始") + "</th><th>" +
                uiText("WebPage", "结束") + "</th><th>" + uiText("WebPage", "日子") + "</th><th>" +
                uiText("WebPage", "音乐") + "</th><th></th></tr></thead><tbody>";
        for (const BellRecord& bell : bells) {
            const std::string start = urlEncoded(bell.start);
            body += "<tr><td>" + htmlEscaped(bell.start) + "</td><td>" +
                    htmlEscaped(bell.end.empty() ? "—" : bell.end) + "</td><td>" +
                    htmlEscaped(daysText(bell.weekdays)) + "</td><td class=\"music\">" +
                    htmlEscaped(bell.music) +
                    "</td><td class=\"actions\"><a href=\"/schedule/change?start=" + start + "\">" +
                    uiText("WebPage", "修改") + "</a> <a href=\"/schedule/delete?start=" + start +
                    "\">" + uiText("WebPage", "删除") + "</a></td></tr>";
        }
        body += "</tbody></table>";
    }
    BellRecord blank;
    blank.weekdays = {true, true, true, true, true, false, false};
    body += "<h2>" + uiText("WebPage", "添加铃声") + "</h2>" +
            bellForm("/schedule/add", c.session->formToken, blank, {}, musicChoicesOf(bells),
                     uiText("WebPage", "添加"));
    return page(c, uiText("WebPage", "铃声"), body);
}

HttpResponse WebApp::changePage(Context& c) {
    TableDatabase db;
    if (Status s = openTablesForReading(db, m_setup.folder); !s.isOk())
        return backTo(c, "/schedule", s.message(), true);
    const std::string start = field(c.query, "start");
    const std::vector<BellRecord> bells = bellsByTime(db);
    auto bell = std::find_if(bells.begin(), bells.end(),
                             [&](const BellRecord& b) { return b.start == start; });
    if (bell == bells.end())
        return backTo(c, "/schedule", fillIn(uiText("WebPage", "没有 %1 开始的铃声"), {start}),
                      true);
    return page(c, fillIn(uiText("WebPage", "修改 %1 的铃声"), {start}),
                bellForm("/schedule/change", c.session->formToken, *bell, start,
                         musicChoicesOf(bells), uiText("WebPage", "保存")));
}

HttpResponse WebApp::deletePage(Context& c) {
    const std::string start = field(c.query, "start");
    const std::string body =
        "<p>" + fillIn(uiText("WebPage", "删除 %1 开始的铃声？"), {htmlEscaped(start)}) +
        "</p><form method=\"post\" action=\"/schedule/delete\" class=\"row\">" +
        hiddenToken(c.session->formToken) + "<input type=\"hidden\" name=\"start\"" +
        valueAttribute(start) + "><button type=\"submit\" class=\"attention\">" +
        uiText("WebPage", "删除") + "</button><a href=\"/schedule\">" + uiText("WebPage", "取消") +
        "</a></form>";
    return page(c, uiText("WebPage", "删除铃声"), body);
}

HttpResponse WebApp::saveBell(Context& c, bool adding) {
    BellForm form;
    form.start = timePieces(field(c.form, "start"));
    const std::string end = field(c.form, "end");
    form.hasEnd = !end.empty();
    if (form.hasEnd) form.end = timePieces(end);
    form.music = field(c.form, "music");
    for (size_t d = 0; d < 7; ++d)
        form.weekdays[d] = !field(c.form, "d" + std::to_string(d)).empty();
    TableDatabase db;
    const OpenedTables opened = openOrCreateTables(db, m_setup.folder);
    if (!opened.usable())
        return backTo(c, "/schedule", opened.errors.empty() ? "" : opened.errors[0], true);
    const std::string old = field(c.form, "old");
    const FlowResult result = adding ? addBell(db, form) : changeBell(db, old, form);
    const std::string said = result.message ? result.message->text : std::string();
    if (result.changed)
        logChange(c, adding
                         ? "添加铃声 " + field(c.form, "start") + " " + form.music
                         : "修改铃声 " + old + " 为 " + field(c.form, "start") + " " + form.music);
    return backTo(
        c,
        result.changed ? "/schedule"
        : adding       ? "/schedule"
                       : "/schedule/change?start=" + urlEncoded(old),
        said.empty() ? (result.changed ? uiText("WebPage", "已保存") : std::string()) : said,
        !result.changed);
}

HttpResponse WebApp::removeBell(Context& c) {
    const std::string start = field(c.form, "start");
    TableDatabase db;
    const OpenedTables opened = openOrCreateTables(db, m_setup.folder);
    if (!opened.usable())
        return backTo(c, "/schedule", opened.errors.empty() ? "" : opened.errors[0], true);
    if (auto refusal = readOnlyRefusal(db)) return backTo(c, "/schedule", refusal->text, true);
    if (!deleteBell(db, start))
        return backTo(c, "/schedule", fillIn(uiText("WebPage", "没有 %1 开始的铃声"), {start}),
                      true);
    logChange(c, "删除铃声 " + start);
    return backTo(c, "/schedule", fillIn(uiText("WebPage", "已删除 %1 的铃声"), {start}), false);
}

HttpResponse WebApp::calendarPage(Context& c) {
    TableDatabase db;
    const Status opened = openTablesForReading(db, m_setup.folder);
    const LocalTime now = nowOf(m_setup.ringer->clock());
    std::string body;
    if (!opened.isOk())
        body += "<p class=\"notice error\">" + htmlEscaped(opened.message()) + "</p>";
    // From a month back: last month's make-up days are still worth seeing.
    LocalTime monthBack = now;
    if (--monthBack.month < 1) monthBack.month = 12, --monthBack.year;
    monthBack.day = 1;
    const std::vector<CalendarEntry> entries = readCalendar(db, dateText(monthBack), "");
    if (entries.empty()) {
        body += "<p>" + uiText("WebPage", "没有放假或调休的日子：每天按自己的星期响铃") + "</p>";
    } else {
        body += "<table><thead><tr><th>" + uiText("WebPage", "日期") + "</th><th>" +
                uiText("WebPage", "铃声日") + "</th><th>" + uiText("WebPage", "说明") +
                "</th><th></th></tr></thead><tbody>";
        for (const CalendarEntry& e : entries) {
            body += "<tr><td>" + htmlEscaped(e.date) + "</td><td>" +
                    htmlEscaped(ringDayText(e.ringDay)) + "</td><td>" + htmlEscaped(e.note) +
                    "</td><td><form method=\"post\" action=\"/calendar/clear\">" +
                    hiddenToken(c.session->formToken) + "<input type=\"hidden\" name=\"from\"" +
                    valueAttribute(e.date) + "><button type=\"submit\" class=\"link\">" +
                    uiText("WebPage", "恢复正常") + "</button></form></td></tr>";
        }
        body += "</tbody></table>";
    }
    body += "<h2>" + uiText("WebPage", "设置日子") +
            "</h2><form method=\"post\" action=\"/calendar/set\" "
            "class=\"bell\">" +
            hiddenToken(c.session->formToken) + "<label>" + uiText("WebPage", "从") +
            "<input type=\"date\" name=\"from\" required></label><label>" +
            uiText("WebPage", "到（可不填）") + "<input type=\"date\" name=\"to\"></label><label>" +
            uiText("WebPage", "这些日子") + "<select name=\"day\">";
    for (int d = kNoBells; d <= 7; ++d)
        body += "<option value=\"" + std::to_string(d) + "\">" + htmlEscaped(ringDayText(d)) +
                "</option>";
    body +=
        "</select></label><label>" + uiText("WebPage", "说明（可不填）") +
        "<input type=\"text\" name=\"note\" maxlength=\"100\"></label><button type=\"submit\">" +
        uiText("WebPage", "保存") + "</button></form>";
    return page(c, uiText("WebPage", "校历"), body);
}

HttpResponse WebApp::changeCalendar(Context& c, bool setting) {
    const std::string from = field(c.form, "from");
    const std::string to = field(c.form, "to").empty() ? from : field(c.form, "to");
    TableDatabase db;
    const OpenedTables opened = openOrCreateTables(db, m_setup.folder);
    if (opened.calendar == TableOrigin::kUnavailable || opened.calendar == TableOrigin::kReadOnly)
        return backTo(c, "/calendar", uiText("WebPage", "校历不能写入"), true);
    if (setting) {
        const std::string dayText = field(c.form, "day");
        const int day =
            dayText.size() == 1 && dayText[0] >= '0' && dayText[0] <= '7' ? dayText[0] - '0' : -1;
        if (Status s = setCalendarDays(db, from, to, day, field(c.form, "note")); !s.isOk())
            return backTo(c, "/calendar", s.message(), true);
        std::string dayInLog;
        {
            UiTextLanguage chinese(nullptr);  // the ring log is written in Chinese
            dayInLog = ringDayText(day);
        }
        logChange(c, "校历 " + from + (to == from ? "" : " 至 " + to) + " 设为" + dayInLog);
        return backTo(c, "/calendar", uiText("WebPage", "已保存"), false);
    }
    const Result<int> cleared = clearCalendarDays(db, from, to);
    if (!cleared.isOk()) return backTo(c, "/calendar", cleared.status().message(), true);
    logChange(c, "校历 " + from + (to == from ? "" : " 至 " + to) + " 恢复正常");
    return backTo(c, "/calendar", uiText("WebPage", "已恢复正常"), false);
}

HttpResponse WebApp::logPage(Context& c) {
    std::string day = field(c.query, "day");
    if (!parseDate(day)) day = dateText(nowOf(m_setup.ringer->clock()));
    const std::vector<std::string> lines = readRingLog(m_setup.folder, day);
    std::string body =
        "<form method=\"get\" action=\"/log\" class=\"row\"><input type=\"date\" "
        "name=\"day\"" +
        valueAttribute(day) + "><button type=\"submit\">" + uiText("WebPage", "查看") +
        "</button></form>";
    if (lines.empty()) {
        body += "<p>" + uiText("WebPage", "这一天没有记录") + "</p>";
    } else {
        body += "<ol class=\"log\">";
        for (const std::string& line : lines) body += "<li>" + htmlEscaped(line) + "</li>";
        body += "</ol>";
    }
    return page(c, uiText("WebPage", "响铃记录"), body);
}

HttpResponse WebApp::setPlan(Context& c) {
    const bool running = field(c.form, "plan") == "resume";
    if (!m_setup.ringer->setRunning(running))
        return backTo(c, "/", uiText("WebPage", "响铃程序没有回答"), true);
    logChange(c, running ? "计划恢复运行" : "计划暂停");
    return backTo(c, "/",
                  running ? uiText("WebPage", "计划已恢复运行") : uiText("WebPage", "计划已暂停"),
                  false);
}

HttpResponse WebApp::stopSound(Context& c) {
    if (!m_setup.ringer->stopSound())
        return backTo(c, "/", uiText("WebPage", "响铃程序没有回答"), true);
    logChange(c, "停止铃声");
    return backTo(c, "/", uiText("WebPage", "铃声已停止"), false);
}

HttpResponse WebApp::passwordPage(Context& c) {
    const std::string body =
        "<form method=\"post\" action=\"/password\" class=\"bell\">" +
        hiddenToken(c.session->formToken) + "<label>" + uiText("WebPage", "原密码") +
        "<input type=\"password\" name=\"old\" autocomplete=\"current-password\" required>"
        "</label><label>" +
        uiText("WebPage", "新密码") +
        "<input type=\"password\" name=\"new\" autocomplete=\"new-password\" required></label>"
        "<label>" +
        uiText("WebPage", "再输一次新密码") +
        "<input type=\"password\" name=\"again\" autocomplete=\"new-password\" required></label>"
        "<button type=\"submit\">" +
        uiText("WebPage", "修改密码") + "</button></form><p>" +
        uiText("WebPage", "密码修改后，所有登录都要重新登录，桌面程序也用新密码。") + "</p>";
    return page(c, uiText("WebPage", "修改密码"), body);
}

HttpResponse WebApp::changePassword(Context& c) {
    TableDatabase db;
    const OpenedTables opened = openOrCreateTables(db, m_setup.folder);
    if (!opened.usable())
        return backTo(c, "/password", opened.errors.empty() ? "" : opened.errors[0], true);
    auto hash = readPasswordHash(db);
    if (!hash.isOk()) return backTo(c, "/password", hash.status().message(), true);
    if (!passwordMatches(hash.value(), field(c.form, "old"))) {
        m_setup.ringer->log().warn("网页修改密码失败：原密码不对（" + c.request.clientAddress +
                                   "）");
        return backTo(c, "/password", uiText("WebPage", "原密码不对"), true);
    }
    const std::string fresh = field(c.form, "new");
    if (fresh.empty()) return backTo(c, "/password", uiText("WebPage", "新密码不能为空"), true);
    if (fresh != field(c.form, "again"))
        return backTo(c, "/password", uiText("WebPage", "两次输入的新密码不一样"), true);
    if (Status s = setPassword(db, fresh); !s.isOk())
        return backTo(c, "/password", s.message(), true);
    logChange(c, "修改密码");
    // Every session was opened with the old password: they all end, this one too.
    m_sessions.endAll();
    HttpResponse r = redirect("/login");
    r.headers.emplace_back("Set-Cookie", cookie(kSessionCookie, "", true));
    return r;
}

}  // namespace tolvane
