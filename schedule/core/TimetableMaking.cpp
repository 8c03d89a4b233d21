// SPDX-License-Identifier: GPL-3.0-or-later
#include "schedule/core/TimetableMaking.h"

#include <algorithm>
#include <cstdio>

#include "base/Clock.h"
#include "base/UiText.h"
#include "schedule/core/BellEditing.h"

namespace tolvane {

namespace {

constexpr int kDayMinutes = 24 * 60;

// Minutes after midnight of "HH:MM"; -1 when it is not such a time.
int minutesOf(const std::string& text) {
    const std::optional<int> second = parseTimeOfDay(text);
    return second && *second % 60 == 0 ? *second / 60 : -1;
}

std::string clockText(int minutes) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60, minutes % 60);
    return text;
}

std::array<std::string, 3> pieces(int minutes) {
    return {std::to_string(minutes / 60), std::to_string(minutes % 60), "0"};
}

Status refused(const char* text, std::initializer_list<std::string_view> values = {}) {
    return Status::invalidArgument(fillIn(uiText("TimetableMaking", text), values));
}

// The bell of one lesson's edge, checked as the add window checks a bell.
Result<BellRecord> bellAt(int minutes, const std::string& music,
                          const std::array<bool, 7>& weekdays) {
    BellForm form;
    form.start = pieces(minutes);
    form.music = music;
    form.weekdays = weekdays;
    return bellOfForm(form);
}

}  // namespace

ExamReminder examReminder(int minutesBefore) {
    ExamReminder reminder;
    reminder.minutesBefore = minutesBefore;
    reminder.before = "距离考试结束还有" + std::to_string(minutesBefore) + "分钟";
    return reminder;
}

Result<std::vector<BellRecord>> generateBells(const TimetableRecipe& r) {
    const int first = minutesOf(r.first);
    if (first < 0) return refused("第一节课的时间要写成 时:分，例如 08:00，不是“%1”", {r.first});
    if (r.lessonMinutes < 1 || r.lessonMinutes > 180)
        return refused("一节课的长度要在 1 到 180 分钟之间");
    if (r.breakMinutes < 0 || r.breakMinutes > 120 || r.longBreakMinutes < 0 ||
        r.longBreakMinutes > 180)
        return refused("课间要在 0 到 120 分钟之间，大课间在 0 到 180 分钟之间");
    if (r.morningLessons < 0 || r.afternoonLessons < 0 ||
        r.morningLessons + r.afternoonLessons < 1 || r.morningLessons + r.afternoonLessons > 20)
        return refused("一天要有 1 到 20 节课");
    const int afternoon = r.afternoonLessons > 0 ? minutesOf(r.afternoonFirst) : 0;
    if (afternoon < 0)
        return refused("下午第一节课的时间要写成 时:分，例如 14:00，不是“%1”", {r.afternoonFirst});
    if (r.musicStart.empty() || r.musicEnd.empty()) return refused("请选择上课铃和下课铃的音乐");

    std::vector<std::pair<int, int>> lessons;  // start and end, minutes after midnight
    int at = first;
    for (int n = 1; n <= r.morningLessons + r.afternoonLessons; ++n) {
        if (n == r.morningLessons + 1) {
            if (!lessons.empty() && afternoon < lessons.back().second)
                return refused("上午的课 %1 才结束，下午第一节课 %2 开始得太早",
                               {clockText(lessons.back().second), r.afternoonFirst});
            at = afternoon;
        }
        lessons.push_back({at, at + r.lessonMinutes});
        at += r.lessonMinutes + (n == r.longBreakAfter ? r.longBreakMinutes : r.breakMinutes);
    }
    if (lessons.back().second >= kDayMinutes) return refused("最后一节课过了午夜才结束");

    if (r.exam && (r.exam->minutesBefore < 0 || r.exam->minutesBefore >= r.lessonMinutes))
        return refused("考试提醒要在考试结束前 0 到 %1 分钟",
                       {std::to_string(r.lessonMinutes - 1)});
    // Each bell of a lesson: its minute, music and, for an exam, its words.
    struct Planned {
        int minute;
        std::string music;
        std::string words;
    };
    std::vector<BellRecord> bells;
    for (const auto& [start, end] : lessons) {
        std::vector<Planned> planned = {{start, r.musicStart, r.exam ? r.exam->atStart : ""},
                                        {end, r.musicEnd, r.exam ? r.exam->atEnd : ""}};
        if (r.exam && r.exam->minutesBefore > 0)
            planned.insert(planned.begin() + 1,
                           {end - r.exam->minutesBefore, r.musicStart, r.exam->before});
        for (const Planned& p : planned) {
            auto bell = bellAt(p.minute, p.music, r.weekdays);
            if (!bell.isOk()) return bell.status();
            SpokenText words{!p.words.empty(), p.words};
            if (const std::string problem = speechProblem(words); !problem.empty())
                return Status::invalidArgument(problem);
            bell.value().speaks = words.speaks;
            bell.value().speech = words.text;
            bells.push_back(std::move(bell).value());
        }
    }
    if (std::string clash = bellsClash(bells); !clash.empty())
        return Status::invalidArgument(clash);
    return bells;
}

std::string bellsClash(const std::vector<BellRecord>& bells) {
    std::vector<std::string> starts;
    for (const BellRecord& bell : bells) starts.push_back(bell.start);
    std::sort(starts.begin(), starts.end());
    const auto twice = std::adjacent_find(starts.begin(), starts.end());
    if (twice == starts.end()) return {};
    return fillIn(uiText("TimetableMaking", "%1 有两个铃声：一个时间点只能有一个铃声"), {*twice});
}

Status replaceTimetableBells(TableDatabase& db, const std::string& alias,
                             std::vector<BellRecord> bells) {
    if (std::string clash = bellsClash(bells); !clash.empty())
        return Status::invalidArgument(clash);
    if (Status s = db.select(alias); !s.isOk()) return s;
    if (Status s = db.canChange(); !s.isOk()) return s;
    std::stable_sort(bells.begin(), bells.end(), [](const BellRecord& a, const BellRecord& b) {
        return a.sortValue < b.sortValue;
    });
    std::vector<std::vector<Value>> records;
    for (const BellRecord& bell : bells) records.push_back(bellValues(bell));
    // A new file put in place by rename: never a table with some of the bells.
    return db.replaceAll(records);
}

}  // namespace tolvane
