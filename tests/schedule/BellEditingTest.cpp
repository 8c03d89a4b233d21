// SPDX-License-Identifier: GPL-3.0-or-later
// The add, change and delete flows over a real schedule table.

#include <gtest/gtest.h>

#include "schedule/core/BellEditing.h"
#include "schedule/core/Schema.h"
#include "tests/support/CrashHarness.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

using test::FaultyFileSystem;

BellForm form(const char* h, const char* m, const char* s, const char* music,
              std::array<bool, 7> days = {true, false, false, false, false, false, false}) {
    BellForm f;
    f.start = {h, m, s};
    f.music = music;
    f.weekdays = days;
    return f;
}

class BellEditingTest : public ::testing::Test {
protected:
    void SetUp() override { openOrCreateTables(db, dir.path()); }
    std::vector<BellRecord> bells() {
        std::vector<BellRecord> all;
        db.select(schema::kBellAlias);
        for (db.goFirst(); !db.endOfTable(); db.skip()) all.push_back(readBell(db).value());
        return all;
    }
    test::TempDir dir;
    TableDatabase db;
};

TEST_F(BellEditingTest, AddChecksInOrderAndStoresTwoDigitTimes) {
    EXPECT_EQ((FlowMessage{"信息：", "请选择添加铃声的音乐文件！"}),
              addBell(db, form("08", "00", "00", "")).message);
    BellForm ends = form("08", "00", "00", "/b/a.mp3");
    ends.hasEnd = true;
    ends.end = {"08", "00", "00"};
    EXPECT_EQ((FlowMessage{"信息：", "你设置的结束时间比开始时间早，请重新设置！"}),
              addBell(db, ends).message);
    EXPECT_TRUE(bells().empty());
    ends.hasEnd = false;  // the same times with the switch off: accepted, no end stored
    FlowResult added = addBell(db, ends);
    EXPECT_TRUE(added.changed);
    EXPECT_EQ((FlowMessage{"添加铃声成功", "添加铃声成功！铃声将会在周一 的08:00:00响起！"}),
              added.message);
    // 8:0:0 is 08:00:00 once stored, so it is the same time.
    EXPECT_EQ((FlowMessage{"信息：", "对不起！这个时间点已经有铃声！"}),
              addBell(db, form("8", "0", "0", "/b/x.mp3")).message);
    EXPECT_EQ((FlowMessage{"添加铃声成功", "添加铃声成功！铃声将会在周一 周三 的07:30:00响起！"}),
              addBell(db, form("7", "30", "00", "/b/b.mp3", {true, false, true})).message);
    FlowResult none = addBell(db, form("09", "00", "00", "/b/c.mp3", {}));
    EXPECT_TRUE(none.changed);
    EXPECT_EQ("注意，添加铃声虽然添加成功！但还铃声不会响起，因为你没有选择每周哪一天响起！",
              none.message->text);

    const std::vector<BellRecord> all = bells();
    ASSERT_EQ(3u, all.size());
    EXPECT_EQ("08:00:00", all[0].start);
    EXPECT_EQ("", all[0].end);
    EXPECT_EQ("07:30:00", all[1].start);
    EXPECT_EQ(27000, all[1].sortValue);
}

TEST_F(BellEditingTest, TimesThatCannotRingAreRefused) {
    for (const auto& pieces : {std::array<const char*, 3>{"24", "00", "00"},
                               {"08", "60", "00"},
                               {"08", "00", "x"},
                               {"", "00", "00"},
                               {"-1", "00", "00"},
                               {"008", "00", "00"}}) {
        const FlowResult r = addBell(db, form(pieces[0], pieces[1], pieces[2], "/b/a.mp3"));
        EXPECT_FALSE(r.changed) << pieces[0] << ":" << pieces[1] << ":" << pieces[2];
        EXPECT_EQ(0u, r.message->text.rfind("开始时间填写有误", 0));
    }
    BellForm badEnd = form("08", "00", "00", "/b/a.mp3");
    badEnd.hasEnd = true;
    badEnd.end = {"08", "61", "00"};
    EXPECT_EQ(0u, addBell(db, badEnd).message->text.rfind("结束时间填写有误", 0));
    EXPECT_TRUE(bells().empty());
}

