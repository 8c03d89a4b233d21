// SPDX-License-Identifier: GPL-3.0-or-later
// The clock tick over a real schedule table, with simulated time.

#include <gtest/gtest.h>

#include "bells/core/ClockTick.h"
#include "schedule/core/Schema.h"
#include "tests/support/Recorders.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

using Calls = std::vector<std::string>;

// 2026-12-07 is a Monday.
LocalTime at(int day, int h, int m, int s) {
    return ManualClock().toLocal(civilToEpochSeconds(2026, 12, day, h, m, s));
}
constexpr int kMonday = 7, kTuesday = 8;
constexpr std::array<bool, 7> kMondayOnly = {true, false, false, false, false, false, false};
constexpr std::array<bool, 7> kEveryDay = {true, true, true, true, true, true, true};

class ClockTickTest : public ::testing::Test {
protected:
    void SetUp() override {
        openOrCreateTables(db, dir.path());
        db.select(schema::kBellAlias);
    }
    void addBell(const char* start, const char* end, const char* music, std::array<bool, 7> days) {
        ASSERT_TRUE(db.append(bellValues({start, end, music, days, 0})).isOk());
    }
    Calls tick(const LocalTime& t) {
        EXPECT_TRUE(runClockTick(db, t, shutdown, sound, sound).isOk());
        return sound.take();
    }

    test::TempDir dir;
    TableDatabase db;
    ShutdownPlan shutdown;
    test::RecordingSound sound;
};

TEST_F(ClockTickTest, TimeTextAndWeekdayNames) {
    EXPECT_EQ("07:05:03", timeText(at(kMonday, 7, 5, 3)));
    EXPECT_EQ("13:00:00", timeText(at(kMonday, 13, 0, 0)));
    EXPECT_STREQ("周一", weekdayFieldName(at(kMonday, 0, 0, 0).weekday));
    EXPECT_STREQ("周日", weekdayFieldName(at(13, 0, 0, 0).weekday));
    EXPECT_STREQ("周六", weekdayFieldName(at(12, 0, 0, 0).weekday));
}

TEST_F(ClockTickTest, StartsOnlyOnTickedDaysAndExactTexts) {
    addBell("08:00:00", "", "/bells/monday.mp3", kMondayOnly);
    addBell("8:00:01", "", "/bells/never.mp3", kEveryDay);  // not two-digit: never matches
    addBell("08:00:02", "", "/bells/noday.mp3", {});
    EXPECT_EQ((Calls{"start /bells/monday.mp3"}), tick(at(kMonday, 8, 0, 0)));
    EXPECT_EQ(Calls{}, tick(at(kTuesday, 8, 0, 0)));
    EXPECT_EQ(Calls{}, tick(at(kMonday, 8, 0, 1)));
    EXPECT_EQ(Calls{}, tick(at(kMonday, 8, 0, 2)));
    EXPECT_EQ(Calls{}, tick(at(kMonday, 8, 0, 3)));
}

TEST_F(ClockTickTest, AnEndTimeStopsWhateverPlays) {
    addBell("08:00:00", "08:00:30", "A", kEveryDay);
    addBell("08:00:30", "", "B", kEveryDay);
    addBell("09:00:00", "09:10:00", "C", kEveryDay);
    addBell("09:05:00", "09:20:00", "D", kEveryDay);
    // B starts and is stopped by A's end in the same tick: starts first, then stops.
    EXPECT_EQ((Calls{"start B", "stop"}), tick(at(kMonday, 8, 0, 30)));
    EXPECT_EQ((Calls{"start D"}), tick(at(kMonday, 9, 5, 0)));
    EXPECT_EQ((Calls{"stop"}), tick(at(kMonday, 9, 10, 0)));
    EXPECT_EQ((Calls{"stop"}), tick(at(kMonday, 9, 20, 0)));
}

TEST_F(ClockTickTest, PastMidnightTheEndUsesTheNextDaysFlag) {
    addBell("23:59:00", "00:01:00", "late", kMondayOnly);
    EXPECT_EQ((Calls{"start late"}), tick(at(kMonday, 23, 59, 0)));
    EXPECT_EQ(Calls{}, tick(at(kTuesday, 0, 1, 0)));
}

TEST_F(ClockTickTest, ShutdownCheckComesFirstEvenOnAnEmptyTable) {
    shutdown = {true, "17:30:00"};
    EXPECT_EQ((Calls{"power-off"}), tick(at(kMonday, 17, 30, 0)));
    addBell("17:30:00", "", "last", kEveryDay);
    EXPECT_EQ((Calls{"power-off", "start last"}), tick(at(kMonday, 17, 30, 0)));
    shutdown = {false, "17:30:00"};
    EXPECT_EQ((Calls{"start last"}), tick(at(kMonday, 17, 30, 0)));
    shutdown = {true, "17:30"};  // not the two-digit three-piece form: never
    EXPECT_EQ((Calls{"start last"}), tick(at(kMonday, 17, 30, 0)));
}

TEST_F(ClockTickTest, AFieldOfAnotherTypeIsFatal) {
    test::TempDir other;
    TableDatabase bad;
    std::vector<FieldDef> fields = bellTableFields();
    fields[3].type = kFieldInteger;  // 周一
    ASSERT_TRUE(bad.create(other.file("db.edb"), fields).isOk());
    ASSERT_TRUE(bad.open(other.file("db.edb"), schema::kBellAlias).isOk());
    ASSERT_TRUE(bad.append({std::string("08:00:00")}).isOk());
    EXPECT_EQ(5,
              runClockTick(bad, at(kMonday, 8, 0, 0), shutdown, sound, sound).runtimeErrorCode());
}

}  // namespace
}  // namespace tolvane
