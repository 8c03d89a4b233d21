// SPDX-License-Identifier: GPL-3.0-or-later
// The school calendar under a writer killed at every step of a change: xl.edb always opens, and
// each date is in it at most once, with the day it had or the day it was being given.

#include <gtest/gtest.h>

#include <map>

#include "schedule/core/Calendar.h"
#include "schedule/core/Schema.h"
#include "tests/support/CrashHarness.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

using test::FaultyFileSystem;

TEST(CalendarCrashTest, AChangeKilledAtAnyStepLeavesEachDateOnceOldOrNew) {
    for (auto fault :
         {FaultyFileSystem::Fault::kKillBefore, FaultyFileSystem::Fault::kKillHalfway}) {
        for (int step = 1; step < 80; ++step) {
            test::TempDir dir;
            {
                TableDatabase db;
                openOrCreateTables(db, dir.path());
                ASSERT_TRUE(
                    setCalendarDays(db, "2026-10-01", "2026-10-02", kNoBells, "old").isOk());
            }
            // Replaces 2 October and adds 3 October; then clears 1 October.
            const bool killed = test::runKilledAt(
                dir.file("xl.edb"), schema::kCalendarAlias, step, fault, [](TableDatabase& db) {
                    Status s = setCalendarDays(db, "2026-10-02", "2026-10-03", 1, "new");
                    if (!s.isOk()) return s;
                    auto removed = clearCalendarDays(db, "2026-10-01", "");
                    return removed.isOk() ? Status::ok() : removed.status();
                });
            TableDatabase db;
            ASSERT_TRUE(db.open(dir.file("xl.edb"), schema::kCalendarAlias).isOk())
                << "killed at step " << step;
            std::map<std::string, int> days;
            for (db.goFirst(); !db.endOfTable(); db.skip()) {
                if (!db.currentIsLive()) continue;
                const std::string date = db.readText(schema::kDate).value();
                EXPECT_TRUE(days.emplace(date, db.readInteger(schema::kRingDay).value()).second)
                    << date << " twice, killed at step " << step;
            }
            for (const auto& [date, day] : days) {
                const bool old = day == kNoBells && date <= "2026-10-02";
                const bool changed = day == 1 && date >= "2026-10-02";
                EXPECT_TRUE(old || changed) << date << " " << day << " at step " << step;
            }
            if (!killed) {
                EXPECT_EQ((std::map<std::string, int>{{"2026-10-02", 1}, {"2026-10-03", 1}}), days);
                break;
            }
        }
    }
}

}  // namespace
}  // namespace tolvane
