// SPDX-License-Identifier: GPL-3.0-or-later
// The school calendar: its days off and make-up days from a month back, setting and clearing them.

#include <map>

#include "schedule/core/Timetables.h"
#include "web/PageParts.h"

namespace tolvane {

namespace {

// A day's row: its ring day and the timetable it names, either of which may be missing.
struct CalendarRow {
    int ringDay = -1;  // none
    std::string timetable, note;
};

std::string rowState(const CalendarRow& day) {
    if (!day.timetable.empty()) return timetableDayText(day.timetable, day.ringDay);
    return day.ringDay < 0 ? std::string() : ringDayText(day.ringDay);
}

Html calendarTable(const std::map<std::string, CalendarRow>& days, const std::string& token) {
    Html rows;
    for (const auto& [date, day] : days) {
        rows += html(
            "<tr><td>{}</td><td>{}</td><td>{}</td><td><form method=\"post\" "
            "action=\"/calendar/clear\">{}<input type=\"hidden\" name=\"from\" value=\"{}\">"
            "<button type=\"submit\" class=\"link\">{}</button></form></td></tr>",
            date, rowState(day), day.note, hiddenToken(token), date, uiText("WebPage", "恢复正常"));
    }
    return html(
        "<table><thead><tr><th>{}</th><th>{}</th><th>{}</th><th></th></tr></thead><tbody>{}"
        "</tbody></table>",
        uiText("WebPage", "日期"), uiText("WebPage", "铃声日"), uiText("WebPage", "说明"), rows);
}

// The form that makes days ring by a timetable (an exam day, a half day); none for a school with
// one timetable.
Html timetableForm(TableDatabase& db, const std::string& token) {
    const std::vector<std::string> names = timetableNames(db);
    if (names.size() < 2) return {};
    Html options = html("<option value=\"\">{}</option>", uiText("WebPage", "按平常的规则"));
    for (const std::string& name : names)
        options += html("<option value=\"{}\">{}</option>", name, timetableDayText(name));
    // Whose bells of the timetable ring: an exam Saturday rings the exam timetable's 周一.
    Html weekdays;
    for (int d = 1; d <= 7; ++d)
        weekdays += html("<option value=\"{}\">{}</option>", d, ringDayText(d));
    return html(
        "<h2>{}</h2><form method=\"post\" action=\"/calendar/timetable\" class=\"bell\">{}"
        "<label>{}<input type=\"date\" name=\"from\" required></label><label>{}<input "
        "type=\"date\" name=\"to\"></label><label>{}<select name=\"t\">{}</select></label>"
        "<label>{}<select name=\"day\">{}</select></label>"
        "<button type=\"submit\">{}</button></form>",
        uiText("WebPage", "按作息表的日子"), hiddenToken(token), uiText("WebPage", "从"),
        uiText("WebPage", "到（可不填）"), uiText("WebPage", "这些日子的作息表"), options,
        uiText("WebPage", "响哪天的铃声"), weekdays, uiText("WebPage", "保存"));
}

Html calendarForm(const std::string& token) {
    Html days;
    for (int d = kNoBells; d <= 7; ++d)
        days += html("<option value=\"{}\">{}</option>", d, ringDayText(d));
    return html(
        "<h2>{}</h2><form method=\"post\" action=\"/calendar/set\" class=\"bell\">{}<label>{}"
        "<input type=\"date\" name=\"from\" required></label><label>{}<input type=\"date\" "
        "name=\"to\"></label><label>{}<select name=\"day\">{}</select></label><label>{}<input "
        "type=\"text\" name=\"note\" maxlength=\"100\"></label><button type=\"submit\">{}</button>"
        "</form>",
        uiText("WebPage", "设置日子"), hiddenToken(token), uiText("WebPage", "从"),
        uiText("WebPage", "到（可不填）"), uiText("WebPage", "这些日子"), days,
        uiText("WebPage", "说明（可不填）"), uiText("WebPage", "保存"));
}

}  // namespace

HttpResponse WebApp::calendarPage(Context& c) {
    TableDatabase db;
    const Status opened = openTablesForReading(db, m_setup.folder);
    const LocalTime now = nowOf(m_setup.ringer->clock());
    Html body;
    if (!opened.isOk()) body += errorNotice(opened.message());
    // From a month back: last month's make-up days are still worth seeing.
    LocalTime monthBack = now;
    if (--monthBack.month < 1) monthBack.month = 12, --monthBack.year;
    monthBack.day = 1;
    std::map<std::string, CalendarRow> days;
    for (const CalendarEntry& e : readCalendar(db, dateText(monthBack), ""))
        days[e.date] = {e.ringDay, {}, e.note};
    for (const auto& [date, name] : calendarTimetables(db, dateText(monthBack), ""))
        days[date].timetable = name;
    body += days.empty()
                ? html("<p>{}</p>", uiText("WebPage", "没有放假或调休的日子：每天按自己的星期响铃"))
                : calendarTable(days, c.session->formToken);
    body += calendarForm(c.session->formToken);
    body += timetableForm(db, c.session->formToken);
    body += timetableRulesPart(db, dateText(now), c.session->formToken);
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
    if (Status s = setCalendarTimetable(db, from, to, ""); !s.isOk())
        return backTo(c, "/calendar", s.message(), true);
    const Result<int> cleared = clearCalendarDays(db, from, to);
    if (!cleared.isOk()) return backTo(c, "/calendar", cleared.status().message(), true);
    logChange(c, "校历 " + from + (to == from ? "" : " 至 " + to) + " 恢复正常");
    return backTo(c, "/calendar", uiText("WebPage", "已恢复正常"), false);
}

HttpResponse WebApp::calendarTimetable(Context& c) {
    const std::string from = field(c.form, "from");
    const std::string to = field(c.form, "to").empty() ? from : field(c.form, "to");
    const std::string timetable = field(c.form, "t");
    TableDatabase db;
    const OpenedTables opened = openOrCreateTables(db, m_setup.folder);
    if (!opened.usable())
        return backTo(c, "/calendar", opened.errors.empty() ? "" : opened.errors[0], true);
    const std::string dayText = field(c.form, "day");
    const int day =
        dayText.size() == 1 && dayText[0] >= '1' && dayText[0] <= '7' ? dayText[0] - '0' : 1;
    const Status s = timetable.empty() ? setCalendarTimetable(db, from, to, "")
                                       : setCalendarTimetableDays(db, from, to, timetable, day, "");
    if (!s.isOk()) return backTo(c, "/calendar", s.message(), true);
    std::string dayInLog;
    {
        UiTextLanguage chinese(nullptr);  // the ring log is written in Chinese
        dayInLog = timetable.empty() ? " 按平常的作息表" : " " + timetableDayText(timetable, day);
    }
    logChange(c, "校历 " + from + (to == from ? "" : " 至 " + to) + dayInLog);
    return backTo(c, "/calendar", uiText("WebPage", "已保存"), false);
}

}  // namespace tolvane
