// The ring log of a day.

#include "bells/core/RingLogFiles.h"
#include "web/PageParts.h"

namespace tolvane {

HttpResponse WebApp::logPage(Context& c) {
    std::string day = field(c.query, "day");
    if (!parseDate(day)) day = dateText(nowOf(m_setup.ringer->clock()));
    const std::vector<std::string> lines = readRingLog(m_setup.folder, day);
    Html body = html(
        "<form method=\"get\" action=\"/log\" class=\"row\"><input type=\"date\" name=\"day\" "
        "value=\"{}\"><button type=\"submit\">{}</button></form>",
        day, uiText("WebPage", "查看"));
    if (lines.empty()) {
        body += html("<p>{}</p>", uiText("WebPage", "这一天没有记录"));
    } else {
        Html items;
        for (const std::string& line : lines) items += html("<li>{}</li>", line);
        body += html("<ol class=\"log\">{}</ol>", items);
    }
    return page(c, uiText("WebPage", "响铃记录"), body);
}

}  // namespace tolvane