// A forged ring-log line, a NUL that would leave another path, bytes that are not UTF-8: refused
// with the reason by add and change alike, and nothing stored.
TEST_F(BellEditingTest, ControlCharactersAndBytesThatAreNotUtf8AreRefused) {
    const std::string forged = "/b/a.mp3\n[2026-12-09 08:00:00.000] 铃声响起：08:00:00";
    for (const std::string& music :
         {forged, std::string("/b/a.mp3\0/b/other.mp3", 22), std::string("/b/\x1f.mp3"),
          std::string("/b/\x7f.mp3"), std::string("/b/\xff\xfe.mp3")}) {
        BellForm f = form("08", "00", "00", "");
        f.music = music;
        const FlowResult r = addBell(db, f);
        EXPECT_FALSE(r.changed);
        ASSERT_TRUE(r.message);
        EXPECT_EQ(0u, r.message->text.rfind("音乐文件的路径不能保存：含有", 0)) << r.message->text;
    }
    EXPECT_TRUE(bells().empty());
    ASSERT_TRUE(addBell(db, form("08", "00", "00", "/b/\t制表.mp3")).changed) << "a tab is text";
    BellForm f = form("08", "00", "00", "");
    f.music = forged;
    EXPECT_FALSE(changeBell(db, "08:00:00", f).changed);
    EXPECT_EQ("/b/\t制表.mp3", bells().at(0).music);
}

TEST_F(BellEditingTest, ChangeKeepsOneRecordAndRefusesATakenTime) {
    db.select(schema::kBellAlias);
    db.append(bellValues({"8:00:00", "", "/b/old.mp3", {true}, 28800}));  // an existing file's text
    db.append(bellValues({"09:00:00", "", "/b/b.mp3", {true}, 32400}));

    EXPECT_EQ((FlowMessage{"信息：", "对不起！这个时间点已经有铃声！"}),
              changeBell(db, "8:00:00", form("09", "00", "00", "/b/new.mp3")).message);
    EXPECT_EQ(2u, bells().size());
    EXPECT_FALSE(
        changeBell(db, "8:00:00", form("08", "00", "00", "")).message);  // no music: silent
    const FlowResult changed = changeBell(db, "8:00:00", form("08", "00", "00", "/b/new.mp3", {}));
    EXPECT_EQ(
        (FlowMessage{"修改成功", "修改成功！铃声暂时取消！但还保留在铃声计划中，方便下次的调用！"}),
        changed.message);
    std::vector<BellRecord> all = bells();
    ASSERT_EQ(2u, all.size());
    EXPECT_EQ("09:00:00", all[0].start);
    EXPECT_EQ("08:00:00", all[1].start);
    EXPECT_EQ("/b/new.mp3", all[1].music);
    // The old start time is gone now: a second press changes nothing and says nothing.
    EXPECT_FALSE(changeBell(db, "8:00:00", form("10", "00", "00", "/b/x.mp3")).changed);
    // Only the music, same start time.
    EXPECT_TRUE(changeBell(db, "09:00:00", form("09", "00", "00", "/b/c.mp3")).changed);
    EXPECT_EQ("/b/c.mp3", bells()[1].music);
}

// A bell's words: stored with it, kept by a change that does not name them (an older form,
// tolvanectl without --say), cleared only when asked; words the field cannot hold are refused
// before anything is written.
TEST_F(BellEditingTest, ABellsWordsAreKeptUnlessAChangeNamesThem) {
    BellForm speaking = form("08", "00", "00", "/b/a.mp3");
    speaking.speech = SpokenText{true, "第3节课上课"};
    ASSERT_TRUE(addBell(db, speaking).changed);
    BellForm moved = form("08", "05", "00", "/b/a.mp3");
    ASSERT_TRUE(changeBell(db, "08:00:00", moved).changed);
    EXPECT_EQ("第3节课上课", bells().at(0).spoken());
    moved.speech = SpokenText{};
    ASSERT_TRUE(changeBell(db, "08:05:00", moved).changed);
    EXPECT_EQ("", bells().at(0).spoken());

    BellForm tooLong = form("09", "00", "00", "/b/a.mp3");
    std::string words(150, 'x');  // and 76 characters of two GBK bytes each: 302 bytes
    for (int i = 0; i < 76; ++i) words += "铃";
    tooLong.speech = SpokenText{true, words};
    EXPECT_NE(std::string::npos, addBell(db, tooLong).message->text.find("最多300字节"));
    BellForm silent = form("09", "00", "00", "/b/a.mp3");
    silent.speech = SpokenText{true, "  "};
    EXPECT_EQ("请填写语音提醒的文字！", addBell(db, silent).message->text);
    EXPECT_EQ(1u, bells().size());
}

