// SPDX-License-Identifier: GPL-3.0-or-later
// The school's 作息表 as stored: the index and its tables kept in step through add, copy, rename
// and delete; the rules that may not vanish under a day; db.edb untouched for older copies; each
// day's bells read from its timetable; and a writer killed at any step of a change.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "schedule/core/BellEditing.h"
#include "schedule/core/Calendar.h"
#include "schedule/core/SilentDays.h"
#include "schedule/core/TimetableMaking.h"
#include "schedule/core/Timetables.h"
#include "tests/support/CrashHarness.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

constexpr std::array<bool, 7> kWeekdays = {true, true, true, true, true, false, false};

BellRecord bell(const std::string& start, const std::string& music) {
    return {start, "", music, kWeekdays,
            sortValue(std::stoi(start.substr(0, 2)), std::stoi(start.substr(3, 2)), 0)};
}

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> musicOf(TableDatabase& db, const std::string& timetable) {
    std::vector<std::string> music;
    for (const BellRecord& b : readBells(db, bellTableOf(db, timetable).value()).value())
        music.push_back(b.music);
    return music;
}

class TimetablesTest : public ::testing::Test {
protected:
    void SetUp() override {
        openOrCreateTables(db, dir.path());
        ASSERT_TRUE(replaceTimetableBells(db, schema::kBellAlias,
                                          {bell("08:00", "常规上课"), bell("08:45", "常规下课")})
                        .isOk());
    }
    test::TempDir dir;
    TableDatabase db;
};

TEST_F(TimetablesTest, AddCopyRenameAndDeleteKeepTheIndexAndTheTablesInStep) {
    EXPECT_FALSE(db.fileSystem().exists(dir.file("zx.edb")));  // none until a second timetable
    ASSERT_TRUE(addTimetable(db, "夏季作息", kDefaultTimetable).isOk());
    ASSERT_TRUE(addTimetable(db, "考试").isOk());
    EXPECT_EQ((std::vector<std::string>{kDefaultTimetable, "夏季作息", "考试"}),
              timetableNames(db));
    EXPECT_EQ((std::vector<std::string>{"常规上课", "常规下课"}), musicOf(db, "夏季作息"));
    EXPECT_TRUE(musicOf(db, "考试").empty());
    // A bell added to the copy is the copy's alone.
    BellForm form{{"7", "50", "0"}, false, {}, "夏季预备", kWeekdays};
    ASSERT_TRUE(addBell(db, form, bellTableOf(db, "夏季作息").value()).changed);
    EXPECT_EQ(2u, musicOf(db, kDefaultTimetable).size());

    // A name taken, with a comma, too long, or the default's, is refused naming why.
    for (const std::string& bad : {std::string("考试"), std::string("单,双"), std::string(41, 'x'),
                                   std::string(kDefaultTimetable)})
        EXPECT_FALSE(addTimetable(db, bad).isOk()) << bad;
    EXPECT_FALSE(renameTimetable(db, kDefaultTimetable, "平时").isOk());
    EXPECT_FALSE(deleteTimetable(db, kDefaultTimetable, "2026-01-01").isOk());

    // A rename carries the rules with it.
    ASSERT_TRUE(setTimetableRotation(db, {kDefaultTimetable, "夏季作息"}, "2026-09-07").isOk());
    ASSERT_TRUE(setCalendarTimetable(db, "2026-06-15", "", "考试").isOk());
    ASSERT_TRUE(renameTimetable(db, "考试", "期末考试").isOk());
    ASSERT_TRUE(renameTimetable(db, "夏季作息", "夏季").isOk());
    const TimetableIndex index = readTimetableIndex(db);
    EXPECT_EQ((std::vector<std::string>{kDefaultTimetable, "夏季"}), index.rotation);
    EXPECT_EQ("期末考试", index.days.at("2026-06-15"));
    EXPECT_EQ(3u, musicOf(db, "夏季").size());

    // In use by the rotation or a day to come: it stays. A day gone by goes with it.
    EXPECT_FALSE(deleteTimetable(db, "夏季", "2026-01-01").isOk());
    EXPECT_FALSE(deleteTimetable(db, "期末考试", "2026-06-15").isOk());
    ASSERT_TRUE(deleteTimetable(db, "期末考试", "2026-06-16").isOk());
    EXPECT_TRUE(readTimetableIndex(db).days.empty());
    EXPECT_FALSE(bellTableOf(db, "期末考试"));
    // Its table is kept aside, not removed.
    EXPECT_TRUE(db.fileSystem().exists(dir.file("zx2.edb.deleted")));

    // Another process sees it all as this one left it.
    TableDatabase other;
    ASSERT_TRUE(openTablesForReading(other, dir.path()).isOk());
    EXPECT_EQ((std::vector<std::string>{kDefaultTimetable, "夏季"}), timetableNames(other));
    EXPECT_EQ(3u, musicOf(other, "夏季").size());
}

