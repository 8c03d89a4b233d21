// SPDX-License-Identifier: GPL-3.0-or-later
// The school calendar through tolvanectl: a golden week with its make-up days, ranges across a
// month and a year end, 29 February, invalid input that writes nothing, an .ics holiday plan,
// and the table's layout on disk.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/CalendarCommands.h"
#include "cli/PlanCommand.h"
#include "cli/ScheduleCommands.h"
#include "schedule/core/Calendar.h"
#include "storage/Coding.h"
#include "tests/support/CommandRun.h"
#include "tests/support/TempDir.h"

namespace tolvane::cli {
namespace {

using test::CommandResult;
using test::run;

class CalendarCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        d = dir.path();
        for (const auto& [start, day] : {std::pair{"08:00:00", "mon"}, std::pair{"09:00:00", "fri"},
                                         std::pair{"10:00:00", "sun"}})
            ASSERT_EQ(0, run(addCommand, {d, "--start", start, "--music",
                                          std::string("/b/") + day + ".mp3", "--days", day})
                             .status);
    }
    std::string plan(const std::string& from, const std::string& to) {
        std::ostringstream out, err;
        EXPECT_EQ(0, planCommand(d, from + " 00:00:00", to + " 23:59:59", out, err)) << err.str();
        return out.str();
    }
    std::string calendar() { return run(calendarCommand, {d}).out; }

    test::TempDir dir;
    std::string d;
};

TEST_F(CalendarCommandsTest, AGoldenWeekWithItsMakeUpDays) {
    // 2026: 1-7 October off; Sunday 27 September rings as Monday, Saturday 10 October as Friday.
    EXPECT_EQ(0, run(holidayCommand, {d, "2026-10-01", "2026-10-07", "--note", "国庆节"}).status);
    EXPECT_EQ(0, run(workdayCommand, {d, "2026-09-27", "--as", "mon", "--note", "调休"}).status);
    EXPECT_EQ(0, run(workdayCommand, {d, "2026-10-10", "--as", "周五"}).status);
    // The make-up Sunday rings Monday's bells only; no bell on the holidays (4 October is a
    // Sunday); the Saturday after rings Friday's.
    EXPECT_EQ(
        "2026-09-27 08:00:00 start /b/mon.mp3\n"
        "2026-09-28 08:00:00 start /b/mon.mp3\n"
        "2026-10-09 09:00:00 start /b/fri.mp3\n"
        "2026-10-10 09:00:00 start /b/fri.mp3\n"
        "2026-10-11 10:00:00 start /b/sun.mp3\n",
        plan("2026-09-27", "2026-10-11"));
    EXPECT_EQ(0u, calendar().find("2026-09-27 按周一 调休\n2026-10-01 放假 国庆节\n"));
    // 恢复正常: 4 October rings as the Sunday it is.
    EXPECT_EQ(0, run(normalCommand, {d, "2026-10-04"}).status);
    EXPECT_NE(std::string::npos,
              plan("2026-10-04", "2026-10-04").find("10:00:00 start /b/sun.mp3"));
    EXPECT_EQ(1, run(normalCommand, {d, "2026-10-04"}).status) << "nothing left to clear";
}

TEST_F(CalendarCommandsTest, RangesAcrossMonthAndYearEndsAndLeapDays) {
    EXPECT_EQ(0, run(holidayCommand, {d, "2026-12-30", "2027-01-02"}).status);
    EXPECT_EQ(0, run(holidayCommand, {d, "2028-02-28", "2028-03-01"}).status);  // a leap year
    EXPECT_EQ(
        "2026-12-30 放假\n2026-12-31 放假\n2027-01-01 放假\n2027-01-02 放假\n"
        "2028-02-28 放假\n2028-02-29 放假\n2028-03-01 放假\n",
        calendar());
    EXPECT_EQ("2027-01-01 放假\n",
              run(calendarCommand, {d, "--from", "2027-01-01", "--to", "2027-01-01"}).out);
}

