// SPDX-License-Identifier: GPL-3.0-or-later
// A process killed at any step of a change must leave a table that opens with every live record
// exactly once: the change is either there or not. Each case runs the change in a child process
// that kills itself at step 1, 2, 3, ... (before the step, or halfway through a write) until the
// change runs to its end; after each kill the table is reopened and checked.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "storage/TableDatabase.h"
#include "tests/support/CrashHarness.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

using test::FaultyFileSystem;
using test::TempDir;
using Records = std::map<int32_t, std::string>;  // live records: stamp -> name
using Change = std::function<Status(TableDatabase&)>;

const std::vector<FieldDef> kFields = {{"name", kFieldText, 40}, {"n", kFieldInteger}};

void makeTable(const std::string& path, std::initializer_list<const char*> names) {
    TableDatabase db;
    ASSERT_TRUE(db.create(path, kFields).isOk());
    ASSERT_TRUE(db.open(path, "t").isOk());
    for (const char* n : names) ASSERT_TRUE(db.append({std::string(n)}).isOk());
}

// Opens the table as the program would and reads its live records; fails the test when it does
// not open or a stamp appears twice.
Records liveRecords(const std::string& path) {
    TableDatabase db;
    const Status s = db.open(path, "t");
    EXPECT_TRUE(s.isOk()) << s.toString();
    Records live;
    if (!s.isOk()) return live;
    for (db.goFirst(); !db.endOfTable(); db.skip()) {
        const int32_t stamp = db.currentStamp().value();
        if (stamp <= 0) continue;
        EXPECT_EQ(0u, live.count(stamp)) << "stamp " << stamp << " twice";
        live[stamp] = db.readText("name").value();
    }
    // The repaired table must take new records, with fresh stamps.
    EXPECT_TRUE(db.append({std::string("later")}).isOk());
    EXPECT_GT(db.currentStamp().value(), live.empty() ? 0 : live.rbegin()->first);
    return live;
}

bool runKilledAt(const std::string& path, int step, FaultyFileSystem::Fault fault,
                 const Change& change) {
    return test::runKilledAt(path, "t", step, fault, change);
}

struct CrashCase {
    const char* label;
    Change prepare;  // run to its end before the child starts
    Change change;
    Records before;  // the live records if the change did not happen
    Records after;   // the live records once it is complete
};

Status deleteSecond(TableDatabase& db) {
    db.goFirst();
    db.skip();
    return db.deleteCurrent();
}

void checkCrashCase(const CrashCase& c) {
    for (auto fault :
         {FaultyFileSystem::Fault::kKillBefore, FaultyFileSystem::Fault::kKillHalfway}) {
        for (int step = 1; step < 100; ++step) {
            TempDir dir;
            const std::string path = dir.file("t.edb");
            makeTable(path, {"a", "b", "c"});
            if (c.prepare) {
                TableDatabase db;
                ASSERT_TRUE(db.open(path, "t").isOk());
                ASSERT_TRUE(c.prepare(db).isOk());
            }
            const bool killed = runKilledAt(path, step, fault, c.change);
            const Records found = liveRecords(path);
            EXPECT_TRUE(found == c.before || found == c.after)
                << c.label << ": killed at step " << step << " ("
                << (fault == FaultyFileSystem::Fault::kKillBefore ? "before" : "halfway") << ")";
            if (!killed) {
                EXPECT_EQ(c.after, found) << c.label;
                break;
            }
        }
    }
}

TEST(CrashSafetyTest, AppendDeleteAndPurge) {
    const Records abc = {{1, "a"}, {2, "b"}, {3, "c"}}, ac = {{1, "a"}, {3, "c"}};
    const CrashCase cases[] = {
        {"append",
         nullptr,
         [](TableDatabase& db) { return db.append({std::string("d")}); },
         abc,
         {{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}}},
        {"delete", nullptr, deleteSecond, abc, ac},
        {"purge", deleteSecond, [](TableDatabase& db) { return db.purge(); }, ac, ac},
        {"delete and purge", nullptr,
         [](TableDatabase& db) {
             Status s = deleteSecond(db);
             return s.isOk() ? db.purge() : s;
         },
         abc, ac},
    };
    for (const CrashCase& c : cases) checkCrashCase(c);
}

TEST(CrashSafetyTest, WriteFieldKeepsEveryRecordOnce) {
    for (int step = 1; step < 20; ++step) {
        TempDir dir;
        const std::string path = dir.file("t.edb");
        makeTable(path, {"a", "b", "c"});
        const bool killed =
            runKilledAt(path, step, FaultyFileSystem::Fault::kKillHalfway, [](TableDatabase& db) {
                db.goFirst();
                db.skip();
                return db.write("name", std::string(40, 'w'));
            });
        const Records found = liveRecords(path);
        EXPECT_EQ((std::set<int32_t>{1, 2, 3}),
                  [&] {
                      std::set<int32_t> s;
                      for (const auto& [stamp, name] : found) s.insert(stamp);
                      return s;
                  }())
            << "killed at step " << step;
        if (!killed) break;
    }
}

TEST(CrashSafetyTest, CreateLeavesTheOldTableOrTheNewOne) {
    for (int step = 1; step < 20; ++step) {
        TempDir dir;
        makeTable(dir.file("t.edb"), {"x"});
        const std::string other = dir.file("other.edb");
        makeTable(other, {"a", "b"});
        const bool killed =
            runKilledAt(dir.file("t.edb"), step, FaultyFileSystem::Fault::kKillHalfway,
                        [&](TableDatabase& db) { return db.create(other, kFields); });
        const size_t left = liveRecords(other).size();
        EXPECT_TRUE(left == 2 || left == 0) << "killed at step " << step;
        if (!killed) {
            EXPECT_EQ(0u, left);
            break;
        }
    }
}

}  // namespace
}  // namespace tolvane
