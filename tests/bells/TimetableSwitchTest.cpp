// SPDX-License-Identifier: GPL-3.0-or-later
// The ringer's engine across midnight into a day of another 作息表, under a manual clock: the
// last bell of the old day from its timetable, the first of the new day from the new one, each
// once, and the log naming the day's timetable at the start and at the change of day.

#include <gtest/gtest.h>

#include <algorithm>

#include "bells/core/ClockTick.h"
#include "bells/core/RingEngine.h"
#include "schedule/core/TimetableMaking.h"
#include "schedule/core/Timetables.h"
#include "tests/support/Recorders.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

class NoteLog final : public RingLog {
public:
    void note(const std::string& line) override { lines.push_back(line); }
    std::vector<std::string> lines;
};

BellRecord everyDay(const std::string& start, const std::string& music) {
    const int seconds = std::stoi(start.substr(0, 2)) * 3600 + std::stoi(start.substr(3, 2)) * 60 +
                        std::stoi(start.substr(6, 2));
    return {start, "", music, {true, true, true, true, true, true, true}, seconds};
}

TEST(TimetableSwitch, AtMidnightTheNewDaysTimetableRingsAndIsLogged) {
    test::TempDir dir;
    TableDatabase db;
    openOrCreateTables(db, dir.path());
    ASSERT_TRUE(
        replaceTimetableBells(db, schema::kBellAlias,
                              {everyDay("23:59:59", "常规晚"), everyDay("00:00:02", "常规早")})
            .isOk());
    ASSERT_TRUE(addTimetable(db, "夏季").isOk());
    ASSERT_TRUE(
        replaceTimetableBells(db, bellTableOf(db, "夏季").value(),
                              {everyDay("23:59:59", "夏季晚"), everyDay("00:00:02", "夏季早")})
            .isOk());
    ASSERT_TRUE(setTimetableSeason(db, "夏季", parseSeason("05-01", "09-30").value()).isOk());

    ManualClock clock(civilToEpochSeconds(2026, 4, 30, 23, 59, 57) * 1000 + 300);
    test::RecordingSound sound;
    NoteLog log;
    RingEngine engine(db, clock, sound, sound);
    engine.setLog(log);
    for (int s = 0; s < 7; ++s, clock.advanceMs(1000))
        ASSERT_TRUE(engine.processDueSeconds().isOk());
    EXPECT_EQ((std::vector<std::string>{"start 常规晚", "start 夏季早"}), sound.take());
    std::vector<std::string> timetableLines;
    for (const std::string& line : log.lines)
        if (line.rfind(kTimetableLinePrefix, 0) == 0) timetableLines.push_back(line);
    EXPECT_EQ((std::vector<std::string>{"今天的作息表：常规作息（默认）",
                                        "今天的作息表：夏季（05-01 至 09-30）"}),
              timetableLines);

    // Edits of the tables look the day up again; it is said again only when it changed.
    const auto timetableLinesNow = [&log] {
        return std::count_if(log.lines.begin(), log.lines.end(), [](const std::string& line) {
            return line.rfind(kTimetableLinePrefix, 0) == 0;
        });
    };
    for (int edit = 0; edit < 3; ++edit, clock.advanceMs(1000)) {
        engine.forgetCalendarDay();
        ASSERT_TRUE(engine.processDueSeconds().isOk());
    }
    EXPECT_EQ(2, timetableLinesNow());
    ASSERT_TRUE(setTimetableSeason(db, "夏季", std::nullopt).isOk());
    engine.forgetCalendarDay();
    ASSERT_TRUE(engine.processDueSeconds().isOk());
    EXPECT_EQ("今天的作息表：常规作息（默认）", log.lines.back());
}

// A timetable gone while its day rings (deleted elsewhere, its table closed before the day was
// looked up again): the tick rings the default's bells instead of failing, which would end the
// program.
TEST(TimetableSwitch, ADayWhoseTimetableWentRingsTheDefault) {
    test::TempDir dir;
    TableDatabase db;
    openOrCreateTables(db, dir.path());
    ASSERT_TRUE(
        replaceTimetableBells(db, schema::kBellAlias, {everyDay("08:00:00", "常规")}).isOk());
    ASSERT_TRUE(addTimetable(db, "考试").isOk());
    ASSERT_TRUE(setTimetableSeason(db, "考试", parseSeason("01-01", "12-31").value()).isOk());
    const LocalTime eight = ManualClock().toLocal(civilToEpochSeconds(2026, 6, 1, 8, 0, 0));
    const RingDay day = ringDayOf(db, eight);
    db.close(day.bells);
    test::RecordingSound sound;
    ASSERT_TRUE(runClockTick(db, eight, day, {}, sound, sound).isOk());
    EXPECT_EQ((std::vector<std::string>{"start 常规"}), sound.take());
}

}  // namespace
}  // namespace tolvane
