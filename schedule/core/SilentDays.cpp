// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/core/SilentDays.h"

#include <algorithm>
#include <map>

#include "base/UiText.h"
#include "schedule/core/Calendar.h"
#include "schedule/core/Timetables.h"

namespace tolvane {

namespace {

// Which weekdays (周一 first) ring at least one of the timetable's bells; all false when it has
// none or cannot be read (a table that cannot be read is said elsewhere).
std::array<bool, 7> ringingWeekdays(TableDatabase& db, const std::string& name) {
    std::array<bool, 7> days{};
    const auto alias = bellTableOf(db, name);
    if (!alias) return days;
    auto bells = readBells(db, *alias);
    if (!bells.isOk()) return {true, true, true, true, true, true, true};
    for (const BellRecord& bell : bells.value())
        for (size_t d = 0; d < 7; ++d) days[d] = days[d] || bell.weekdays[d];
    return days;
}

bool ringsAtAll(const std::array<bool, 7>& days) {
    return std::any_of(days.begin(), days.end(), [](bool d) { return d; });
}

// The calendar's days from today on whose timetable rings nothing on their weekday, grouped by
// timetable and weekday: the first date and how many.
struct SilentRun {
    std::string first;
    int days = 0;
};

}  // namespace

std::vector<std::string> silentDayProblems(TableDatabase& db, const std::string& today) {
    std::vector<std::string> problems;
    const TimetableIndex index = readTimetableIndex(db);
    std::map<std::string, std::array<bool, 7>> ringing;
    const auto weekdaysOf = [&](const std::string& name) -> const std::array<bool, 7>& {
        auto found = ringing.find(name);
        if (found == ringing.end()) found = ringing.emplace(name, ringingWeekdays(db, name)).first;
        return found->second;
    };
    for (const TimetableIndex::Entry& t : index.timetables)
        if (t.season && !ringsAtAll(weekdaysOf(t.name)))
            problems.push_back(fillIn(uiText("Timetable", "作息表“%1”没有铃声：%2 整季不会打铃"),
                                      {t.name, seasonShownText(*t.season)}));
    std::vector<std::string> rotation = index.rotation;
    std::sort(rotation.begin(), rotation.end());
    rotation.erase(std::unique(rotation.begin(), rotation.end()), rotation.end());
    for (const std::string& name : rotation)
        if (!ringsAtAll(weekdaysOf(name)))
            problems.push_back(fillIn(
                uiText("Timetable", "作息表“%1”没有铃声：按周轮换到它的那些周不会打铃"), {name}));
    std::map<std::pair<std::string, int>, SilentRun> silent;  // (timetable, 1..7)
    for (const auto& [date, name] : index.days) {
        if (date < today || (name != kDefaultTimetable && !index.find(name))) continue;
        const auto day = parseDate(date);
        if (!day) continue;
        const RingDay rings = ringDayOf(db, *day);
        if (!rings.startsBells) continue;
        const int ringDay = ringDayOfWeekday(rings.weekday);
        if (weekdaysOf(name)[static_cast<size_t>(ringDay - 1)]) continue;
        SilentRun& run = silent[{name, ringDay}];
        if (run.days++ == 0) run.first = date;
    }
    for (const auto& [what, run] : silent) {
        const std::string weekday = weekdayName(static_cast<size_t>(what.second - 1));
        problems.push_back(
            run.days == 1
                ? fillIn(uiText("Timetable", "校历 %1 按作息表 %2，但它%3没有铃声：这天不会打铃"),
                         {run.first, what.first, weekday})
                : fillIn(uiText("Timetable",
                                "校历 %1 起 %2 天按作息表 %3，但它%4没有铃声：这些天不会打铃"),
                         {run.first, std::to_string(run.days), what.first, weekday}));
    }
    return problems;
}

}  // namespace tolvane
