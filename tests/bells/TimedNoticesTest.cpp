// SPDX-License-Identifier: GPL-3.0-or-later
// 广播通知 kept for later: read back as written whatever the office typed, a damaged line never
// taken for a notice, and each one due said once, or let go when it is long past.

#include <gtest/gtest.h>

#include "bells/core/TimedNotices.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

LocalTime at(int hour, int minute, int second) {
    LocalTime t = civilFromEpochSeconds(civilToEpochSeconds(2026, 12, 11, hour, minute, second));
    return t;
}

TEST(TimedNoticesTest, KeptAsTypedAndADamagedLineIsLeftOut) {
    test::TempDir dir;
    FileSystem& fs = *FileSystem::platform();
    EXPECT_TRUE(readTimedNotices(fs, dir.path()).empty());

    const std::vector<TimedNotice> notices{
        {1, at(14, 30, 0), oneLineNotice("请各班班主任\n14:30\t到会议室开会 "), 2,
         "网页，10.0.0.7"},
        {4, at(16, 0, 5), "放学", 1, "网页，::1"}};
    EXPECT_EQ(notices[0].text, "请各班班主任 14:30 到会议室开会");
    ASSERT_TRUE(writeTimedNotices(fs, dir.path(), notices).isOk());
    EXPECT_EQ(readTimedNotices(fs, dir.path()), notices);

    const std::string good = timedNoticesText({notices[1]});
    for (const char* damaged : {"x\t1\t1\tw\t放学\n", "1796724000\t9\t1\tw\t放学\n",
                                "1796724000\t1\t1\tw\t\n", "1796724000\t1\n"})
        EXPECT_EQ(timedNoticesOfText(damaged + good), (std::vector<TimedNotice>{notices[1]}))
            << damaged;

    ASSERT_TRUE(writeTimedNotices(fs, dir.path(), {}).isOk());
    EXPECT_FALSE(fs.exists(dir.file(kTimedNoticesFile))) << "no notices, no file";
}

TEST(TimedNoticesTest, EachIsSaidOnceWhenDueAndALongMissedOneIsLetGo) {
    std::vector<TimedNotice> notices{{1, at(10, 0, 5), "二", 1, ""},
                                     {2, at(9, 0, 0), "missed", 1, ""},
                                     {3, at(10, 0, 3), "一", 1, ""}};
    DueNotices due = takeDueNotices(notices, at(10, 0, 2));
    EXPECT_TRUE(due.say.empty());
    ASSERT_EQ(due.missed.size(), 1u);
    EXPECT_EQ(due.missed[0].id, 2);
    ASSERT_EQ(notices.size(), 2u);

    // A ringer busy for a few seconds (its second went by) says both, in time order.
    due = takeDueNotices(notices, at(10, 0, 8));
    ASSERT_EQ(due.say.size(), 2u);
    EXPECT_EQ(due.say[0].text, "一");
    EXPECT_EQ(due.say[1].text, "二");
    EXPECT_TRUE(notices.empty());
    EXPECT_TRUE(takeDueNotices(notices, at(10, 0, 9)).say.empty()) << "said twice";

    notices = {{5, at(10, 0, 0), "late", 1, ""}};
    EXPECT_EQ(takeDueNotices(notices, at(10, 1, 0)).say.size(), 1u);
    notices = {{6, at(10, 0, 0), "too late", 1, ""}};
    EXPECT_EQ(takeDueNotices(notices, at(10, 1, 1)).missed.size(), 1u);
    EXPECT_EQ(noticeSpeech("放学", 3), "放学。放学。放学");
}

}  // namespace
}  // namespace tolvane