TEST_F(BellEditingTest, DeleteRemovesExactlyOneAndLeavesNoDeletedRecord) {
    addBell(db, form("08", "00", "00", "/b/a.mp3"));
    addBell(db, form("09", "00", "00", "/b/b.mp3"));
    EXPECT_FALSE(deleteBell(db, ""));
    EXPECT_FALSE(deleteBell(db, "10:00:00"));
    EXPECT_TRUE(deleteBell(db, "08:00:00"));
    ASSERT_EQ(1u, bells().size());
    EXPECT_EQ("09:00:00", bells()[0].start);
    EXPECT_EQ(1052u + 656u, test::readFile(dir.file("db.edb")).size());
}

// A write the system refuses (a full disk, say): the window's message, then the system's reason.
TEST(BellEditingFailureTest, AWriteTheSystemRefusesSaysWhyAfterTheMessage) {
    test::TempDir dir;
    {
        TableDatabase db;
        openOrCreateTables(db, dir.path());
        addBell(db, form("08", "00", "00", "/b/a.mp3"));
    }
    FaultyFileSystem faulty;
    TableDatabase::Options options;
    options.fileSystem = &faulty;
    TableDatabase db(options);
    openOrCreateTables(db, dir.path());
    faulty.injectAt(faulty.steps() + 1, FaultyFileSystem::Fault::kFail);
    const FlowResult added = addBell(db, form("09", "00", "00", "/b/b.mp3"));
    EXPECT_FALSE(added.changed);
    EXPECT_EQ("添加铃声失败！\ninjected failure", shownText(added));
    faulty.injectAt(faulty.steps() + 1, FaultyFileSystem::Fault::kFail);
    const FlowResult changed = changeBell(db, "08:00:00", form("08", "30", "00", "/b/a.mp3"));
    EXPECT_FALSE(changed.changed);
    EXPECT_EQ("修改失败！\ninjected failure", shownText(changed));
}

TEST(BellEditingCrashTest, AChangeKilledAtAnyStepLeavesTheOldBellOrTheNewOne) {
    for (auto fault :
         {FaultyFileSystem::Fault::kKillBefore, FaultyFileSystem::Fault::kKillHalfway}) {
        for (int step = 1; step < 50; ++step) {
            test::TempDir dir;
            {
                TableDatabase db;
                openOrCreateTables(db, dir.path());
                addBell(db, form("07", "00", "00", "/b/first.mp3"));
                addBell(db, form("08", "00", "00", "/b/old.mp3"));
            }
            const bool killed = test::runKilledAt(
                dir.file("db.edb"), schema::kBellAlias, step, fault, [](TableDatabase& db) {
                    return changeBell(db, "08:00:00", form("08", "30", "00", "/b/new.mp3")).changed
                               ? Status::ok()
                               : Status::ioError("not changed");
                });
            TableDatabase db;
            ASSERT_TRUE(db.open(dir.file("db.edb"), schema::kBellAlias).isOk());
            std::vector<std::string> starts;
            for (db.goFirst(); !db.endOfTable(); db.skip())
                if (db.currentStamp().value() > 0)
                    starts.push_back(db.readText(schema::kStart).value());
            const bool old = starts == std::vector<std::string>{"07:00:00", "08:00:00"};
            const bool changed = starts == std::vector<std::string>{"07:00:00", "08:30:00"};
            EXPECT_TRUE(old || changed) << "killed at step " << step;
            if (!killed) {
                EXPECT_TRUE(changed);
                break;
            }
        }
    }
}

}  // namespace
}  // namespace tolvane