// The program opened its tables before any index existed; tolvanectl then made one. The
// program's next timetable joins that index rather than writing over it.
TEST_F(TimetablesTest, AnIndexAnotherProgramMadeMeanwhileIsAddedTo) {
    TableDatabase other;
    openOrCreateTables(other, dir.path());
    ASSERT_TRUE(addTimetable(other, "夏季").isOk());
    ASSERT_TRUE(addTimetable(db, "冬季").isOk());
    EXPECT_EQ((std::vector<std::string>{kDefaultTimetable, "夏季", "冬季"}), timetableNames(db));
    EXPECT_EQ("zx2.edb", readTimetableIndex(db).find("冬季")->file);
}

TEST_F(TimetablesTest, SeasonsMayNotOverlapAndTheDefaultHasNone) {
    ASSERT_TRUE(addTimetable(db, "夏季").isOk());
    ASSERT_TRUE(addTimetable(db, "冬季").isOk());
    ASSERT_TRUE(setTimetableSeason(db, "夏季", parseSeason("05-01", "09-30").value()).isOk());
    const Status overlap = setTimetableSeason(db, "冬季", parseSeason("09-30", "04-30").value());
    EXPECT_EQ("季节 09-30 至 04-30 与作息表“夏季”的季节 05-01 至 09-30 重叠", overlap.message());
    EXPECT_TRUE(setTimetableSeason(db, "冬季", parseSeason("10-01", "04-30").value()).isOk());
    EXPECT_FALSE(
        setTimetableSeason(db, kDefaultTimetable, parseSeason("01-01", "01-02").value()).isOk());
    EXPECT_TRUE(setTimetableSeason(db, "夏季", std::nullopt).isOk());
    EXPECT_FALSE(readTimetableIndex(db).find("夏季")->season);
}

// Older copies read only db.edb: whatever the timetables do, its bytes stay and it rings every
// day as before.
TEST_F(TimetablesTest, AnOlderReadersViewIsUnchanged) {
    const std::string before = bytesOf(dir.file("db.edb"));
    ASSERT_TRUE(addTimetable(db, "夏季", kDefaultTimetable).isOk());
    ASSERT_TRUE(setTimetableSeason(db, "夏季", parseSeason("01-01", "12-31").value()).isOk());
    ASSERT_TRUE(
        replaceTimetableBells(db, bellTableOf(db, "夏季").value(), {bell("07:00", "新")}).isOk());
    ASSERT_TRUE(setCalendarTimetable(db, "2026-06-15", "2026-06-20", "夏季").isOk());
    EXPECT_EQ(before, bytesOf(dir.file("db.edb")));
}

