// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/WebApp.h"

#include <functional>
#include <map>
#include <string_view>
#include <utility>

#include "base/PathText.h"
#include "schedule/core/BellLibrary.h"
#include "web/PageParts.h"
#include "web/WebScript.h"
#include "web/WebStyle.h"

namespace tolvane {

WebApp::WebApp(Setup setup) : m_setup(std::move(setup)) {}

namespace {

// What anyone may have: the log-in page and form, and what they are drawn with.
bool isOpenToAll(const std::string& path, bool post) {
    return path == "/login" || (!post && (path == "/style.css" || path == "/favicon.ico"));
}

}  // namespace

HttpResponse WebApp::handle(const HttpRequest& request) {
    Context c{request, request.path(), fieldsOf(request.query()), {}, {}, false};
    c.english = m_setup.english && browserPrefersEnglish(request.acceptLanguage);
    UiTextLanguage language(c.english ? m_setup.english : nullptr);
    if (std::optional<HttpResponse> refusal = admit(c, false)) return std::move(*refusal);
    return route(c);
}

HttpsServer::Screening WebApp::screen(const HttpRequest& header) {
    Context c{header, header.path(), fieldsOf(header.query()), {}, {}, false};
    c.english = m_setup.english && browserPrefersEnglish(header.acceptLanguage);
    UiTextLanguage language(c.english ? m_setup.english : nullptr);
    if (std::optional<HttpResponse> refusal = admit(c, true))
        return {std::move(refusal), false, {}};
    if (header.method == "POST" && c.path == kUploadPath) {
        if (std::optional<HttpResponse> refusal = uploadRefusal(c))
            return {std::move(refusal), true, {}};
        return {std::nullopt, false, libraryScratchPath(m_setup.folder)};
    }
    return {};
}

std::optional<HttpResponse> WebApp::admit(Context& c, bool headerOnly) {
    // Before anything is read: a name the certificate does not hold is another site's request
    // (DNS rebinding), or a mistake.
    if (!hostIsOneOf(c.request.host, m_setup.hostNames))
        return plain(421, "此地址不属于这台电脑（Host）");
    const bool post = c.request.method == "POST";
    if (post && c.path == kUploadPath) {
        // The file as it is; its name and the form's token ride in the query.
        c.form = c.query;
    } else if (post) {
        if (asciiLowered(c.request.contentType).rfind("application/x-www-form-urlencoded", 0) != 0)
            return plain(415, uiText("WebPage", "只接受网页表单"));
        c.form = fieldsOf(c.request.body);
    } else if (c.request.method != "GET" && c.request.method != "HEAD") {
        return plain(405, uiText("WebPage", "不支持此请求方法"));
    }
    if (post && !changeFromThisPage(c.request, m_setup.hostNames))
        return plain(403, uiText("WebPage", "只接受本页面自己的表单"));
    if (isOpenToAll(c.path, post)) return std::nullopt;

    const std::string hash = folderPasswordHash(m_setup.folder);
    const std::string id = cookieValue(c.request.cookie, kSessionCookie);
    if (!id.empty()) c.session = m_sessions.use(id, hash, m_setup.nowMs());
    if (!c.session) return post ? plain(403, uiText("WebPage", "请先登录")) : redirect("/login");
    // A form's token rides in its body, which a header alone has not yet brought (but for an
    // upload's, in the query).
    const bool formKnown = !headerOnly || c.path == kUploadPath;
    if (post && formKnown && !sameToken(field(c.form, "token"), c.session->formToken))
        return plain(403, uiText("WebPage", "表单已过期，请回到页面重新提交"));
    return std::nullopt;
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

    if (c.path == "/logout" && post) return logOut(c);
    // The pages' scripts (the library's upload, today's ticking): for those who may see the pages.
    if (!post && (c.path == "/upload.js" || c.path == "/today.js")) {
        HttpResponse r;
        r.contentType = "text/javascript; charset=utf-8";
        r.body = c.path == "/upload.js" ? webUploadScript() : webTodayScript();
        return r;
    }
    // What a logged-in desk may ask for: each page by its method and path.
    using Route = std::function<HttpResponse(WebApp&, Context&)>;
    static const std::map<std::pair<bool, std::string_view>, Route> kRoutes{
        {{false, "/"}, &WebApp::todayPage},
        {{false, "/schedule"}, &WebApp::schedulePage},
        {{false, "/schedule/change"}, &WebApp::changePage},
        {{false, "/schedule/delete"}, &WebApp::deletePage},
        {{false, "/calendar"}, &WebApp::calendarPage},
        {{false, "/log"}, &WebApp::logPage},
        {{false, "/library"}, &WebApp::libraryPage},
        {{false, "/library/file"}, &WebApp::libraryFile},
        {{false, "/password"}, &WebApp::passwordPage},
        {{true, "/schedule/add"},
         [](WebApp& w, Context& asked) { return w.saveBell(asked, true); }},
        {{true, "/schedule/change"},
         [](WebApp& w, Context& asked) { return w.saveBell(asked, false); }},
        {{true, "/schedule/delete"}, &WebApp::removeBell},
        {{true, "/calendar/set"},
         [](WebApp& w, Context& asked) { return w.changeCalendar(asked, true); }},
        {{true, "/calendar/clear"},
         [](WebApp& w, Context& asked) { return w.changeCalendar(asked, false); }},
        {{true, "/calendar/timetable"}, &WebApp::calendarTimetable},
        {{true, "/timetable/season"}, &WebApp::timetableSeason},
        {{true, "/timetable/rotation"}, &WebApp::timetableRotation},
        {{true, "/plan"}, &WebApp::setPlan},
        {{true, "/stop"}, &WebApp::stopSound},
        {{true, "/ringnow"}, &WebApp::ringNow},
        {{true, "/notice"}, &WebApp::sayNotice},
        {{true, "/notice/cancel"}, &WebApp::cancelNotice},
        {{true, "/notice/preview"}, &WebApp::previewNotice},
        {{true, kUploadPath}, &WebApp::uploadToLibrary},
        {{true, "/password"}, &WebApp::changePassword},
    };
    if (const auto route = kRoutes.find({post, c.path}); route != kRoutes.end())
        return route->second(*this, c);
    return plain(404, uiText("WebPage", "没有这个页面"));
}

HttpResponse WebApp::page(Context& c, const std::string& title, const Html& body) {
    Html out = html(
        "<!DOCTYPE html>\n<html lang=\"{}\"><head><meta charset=\"utf-8\"><meta name=\"viewport\" "
        "content=\"width=device-width, initial-scale=1\"><title>{} — {}</title><link "
        "rel=\"stylesheet\" href=\"/style.css\"></head><body>",
        c.english ? "en" : "zh-CN", title, uiText("WebPage", "铃声计划"));
    if (c.session) {
        out += html(
            "<nav><a href=\"/\">{}</a><a href=\"/schedule\">{}</a><a href=\"/library\">{}</a><a "
            "href=\"/calendar\">{}</a><a href=\"/log\">{}</a><a href=\"/password\">{}</a><form "
            "method=\"post\" action=\"/logout\">{}<button class=\"link\">{}</button></form></nav>",
            uiText("WebPage", "今天"), uiText("WebPage", "铃声"), uiText("WebPage", "铃声库"),
            uiText("WebPage", "校历"), uiText("WebPage", "响铃记录"), uiText("WebPage", "密码"),
            hiddenToken(c.session->formToken), uiText("WebPage", "退出登录"));
        bool isError = false;
        const std::string notice = m_sessions.takeNotice(c.session->id, &isError);
        if (!notice.empty())
            out += html("<p class=\"{}\" role=\"status\">{}</p>",
                        isError ? "notice error" : "notice", notice);
    }
    out += html("<main><h1>{}</h1>{}</main></body></html>\n", title, body);
    HttpResponse r;
    r.body = c.request.method == "HEAD" ? std::string() : out.str();
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

}  // namespace tolvane
