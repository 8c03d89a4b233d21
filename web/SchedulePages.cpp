// SPDX-License-Identifier: GPL-3.0-or-later
// The bells: the list with its links, adding, changing and deleting one.

#include <algorithm>

#include "schedule/core/BellEditing.h"
#include "schedule/core/Timetables.h"
#include "web/PageParts.h"

namespace tolvane {

namespace {

Html bellForm(const std::string& action, const std::string& token, const BellRecord& bell,
              const std::string& oldStart, const std::vector<MusicChoice>& choices,
              const std::string& button, const std::string& timetable) {
    Html out = html(
        "<form method=\"post\" action=\"{}\" class=\"bell\">{}<input type=\"hidden\" name=\"t\" "
        "value=\"{}\">",
        action, hiddenToken(token), timetable);
    if (!oldStart.empty())
        out += html("<input type=\"hidden\" name=\"old\" value=\"{}\">", oldStart);
    out += html(
        "<label>{}<input type=\"time\" step=\"1\" name=\"start\" required value=\"{}\"></label>"
        "<label>{}<input type=\"time\" step=\"1\" name=\"end\" value=\"{}\"></label>"
        "<label>{}{}</label><p class=\"hint\"><a href=\"/library\">{}</a></p>",
        uiText("WebPage", "开始时间"), bell.start, uiText("WebPage", "结束时间（可不填）"),
        bell.end, uiText("WebPage", "音乐（铃声库里的 MP3 文件或文件夹）"),
        musicSelect(choices, bell.music), uiText("WebPage", "试听或上传音乐：铃声库"));
    out += html("<fieldset><legend>{}</legend>", uiText("WebPage", "响铃的日子"));
    for (size_t d = 0; d < 7; ++d)
        out += html(
            "<label class=\"day\"><input type=\"checkbox\" name=\"d{}\" value=\"1\"{}>{}</label>",
            d, bell.weekdays[d] ? html(" checked") : Html(), weekdayName(d));
    // "speech" says the form carries the words: a post without it keeps them as they are.
    out += html(
        "</fieldset><fieldset><legend>{}</legend><input type=\"hidden\" name=\"speech\" "
        "value=\"1\"><label class=\"check\"><input type=\"checkbox\" name=\"says\" "
        "value=\"1\"{}>{}</label><label>{}<input type=\"text\" name=\"say\" value=\"{}\" "
        "placeholder=\"{}\"></label></fieldset>",
        uiText("WebPage", "语音提醒"), bell.speaks ? html(" checked") : Html(),
        uiText("WebPage", "铃声放完后说话"), uiText("WebPage", "说的话"), bell.speech,
        uiText("WebPage", "如：第3节课上课"));
    return out + html("<button type=\"submit\">{}</button></form>", button);
}

Html bellTable(const std::vector<BellRecord>& bells, const std::string& timetable,
               const std::string& folder) {
    Html rows;
    for (const BellRecord& bell : bells) {
        const std::string start = urlEncoded(bell.start) + timetableParameter(timetable);
        rows += html(
            "<tr><td>{}</td><td>{}</td><td>{}</td>{}<td>{}</td><td "
            "class=\"actions\"><a href=\"/schedule/change?start={}\">{}</a> <a "
            "href=\"/schedule/delete?start={}\">{}</a></td></tr>",
            bell.start, bell.end.empty() ? "—" : bell.end, daysText(bell.weekdays),
            musicCell(folder, bell.music), bell.spoken().empty() ? "—" : bell.spoken(), start,
            uiText("WebPage", "修改"), start, uiText("WebPage", "删除"));
    }
    return html(
        "<table class=\"bells\"><thead><tr><th>{}</th><th>{}</th><th>{}</th><th>{}</th><th>{}</th>"
        "<th></th></tr></thead><tbody>{}</tbody></table>",
        uiText("WebPage", "开始"), uiText("WebPage", "结束"), uiText("WebPage", "日子"),
        uiText("WebPage", "音乐"), uiText("WebPage", "语音提醒"), rows);
}

// The timetables to choose from (a form that reloads the page with ?t=), today's marked; none
// for a school with one.
Html timetableChooser(TableDatabase& db, const std::string& shown, const std::string& today) {
    const std::vector<std::string> names = timetableNames(db);
    if (names.size() < 2) return {};
    Html options;
    for (const std::string& name : names)
        options += html("<option value=\"{}\"{}>{}</option>", name,
                        name == shown ? html(" selected") : Html(),
                        name == today ? fillIn(uiText("WebPage", "%1（今天）"), {name}) : name);
    return html(
        "<form method=\"get\" action=\"/schedule\" class=\"row\"><label>{}<select "
        "name=\"t\">{}</select></label><button type=\"submit\">{}</button></form>",
        uiText("WebPage", "作息表"), options, uiText("WebPage", "显示"));
}

// "（作息表 夏季）" after a change's line in the ring log; nothing for the default timetable.
std::string inTimetable(const std::string& timetable) {
    return timetable == kDefaultTimetable ? std::string() : "（作息表 " + timetable + "）";
}

}  // namespace

HttpResponse WebApp::schedulePage(Context& c) {
    TableDatabase db;
    const Status opened = openTablesForReading(db, m_setup.folder);
    const std::string today = ringDayOf(db, nowOf(m_setup.ringer->clock())).timetable.name;
    const std::string timetable = field(c.query, "t").empty() ? today : timetableOf(c.query);
    const auto table = bellTableFor(db, timetable);
    const std::vector<BellRecord> bells =
        opened.isOk() && table.isOk() ? bellsByTime(db, table.value()) : std::vector<BellRecord>{};
    Html body;
    if (!opened.isOk()) body += errorNotice(opened.message());
    if (opened.isOk() && !table.isOk()) body += errorNotice(table.status().message());
    body += timetableChooser(db, timetable, today);
    body += bells.empty() ? html("<p>{}</p>", uiText("WebPage", "还没有铃声"))
                          : bellTable(bells, timetable, m_setup.folder);
    BellRecord blank;
    blank.weekdays = {true, true, true, true, true, false, false};
    body += html("<h2>{}</h2>", uiText("WebPage", "添加铃声")) +
            bellForm("/schedule/add", c.session->formToken, blank, {},
                     musicChoices(db, m_setup.folder), uiText("WebPage", "添加"), timetable);
    return page(c, uiText("WebPage", "铃声"), body);
}

HttpResponse WebApp::changePage(Context& c) {
    const std::string timetable = timetableOf(c.query);
    const std::string back = "/schedule?t=" + urlEncoded(timetable);
    TableDatabase db;
    if (Status s = openTablesForReading(db, m_setup.folder); !s.isOk())
        return backTo(c, back, s.message(), true);
    const auto table = bellTableFor(db, timetable);
    if (!table.isOk()) return backTo(c, "/schedule", table.status().message(), true);
    const std::string start = field(c.query, "start");
    const std::vector<BellRecord> bells = bellsByTime(db, table.value());
    auto bell = std::find_if(bells.begin(), bells.end(),
                             [&](const BellRecord& b) { return b.start == start; });
    if (bell == bells.end())
        return backTo(c, back, fillIn(uiText("WebPage", "没有 %1 开始的铃声"), {start}), true);
    return page(c, fillIn(uiText("WebPage", "修改 %1 的铃声"), {start}),
                bellForm("/schedule/change", c.session->formToken, *bell, start,
                         musicChoices(db, m_setup.folder), uiText("WebPage", "保存"), timetable));
}

HttpResponse WebApp::deletePage(Context& c) {
    const std::string start = field(c.query, "start");
    const std::string timetable = timetableOf(c.query);
    const Html body = html(
        "<p>{}</p><form method=\"post\" action=\"/schedule/delete\" class=\"row\">{}<input "
        "type=\"hidden\" name=\"start\" value=\"{}\"><input type=\"hidden\" name=\"t\" "
        "value=\"{}\"><button type=\"submit\" class=\"attention\">{}</button><a "
        "href=\"/schedule?t={}\">{}</a></form>",
        fillIn(uiText("WebPage", "删除 %1 开始的铃声？"), {start}),
        hiddenToken(c.session->formToken), start, timetable, uiText("WebPage", "删除"),
        urlEncoded(timetable), uiText("WebPage", "取消"));
    return page(c, uiText("WebPage", "删除铃声"), body);
}

HttpResponse WebApp::saveBell(Context& c, bool adding) {
    BellForm form;
    form.start = timeOfDayPieces(field(c.form, "start"));
    const std::string end = field(c.form, "end");
    form.hasEnd = !end.empty();
    if (form.hasEnd) form.end = timeOfDayPieces(end);
    form.music = field(c.form, "music");
    for (size_t d = 0; d < 7; ++d)
        form.weekdays[d] = !field(c.form, "d" + std::to_string(d)).empty();
    if (!field(c.form, "speech").empty())
        form.speech = SpokenText{!field(c.form, "says").empty(), field(c.form, "say")};
    const std::string timetable = timetableOf(c.form);
    const std::string list = "/schedule?t=" + urlEncoded(timetable);
    TableDatabase db;
    const OpenedTables opened = openOrCreateTables(db, m_setup.folder);
    if (!opened.usable())
        return backTo(c, list, opened.errors.empty() ? "" : opened.errors[0], true);
    const auto table = bellTableFor(db, timetable);
    if (!table.isOk()) return backTo(c, "/schedule", table.status().message(), true);
    const std::string old = field(c.form, "old");
    const std::string formPage =
        adding ? list : "/schedule/change?start=" + urlEncoded(old) + timetableParameter(timetable);
    // A path typed into a hostile request names no other file of the bell computer.
    if (!isMusicChoice(musicChoices(db, m_setup.folder), form.music))
        return backTo(c, formPage, uiText("WebPage", "请从铃声库里选择音乐"), true);
    const FlowResult result =
        adding ? addBell(db, form, table.value()) : changeBell(db, old, form, table.value());
    const std::string said = shownText(result);
    if (result.changed)
        logChange(
            c, (adding ? "添加铃声 " + field(c.form, "start") + " " + form.music
                       : "修改铃声 " + old + " 为 " + field(c.form, "start") + " " + form.music) +
                   (form.speech && form.speech->speaks ? "，语音提醒“" + form.speech->text + "”"
                                                       : "") +
                   inTimetable(timetable));
    return backTo(
        c, result.changed ? list : formPage,
        said.empty() ? (result.changed ? uiText("WebPage", "已保存") : std::string()) : said,
        !result.changed);
}

HttpResponse WebApp::removeBell(Context& c) {
    const std::string start = field(c.form, "start");
    const std::string timetable = timetableOf(c.form);
    const std::string list = "/schedule?t=" + urlEncoded(timetable);
    TableDatabase db;
    const OpenedTables opened = openOrCreateTables(db, m_setup.folder);
    if (!opened.usable())
        return backTo(c, list, opened.errors.empty() ? "" : opened.errors[0], true);
    const auto table = bellTableFor(db, timetable);
    if (!table.isOk()) return backTo(c, "/schedule", table.status().message(), true);
    if (auto refusal = readOnlyRefusal(db, table.value()))
        return backTo(c, list, refusal->text, true);
    if (!deleteBell(db, start, nullptr, table.value()))
        return backTo(c, list, fillIn(uiText("WebPage", "没有 %1 开始的铃声"), {start}), true);
    logChange(c, "删除铃声 " + start + inTimetable(timetable));
    return backTo(c, list, fillIn(uiText("WebPage", "已删除 %1 的铃声"), {start}), false);
}

}  // namespace tolvane
