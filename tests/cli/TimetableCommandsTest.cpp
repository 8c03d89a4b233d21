// SPDX-License-Identifier: GPL-3.0-or-later
// 作息表 through tolvanectl: made, generated, imported and ruled by season and calendar day; each
// command's bells in its own timetable; a bad CSV or a refused change writing nothing; and the
// plan naming each day's timetable.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "cli/CalendarCommands.h"
#include "cli/PlanCommand.h"
#include "cli/ScheduleCommands.h"
#include "cli/TimetableCommands.h"
#include "tests/support/CommandRun.h"
#include "tests/support/TempDir.h"

namespace tolvane::cli {
namespace {

using test::CommandResult;
using test::run;

long lines(const std::string& text) {
    return std::count(text.begin(), text.end(), '\n');
}

class TimetableCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        d = dir.path();
        ASSERT_EQ(0, run(addCommand, {d, "--start", "08:00:00", "--music", "/b/常规.mp3"}).status);
    }
    CommandResult timetable(std::vector<std::string> words) {
        words.insert(words.begin(), d);
        return run(timetableCommand, words);
    }
    test::TempDir dir;
    std::string d;
};

TEST_F(TimetableCommandsTest, MadeGeneratedAndRuledEachDayByItsOwn) {
    ASSERT_EQ(0, timetable({"add", "夏季"}).status);
    ASSERT_EQ(0, timetable({"add", "考试", "--copy", "常规作息"}).status);
    const auto generated =
        timetable({"generate", "夏季", "--first", "07:40", "--lesson", "45", "--break", "10",
                   "--morning", "2", "--music-start", "/b/上课.mp3", "--music-end", "/b/下课.mp3"});
    ASSERT_EQ(0, generated.status) << generated.err;
    EXPECT_EQ("作息表“夏季”现在有 4 个铃声\n", generated.out);
    // Generating again over its bells needs --replace.
    EXPECT_EQ(1,
              timetable({"generate", "夏季", "--first", "07:00", "--lesson", "45", "--break", "10",
                         "--morning", "1", "--music-start", "/b/a.mp3", "--music-end", "/b/b.mp3"})
                  .status);
    // A rotation typed as people type lists: Chinese or Latin commas, 、 or spaces.
    for (const char* typed : {"夏季，考试", " 夏季, 考试 ", "夏季、考试", "夏季 考试"}) {
        const auto rotated = timetable({"rotate", typed, "--from", "2099-09-07"});
        ASSERT_EQ(0, rotated.status) << typed << ": " << rotated.err;
        const std::string listed = timetable({}).out;
        EXPECT_NE(std::string::npos, listed.find("夏季\t4\t按周轮换")) << typed << listed;
        EXPECT_NE(std::string::npos, listed.find("考试\t1\t按周轮换")) << typed << listed;
    }
    ASSERT_EQ(0, timetable({"rotate", "--none"}).status);
    EXPECT_EQ(1, timetable({"rotate", "夏季，，没有", "--from", "2099-09-07"}).status);
    ASSERT_EQ(0, timetable({"season", "夏季", "--from", "05-01", "--to", "09-30"}).status);
    const auto overlap = timetable({"season", "考试", "--from", "09-01", "--to", "10-07"});
    EXPECT_EQ(1, overlap.status);
    EXPECT_NE(std::string::npos, overlap.err.find("重叠"));

    // add, list and delete act on the timetable named, the default otherwise.
    // Its message names the timetable, which no day uses yet.
    const auto added =
        run(addCommand, {d, "--start", "12:00:00", "--music", "/b/午.mp3", "--timetable", "考试"});
    ASSERT_EQ(0, added.status);
    EXPECT_NE(std::string::npos, added.out.find("铃声属于作息表“考试”，但还没有哪一天用这个作息表"))
        << added.out;
    EXPECT_EQ(2, lines(run(listCommand, {d, "--timetable", "考试"}).out));
    EXPECT_EQ(1, lines(run(listCommand, {d}).out));
    EXPECT_EQ(1, run(listCommand, {d, "--timetable", "没有"}).status);

    // An exam on a Saturday that rings as Friday (far ahead: deleting its timetable waits for it).
    ASSERT_EQ(0,
              run(workdayCommand, {d, "2099-06-13", "--as", "周五", "--timetable", "考试"}).status);
    // Without --as, a Saturday given the exam timetable rings its 周一 bells, not its (none)
    // of 周六.
    ASSERT_EQ(0, run(workdayCommand, {d, "2099-06-20", "--timetable", "考试"}).status);
    EXPECT_EQ("2099-06-13 按作息表 考试（按周五）\n2099-06-20 按作息表 考试（按周一）\n",
              run(calendarCommand, {d}).out);
    EXPECT_EQ(1, timetable({"delete", "考试", "--yes"}).status);  // a day to come names it

    std::ostringstream out, err;
    ASSERT_EQ(0, planCommand(d, "2099-06-12 07:39:59", "2099-06-13 12:00:00", out, err));
    EXPECT_EQ(
        "2099-06-12 07:39:59 log 今天的作息表：夏季（05-01 至 09-30）\n"
        "2099-06-12 07:40:00 start /b/上课.mp3\n"
        "2099-06-12 08:25:00 start /b/下课.mp3\n"
        "2099-06-12 08:35:00 start /b/上课.mp3\n"
        "2099-06-12 09:20:00 start /b/下课.mp3\n"
        "2099-06-13 00:00:00 log 今天的作息表：考试（校历指定，按周五）\n"
        "2099-06-13 08:00:00 start /b/常规.mp3\n"
        "2099-06-13 12:00:00 start /b/午.mp3\n",
        out.str());
    std::ostringstream saturday;
    ASSERT_EQ(0, planCommand(d, "2099-06-20 00:00:00", "2099-06-20 12:00:00", saturday, err));
    EXPECT_EQ(
        "2099-06-20 00:00:00 log 今天的作息表：考试（校历指定，按周一）\n"
        "2099-06-20 08:00:00 start /b/常规.mp3\n"
        "2099-06-20 12:00:00 start /b/午.mp3\n",
        saturday.str());
}

