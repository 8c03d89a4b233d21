// SPDX-License-Identifier: GPL-3.0-or-later
// tolvanectl status's parts that read the folder: the next bell by the schedule and the school
// calendar, and the plan's state by the ring log.

#include <gtest/gtest.h>

#include "cli/StatusCommand.h"
#include "schedule/core/Calendar.h"
#include "schedule/core/Schema.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

// 2026-12-11, a Friday, at 09:00:00 (the manual clock's civil time is UTC).
constexpr int64_t kFridayNineMs = int64_t{1796979600} * 1000;

class StatusCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(openOrCreateTables(m_db, m_dir.path()).usable());
        m_db.select(schema::kBellAlias);
        const std::array<bool, 7> weekdays{true, true, true, true, true, false, false};
        for (const BellRecord& b : {BellRecord{"08:00:00", "", "/b/morning.mp3", weekdays, 28800},
                                    BellRecord{"10:00:00", "", "/b/ten.mp3", weekdays, 36000}})
            ASSERT_TRUE(m_db.append(bellValues(b)).isOk());
    }
    test::TempDir m_dir;
    TableDatabase m_db;
};

TEST_F(StatusCommandTest, TheNextBellFollowsTheWeekdaysAndTheSchoolCalendar) {
    ManualClock clock(kFridayNineMs);
    EXPECT_EQ(cli::nextBell(m_dir.path(), clock), "2026-12-11 10:00:00 /b/ten.mp3");
    clock.advanceMs(2 * 3600 * 1000);  // 11:00: nothing more on Friday, none at the weekend
    EXPECT_EQ(cli::nextBell(m_dir.path(), clock), "2026-12-14 08:00:00 /b/morning.mp3");
    ASSERT_TRUE(setCalendarDays(m_db, "2026-12-14", "2026-12-14", 0, "").isOk());  // a holiday
    EXPECT_EQ(cli::nextBell(m_dir.path(), clock), "2026-12-15 08:00:00 /b/morning.mp3");
    ASSERT_TRUE(setCalendarDays(m_db, "2026-12-13", "2026-12-13", 1, "").isOk());  // 调休
    EXPECT_EQ(cli::nextBell(m_dir.path(), clock), "2026-12-13 08:00:00 /b/morning.mp3");
}

TEST_F(StatusCommandTest, ThePlanIsPausedFromItsPauseUntilItResumesOrTheRingerStartsAgain) {
    const std::string start = "[2026-12-11 07:00:00.000] 程序启动：Tolvane 0.1.0，文件夹 /x";
    const std::string pause = "[2026-12-11 07:10:00.000] 计划暂停";
    const std::string resume = "[2026-12-11 07:20:00.000] 计划恢复运行";
    EXPECT_TRUE(cli::planRunsByLog({start}));
    EXPECT_FALSE(cli::planRunsByLog({start, pause}));
    EXPECT_TRUE(cli::planRunsByLog({start, pause, resume}));
    EXPECT_TRUE(cli::planRunsByLog({start, pause, start}));
}

TEST_F(StatusCommandTest, AWebPageTheRingerCouldNotStartIsSaidUntilItStartsOrTheRingerAgain) {
    const std::string start = "[2026-12-11 07:00:00.000] 无窗口打铃启动：Tolvane 0.1.0，文件夹 /x";
    const std::string taken =
        "[2026-12-11 07:00:00.100] ! 网页没有开启：端口 8443 已被别的程序占用";
    const std::string served =
        "[2026-12-11 07:05:00.000] 网页已开启：https://school:8443/，证书指纹";
    EXPECT_EQ(cli::webRefusalByLog({start, taken}), "网页没有开启：端口 8443 已被别的程序占用");
    EXPECT_EQ(cli::webRefusalByLog({start, taken, "[…] 计划暂停"}),
              "网页没有开启：端口 8443 已被别的程序占用");
    EXPECT_EQ(cli::webRefusalByLog({start, taken, served}), "");
    EXPECT_EQ(cli::webRefusalByLog({taken, start}), "");
}

}  // namespace
}  // namespace tolvane
