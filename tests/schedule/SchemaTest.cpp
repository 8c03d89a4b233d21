// SPDX-License-Identifier: GPL-3.0-or-later
// Opening the program's two tables at start-up, their default contents, and reading records
// with the schema's types.

#include <gtest/gtest.h>

#include "schedule/core/Schema.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(OpenOrCreateTest, FirstStartCreatesBothWithTheirDefaults) {
    TempDir dir;
    TableDatabase db;
    const OpenedTables report = openOrCreateTables(db, dir.path());
    EXPECT_EQ(TableOrigin::kCreated, report.settings);
    EXPECT_EQ(TableOrigin::kCreated, report.bells);
    EXPECT_EQ(1480u, readFile(dir.file("px.edb")).size());
    EXPECT_EQ(1052u, readFile(dir.file("db.edb")).size());

    // "配置" is left current, on its one record.
    ASSERT_EQ(1, db.recordCount());
    const SettingsRecord s = readSettings(db).value();
    EXPECT_TRUE(s.showDate);
    EXPECT_FALSE(s.hideAfterStart);
    EXPECT_TRUE(s.autoUpdate);
    EXPECT_TRUE(s.randomPlay);
    EXPECT_FALSE(s.autoShutdown);
    EXPECT_EQ("", s.shutdownTime);
    EXPECT_TRUE(db.readLogical(schema::kAutoCorrectTime).value());
    EXPECT_EQ(0, db.readInteger(schema::kVoiceSpeed).value());

    ASSERT_TRUE(db.select(schema::kBellAlias).isOk());
    EXPECT_EQ(0, db.recordCount());
    // An editing window opening db.edb again fails and changes nothing.
    EXPECT_FALSE(db.open(dir.file("db.edb"), schema::kBellAlias).isOk());
    EXPECT_TRUE(db.select(schema::kBellAlias).isOk());
}

TEST(OpenOrCreateTest, KeepsSettingsAndSetsADamagedScheduleAside) {
    TempDir dir;
    {
        TableDatabase db;
        openOrCreateTables(db, dir.path());
        ASSERT_TRUE(db.write(schema::kShutdownTime, std::string("21:30:00")).isOk());
    }
    writeFile(dir.file("db.edb"), "not a table, but somebody's schedule");
    TableDatabase db;
    const OpenedTables report = openOrCreateTables(db, dir.path());
    EXPECT_EQ(TableOrigin::kOpened, report.settings);
    EXPECT_EQ(TableOrigin::kCreated, report.bells);
    EXPECT_EQ("21:30:00", readSettings(db).value().shutdownTime);
    ASSERT_EQ(1u, report.setAside.size());
    EXPECT_EQ(dir.file("db.edb.damaged"), report.setAside[0]);
    EXPECT_EQ("not a table, but somebody's schedule", readFile(dir.file("db.edb.damaged")));
}

TEST(OpenOrCreateTest, AFolderThatCannotHoldFilesLeavesTheTablesUnavailable) {
    TempDir dir;
    writeFile(dir.file("plain"), "a file, not a folder");
    TableDatabase db;
    const OpenedTables report = openOrCreateTables(db, dir.file("plain"));
    EXPECT_EQ(TableOrigin::kUnavailable, report.settings);
    EXPECT_EQ(TableOrigin::kUnavailable, report.bells);
    EXPECT_EQ(TableOrigin::kUnavailable, report.calendar);
    EXPECT_EQ(3u, report.errors.size());  // one per table
    EXPECT_EQ("a file, not a folder", readFile(dir.file("plain")));
}

TEST(BellRecordTest, RoundTripAndSortValue) {
    EXPECT_EQ(29100, sortValue(8, 5, 0));
    EXPECT_EQ(86399, sortValue(23, 59, 59));
    TempDir dir;
    TableDatabase db;
    openOrCreateTables(db, dir.path());
    ASSERT_TRUE(db.select(schema::kBellAlias).isOk());
    const BellRecord bell{"08:05:00",
                          "08:05:30",
                          "/srv/铃声/上课.mp3",
                          {true, true, true, true, true, false, false},
                          29100};
    ASSERT_TRUE(db.append(bellValues(bell)).isOk());
    db.goFirst();
    const BellRecord back = readBell(db).value();
    EXPECT_EQ(bell.start, back.start);
    EXPECT_EQ(bell.end, back.end);
    EXPECT_EQ(bell.music, back.music);
    EXPECT_EQ(bell.weekdays, back.weekdays);
    EXPECT_EQ(29100, back.sortValue);
    EXPECT_FALSE(db.readLogical(schema::kReminderFlag).value());
    EXPECT_EQ("", db.readText(schema::kReminderText).value());
}

TEST(BellRecordTest, AFieldOfAnotherTypeIsTheTypeMismatch) {
    TempDir dir;
    TableDatabase db;
    std::vector<FieldDef> fields = bellTableFields();
    fields[3].type = kFieldInteger;  // 周一 stored as an integer by some other writer
    ASSERT_TRUE(db.create(dir.file("db.edb"), fields).isOk());
    ASSERT_TRUE(db.open(dir.file("db.edb"), schema::kBellAlias).isOk());
    ASSERT_TRUE(db.append({std::string("08:00:00")}).isOk());
    EXPECT_EQ(5, readBell(db).status().runtimeErrorCode());
}

}  // namespace
}  // namespace tolvane
