// SPDX-License-Identifier: GPL-3.0-or-later
// Several writers on one table file, as the program and tolvanectl share a folder: no writer
// overwrites or drops another's record, a killed writer costs only its change in flight, and a
// table follows its file.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <set>
#include <string>
#include <thread>

#include "schedule/core/BellEditing.h"
#include "schedule/core/Schema.h"
#include "storage/TableDatabase.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

using test::TempDir;

TableDatabase::Options unsynced() {
    TableDatabase::Options o;
    o.sync = false;  // the lock is under test, not the storage device
    return o;
}

// A start time of its own for each (writer, n).
std::string startFor(int writer, int n) {
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", writer, n / 60, n % 60);
    return text;
}

BellForm formAt(const std::string& start) {
    BellForm f;
    f.start = {start.substr(0, 2), start.substr(3, 2), start.substr(6, 2)};
    f.music = "/bells/" + start + ".mp3";
    f.weekdays = {true, true, true, true, true, false, false};
    return f;
}

std::set<std::string> bellsIn(const std::string& dir) {
    TableDatabase db;
    EXPECT_TRUE(openTablesForReading(db, dir).isOk());
    std::set<std::string> starts;
    db.select(schema::kBellAlias);
    for (db.goFirst(); !db.endOfTable(); db.skip()) {
        // Marked deleted by a writer killed before its purge: deleted all the same.
        if (db.currentStamp().value() < 0) continue;
        EXPECT_TRUE(starts.insert(db.readText(schema::kStart).value()).second)
            << "a bell is in the table twice";
    }
    return starts;
}

// Runs body in a child process; its exit status is body's result.
pid_t inChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(body());
    return pid;
}

int exitStatus(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

TEST(SharedTableTest, TwoProcessesInterleavingFiveHundredChangesKeepEveryBell) {
    TempDir dir;
    constexpr int kAdds = 200;
    // Each writer adds its bells and deletes every fourth one it added: 250 changes each. Both
    // start on an empty folder, so they also race to create the tables.
    const auto writer = [&](int w) {
        return inChild([&, w] {
            TableDatabase db(unsynced());
            const OpenedTables opened = openOrCreateTables(db, dir.path());
            if (opened.bells == TableOrigin::kUnavailable) return 10;
            for (int n = 0; n < kAdds; ++n) {
                if (!addBell(db, formAt(startFor(w, n))).changed) return 11;
                if (n % 4 == 3 && !deleteBell(db, startFor(w, n - 2))) return 12;
            }
            return 0;
        });
    };
    const pid_t first = writer(1), second = writer(2);
    ASSERT_EQ(0, exitStatus(first));
    ASSERT_EQ(0, exitStatus(second));

    std::set<std::string> expected;
    for (int w : {1, 2})
        for (int n = 0; n < kAdds; ++n)
            if (n % 4 != 1) expected.insert(startFor(w, n));
    EXPECT_EQ(expected, bellsIn(dir.path()));

    TableDatabase db;
    ASSERT_TRUE(openTablesForReading(db, dir.path()).isOk());
    ASSERT_TRUE(selectSettingsRecord(db).isOk()) << "the settings table lost its record";
}

TEST(SharedTableTest, AWriterKilledMidChangeCostsOnlyThatChange) {
    TempDir dir;
    {
        TableDatabase db;
        ASSERT_NE(TableOrigin::kUnavailable, openOrCreateTables(db, dir.path()).bells);
    }
    // Writer 2 runs throughout; writer 1 is started and killed five times. Each reports every
    // change once it has returned: "+start" added, "-start" deleted.
    int pipeFds[2];
    ASSERT_EQ(0, ::pipe(pipeFds));
    const auto writer = [&](int w, int from, int count) {
        return inChild([&, w, from, count] {
            ::close(pipeFds[0]);
            TableDatabase db(unsynced());
            if (openOrCreateTables(db, dir.path()).bells == TableOrigin::kUnavailable) return 10;
            const auto reportChange = [&](char sign, const std::string& start) {
                const std::string line = sign + start + "\n";
                return ::write(pipeFds[1], line.data(), line.size()) > 0;
            };
            for (int n = from; n < from + count; ++n) {
                const std::string start = startFor(w, n);
                if (!addBell(db, formAt(start)).changed || !reportChange('+', start)) return 11;
                // Purges too, so that kills also land inside a rewrite.
                if (n % 3 != 2) continue;
                if (!deleteBell(db, startFor(w, n - 1)) || !reportChange('-', startFor(w, n - 1)))
                    return 12;
            }
            return 0;
        });
    };
    const pid_t steady = writer(2, 0, 150);
    std::vector<pid_t> killed;
    for (int round = 0; round < 5; ++round) {
        const pid_t victim = writer(1, round * 600, 600);
        std::this_thread::sleep_for(std::chrono::milliseconds(40 + 17 * round));
        ::kill(victim, SIGKILL);
        killed.push_back(victim);
        EXPECT_EQ(-SIGKILL, exitStatus(victim)) << "the writer ended before it was killed";
    }
    ASSERT_EQ(0, exitStatus(steady)) << "the steady writer failed after a kill";
    ::close(pipeFds[1]);

    std::set<std::string> reported;
    std::string all;
    char buf[4096];
    for (ssize_t got; (got = ::read(pipeFds[0], buf, sizeof buf)) > 0;) all.append(buf, got);
    ::close(pipeFds[0]);
    for (size_t at = 0, end; (end = all.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string start = all.substr(at + 1, end - at - 1);
        if (all[at] == '+') {
            reported.insert(start);
        } else {
            reported.erase(start);
        }
    }

    // Each killed writer may have completed its change in flight without reporting it: a bell
    // more, or one fewer. Nothing else may differ, and the steady writer's bells are all there.
    const std::set<std::string> found = bellsIn(dir.path());
    size_t differences = 0;
    for (const std::string& start : found) differences += reported.count(start) ? 0 : 1;
    for (const std::string& start : reported) {
        differences += found.count(start) ? 0 : 1;
        if (start.rfind("02:", 0) == 0) {
            EXPECT_TRUE(found.count(start)) << start << " lost";
        }
    }
    EXPECT_LE(differences, killed.size());
    EXPECT_GE(found.size(), 100u);
}

class FollowedTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(TableOrigin::kUnavailable, openOrCreateTables(program, dir.path()).bells);
        ASSERT_TRUE(addBell(program, formAt("08:00:00")).changed);
    }
    std::vector<std::string> programBells() {
        std::vector<std::string> starts;
        program.select(schema::kBellAlias);
        for (program.goFirst(); !program.endOfTable(); program.skip())
            starts.push_back(program.readText(schema::kStart).value());
        return starts;
    }

    TempDir dir;
    TableDatabase program;
};

