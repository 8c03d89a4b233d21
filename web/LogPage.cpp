// SPDX-License-Identifier: GPL-3.0-or-later
// The ring log of a day, newest first, with the days before and after a click away.

#include <algorithm>

#include "bells/core/RingLogFiles.h"
#include "bells/core/RingLogWords.h"
#include "web/PageParts.h"

namespace tolvane {

namespace {

std::string dayAfter(const LocalTime& day, int days) {
    return dateText(civilFromEpochSeconds(civilToEpochSeconds(day) + int64_t{days} * 86400));
}

}  // namespace

HttpResponse WebApp::logPage(Context& c) {
    std::optional<LocalTime> shown = parseDate(field(c.query, "day"));
    if (!shown) shown = nowOf(m_setup.ringer->clock());
    shown->hour = shown->minute = shown->second = 0;
    const std::string day = dateText(*shown);
    std::vector<std::string> lines = readRingLog(m_setup.folder, day);
    // The latest first: after a busy day (an attack on the page logs every try) what was just
    // rung is on top, not thousands of lines down.
    std::reverse(lines.begin(), lines.end());
    Html body = html(
        "<form method=\"get\" action=\"/log\" class=\"row\"><a href=\"/log?day={}\">{}</a><input "
        "type=\"date\" name=\"day\" value=\"{}\"><button type=\"submit\">{}</button><a "
        "href=\"/log?day={}\">{}</a></form>",
        dayAfter(*shown, -1), uiText("WebPage", "前一天"), day, uiText("WebPage", "查看"),
        dayAfter(*shown, 1), uiText("WebPage", "后一天"));
    if (lines.empty()) {
        body += html("<p>{}</p>", uiText("WebPage", "这一天没有记录"));
    } else {
        Html items;
        const RingLogWords words;
        for (const std::string& line : lines)
            items += html("<li>{}</li>", words.inReaderWords(line));
        body += html("<p>{}</p><ol class=\"log\" reversed>{}</ol>",
                     uiText("WebPage", "最新的在最上面。"), items);
    }
    return page(c, uiText("WebPage", "响铃记录"), body);
}

}  // namespace tolvane
