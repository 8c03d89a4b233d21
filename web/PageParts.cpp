// SPDX-License-Identifier: GPL-3.0-or-later
#include "web/PageParts.h"

#include <algorithm>

#include "base/PathText.h"
#include "base/UiText.h"
#include "schedule/core/BellLibrary.h"
#include "schedule/core/Timetables.h"
#include "settings/core/Password.h"

namespace tolvane {

LocalTime nowOf(const Clock& clock) {
    return clock.toLocal(clock.nowMs() / 1000);
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

std::vector<BellRecord> bellsByTime(TableDatabase& db, const std::string& table) {
    auto read = readBells(db, table);
    std::vector<BellRecord> bells =
        read.isOk() ? std::move(read).value() : std::vector<BellRecord>{};
    std::stable_sort(bells.begin(), bells.end(), [](const BellRecord& a, const BellRecord& b) {
        return a.sortValue < b.sortValue;
    });
    return bells;
}

bool ringsOnDay(const BellRecord& bell, const RingDay& day) {
    return day.startsBells && bell.weekdays[static_cast<size_t>((day.weekday + 6) % 7)];
}

std::string timetableOf(const FormFields& fields) {
    const std::string named = field(fields, "t");
    return named.empty() ? std::string(kDefaultTimetable) : named;
}

std::string timetableParameter(const std::string& timetable) {
    return timetable == kDefaultTimetable ? std::string() : "&t=" + urlEncoded(timetable);
}

std::string folderPasswordHash(const std::string& folder) {
    TableDatabase db;
    if (!openTablesForReading(db, folder).isOk()) return {};
    auto read = readPasswordHash(db);
    return read.isOk() ? read.value() : std::string();
}

std::vector<MusicChoice> musicChoices(TableDatabase& db, const std::string& folder) {
    std::vector<MusicChoice> choices;
    const std::string library = bellLibraryFolder(folder);
    for (const LibraryEntry& entry : listBellLibrary(folder))
        choices.push_back(
            {joinPath(library, entry.name),
             entry.folder
                 ? fillIn(uiText("WebPage", "%1（文件夹：依次播放其中的 MP3）"), {entry.name})
                 : entry.name});
    for (const std::string& timetable : timetableNames(db))
        for (const BellRecord& bell : bellsByTime(db, bellTableOf(db, timetable).value_or("")))
            if (!isMusicChoice(choices, bell.music)) choices.push_back({bell.music, bell.music});
    return choices;
}

std::string musicShown(const std::string& folder, const std::string& music) {
    const std::string library = bellLibraryFolder(folder);
    if (music.size() > library.size() + 1 && music.compare(0, library.size(), library) == 0 &&
        (music[library.size()] == '/' || music[library.size()] == '\\'))
        return fillIn(uiText("WebPage", "铃声库：%1"), {music.substr(library.size() + 1)});
    return music;
}

Html musicCell(const std::string& folder, const std::string& music) {
    return html("<td class=\"music\" title=\"{}\">{}</td>", music, musicShown(folder, music));
}

bool isMusicChoice(const std::vector<MusicChoice>& choices, const std::string& path) {
    return std::any_of(choices.begin(), choices.end(),
                       [&](const MusicChoice& c) { return c.path == path; });
}

Html musicSelect(const std::vector<MusicChoice>& choices, const std::string& chosen) {
    Html options;
    for (const MusicChoice& c : choices)
        options += html("<option value=\"{}\"{}>{}</option>", c.path,
                        c.path == chosen ? html(" selected") : Html(), c.label);
    return html("<select name=\"music\" required>{}</select>", options);
}

Html hiddenToken(const std::string& token) {
    return html("<input type=\"hidden\" name=\"token\" value=\"{}\">", token);
}

Html errorNotice(const std::string& text) {
    return html("<p class=\"notice error\">{}</p>", text);
}

}  // namespace tolvane