TEST_F(FollowedTableTest, AnotherWritersChangeIsSeenAndKept) {
    EXPECT_FALSE(program.changedOnDisk(schema::kBellAlias));
    {
        TableDatabase ctl;
        ASSERT_NE(TableOrigin::kUnavailable, openOrCreateTables(ctl, dir.path()).bells);
        ASSERT_TRUE(addBell(ctl, formAt("09:00:00")).changed);
    }
    EXPECT_TRUE(program.changedOnDisk(schema::kBellAlias));
    // The program's own next change reads the table again first: both bells stay.
    ASSERT_TRUE(addBell(program, formAt("10:00:00")).changed);
    EXPECT_EQ((std::vector<std::string>{"08:00:00", "09:00:00", "10:00:00"}), programBells());
    EXPECT_EQ(3u, bellsIn(dir.path()).size());
    EXPECT_FALSE(program.changedOnDisk(schema::kBellAlias)) << "its own change counted as foreign";
}

TEST_F(FollowedTableTest, ReloadFollowsARenameAndKeepsTheTableWhenTheFileIsDamaged) {
    {
        TableDatabase ctl;
        ASSERT_NE(TableOrigin::kUnavailable, openOrCreateTables(ctl, dir.path()).bells);
        ASSERT_TRUE(deleteBell(ctl, "08:00:00"));  // a purge: the file is replaced by rename
        ASSERT_TRUE(addBell(ctl, formAt("07:00:00")).changed);
    }
    auto reloaded = program.reload(schema::kBellAlias);
    ASSERT_TRUE(reloaded.isOk()) << reloaded.status().toString();
    EXPECT_TRUE(reloaded.value());
    EXPECT_EQ((std::vector<std::string>{"07:00:00"}), programBells());
    EXPECT_FALSE(program.reload(schema::kBellAlias).value()) << "reloaded an unchanged file";

    // A file arriving cut short (a copy in progress): the current schedule stays.
    const std::string bells = dir.file(schema::kBellFile);
    std::filesystem::resize_file(bells, 200);
    EXPECT_FALSE(program.reload(schema::kBellAlias).isOk());
    EXPECT_EQ((std::vector<std::string>{"07:00:00"}), programBells());
    EXPECT_TRUE(program.changedOnDisk(schema::kBellAlias)) << "the reload would not be retried";
    EXPECT_FALSE(addBell(program, formAt("11:00:00")).changed)
        << "a change was written over a table that could not be read";
}

TEST(SharedTableTest, ReadersNeverWrite) {
    TempDir dir;
    {
        TableDatabase db;
        ASSERT_NE(TableOrigin::kUnavailable, openOrCreateTables(db, dir.path()).bells);
        ASSERT_TRUE(addBell(db, formAt("08:00:00")).changed);
    }
    // An append cut short by a crash: bytes past the count that a writer's open would cut off.
    const std::string bells = dir.file(schema::kBellFile);
    std::filesystem::resize_file(bells, std::filesystem::file_size(bells) + 100);
    const std::string before = test::readFile(bells);
    std::filesystem::remove(bells + ".lock");
    EXPECT_EQ(1u, bellsIn(dir.path()).size());
    EXPECT_EQ(before, test::readFile(bells));
    EXPECT_FALSE(std::filesystem::exists(bells + ".lock")) << "a reader took the write lock";
}

}  // namespace
}  // namespace tolvane
