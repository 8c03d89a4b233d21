// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/core/TimetableRule.h"

#include <algorithm>
#include <cstdio>

#include "base/UiText.h"
#include "schedule/core/Calendar.h"

namespace tolvane {

namespace {

int monthDay(const LocalTime& day) {
    return day.month * 100 + day.day;
}

// "MM-DD" of a day a leap year has; nullopt otherwise.
constexpr int kDaysIn[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// "05-01", "5-1" or "5/1" as its month and day, unchecked; false for anything else.
bool splitMonthDay(const std::string& text, int* month, int* day) {
    size_t at = 0;
    const auto number = [&](int* n) {
        const size_t begin = at;
        *n = 0;
        while (at < text.size() && at - begin < 2 && text[at] >= '0' && text[at] <= '9')
            *n = *n * 10 + (text[at++] - '0');
        return at > begin;
    };
    if (!number(month) || at >= text.size() || (text[at] != '-' && text[at] != '/')) return false;
    ++at;
    return number(day) && at == text.size();
}

// The Monday of day's week, as a day number.
int64_t mondayOf(const LocalTime& day) {
    return dayNumber(day) - (day.weekday + 6) % 7;
}

const TimetablePlan::Timetable* byName(const TimetablePlan& plan, const std::string& name) {
    for (const auto& t : plan.timetables)
        if (t.name == name) return &t;
    return nullptr;
}

}  // namespace

bool Season::holds(const LocalTime& day) const {
    const int md = monthDay(day);
    return from <= to ? md >= from && md <= to : md >= from || md <= to;
}

bool Season::overlaps(const Season& other) const {
    // Two yearly ranges overlap when either holds the other's first day.
    const auto holdsMonthDay = [](const Season& s, int md) {
        return s.from <= s.to ? md >= s.from && md <= s.to : md >= s.from || md <= s.to;
    };
    return holdsMonthDay(*this, other.from) || holdsMonthDay(other, from);
}

Result<int> parseMonthDay(const std::string& text) {
    int month = 0, day = 0;
    if (!splitMonthDay(text, &month, &day))
        return Status::invalidArgument(
            fillIn(uiText("Timetable", "“%1”不是 月-日，例如 05-01"), {text}));
    if (month < 1 || month > 12)
        return Status::invalidArgument(
            fillIn(uiText("Timetable", "“%1”：没有 %2 月"), {text, std::to_string(month)}));
    if (day < 1 || day > kDaysIn[month - 1])
        return Status::invalidArgument(
            fillIn(uiText("Timetable", "“%1”：%2 月只有 %3 天"),
                   {text, std::to_string(month), std::to_string(kDaysIn[month - 1])}));
    return month * 100 + day;
}

Result<Season> parseSeason(const std::string& from, const std::string& to) {
    if (from.empty() || to.empty())
        return Status::invalidArgument(
            uiText("Timetable", "季节要有开始和结束两天（月-日），例如 05-01 和 09-30"));
    const auto first = parseMonthDay(from);
    if (!first.isOk()) return first.status();
    const auto last = parseMonthDay(to);
    if (!last.isOk()) return last.status();
    return Season{first.value(), last.value()};
}

Result<Season> parseSeasonText(const std::string& text) {
    // "05-01 至 09-30", "5-1 到 9-30", "05-01 to 09-30", "05-01~09-30": two month-days with
    // whatever stands between them.
    std::vector<std::string> pieces;
    std::string piece;
    for (const char c : text + " ") {
        if ((c >= '0' && c <= '9') || c == '-' || c == '/') {
            piece += c;
        } else if (!piece.empty()) {
            pieces.push_back(piece);
            piece.clear();
        }
    }
    if (pieces.size() != 2)
        return Status::invalidArgument(
            fillIn(uiText("Timetable", "季节要写成 月-日 至 月-日，例如 05-01 至 09-30，不是“%1”"),
                   {text}));
    return parseSeason(pieces[0], pieces[1]);
}

std::string seasonText(const Season& season) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d-%02d 至 %02d-%02d", season.from / 100, season.from % 100,
                  season.to / 100, season.to % 100);
    return text;
}

std::string seasonShownText(const Season& season) {
    char from[24], to[24];
    std::snprintf(from, sizeof from, "%02d-%02d", season.from / 100, season.from % 100);
    std::snprintf(to, sizeof to, "%02d-%02d", season.to / 100, season.to % 100);
    return fillIn(uiText("Timetable", "%1 至 %2"), {from, to});
}

bool TimetablePlan::has(const std::string& name) const {
    return byName(*this, name) != nullptr;
}

DaysTimetable timetableOn(const TimetablePlan& plan, const LocalTime& day) {
    DaysTimetable chosen;
    if (const auto named = plan.days.find(dateText(day)); named != plan.days.end()) {
        if (plan.has(named->second)) return {named->second, DaysTimetable::Why::kCalendarDay, {}};
        chosen.missing = named->second;
    }
    for (const auto& t : plan.timetables)
        if (t.season && t.season->holds(day)) {
            chosen.name = t.name;
            chosen.why = DaysTimetable::Why::kSeason;
            return chosen;
        }
    const auto start = parseDate(plan.rotationStart);
    std::vector<std::string> rotation;
    for (const std::string& name : plan.rotation)
        if (plan.has(name)) rotation.push_back(name);
    if (start && !rotation.empty() && dayNumber(day) >= dayNumber(*start)) {
        const int64_t week = (mondayOf(day) - mondayOf(*start)) / 7;
        chosen.name = rotation[static_cast<size_t>(week % static_cast<int64_t>(rotation.size()))];
        chosen.why = DaysTimetable::Why::kRotation;
        return chosen;
    }
    chosen.name = kDefaultTimetable;
    chosen.why = DaysTimetable::Why::kDefault;
    return chosen;
}

std::string seasonOverlap(const TimetablePlan& plan, const std::string& name,
                          const Season& season) {
    for (const auto& t : plan.timetables)
        if (t.name != name && t.season && t.season->overlaps(season))
            return fillIn(uiText("Timetable", "季节 %1 与作息表“%2”的季节 %3 重叠"),
                          {seasonShownText(season), t.name, seasonShownText(*t.season)});
    return {};
}

std::string timetableLogLine(const TimetablePlan& plan, const DaysTimetable& today, int ringDay) {
    std::string why;
    switch (today.why) {
        case DaysTimetable::Why::kCalendarDay:
            why = "校历指定";
            if (ringDay >= 1 && ringDay <= 7)
                why += std::string("，按") + schema::kWeekdays[static_cast<size_t>(ringDay - 1)];
            break;
        case DaysTimetable::Why::kSeason:
            why = seasonText(*byName(plan, today.name)->season);
            break;
        case DaysTimetable::Why::kRotation:
            why = "按周轮换";
            break;
        case DaysTimetable::Why::kDefault:
            why = "默认";
            break;
    }
    std::string line = kTimetableLinePrefix + today.name + "（" + why + "）";
    if (!today.missing.empty()) line += "；校历指定的作息表“" + today.missing + "”已不存在";
    return line;
}

}  // namespace tolvane
