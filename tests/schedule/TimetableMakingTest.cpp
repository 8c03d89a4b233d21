// SPDX-License-Identifier: GPL-3.0-or-later
// A 作息表 made in a minute: the generator's bells for a school day, its refusals, and a
// timetable through CSV and back, from the spreadsheets schools keep (UTF-8 or GBK).

#include <gtest/gtest.h>

#include "platform/TextCodec.h"
#include "schedule/core/TimetableMaking.h"
#include "schedule/csv/TimetableCsv.h"

namespace tolvane {
namespace {

std::vector<std::string> startsOf(const std::vector<BellRecord>& bells) {
    std::vector<std::string> starts;
    for (const BellRecord& b : bells) starts.push_back(b.start + " " + b.music);
    return starts;
}

TimetableRecipe aSchoolDay() {
    TimetableRecipe r;
    r.first = "08:00";
    r.lessonMinutes = 40;
    r.breakMinutes = 10;
    r.morningLessons = 3;
    r.afternoonFirst = "14:00";
    r.afternoonLessons = 2;
    r.longBreakAfter = 2;  // 大课间 of 30 minutes after the second lesson
    r.longBreakMinutes = 30;
    r.musicStart = "上课.mp3";
    r.musicEnd = "下课.mp3";
    return r;
}

TEST(TimetableGenerator, LessonsBreaksTheLongBreakAndTheAfternoon) {
    auto bells = generateBells(aSchoolDay());
    ASSERT_TRUE(bells.isOk()) << bells.status().message();
    EXPECT_EQ(
        (std::vector<std::string>{"08:00:00 上课.mp3", "08:40:00 下课.mp3", "08:50:00 上课.mp3",
                                  "09:30:00 下课.mp3", "10:00:00 上课.mp3", "10:40:00 下课.mp3",
                                  "14:00:00 上课.mp3", "14:40:00 下课.mp3", "14:50:00 上课.mp3",
                                  "15:30:00 下课.mp3"}),
        startsOf(bells.value()));
    const BellRecord& first = bells.value().front();
    EXPECT_EQ(8 * 3600, first.sortValue);
    EXPECT_EQ((std::array<bool, 7>{true, true, true, true, true, false, false}), first.weekdays);
}

TEST(TimetableGenerator, ADayThatCannotBeIsRefusedSayingWhy) {
    TimetableRecipe late = aSchoolDay();
    late.afternoonFirst = "10:30";  // before the morning's last lesson ends
    EXPECT_EQ("上午的课 10:40 才结束，下午第一节课 10:30 开始得太早",
              generateBells(late).status().message());
    TimetableRecipe night = aSchoolDay();
    night.afternoonFirst = "23:00";
    EXPECT_FALSE(generateBells(night).isOk());
    TimetableRecipe noBreak = aSchoolDay();
    noBreak.breakMinutes = 0;  // 下课 and the next 上课 would share a second
    EXPECT_EQ("08:40:00 有两个铃声：一个时间点只能有一个铃声",
              generateBells(noBreak).status().message());
    TimetableRecipe badTime = aSchoolDay();
    badTime.first = "8点";
    EXPECT_FALSE(generateBells(badTime).isOk());
    TimetableRecipe noMusic = aSchoolDay();
    noMusic.musicEnd.clear();
    EXPECT_FALSE(generateBells(noMusic).isOk());
}

// 考试提醒: each exam speaks at its start, minutes before its end and at its end.
TEST(TimetableGenerator, AnExamTimetablesBellsSpeak) {
    TimetableRecipe exam;
    exam.first = "09:00";
    exam.lessonMinutes = 120;
    exam.morningLessons = 1;
    exam.musicStart = "开始.mp3";
    exam.musicEnd = "结束.mp3";
    exam.exam = examReminder(15);
    auto bells = generateBells(exam);
    ASSERT_TRUE(bells.isOk()) << bells.status().message();
    ASSERT_EQ(3u, bells.value().size());
    EXPECT_EQ("09:00:00", bells.value()[0].start);
    EXPECT_EQ("考试开始，请考生开始答题", bells.value()[0].spoken());
    EXPECT_EQ("10:45:00", bells.value()[1].start);
    EXPECT_EQ("开始.mp3", bells.value()[1].music);
    EXPECT_EQ("距离考试结束还有15分钟", bells.value()[1].spoken());
    EXPECT_EQ("11:00:00", bells.value()[2].start);
    EXPECT_EQ("考试结束，请考生停止答题", bells.value()[2].spoken());
    exam.exam = examReminder(120);  // as long as the exam: no bell before its end
    EXPECT_FALSE(generateBells(exam).isOk());
}

TEST(TimetableCsv, ATimetableComesBackAsItWent) {
    std::vector<BellRecord> bells = generateBells(aSchoolDay()).value();
    bells[0].end = "08:01:00";
    bells[1].music = "D:\\铃声\\下课, \"长\".mp3";  // a comma and quotes in a path
    bells[2].weekdays = {false, false, false, false, false, true, true};
    const std::string csv = timetableCsv(bells);
    EXPECT_EQ(0u, csv.find("\xEF\xBB\xBF开始时间,结束时间,音乐,星期\r\n"));
    auto back = parseTimetableCsv(csv);
    ASSERT_TRUE(back.isOk()) << back.status().message();
    ASSERT_EQ(bells.size(), back.value().size());
    for (size_t i = 0; i < bells.size(); ++i) {
        EXPECT_EQ(bells[i].start, back.value()[i].start);
        EXPECT_EQ(bells[i].end, back.value()[i].end);
        EXPECT_EQ(bells[i].music, back.value()[i].music);
        EXPECT_EQ(bells[i].weekdays, back.value()[i].weekdays);
        EXPECT_EQ("", back.value()[i].spoken());
    }
    // A bell's words add the fifth column, and come back with their bell.
    bells[1].speaks = true;
    bells[1].speech = "第1节课下课，休息10分钟";
    const std::string spoken = timetableCsv(bells);
    EXPECT_EQ(0u, spoken.find("\xEF\xBB\xBF开始时间,结束时间,音乐,星期,语音提醒\r\n"));
    back = parseTimetableCsv(spoken);
    ASSERT_TRUE(back.isOk()) << back.status().message();
    EXPECT_EQ("", back.value()[0].spoken());
    EXPECT_EQ("第1节课下课，休息10分钟", back.value()[1].spoken());
}

TEST(TimetableCsv, ASpreadsheetsOwnWaysAreRead) {
    const std::string gbk = utf8ToGbk(
                                "开始时间,结束时间,音乐,星期\n"
                                "7:30,,预备.mp3,周一至周五\n"
                                "08:00:00,08:00:30,上课.mp3,\"一、三、五\"\n"
                                "12:00,,午休,每天\n")
                                .value();
    auto bells = parseTimetableCsv(gbk);
    ASSERT_TRUE(bells.isOk()) << bells.status().message();
    ASSERT_EQ(3u, bells.value().size());
    EXPECT_EQ("07:30:00", bells.value()[0].start);
    EXPECT_EQ((std::array<bool, 7>{true, true, true, true, true, false, false}),
              bells.value()[0].weekdays);
    EXPECT_EQ("08:00:30", bells.value()[1].end);
    EXPECT_EQ((std::array<bool, 7>{true, false, true, false, true, false, false}),
              bells.value()[1].weekdays);
    EXPECT_EQ("午休", bells.value()[2].music);
    EXPECT_TRUE(bells.value()[2].weekdays[6]);
}

TEST(TimetableCsv, ABadRowIsNamedByItsLineAndNothingIsRead) {
    const std::string head = "开始时间,结束时间,音乐,星期\n";
    EXPECT_EQ(
        "第 3 行：开始时间填写有误：小时应为0到23、分和秒应为0到59的整数，请重新设置！",
        parseTimetableCsv(head + "08:00,,a.mp3,周一\n25:00,,b.mp3,周一\n").status().message());
    EXPECT_EQ("第 2 行：星期“周八”看不懂：请写 周一 周二 …，或 周一至周五",
              parseTimetableCsv(head + "08:00,,a.mp3,周八\n").status().message());
    EXPECT_EQ("第 2 行：你设置的结束时间比开始时间早，请重新设置！",
              parseTimetableCsv(head + "08:00,07:00,a.mp3,周一\n").status().message());
    EXPECT_EQ("第 2 行：要有四列：开始时间,结束时间,音乐,星期",
              parseTimetableCsv(head + "08:00,a.mp3\n").status().message());
    EXPECT_EQ(
        "08:00:00 有两个铃声：一个时间点只能有一个铃声",
        parseTimetableCsv(head + "08:00,,a.mp3,周一\n8:00:00,,b.mp3,周二\n").status().message());
    EXPECT_EQ("第 1 行应是表头：开始时间,结束时间,音乐,星期",
              parseTimetableCsv("08:00,,a.mp3,周一\n").status().message());
    EXPECT_FALSE(parseTimetableCsv(head + "08:00,,\"a.mp3,周一\n").isOk());  // quote never closed
}

}  // namespace
}  // namespace tolvane
