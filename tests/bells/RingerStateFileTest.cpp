// SPDX-License-Identifier: GPL-3.0-or-later
// The state a ringer publishes for tolvanectl status: read back as written, whatever a music's
// name holds, and a damaged or missing file is said, never taken for a state.

#include <gtest/gtest.h>

#include "bells/core/RingerStateFile.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

TEST(RingerStateFileTest, ReadBackAsWrittenAndADamagedOneIsRefused) {
    test::TempDir dir;
    FileSystem& fs = *FileSystem::platform();
    EXPECT_EQ(readRingerState(fs, dir.path(), "41").status().code(), Status::Code::kNotFound);

    RingerState state;
    state.plan = PlanState::kPaused;
    LocalTime start;
    start.hour = 8;
    start.minute = 5;
    state.playing = RingerState::Bell{start, dir.file("上课\n铃 = [x].mp3"), "08:06:00"};
    state.problems = {{RingerProblemKind::kOutput, "声音输出已静音：bells"},
                      {RingerProblemKind::kMusic, "铃声的音乐不能播放：a.mp3（文件不存在）"}};
    state.unplayableBells = 3;
    state.webAddress = "https://bells:8443/";
    state.ringingNow = dir.file("通知.mp3");
    state.ringingNowRepeats = true;
    state.clockOffsetSeconds = -90;
    ASSERT_TRUE(writeRingerState(fs, dir.path(), "41", state).isOk());
    // Another computer's, brought by a synchronisation, or a crashed ringer's: not this one's.
    EXPECT_EQ(readRingerState(fs, dir.path(), "42").status().code(), Status::Code::kNotFound);

    auto read = readRingerState(fs, dir.path(), "41");
    ASSERT_TRUE(read.isOk()) << read.status().message();
    EXPECT_EQ(read.value().plan, PlanState::kPaused);
    ASSERT_TRUE(read.value().playing.has_value());
    EXPECT_EQ(timeText(read.value().playing->start), "08:05:00");
    EXPECT_EQ(read.value().playing->music, dir.file("上课 铃 = [x].mp3"))
        << "a line break in a name must not end the value";
    EXPECT_EQ(read.value().playing->end, "08:06:00");
    EXPECT_EQ(read.value().problems, state.problems);
    EXPECT_EQ(read.value().unplayableBells, 3u);
    EXPECT_EQ(read.value().webAddress, "https://bells:8443/");
    EXPECT_EQ(read.value().ringingNow, state.ringingNow);
    EXPECT_TRUE(read.value().ringingNowRepeats);
    EXPECT_EQ(read.value().clockOffsetSeconds, -90);
    EXPECT_FALSE(read.value().next.has_value()) << "the next bell is the reader's to work out";

    for (const char* damaged :
         {"[ringer]\npid=41\nplan=sleeping\n",
          "[ringer]\npid=41\nplan=running\nplaying_start=25:00:00\n",
          "[ringer]\npid=41\nplan=running\n[problems]\nproblem1=weather 下雨\n"}) {
        test::writeFile(dir.file(kRingerStateFile), damaged);
        EXPECT_EQ(readRingerState(fs, dir.path(), "41").status().code(), Status::Code::kCorruption)
            << damaged;
    }
    removeRingerState(fs, dir.path());
    EXPECT_EQ(readRingerState(fs, dir.path(), "41").status().code(), Status::Code::kNotFound);
}

}  // namespace
}  // namespace tolvane