TEST_F(TimetablesTest, EachDayRingsTheBellsOfItsTimetable) {
    ASSERT_TRUE(addTimetable(db, "夏季").isOk());
    ASSERT_TRUE(addTimetable(db, "考试").isOk());
    ASSERT_TRUE(
        replaceTimetableBells(db, bellTableOf(db, "夏季").value(), {bell("07:30", "夏")}).isOk());
    ASSERT_TRUE(setTimetableSeason(db, "夏季", parseSeason("05-01", "09-30").value()).isOk());
    ASSERT_TRUE(setCalendarTimetable(db, "2026-06-13", "", "考试").isOk());
    // A make-up Saturday ringing as Friday, by the exam timetable.
    ASSERT_TRUE(setCalendarDays(db, "2026-06-13", "", 5, "补课").isOk());

    const RingDay june = ringDayOf(db, *parseDate("2026-06-12"));
    EXPECT_EQ(bellTableOf(db, "夏季").value(), june.bells);
    EXPECT_EQ("今天的作息表：夏季（05-01 至 09-30）", june.timetableLine);
    const RingDay makeUp = ringDayOf(db, *parseDate("2026-06-13"));
    EXPECT_EQ(bellTableOf(db, "考试").value(), makeUp.bells);
    EXPECT_EQ(5, makeUp.weekday);
    EXPECT_EQ(schema::kBellAlias, ringDayOf(db, *parseDate("2026-10-12")).bells);

    // The next bell is looked up in each day's own timetable.
    ManualClock friday(civilToEpochSeconds(2026, 6, 12, 9, 0, 0) * 1000);
    const auto next = nextBellOf(db, friday);
    ASSERT_TRUE(next);
    EXPECT_EQ("2026-06-15", dateText(next->day));  // the exam day has no bells; Monday's 07:30
    EXPECT_EQ("夏", next->bell.music);
}

// School days the rules leave silent are said before they come; a holiday, a day past and a
// timetable with bells on the day's weekday are not.
TEST_F(TimetablesTest, SchoolDaysTheRulesLeaveWithoutABellAreSaid) {
    ASSERT_TRUE(addTimetable(db, "夏季").isOk());
    ASSERT_TRUE(addTimetable(db, "考试", kDefaultTimetable).isOk());  // 周一..周五
    ASSERT_TRUE(setTimetableSeason(db, "夏季", parseSeason("05-01", "09-30").value()).isOk());
    ASSERT_TRUE(setCalendarTimetable(db, "2026-12-19", "", "考试").isOk());  // a Saturday
    ASSERT_TRUE(setCalendarTimetable(db, "2026-12-26", "", "考试").isOk());
    ASSERT_TRUE(setCalendarTimetable(db, "2026-12-01", "", "考试").isOk());  // past
    ASSERT_TRUE(setCalendarTimetableDays(db, "2026-12-12", "", "考试", 1, "").isOk());
    ASSERT_TRUE(setCalendarTimetable(db, "2026-12-27", "", "考试").isOk());
    ASSERT_TRUE(setCalendarDays(db, "2026-12-27", "", kNoBells, "").isOk());  // a holiday
    EXPECT_EQ((std::vector<std::string>{
                  "作息表“夏季”没有铃声：05-01 至 09-30 整季不会打铃",
                  "校历 2026-12-19 起 2 天按作息表 考试，但它周六没有铃声：这些天不会打铃"}),
              silentDayProblems(db, "2026-12-10"));

    ASSERT_TRUE(
        replaceTimetableBells(db, bellTableOf(db, "夏季").value(), {bell("07:30", "夏")}).isOk());
    ASSERT_TRUE(setCalendarTimetableDays(db, "2026-12-19", "2026-12-26", "考试", 6, "").isOk());
    EXPECT_EQ((std::vector<std::string>{
                  "校历 2026-12-19 起 8 天按作息表 考试，但它周六没有铃声：这些天不会打铃"}),
              silentDayProblems(db, "2026-12-10"));
    // Told to ring the exam's 周一 bells, the Saturdays ring.
    ASSERT_TRUE(setCalendarTimetableDays(db, "2026-12-19", "2026-12-26", "考试", 1, "").isOk());
    EXPECT_TRUE(silentDayProblems(db, "2026-12-10").empty());
}

// A timetable whose table went missing from the folder is left out: its days ring by the rest of
// the rule, and the log says which timetable the calendar named.
TEST_F(TimetablesTest, ATimetableWhoseTableIsGoneLeavesItsDaysToTheRule) {
    ASSERT_TRUE(addTimetable(db, "考试").isOk());
    ASSERT_TRUE(setCalendarTimetable(db, "2026-06-15", "", "考试").isOk());
    ASSERT_TRUE(db.fileSystem().remove(dir.file("zx1.edb")).isOk());
    TableDatabase later;
    OpenedTables opened = openOrCreateTables(later, dir.path());
    EXPECT_FALSE(opened.errors.empty());
    EXPECT_FALSE(later.fileSystem().exists(dir.file("zx1.edb")));  // not made anew, empty
    const RingDay day = ringDayOf(later, *parseDate("2026-06-15"));
    EXPECT_EQ(schema::kBellAlias, day.bells);
    EXPECT_EQ("今天的作息表：常规作息（默认）；校历指定的作息表“考试”已不存在", day.timetableLine);
    // The missing table is said where tables are opened, and changes to others still succeed.
    EXPECT_TRUE(addTimetable(later, "夏季").isOk());
    EXPECT_TRUE(bellTableOf(later, "夏季"));
}

