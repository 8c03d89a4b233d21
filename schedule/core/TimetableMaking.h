// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Making a 作息表 in a minute: its bells generated from the day's shape (生成作息), and a
// timetable's bells put in place whole, as the generator and a spreadsheet's import give them.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "base/Status.h"
#include "schedule/core/Schema.h"
#include "storage/TableDatabase.h"

namespace tolvane {

// 考试提醒: an exam timetable's bells speak. Each lesson is an exam: its start bell says atStart,
// a bell minutesBefore its end (with the start's music) says before, its end bell says atEnd.
// An empty text says nothing there; minutesBefore 0 adds no bell before the end.
struct ExamReminder {
    int minutesBefore = 15;
    std::string atStart = "考试开始，请考生开始答题";
    std::string before = "距离考试结束还有15分钟";
    std::string atEnd = "考试结束，请考生停止答题";
};

// The reminder with its words for a bell minutesBefore the end ("距离考试结束还有15分钟").
ExamReminder examReminder(int minutesBefore);

struct TimetableRecipe {
    std::string first;  // the first lesson's start, "HH:MM"
    int lessonMinutes = 45;
    int breakMinutes = 10;
    int morningLessons = 4;
    std::string afternoonFirst;  // "HH:MM"; empty with no afternoon lessons
    int afternoonLessons = 0;
    // The long break (大课间) after lesson longBreakAfter of the day (counted over morning and
    // afternoon); 0 for none.
    int longBreakAfter = 0;
    int longBreakMinutes = 0;
    std::string musicStart;  // 上课
    std::string musicEnd;    // 下课
    std::array<bool, 7> weekdays = {true, true, true, true, true, false, false};
    std::optional<ExamReminder> exam;
};

// A 上课 bell at each lesson's start and a 下课 bell at its end, in time order. Refused, naming
// the problem, for a recipe that does not make a day: a time or count out of range, lessons
// past midnight, a morning that runs into the afternoon, music the bell table cannot hold.
Result<std::vector<BellRecord>> generateBells(const TimetableRecipe& recipe);

// Why bells may not all stand in one timetable (two start at the same second); empty when they
// may.
std::string bellsClash(const std::vector<BellRecord>& bells);

// The bells of the table open as alias become these, in one step: a crash leaves the old bells
// or the new ones. Refused for bells that clash.
Status replaceTimetableBells(TableDatabase& db, const std::string& alias,
                             std::vector<BellRecord> bells);

}  // namespace tolvane