TEST_F(CalendarCommandsTest, InvalidInputIsNamedAndWritesNothing) {
    ASSERT_EQ(0, run(holidayCommand, {d, "2026-05-01"}).status);
    const std::string before = test::readFile(dir.file("xl.edb"));
    const std::vector<std::vector<std::string>> bad = {
        {d, "2027-02-29"},                // not a leap year
        {d, "2026-13-01"},                // no such month
        {d, "2026-05-10", "2026-05-01"},  // TO before FROM
        {d, "26-5-1"},
    };
    for (const auto& args : bad) {
        const CommandResult r = run(holidayCommand, args);
        EXPECT_EQ(1, r.status) << args[1];
        EXPECT_FALSE(r.err.empty());
    }
    CommandResult r = run(workdayCommand, {d, "2026-05-09", "--as", "someday"});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("someday"));
    r = run(calendarImportCommand, {d, dir.file("missing.ics")});
    EXPECT_EQ(1, r.status);
    EXPECT_NE(std::string::npos, r.err.find("missing.ics"));
    EXPECT_EQ(2, run(workdayCommand, {d, "2026-05-09"}).status);
    EXPECT_TRUE(before == test::readFile(dir.file("xl.edb"))) << "the calendar changed";
}

#ifdef TOLVANE_HAVE_ICAL
TEST_F(CalendarCommandsTest, APublishedHolidayPlanIsImported) {
    test::writeFile(dir.file("plan.ics"),
                    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//test//EN\r\n"
                    // All-day, DTEND exclusive: 1..3 October.
                    "BEGIN:VEVENT\r\nUID:1\r\nSUMMARY:国庆节\r\nDTSTART;VALUE=DATE:20261001\r\n"
                    "DTEND;VALUE=DATE:20261004\r\nEND:VEVENT\r\n"
                    // A make-up workday, as a zoned DATE-TIME.
                    "BEGIN:VEVENT\r\nUID:2\r\nSUMMARY:国庆节补班\r\n"
                    "DTSTART;TZID=Asia/Shanghai:20260927T080000\r\n"
                    "DTEND;TZID=Asia/Shanghai:20260927T170000\r\nEND:VEVENT\r\n"
                    // A one-day all-day event without DTEND.
                    "BEGIN:VEVENT\r\nUID:3\r\nSUMMARY:元旦\r\nDTSTART;VALUE=DATE:20270101\r\n"
                    "END:VEVENT\r\n"
                    // No start: skipped, named.
                    "BEGIN:VEVENT\r\nUID:4\r\nSUMMARY:坏的事件\r\nEND:VEVENT\r\n"
                    "END:VCALENDAR\r\n");
    const CommandResult r = run(calendarImportCommand, {d, dir.file("plan.ics"), "--as", "tue"});
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_EQ("set 5 days\n", r.out);
    EXPECT_NE(std::string::npos, r.err.find("坏的事件"));
    EXPECT_EQ(
        "2026-09-27 按周二 国庆节补班\n2026-10-01 放假 国庆节\n2026-10-02 放假 国庆节\n"
        "2026-10-03 放假 国庆节\n2027-01-01 放假 元旦\n",
        calendar());
}
#endif

TEST_F(CalendarCommandsTest, TheCalendarTableLayoutIsPinned) {
    ASSERT_EQ(0, run(holidayCommand, {d, "2026-05-01", "--note", "劳动节"}).status);
    const std::string bytes = test::readFile(dir.file("xl.edb"));
    // Header, field count 3, three 72-byte descriptors, then 4 + 10 + 4 + 60 = 78-byte records.
    const size_t dataStart = 116 + 3 * 72;
    EXPECT_EQ(3, decodeInt32(bytes.data() + 112));
    EXPECT_EQ(78, decodeInt32(bytes.data() + 24));
    ASSERT_EQ(dataStart + 78, bytes.size());
    // 日期 and 说明 in GBK, the date text, the ring day, the note.
    EXPECT_EQ(std::string("\xC8\xD5\xC6\xDA", 4), bytes.substr(116, 4));
    EXPECT_EQ(std::string("2026-05-01"), bytes.substr(dataStart + 4, 10));
    EXPECT_EQ(0, decodeInt32(bytes.data() + dataStart + 14));
    EXPECT_EQ(std::string("\xC0\xCD\xB6\xAF\xBD\xDA", 6), bytes.substr(dataStart + 18, 6));
}

}  // namespace
}  // namespace tolvane::cli