// A damaged index is set aside as a damaged db.edb is, and said; the school rings its default
// timetable meanwhile, and the further timetables' tables stay in the folder to be rescued.
TEST_F(TimetablesTest, ADamagedIndexIsSetAsideAndTheDefaultRings) {
    ASSERT_TRUE(addTimetable(db, "夏季").isOk());
    ASSERT_TRUE(setTimetableSeason(db, "夏季", parseSeason("01-01", "12-31").value()).isOk());
    std::ofstream(dir.file("zx.edb"), std::ios::binary | std::ios::trunc) << "not a table";
    TableDatabase later;
    const OpenedTables opened = openOrCreateTables(later, dir.path());
    ASSERT_EQ(1u, opened.setAside.size());
    EXPECT_EQ(dir.file("zx.edb.damaged"), opened.setAside[0]);
    EXPECT_EQ(1u, openedTablesMessages(opened).size());
    EXPECT_EQ(schema::kBellAlias, ringDayOf(later, *parseDate("2026-06-01")).bells);
    EXPECT_TRUE(later.fileSystem().exists(dir.file("zx1.edb")));
    // A timetable made now does not take the file of the one set aside.
    ASSERT_TRUE(addTimetable(later, "冬季").isOk());
    EXPECT_EQ("zx2.edb", readTimetableIndex(later).find("冬季")->file);
}

TEST(TimetablesCrashTest, ARenameOrABellReplacementKilledAtAnyStepIsWholeOrNotAtAll) {
    using test::FaultyFileSystem;
    for (auto fault :
         {FaultyFileSystem::Fault::kKillBefore, FaultyFileSystem::Fault::kKillHalfway}) {
        for (int step = 1; step < 60; ++step) {
            test::TempDir dir;
            {
                TableDatabase db;
                openOrCreateTables(db, dir.path());
                ASSERT_TRUE(addTimetable(db, "考试").isOk());
                ASSERT_TRUE(
                    setTimetableRotation(db, {kDefaultTimetable, "考试"}, "2026-09-07").isOk());
                ASSERT_TRUE(replaceTimetableBells(db, bellTableOf(db, "考试").value(),
                                                  {bell("08:00", "旧1"), bell("09:00", "旧2")})
                                .isOk());
            }
            const bool killed = test::runKilledAt(
                dir.file("zx.edb"), schema::kTimetableAlias, step, fault, [&](TableDatabase& db) {
                    openOrCreateTables(db, dir.path());
                    if (Status s = renameTimetable(db, "考试", "期末"); !s.isOk()) return s;
                    return replaceTimetableBells(
                        db, bellTableOf(db, "期末").value(),
                        {bell("07:00", "新1"), bell("10:00", "新2"), bell("11:00", "新3")});
                });
            TableDatabase db;
            ASSERT_TRUE(openTablesForReading(db, dir.path()).isOk()) << "step " << step;
            const TimetableIndex index = readTimetableIndex(db);
            ASSERT_EQ(1u, index.timetables.size()) << "step " << step;
            const std::string name = index.timetables[0].name;
            EXPECT_TRUE(name == "考试" || name == "期末") << name;
            EXPECT_EQ((std::vector<std::string>{kDefaultTimetable, name}), index.rotation);
            const auto music = musicOf(db, name);
            EXPECT_TRUE(music == (std::vector<std::string>{"旧1", "旧2"}) ||
                        music == (std::vector<std::string>{"新1", "新2", "新3"}))
                << "step " << step << ": " << music.size() << " bells";
            if (!killed) {
                EXPECT_EQ("期末", name);
                EXPECT_EQ(3u, music.size());
                break;
            }
        }
    }
}

}  // namespace
}  // namespace tolvane
