// SPDX-License-Identifier: GPL-3.0-or-later
// The rules that give timetables their days, on the calendar page: each timetable's season,
// picked from months and days, and the week rotation, the timetables ticked and a start date.

#include <algorithm>

#include "schedule/core/Timetables.h"
#include "web/PageParts.h"

namespace tolvane {

namespace {

Html numberSelect(const std::string& name, int first, int last, int chosen) {
    Html options;
    for (int n = first; n <= last; ++n)
        options += html("<option value=\"{}\"{}>{}</option>", n,
                        n == chosen ? html(" selected") : Html(), n);
    return html("<select name=\"{}\">{}</select>", name, options);
}

// A month and a day, picked: "5 月 1 日".
Html monthDayPicker(const char* month, const char* day, int monthDay) {
    return html("<span class=\"monthday\">{} {} {} {}</span>",
                numberSelect(month, 1, 12, monthDay / 100), uiText("WebPage", "月"),
                numberSelect(day, 1, 31, monthDay % 100), uiText("WebPage", "日"));
}

Html seasonForm(const TimetableIndex::Entry& t, const std::string& token) {
    const Season shown = t.season.value_or(Season{501, 930});
    return html(
        "<form method=\"post\" action=\"/timetable/season\" class=\"bell\">{}<input "
        "type=\"hidden\" name=\"t\" value=\"{}\"><strong>{}</strong><label>{}{}</label><label>{}"
        "{}</label><label class=\"check\"><input type=\"checkbox\" name=\"off\" value=\"1\"{}>{}"
        "</label><button type=\"submit\">{}</button></form>",
        hiddenToken(token), t.name, t.name, uiText("WebPage", "从"),
        monthDayPicker("fm", "fd", shown.from), uiText("WebPage", "到（含这一天）"),
        monthDayPicker("tm", "td", shown.to), t.season ? Html() : html(" checked"),
        uiText("WebPage", "不按季节"), uiText("WebPage", "保存"));
}

Html rotationForm(const TimetableIndex& index, const std::vector<std::string>& names,
                  const std::string& today, const std::string& token) {
    // Those in the rotation first, in its order: the order they take their weeks.
    std::vector<std::string> order = index.rotation;
    for (const std::string& name : names)
        if (std::find(order.begin(), order.end(), name) == order.end()) order.push_back(name);
    Html boxes;
    for (size_t i = 0; i < order.size(); ++i) {
        const bool in = std::find(index.rotation.begin(), index.rotation.end(), order[i]) !=
                        index.rotation.end();
        boxes += html(
            "<label class=\"day\"><input type=\"hidden\" name=\"n{}\" value=\"{}\"><input "
            "type=\"checkbox\" name=\"r{}\" value=\"1\"{}>{}</label>",
            i, order[i], i, in ? html(" checked") : Html(), timetableShownName(order[i]));
    }
    return html(
        "<form method=\"post\" action=\"/timetable/rotation\" class=\"bell\">{}<fieldset><legend>"
        "{}</legend>{}</fieldset><label>{}<input type=\"date\" name=\"from\" value=\"{}\">"
        "</label><button type=\"submit\">{}</button></form>",
        hiddenToken(token),
        uiText("WebPage", "按周轮换：打钩的作息表按这个顺序一周一个（都不打钩则不轮换）"), boxes,
        uiText("WebPage", "从哪一天所在的那一周开始"),
        index.rotationStart.empty() ? today : index.rotationStart, uiText("WebPage", "保存"));
}

std::string twoDigits(const std::string& number) {
    return number.size() == 1 ? "0" + number : number;
}

}  // namespace

Html timetableRulesPart(TableDatabase& db, const std::string& today, const std::string& token) {
    const std::vector<std::string> names = timetableNames(db);
    if (names.size() < 2) return {};
    const TimetableIndex index = readTimetableIndex(db);
    Html seasons;
    for (const TimetableIndex::Entry& t : index.timetables) seasons += seasonForm(t, token);
    return html("<h2>{}</h2>{}{}", uiText("WebPage", "作息表的季节和轮换"), seasons,
                rotationForm(index, names, today, token));
}

HttpResponse WebApp::timetableSeason(Context& c) {
    const std::string name = field(c.form, "t");
    TableDatabase db;
    const OpenedTables opened = openOrCreateTables(db, m_setup.folder);
    if (!opened.usable())
        return backTo(c, "/calendar", opened.errors.empty() ? "" : opened.errors[0], true);
    std::optional<Season> season;
    if (field(c.form, "off") != "1") {
        // Picked from lists, but checked as typed ones are: a day the month lacks is said.
        auto picked =
            parseSeason(twoDigits(field(c.form, "fm")) + "-" + twoDigits(field(c.form, "fd")),
                        twoDigits(field(c.form, "tm")) + "-" + twoDigits(field(c.form, "td")));
        if (!picked.isOk()) return backTo(c, "/calendar", picked.status().message(), true);
        season = picked.value();
    }
    if (Status s = setTimetableSeason(db, name, season); !s.isOk())
        return backTo(c, "/calendar", s.message(), true);
    logChange(c,
              "作息表 " + name + (season ? " 的季节设为 " + seasonText(*season) : " 不再按季节"));
    return backTo(c, "/calendar", uiText("WebPage", "已保存"), false);
}

HttpResponse WebApp::timetableRotation(Context& c) {
    std::vector<std::string> names;
    for (size_t i = 0;; ++i) {
        const std::string name = field(c.form, "n" + std::to_string(i));
        if (name.empty()) break;
        if (field(c.form, "r" + std::to_string(i)) == "1") names.push_back(name);
    }
    TableDatabase db;
    const OpenedTables opened = openOrCreateTables(db, m_setup.folder);
    if (!opened.usable())
        return backTo(c, "/calendar", opened.errors.empty() ? "" : opened.errors[0], true);
    const std::string from = field(c.form, "from");
    if (Status s = setTimetableRotation(db, names, names.empty() ? "" : from); !s.isOk())
        return backTo(c, "/calendar", s.message(), true);
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : "，") + name;
    logChange(c, names.empty() ? std::string("作息表不再按周轮换")
                               : "作息表按周轮换：" + list + "，自 " + from + " 所在的那一周");
    return backTo(c, "/calendar", uiText("WebPage", "已保存"), false);
}

}  // namespace tolvane