TEST_F(TimetableCommandsTest, ACsvComesInWholeOrNotAtAll) {
    ASSERT_EQ(0, timetable({"add", "冬季"}).status);
    const std::string file = dir.file("冬季.csv");
    std::ofstream(file) << "开始时间,结束时间,音乐,星期\n08:10,,/b/冬.mp3,周一至周五\n"
                           "8:70,,/b/坏.mp3,周一\n";
    const auto bad = timetable({"import", "冬季", file});
    EXPECT_EQ(1, bad.status);
    EXPECT_NE(std::string::npos, bad.err.find("第 3 行")) << bad.err;
    EXPECT_EQ("", run(listCommand, {d, "--timetable", "冬季"}).out);

    std::ofstream(file) << "开始时间,结束时间,音乐,星期\n08:10,,/b/冬.mp3,周一至周五\n";
    ASSERT_EQ(0, timetable({"import", "冬季", file}).status);
    EXPECT_EQ(
        "\xEF\xBB\xBF开始时间,结束时间,音乐,星期\r\n"
        "\"08:10:00\",\"\",\"/b/冬.mp3\",\"周一 周二 周三 周四 周五\"\r\n",
        timetable({"export", "冬季"}).out);
    ASSERT_EQ(0, timetable({"rename", "冬季", "冬季作息"}).status);
    const auto list = timetable({});
    EXPECT_NE(std::string::npos, list.out.find("冬季作息\t1\t")) << list.out;
    EXPECT_EQ(1, timetable({"delete", "冬季作息"}).status);  // it holds a bell: --yes
    EXPECT_EQ(0, timetable({"delete", "冬季作息", "--yes"}).status);
    EXPECT_EQ(2, timetable({"frobnicate"}).status);
}

}  // namespace
}  // namespace tolvane::cli
