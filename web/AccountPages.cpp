// SPDX-License-Identifier: GPL-3.0-or-later
// The account's pages: logging in and out, and the password.

#include <algorithm>
#include <chrono>

#include "settings/core/Password.h"
#include "web/PageParts.h"

namespace tolvane {

namespace {

int64_t wallSeconds() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

}  // namespace

HttpResponse WebApp::loginPage(Context& c, const std::string& error) {
    // Before a session there is no form token yet: the log-in form carries one that must match
    // a cookie of its own, so another site cannot log a browser in. A browser that has one keeps
    // it: a second tab, or a request the browser makes by itself, must not spoil the first form.
    std::string token = cookieValue(c.request.cookie, kLoginCookie);
    if (token.size() != 64 || token.find_first_not_of("0123456789abcdef") != std::string::npos)
        token = randomToken();
    Html body;
    if (!error.empty()) body += html("<p class=\"notice error\" role=\"alert\">{}</p>", error);
    body += html(
        "<form method=\"post\" action=\"/login\">{}<label>{}<input type=\"password\" "
        "name=\"password\" autocomplete=\"current-password\" required autofocus></label><button "
        "type=\"submit\">{}</button></form>",
        hiddenToken(token), uiText("WebPage", "软件密码"), uiText("WebPage", "登录"));
    HttpResponse r = page(c, uiText("WebPage", "登录"), body);
    r.headers.emplace_back("Set-Cookie", cookie(kLoginCookie, token, false));
    return r;
}

HttpResponse WebApp::logIn(Context& c) {
    const std::string& address = c.request.clientAddress;
    if (!sameToken(field(c.form, "token"), cookieValue(c.request.cookie, kLoginCookie)))
        return plain(403, uiText("WebPage", "表单已过期，请回到页面重新提交"));
    int wait = 0;
    const bool knownDesk = isKnownDesk(c);
    if (!m_sessions.mayTry(address, m_setup.nowMs(), &wait, knownDesk)) {
        HttpResponse r = loginPage(c, fillIn(uiText("WebPage", "密码错误次数太多，请 %1 秒后再试"),
                                             {std::to_string(wait)}));
        r.status = 429;
        return r;
    }
    const std::string hash = folderPasswordHash(m_setup.folder);
    const PasswordCheck check = hash.empty()
                                    ? PasswordCheck::wrong
                                    : checkPassword(hash, field(c.form, "password"), knownDesk);
    if (check == PasswordCheck::busy) {
        HttpResponse r = loginPage(c, uiText("WebPage", "正在核对另一个密码，请稍后再试"));
        r.status = 503;
        return r;
    }
    if (check == PasswordCheck::wrong) {
        m_sessions.failed(address, m_setup.nowMs(), knownDesk);
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
    if (!m_setup.deskKey.empty())
        r.headers.emplace_back(
            "Set-Cookie", cookie(kDeskCookie, deskMark(m_setup.deskKey, wallSeconds()), false) +
                              "; Max-Age=" + std::to_string(kDeskSeconds));
    return r;
}

HttpResponse WebApp::logOut(Context& c) {
    m_sessions.end(c.session->id);
    HttpResponse r = redirect("/login");
    r.headers.emplace_back("Set-Cookie", cookie(kSessionCookie, "", true));
    return r;
}

HttpResponse WebApp::passwordPage(Context& c) {
    const Html body = html(
        "<form method=\"post\" action=\"/password\" class=\"bell\">{}<label>{}<input "
        "type=\"password\" name=\"old\" autocomplete=\"current-password\" required></label><label>"
        "{}<input type=\"password\" name=\"new\" autocomplete=\"new-password\" required></label>"
        "<label>{}<input type=\"password\" name=\"again\" autocomplete=\"new-password\" "
        "required></label><button type=\"submit\">{}</button></form><p>{}</p>",
        hiddenToken(c.session->formToken), uiText("WebPage", "原密码"), uiText("WebPage", "新密码"),
        uiText("WebPage", "再输一次新密码"), uiText("WebPage", "修改密码"),
        uiText("WebPage", "密码修改后，所有登录都要重新登录，桌面程序也用新密码。"));
    return page(c, uiText("WebPage", "修改密码"), body);
}

HttpResponse WebApp::changePassword(Context& c) {
    TableDatabase db;
    const OpenedTables opened = openOrCreateTables(db, m_setup.folder);
    if (!opened.usable())
        return backTo(c, "/password", opened.errors.empty() ? "" : opened.errors[0], true);
    auto hash = readPasswordHash(db);
    if (!hash.isOk()) return backTo(c, "/password", hash.status().message(), true);
    // The new password first: a form refused for it says nothing of the old one.
    const std::string fresh = field(c.form, "new");
    if (fresh.empty()) return backTo(c, "/password", uiText("WebPage", "新密码不能为空"), true);
    if (fresh != field(c.form, "again"))
        return backTo(c, "/password", uiText("WebPage", "两次输入的新密码不一样"), true);
    // The old password is a guess like a log-in's, within the same limits.
    const std::string& address = c.request.clientAddress;
    int wait = 0;
    const bool knownDesk = isKnownDesk(c);
    if (!m_sessions.mayTry(address, m_setup.nowMs(), &wait, knownDesk))
        return backTo(
            c, "/password",
            fillIn(uiText("WebPage", "密码错误次数太多，请 %1 秒后再试"), {std::to_string(wait)}),
            true);
    const PasswordCheck check = checkPassword(hash.value(), field(c.form, "old"), knownDesk);
    if (check == PasswordCheck::busy)
        return backTo(c, "/password", uiText("WebPage", "正在核对另一个密码，请稍后再试"), true);
    if (check == PasswordCheck::wrong) {
        m_sessions.failed(address, m_setup.nowMs(), knownDesk);
        m_setup.ringer->log().warn("网页修改密码失败：原密码不对（" + address + "）");
        return backTo(c, "/password", uiText("WebPage", "原密码不对"), true);
    }
    m_sessions.succeeded(address);
    if (Status s = storePassword(db, fresh); !s.isOk())
        return backTo(c, "/password", s.message(), true);
    logChange(c, "修改密码");
    // Every session was opened with the old password: they all end, this one too.
    m_sessions.endAll();
    return logOut(c);
}

WebApp::PasswordCheck WebApp::checkPassword(const std::string& hash, std::string_view password,
                                            bool knownDesk) {
    std::unique_lock lock(m_hashing, std::defer_lock);
    // One desk at a time waits, so a server thread is always left for the pages.
    if (knownDesk && m_desksWaiting.fetch_add(1) == 0) {
        lock.lock();
        --m_desksWaiting;
    } else {
        if (knownDesk) --m_desksWaiting;
        if (m_desksWaiting.load() > 0 || !lock.try_lock()) return PasswordCheck::busy;
    }
    return passwordMatches(hash, password) ? PasswordCheck::right : PasswordCheck::wrong;
}

bool WebApp::isKnownDesk(const Context& c) const {
    const std::string& address = c.request.clientAddress;
    // This computer itself, by loopback or by the addresses the Settings window lists for the
    // page; other loopback addresses are anyone (a tunnel, a proxy).
    if (address == "::1" || address == "127.0.0.1" ||
        std::find(m_setup.hostNames.begin(), m_setup.hostNames.end(), address) !=
            m_setup.hostNames.end())
        return true;
    return isDeskMark(m_setup.deskKey, cookieValue(c.request.cookie, kDeskCookie), wallSeconds());
}

Status WebApp::storePassword(TableDatabase& db, std::string_view password) {
    std::lock_guard lock(m_hashing);
    return setPassword(db, password);
}

}  // namespace tolvane
