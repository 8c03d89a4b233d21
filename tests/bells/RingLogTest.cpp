// SPDX-License-Identifier: GPL-3.0-or-later
// The ring log's files: lines in order across rotation, and a folder that cannot take them (no
// folder, a full disk) costs log lines, never a bell.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "bells/core/RingEngine.h"
#include "bells/core/RingLogFiles.h"
#include "bells/log/FileRingLog.h"
#include "schedule/core/Schema.h"
#include "tests/support/Recorders.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

using test::TempDir;

TEST(RingLogTest, RotatesAtItsSizeAndReadsBackOldestFirst) {
    TempDir dir;
    {
        FileRingLog log({dir.path(), false, false, /*fileBytes=*/4096});
        // Written out every 100 lines: the queue holds 512, and a burst larger than that drops
        // the oldest waiting lines, so that too little may reach the files to rotate.
        for (int i = 0; i < 800; ++i) {
            log.note("line " + std::to_string(i));
            if (i % 100 == 99) log.flush();
        }
    }
    EXPECT_TRUE(test::exists(dir.file("tolvane.1.log")));
    EXPECT_FALSE(test::exists(dir.file("tolvane.5.log"))) << "more than five files kept";
    for (const char* name : {"tolvane.log", "tolvane.1.log", "tolvane.4.log"})
        EXPECT_LE(std::filesystem::file_size(dir.file(name)), 4096u) << name;
    const std::vector<std::string> lines = readRingLog(dir.path());
    ASSERT_FALSE(lines.empty());
    EXPECT_NE(std::string::npos, lines.back().find("] line 799"));
    EXPECT_EQ(std::string::npos, lines.front().find("] line 0")) << "nothing was rotated away";
    // Oldest first, nothing twice: each number once, increasing.
    int previous = -1;
    for (const std::string& line : lines) {
        const int n = std::stoi(line.substr(line.find("] line ") + 7));
        EXPECT_GT(n, previous);
        previous = n;
    }
    const std::string day = lines.back().substr(1, 10);
    EXPECT_EQ(lines.size(), readRingLog(dir.path(), day).size());
    EXPECT_TRUE(readRingLog(dir.path(), "1999-01-01").empty());
}

// A bell every second 08:00:01 .. 08:00:03 and the engine ticking them, logging to log; each
// bell's first sound reaches an output as firstSample tells the engine.
std::vector<std::string> ringThreeBells(
    const std::string& tables, RingLog& log,
    const std::function<void(RingEngine&, int)>& firstSample = [](RingEngine& e, int) {
        e.onFirstSample("a.mp3");
    }) {
    TableDatabase db;
    openOrCreateTables(db, tables);
    db.select(schema::kBellAlias);
    for (int s = 1; s <= 3; ++s)
        db.append(bellValues({"08:00:0" + std::to_string(s),
                              "",
                              "bell" + std::to_string(s) + ".mp3",
                              {true, true, true, true, true, true, true},
                              0}));
    ManualClock clock(civilToEpochSeconds(2026, 3, 2, 8, 0, 1) * 1000);
    test::RecordingSound sound;
    RingEngine engine(db, clock, sound, sound);
    engine.setLog(log);
    for (int s = 1; s <= 3; ++s) {
        clock.setMs(civilToEpochSeconds(2026, 3, 2, 8, 0, s) * 1000 + 3);
        EXPECT_TRUE(engine.processDueSeconds().isOk());
        firstSample(engine, s);
    }
    return sound.take();
}

// A music path a table holds with control characters in it (an older copy, another tool) stays
// on its bell's line: no forged line in the file.
TEST(RingLogTest, ControlCharactersFromATableCannotForgeALine) {
    TempDir dir;
    {
        FileRingLog log({dir.path(), false, false});
        log.bellStarted(LocalTime{2026, 12, 9, 3, 8, 0, 0},
                        "/b/a.mp3\n[2026-12-09 08:00:00.000] 铃声响起：09:00:00\r\x1f");
        log.note("备注\x7f");
    }
    const std::vector<std::string> lines = readRingLog(dir.path());
    ASSERT_EQ(2u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find("/b/a.mp3\\x0A[2026-12-09 08:00:00.000]"));
    EXPECT_NE(std::string::npos, lines[0].find("\\x0D\\x1F"));
    EXPECT_NE(std::string::npos, lines[1].find("备注\\x7F"));
}

