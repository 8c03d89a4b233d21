// SPDX-License-Identifier: GPL-3.0-or-later
// Which 作息表 rings on a day: the calendar's day, then the season, then the week rotation, then
// the default; at the edges of the year, of February and of the rotation.

#include <gtest/gtest.h>

#include "schedule/core/Calendar.h"
#include "schedule/core/TimetableRule.h"

namespace tolvane {
namespace {

using Why = DaysTimetable::Why;

LocalTime day(const char* date) {
    return *parseDate(date);
}

Season season(const char* from, const char* to) {
    return parseSeason(from, to).value();
}

TimetablePlan schoolYear() {
    TimetablePlan plan;
    plan.timetables = {{kDefaultTimetable, std::nullopt},
                       {"夏季作息", season("05-01", "09-30")},
                       {"考试", std::nullopt},
                       {"单周", std::nullopt},
                       {"双周", std::nullopt}};
    return plan;
}

TEST(TimetableRule, TheCalendarsDayThenTheSeasonThenTheRotationThenTheDefault) {
    TimetablePlan plan = schoolYear();
    plan.rotation = {"单周", "双周"};
    plan.rotationStart = "2026-09-01";
    plan.days["2026-06-15"] = "考试";
    EXPECT_EQ(timetableOn(plan, day("2026-06-15")), (DaysTimetable{"考试", Why::kCalendarDay, {}}));
    EXPECT_EQ(timetableOn(plan, day("2026-06-16")), (DaysTimetable{"夏季作息", Why::kSeason, {}}));
    EXPECT_EQ(timetableOn(plan, day("2026-10-12")).why, Why::kRotation);
    EXPECT_EQ(timetableOn(plan, day("2026-04-30")),
              (DaysTimetable{kDefaultTimetable, Why::kDefault, {}}));
    EXPECT_EQ(timetableLogLine(plan, timetableOn(plan, day("2026-06-16"))),
              "今天的作息表：夏季作息（05-01 至 09-30）");

    // A day naming a timetable since deleted follows the rest of the rule, and says so.
    plan.days["2026-06-17"] = "半天";
    const DaysTimetable gone = timetableOn(plan, day("2026-06-17"));
    EXPECT_EQ(gone, (DaysTimetable{"夏季作息", Why::kSeason, "半天"}));
    EXPECT_NE(timetableLogLine(plan, gone).find("“半天”已不存在"), std::string::npos);
}

TEST(TimetableRule, ASeasonMayWrapTheNewYearAndNameTheTwentyNinthOfFebruary) {
    const Season winter = season("10-01", "04-30");
    for (const char* in : {"2026-10-01", "2026-12-31", "2027-01-01", "2027-04-30"})
        EXPECT_TRUE(winter.holds(day(in))) << in;
    for (const char* out : {"2027-05-01", "2026-09-30"})
        EXPECT_FALSE(winter.holds(day(out))) << out;

    const Season leap = season("02-29", "03-01");
    EXPECT_TRUE(leap.holds(day("2028-02-29")));
    EXPECT_FALSE(leap.holds(day("2027-02-28")));
    EXPECT_TRUE(leap.holds(day("2027-03-01"))) << "a year without the 29th keeps the rest";
    for (const auto& [from, to] : {std::pair{"02-30", "03-01"}, std::pair{"13-01", "01-01"},
                                   std::pair{"05-01", ""}, std::pair{"5-1x", "09-30"}})
        EXPECT_FALSE(parseSeason(from, to).isOk()) << from << " " << to;

    // Typed as people type it; refused saying what is wrong, quoting what was typed.
    for (const char* typed : {"05-01 至 09-30", "5-1 到 9-30", "05-01 to 09-30", "5/1~9/30"})
        EXPECT_EQ(season("05-01", "09-30"), parseSeasonText(typed).value()) << typed;
    EXPECT_EQ("“09-31”：9 月只有 30 天", parseSeasonText("05-01 至 09-31").status().message());
    EXPECT_EQ("“13-01”：没有 13 月", parseSeasonText("13-01 至 01-31").status().message());
    EXPECT_EQ("季节要写成 月-日 至 月-日，例如 05-01 至 09-30，不是“五月”",
              parseSeasonText("五月").status().message());
}

TEST(TimetableRule, SeasonsThatOverlapAreRefused) {
    TimetablePlan plan = schoolYear();
    EXPECT_EQ(seasonOverlap(plan, "考试", season("10-01", "04-30")), "");
    EXPECT_NE(seasonOverlap(plan, "考试", season("09-30", "10-15")), "");
    EXPECT_NE(seasonOverlap(plan, "考试", season("04-01", "05-01")), "");
    EXPECT_NE(seasonOverlap(plan, "考试", season("06-01", "06-02")), "") << "inside another";
    EXPECT_EQ(seasonOverlap(plan, "夏季作息", season("06-01", "08-31")), "") << "its own season";
    plan.timetables[2].season = season("11-01", "02-28");
    EXPECT_NE(seasonOverlap(plan, "单周", season("12-30", "01-02")), "") << "both wrap the year";
}

TEST(TimetableRule, TheRotationTurnsEachMondayFromTheWeekOfItsStartAcrossTheNewYear) {
    TimetablePlan plan = schoolYear();
    plan.timetables[1].season.reset();
    plan.rotation = {"单周", "双周"};
    plan.rotationStart = "2026-12-23";  // a Wednesday: its week is the first
    EXPECT_EQ(timetableOn(plan, day("2026-12-22")).name, kDefaultTimetable) << "before the start";
    EXPECT_EQ(timetableOn(plan, day("2026-12-23")).name, "单周");
    EXPECT_EQ(timetableOn(plan, day("2026-12-27")).name, "单周");  // Sunday
    EXPECT_EQ(timetableOn(plan, day("2026-12-28")).name, "双周");
    EXPECT_EQ(timetableOn(plan, day("2027-01-03")).name, "双周");
    EXPECT_EQ(timetableOn(plan, day("2027-01-04")).name, "单周");
    // A timetable of the rotation deleted: the rest rotate on.
    plan.rotation = {"单周", "已删除", "双周"};
    EXPECT_EQ(timetableOn(plan, day("2026-12-28")).name, "双周");
}

}  // namespace
}  // namespace tolvane
