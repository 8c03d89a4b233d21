// The bells: the list with its links, adding, changing and deleting one.

#include <algorithm>

#include "schedule/core/BellEditing.h"
#include "web/PageParts.h"

namespace tolvane {

namespace {

Html bellForm(const std::string& action, const std::string& token, const BellRecord& bell,
              const std::string& oldStart, const std::vector<MusicChoice>& choices,
              const std::string& button) {
    Html out =
        html("<form method=\"post\" action=\"{}\" class=\"bell\">{}", action, hiddenToken(token));
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
    return out + html("</fieldset><button type=\"submit\">{}</button></form>", button);
}

Html bellTable(const std::vector<BellRecord>& bells) {
    Html rows;
    for (const BellRecord& bell : bells) {
        const std::string start = urlEncoded(bell.start);
        rows += html(
            "<tr><td>{}</td><td>{}</td><td>{}</td><td class=\"music\">{}</td><td "
            "class=\"actions\"><a href=\"/schedule/change?start={}\">{}</a> <a "
            "href=\"/schedule/delete?start={}\">{}</a></td></tr>",
            bell.start, bell.end.empty() ? "—" : bell.end, daysText(bell.weekdays), bell.music,
            start, uiText("WebPage", "修改"), start, uiText("WebPage", "删除"));
    }
    return html(
        "<table class=\"bells\"><thead><tr><th>{}</th><th>{}</th><th>{}</th><th>{}</th><th></th>"
        "</tr></thead><tbody>{}</tbody></table>",
        uiText("WebPage", "开始"), uiText("WebPage", "结束"), uiText("WebPage", "日子"),
        uiText("WebPage", "音乐"), rows);
}

}  // namespace

HttpResponse WebApp::schedulePage(Context& c) {
    TableDatabase db;
    const Status opened = openTablesForReading(db, m_setup.folder);
    const std::vector<BellRecord> bells =
        opened.isOk() ? bellsByTime(db) : std::vector<BellRecord>{};
    Html body;
    if (!opened.isOk()) body += errorNotice(opened.message());
    body += bells.empty() ? html("<p>{}</p>", uiText("WebPage", "还没有铃声")) : bellTable(bells);
    BellRecord blank;
    blank.weekdays = {true, true, true, true, true, false, false};
    body += html("<h2>{}</h2>", uiText("WebPage", "添加铃声")) +
            bellForm("/schedule/add", c.session->formToken, blank, {},
                     musicChoices(db, m_setup.folder), uiText("WebPage", "添加"));
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
                         musicChoices(db, m_setup.folder), uiText("WebPage", "保存")));
}

HttpResponse WebApp::deletePage(Context& c) {
    const std::string start = field(c.query, "start");
    const Html body = html(
        "<p>{}</p><form method=\"post\" action=\"/schedule/delete\" class=\"row\">{}<input "
        "type=\"hidden\" name=\"start\" value=\"{}\"><button type=\"submit\" "
        "class=\"attention\">{}</button><a href=\"/schedule\">{}</a></form>",
        fillIn(uiText("WebPage", "删除 %1 开始的铃声？"), {start}),
        hiddenToken(c.session->formToken), start, uiText("WebPage", "删除"),
        uiText("WebPage", "取消"));
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
    // A path typed into a hostile request names no other file of the bell computer.
    if (!isMusicChoice(musicChoices(db, m_setup.folder), form.music))
        return backTo(c, adding ? "/schedule" : "/schedule/change?start=" + urlEncoded(old),
                      uiText("WebPage", "请从铃声库里选择音乐"), true);
    const FlowResult result = adding ? addBell(db, form) : changeBell(db, old, form);
    const std::string said = shownText(result);
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

}  // namespace tolvane