TEST(RingLogTest, AFileDeletedUnderTheRingerIsMadeAgainAtTheNextLine) {
    TempDir folder;
    FileRingLog log({folder.path(), false, false});
    log.note("before");
    log.flush();
    ASSERT_TRUE(std::filesystem::exists(folder.file("tolvane.log")));
    // As a synchronisation tool's "revert local changes" does.
    std::filesystem::remove(folder.file("tolvane.log"));
    log.note("after");
    log.flush();
    const std::vector<std::string> lines = readRingLog(folder.path());
    ASSERT_EQ(1u, lines.size());
    EXPECT_NE(lines[0].find("after"), std::string::npos);
}

TEST(RingLogTest, AFolderThatCannotTakeTheLogCostsLinesNotBells) {
    const std::vector<std::string> rung = {"start bell1.mp3", "start bell2.mp3", "start bell3.mp3"};
    TempDir tables;
    {
        // A folder that cannot be made (a file is in the way): no log file, said; the bells ring.
        test::writeFile(tables.file("in-the-way"), "");
        FileRingLog log({tables.file("in-the-way/folder"), false, false});
        EXPECT_FALSE(log.fileProblem().empty());
        EXPECT_EQ(rung, ringThreeBells(tables.path(), log));
    }
    {
        // A full disk: every write fails.
        TempDir full;
        std::filesystem::create_symlink("/dev/full", full.file("tolvane.log"));
        FileRingLog log({full.path(), false, false});
        TempDir more;
        EXPECT_EQ(rung, ringThreeBells(more.path(), log));
        log.flush();
    }
    TempDir written;
    {
        FileRingLog log({written.path(), false, false});
        TempDir more;
        ringThreeBells(more.path(), log);
    }
    const std::vector<std::string> lines = readRingLog(written.path());
    ASSERT_EQ(8u, lines.size());
    EXPECT_NE(std::string::npos, lines[0].find("铃声开始：08:00:01 bell1.mp3"));
    EXPECT_NE(std::string::npos, lines[1].find("铃声响起：08:00:01，第一个声音迟到 3 毫秒"));
    EXPECT_NE(std::string::npos, lines[2].find("铃声停止：被下一个铃声替换"));
    EXPECT_NE(std::string::npos, lines[3].find("铃声开始：08:00:02 bell2.mp3"));
}

// "铃声响起" is the word for a bell someone could hear: never for one played on an output that is
// muted, nor on one whose state the system does not tell (Wine's endpoints).
TEST(RingLogTest, HeardOnlyWhenTheOutputIsKnownToBeAudible) {
    TempDir written;
    {
        FileRingLog log({written.path(), false, false});
        TempDir tables;
        ringThreeBells(tables.path(), log, [](RingEngine& engine, int bell) {
            if (bell == 1) engine.onFirstSample("a.mp3");
            if (bell == 2) engine.onFirstSample("a.mp3", "输出已静音");
            if (bell == 3) engine.onFirstSample("a.mp3", "", /*audibilityKnown=*/false);
        });
    }
    std::vector<std::string> said;
    for (const std::string& line : readRingLog(written.path()))
        if (line.find("08:00:0") != std::string::npos && line.find("铃声开始") == std::string::npos)
            said.push_back(line.substr(line.find("] ") + 2));
    ASSERT_EQ(3u, said.size());
    EXPECT_EQ("铃声响起：08:00:01，第一个声音迟到 3 毫秒", said[0]);
    EXPECT_EQ("铃声没有被听到：08:00:02，输出已静音", said[1]);
    EXPECT_EQ(0u, said[2].find("铃声已播放：08:00:03，第一个声音迟到 3 毫秒；"));
    EXPECT_EQ(std::string::npos, said[2].find("铃声响起"));
}

}  // namespace
}  // namespace tolvane
