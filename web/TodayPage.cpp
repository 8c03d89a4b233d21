// SPDX-License-Identifier: GPL-3.0-or-later
// Today: the clock, the plan and the bell playing with their buttons, the ringer's problems, the
// next bell and today's bells.

#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "schedule/core/BellEditing.h"
#include "schedule/core/Timetables.h"
#include "web/PageParts.h"

namespace tolvane {

namespace {

std::string calendarWord(TableDatabase& db, const LocalTime& now) {
    const RingDay day = ringDayOf(db, now);
    std::string word = weekdayName(static_cast<size_t>((now.weekday + 6) % 7));
    if (!day.fromCalendar) return word;
    word += "，" + ringDayText(day.startsBells ? ringDayOfWeekday(day.weekday) : kNoBells);
    const auto entries = readCalendar(db, dateText(now), dateText(now));
    if (!entries.empty() && !entries[0].note.empty()) word += "（" + entries[0].note + "）";
    return word;
}

// "下一个铃声：…，还有 …", or that there is none within two weeks. The page's script counts it
// down from the bell's civil time (data-at), in the same words (data-template and the units).
Html nextBellParagraph(const std::optional<NextBell>& next, const LocalTime& now) {
    if (!next) return html("<p class=\"next\">{}</p>", uiText("WebPage", "两周内没有铃声"));
    const LocalTime at = nextBellStart(*next);
    const int64_t left = secondsUntil(*next, now);
    const std::string sentence = uiText("WebPage", "下一个铃声：%1 %2，还有 %3");
    return html(
        "<p class=\"next\" id=\"next\" data-at=\"{}\" data-template=\"{}\" data-days=\"{}\" "
        "data-hours=\"{}\" data-minutes=\"{}\" data-seconds=\"{}\">{}</p>",
        civilToEpochSeconds(at) * 1000,
        fillIn(sentence, {dateText(next->day), next->bell.start, "%3"}),
        uiText("WebPage", "%1 天 %2 小时"), uiText("WebPage", "%1 小时 %2 分"),
        uiText("WebPage", "%1 分 %2 秒"), uiText("WebPage", "%1 秒"),
        fillIn(sentence, {dateText(next->day), next->bell.start, durationText(left)}));
}

// 广播通知 kept to be said later today, each with a button that takes it back.
Html laterNotices(const std::vector<TimedNotice>& notices, const std::string& token) {
    if (notices.empty()) return {};
    Html rows;
    for (const TimedNotice& n : notices)
        rows += html(
            "<tr><td>{}</td><td>{}</td><td>{}</td><td><form method=\"post\" "
            "action=\"/notice/cancel\">{}<input type=\"hidden\" name=\"id\" value=\"{}\"><button "
            "type=\"submit\">{}</button></form></td></tr>",
            timeText(n.at), n.text, n.times, hiddenToken(token), n.id, uiText("WebPage", "取消"));
    return html(
        "<h2>{}</h2><table class=\"notices\"><thead><tr><th>{}</th><th>{}</th><th>{}</th><th>"
        "</th></tr></thead><tbody>{}</tbody></table>",
        uiText("WebPage", "今天稍后的广播通知"), uiText("WebPage", "时间"),
        uiText("WebPage", "通知的内容"), uiText("WebPage", "说几遍"), rows);
}

Html ringerPart(const RingerState& state, const std::string& token, const LocalTime& now,
                const std::string& folder) {
    const bool running = state.plan == PlanState::kRunning;
    Html out = html(
        "<form method=\"post\" action=\"/plan\" class=\"row\">{}<span>{}</span><input "
        "type=\"hidden\" name=\"plan\" value=\"{}\"><button type=\"submit\">{}</button></form>",
        hiddenToken(token),
        running ? uiText("WebPage", "计划运行中") : uiText("WebPage", "计划已暂停"),
        running ? "pause" : "resume",
        running ? uiText("WebPage", "暂停计划") : uiText("WebPage", "恢复计划"));
    const std::string playing = state.playing ? timeText(state.playing->start) + " " +
                                                    musicShown(folder, state.playing->music)
                                              : "";
    std::string sounding = uiText("WebPage", "现在没有铃声");
    if (!state.ringingNow.empty())
        sounding =
            fillIn(state.ringingNowRepeats ? uiText("WebPage", "正在立即播放（重复，直到停止）：%1")
                                           : uiText("WebPage", "正在立即播放：%1"),
                   {musicShown(folder, state.ringingNow)});
    else if (!playing.empty())
        sounding = fillIn(uiText("WebPage", "正在响：%1"), {playing});
    out += html(
        "<form method=\"post\" action=\"/stop\" class=\"row\">{}<span>{}</span><button "
        "type=\"submit\" class=\"attention\">{}</button></form>",
        hiddenToken(token), sounding, uiText("WebPage", "停止"));
    if (!state.problems.empty()) {
        Html items;
        for (const RingerProblem& p : state.problems) items += html("<li>{}</li>", p.text);
        out += html("<h2>{}</h2><ul class=\"problems\">{}</ul>", uiText("WebPage", "问题"), items);
    }
    out += laterNotices(state.notices, token);
    return out + nextBellParagraph(state.next, now);
}

// 立即播放: one of the schedule's own music, never a path typed on the page.
Html ringNowForm(const std::vector<MusicChoice>& choices, const std::string& token) {
    if (choices.empty()) return {};
    return html(
        "<h2>{}</h2><form method=\"post\" action=\"/ringnow\" class=\"bell\">{}<label>{}"
        "{}</label><label class=\"check\"><input "
        "type=\"checkbox\" name=\"repeat\" value=\"1\">{}</label><button type=\"submit\">{}"
        "</button></form>",
        uiText("WebPage", "立即播放"), hiddenToken(token), uiText("WebPage", "音乐"),
        musicSelect(choices, {}), uiText("WebPage", "重复播放，直到停止（演练、紧急信号）"),
        uiText("WebPage", "立即播放"));
}

// 广播通知: a notice typed in the office, said over the loudspeakers now or at a time of today.
Html noticeForm(const std::string& token) {
    return html(
        "<h2>{}</h2><form method=\"post\" action=\"/notice\" class=\"bell\">{}<label>{}<textarea "
        "name=\"text\" rows=\"2\" required placeholder=\"{}\"></textarea></label><label>{}<select "
        "name=\"times\"><option value=\"1\">1</option><option value=\"2\">2</option><option "
        "value=\"3\">3</option></select></label><button type=\"submit\" "
        "formaction=\"/notice/preview\" formtarget=\"_blank\">{}</button>"
        "<button type=\"submit\" name=\"when\" value=\"now\">{}</button><label>{}<input "
        "type=\"time\" name=\"at\" step=\"1\"></label><button type=\"submit\" name=\"when\" "
        "value=\"at\">{}</button></form>",
        uiText("WebPage", "广播通知"), hiddenToken(token), uiText("WebPage", "通知的内容"),
        uiText("WebPage", "如：请各班班主任14:30到会议室开会"), uiText("WebPage", "说几遍"),
        uiText("WebPage", "先在这里听一遍"), uiText("WebPage", "现在广播"),
        uiText("WebPage", "或者在今天的"), uiText("WebPage", "按时广播"));
}

}  // namespace

HttpResponse WebApp::todayPage(Context& c) {
    const Clock& clock = m_setup.ringer->clock();
    const int64_t nowMs = clock.nowMs();
    const LocalTime now = clock.toLocal(nowMs / 1000);
    TableDatabase db;
    const Status opened = openTablesForReading(db, m_setup.folder);
    // The school's civil time to the millisecond: the script ticks on from it, whatever the
    // browser's own clock and time zone.
    Html body = html("<p class=\"clock\" id=\"clock\" data-civil=\"{}\">{} {}</p>",
                     civilToEpochSeconds(now) * 1000 + nowMs % 1000, dateText(now), timeText(now));
    if (!opened.isOk()) body += errorNotice(opened.message());
    body += html("<p>{}{}</p>", uiText("WebPage", "今天："), calendarWord(db, now));
    const RingDay today = ringDayOf(db, now);
    if (!today.timetableLine.empty())
        body += html(
            "<p class=\"timetable\">{}</p>",
            fillIn(uiText("WebPage", "今天的作息表：%1（%2）"),
                   {today.timetable.name, timetableReason(timetablePlan(db), today.timetable)}));

    // The ringer's part is fetched again every few seconds by the script (the plan, what sounds,
    // the problems, the next bell), so a bell that rang is seen without reloading.
    if (const std::optional<RingerState> state = m_setup.ringer->state())
        body += html("<div id=\"live\">{}</div>",
                     ringerPart(*state, c.session->formToken, now, m_setup.folder)) +
                ringNowForm(musicChoices(db, m_setup.folder), c.session->formToken) +
                noticeForm(c.session->formToken);
    else
        body += errorNotice(uiText("WebPage", "响铃程序没有回答"));

    body += html("<h2>{}</h2>", uiText("WebPage", "今天的铃声"));
    Html rows;
    for (const BellRecord& bell : bellsByTime(db, today.bells))
        if (ringsOnDay(bell, today))
            rows += html("<tr><td>{}</td><td>{}</td>{}</tr>", bell.start,
                         bell.end.empty() ? "—" : bell.end, musicCell(m_setup.folder, bell.music));
    if (rows.empty())
        body += html("<p>{}</p>", uiText("WebPage", "今天没有铃声"));
    else
        body += html(
            "<table><thead><tr><th>{}</th><th>{}</th><th>{}</th></tr></thead><tbody>{}</tbody>"
            "</table>",
            uiText("WebPage", "开始"), uiText("WebPage", "结束"), uiText("WebPage", "音乐"), rows);
    body += html("<script src=\"/today.js\"></script>");
    return page(c, uiText("WebPage", "今天"), body);
}

HttpResponse WebApp::setPlan(Context& c) {
    // Only the page's own two buttons: a malformed post must not pause the bells.
    const std::string plan = field(c.form, "plan");
    if (plan != "pause" && plan != "resume")
        return backTo(c, "/", uiText("WebPage", "计划没有改变：不认识的操作"), true);
    const bool running = plan == "resume";
    if (!m_setup.ringer->setRunning(running))
        return backTo(c, "/", uiText("WebPage", "响铃程序没有回答"), true);
    logChange(c, running ? "计划恢复运行" : "计划暂停");
    return backTo(c, "/",
                  running ? uiText("WebPage", "计划已恢复运行") : uiText("WebPage", "计划已暂停"),
                  false);
}

HttpResponse WebApp::ringNow(Context& c) {
    const std::string music = field(c.form, "music");
    const bool repeat = field(c.form, "repeat") == "1";
    TableDatabase db;
    if (Status s = openTablesForReading(db, m_setup.folder); !s.isOk())
        return backTo(c, "/", s.message(), true);
    // The page names no file of the bell computer but the library's and the schedule's.
    if (!isMusicChoice(musicChoices(db, m_setup.folder), music))
        return backTo(c, "/", uiText("WebPage", "只能立即播放铃声库或铃声计划里的音乐"), true);
    const std::optional<Status> played =
        m_setup.ringer->ringNow(music, repeat, "网页，" + c.request.clientAddress);
    if (!played) return backTo(c, "/", uiText("WebPage", "响铃程序没有回答"), true);
    if (!played->isOk()) return backTo(c, "/", played->message(), true);
    return backTo(c, "/", fillIn(uiText("WebPage", "正在立即播放：%1"), {music}), false);
}

HttpResponse WebApp::sayNotice(Context& c) {
    const std::string text = field(c.form, "text");
    const std::string times = field(c.form, "times");
    if (times != "1" && times != "2" && times != "3")
        return backTo(c, "/", uiText("WebPage", "通知没有广播：遍数只能是 1 到 3"), true);
    if (const std::string problem = speechProblem({true, text}); !problem.empty())
        return backTo(c, "/", problem, true);
    std::optional<int> at;
    if (field(c.form, "when") == "at") {
        at = parseTimeOfDay(field(c.form, "at"));
        if (!at)
            return backTo(c, "/", uiText("WebPage", "通知没有安排：请填写今天广播的时间"), true);
    }
    const std::optional<Status> said =
        m_setup.ringer->sayNotice(text, times[0] - '0', at, "网页，" + c.request.clientAddress);
    if (!said) return backTo(c, "/", uiText("WebPage", "响铃程序没有回答"), true);
    if (!said->isOk()) return backTo(c, "/", said->message(), true);
    if (at) {
        const LocalTime when = atSecondOfDay({}, *at);
        return backTo(c, "/",
                      fillIn(uiText("WebPage", "通知将在 %1 广播：%2"), {timeText(when), text}),
                      false);
    }
    return backTo(c, "/", fillIn(uiText("WebPage", "正在广播通知：%1"), {text}), false);
}

HttpResponse WebApp::cancelNotice(Context& c) {
    int id = 0;
    const std::string number = field(c.form, "id");
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), id);
    const std::optional<bool> cancelled =
        error == std::errc() && end == number.data() + number.size()
            ? m_setup.ringer->cancelNotice(id, "网页，" + c.request.clientAddress)
            : std::optional<bool>(false);
    if (!cancelled) return backTo(c, "/", uiText("WebPage", "响铃程序没有回答"), true);
    if (!*cancelled)
        return backTo(c, "/", uiText("WebPage", "没有这个通知：它已经广播过或已取消"), true);
    return backTo(c, "/", uiText("WebPage", "通知已取消"), false);
}

// The notice as it will sound, played by the office's browser, never on the loudspeakers.
HttpResponse WebApp::previewNotice(Context& c) {
    const std::string text = field(c.form, "text");
    if (const std::string problem = speechProblem({true, text}); !problem.empty())
        return plain(400, problem);
    auto mp3 = m_setup.ringer->speechPreview(text);
    if (!mp3.isOk()) return plain(503, mp3.status().message());
    HttpResponse r;
    r.contentType = "audio/mpeg";
    r.body = std::move(mp3).value();
    return r;
}

HttpResponse WebApp::stopSound(Context& c) {
    if (!m_setup.ringer->stopSound())
        return backTo(c, "/", uiText("WebPage", "响铃程序没有回答"), true);
    logChange(c, "停止铃声");
    return backTo(c, "/", uiText("WebPage", "铃声已停止"), false);
}

}  // namespace tolvane
