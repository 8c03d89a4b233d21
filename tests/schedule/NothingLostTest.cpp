// SPDX-License-Identifier: GPL-3.0-or-later
// What start-up and editing do with tables that are not as they should be: a file this user may
// only read, one that cannot be read, a settings table without its record, a record marked
// deleted but never purged, and a music path longer than its field. Each checks the files' bytes
// afterwards.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <set>

#include "bells/core/ClockTick.h"
#include "schedule/core/BellEditing.h"
#include "schedule/core/ScheduleList.h"
#include "schedule/core/Schema.h"
#include "storage/Coding.h"
#include "tests/support/Recorders.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

using test::readFile;
using test::TempDir;

// The platform's files, except that some paths may not be written or not even read, as for a
// user who is not the files' owner. (The tests run as root, whom permissions do not stop.)
class DenyingFileSystem final : public FileSystem {
public:
    std::set<std::string> noWrite, noRead;

    Result<std::unique_ptr<RandomAccessFile>> openExisting(const std::string& path,
                                                           bool writable) override {
        if (noRead.count(path) || (writable && noWrite.count(path)))
            return Status::permissionDenied("cannot open: Permission denied");
        return m_base.openExisting(path, writable);
    }
    Result<std::unique_ptr<RandomAccessFile>> createTruncated(const std::string& path) override {
        return m_base.createTruncated(path);
    }
    Status replace(const std::string& from, const std::string& to) override {
        if (noWrite.count(to)) return Status::permissionDenied("cannot rename: Permission denied");
        return m_base.replace(from, to);
    }
    Status remove(const std::string& path) override { return m_base.remove(path); }
    bool exists(const std::string& path) override { return m_base.exists(path); }
    std::string canonicalPath(const std::string& path) override {
        return m_base.canonicalPath(path);
    }
    Status copyOwnerAndMode(const std::string& model, const std::string& path) override {
        return m_base.copyOwnerAndMode(model, path);
    }
    Result<FileIdentity> identity(const std::string& path) override {
        return m_base.identity(path);
    }
    Result<std::unique_ptr<FileLock>> lock(const std::string& path, int waitMs) override {
        return m_base.lock(path, waitMs);
    }

private:
    FileSystem& m_base = *FileSystem::platform();
};

BellForm formAt(const std::string& start, const std::string& music = "/bells/a.mp3") {
    BellForm f;
    f.start = {start.substr(0, 2), start.substr(3, 2), start.substr(6, 2)};
    f.music = music;
    f.weekdays = {true, true, true, true, true, true, true};
    return f;
}

class NothingLostTest : public ::testing::Test {
protected:
    void SetUp() override {
        TableDatabase db;
        ASSERT_TRUE(openOrCreateTables(db, dir.path()).usable());
        ASSERT_TRUE(addBell(db, formAt("08:00:00")).changed);
        bells = dir.file("db.edb");
        settings = dir.file("px.edb");
    }
    TableDatabase::Options on(DenyingFileSystem& fs) {
        TableDatabase::Options o;
        o.fileSystem = &fs;
        return o;
    }
    std::vector<std::string> listed(TableDatabase& db) {
        std::vector<std::string> starts;
        const auto rows = readScheduleRows(db);
        for (const ScheduleRow& row : rows.value()) starts.push_back(row[0]);
        return starts;
    }

    TempDir dir;
    std::string bells, settings;
};

TEST_F(NothingLostTest, ATableThisUserMayOnlyReadRingsAndRefusesEveryChange) {
    DenyingFileSystem fs;
    fs.noWrite = {bells};
    const std::string before = readFile(bells);
    TableDatabase db(on(fs));
    const OpenedTables opened = openOrCreateTables(db, dir.path());
    EXPECT_EQ(TableOrigin::kReadOnly, opened.bells);
    EXPECT_TRUE(opened.usable());
    ASSERT_EQ(1u, opened.readOnly.size());
    EXPECT_NE(std::string::npos, opened.readOnly[0].find("db.edb"));
    EXPECT_TRUE(opened.setAside.empty());

    // It rings.
    test::RecordingSound sound;
    ASSERT_TRUE(runClockTick(db, {2026, 12, 7, 1, 8, 0, 0}, {}, sound, sound).isOk());
    EXPECT_EQ((std::vector<std::string>{"start /bells/a.mp3"}), sound.take());

    // Every change is refused, naming the file and the reason.
    const FlowResult add = addBell(db, formAt("09:00:00"));
    ASSERT_TRUE(add.message.has_value());
    EXPECT_FALSE(add.changed);
    EXPECT_NE(std::string::npos, add.message->text.find(bells));
    EXPECT_NE(std::string::npos, add.message->text.find("没有写入权限"));
    EXPECT_FALSE(changeBell(db, "08:00:00", formAt("08:30:00")).changed);
    EXPECT_TRUE(readOnlyRefusal(db).has_value());
    EXPECT_FALSE(deleteBell(db, "08:00:00"));
    EXPECT_EQ(before, readFile(bells));
}

TEST_F(NothingLostTest, ATableThatCannotBeReadIsNeitherRenamedNorReplaced) {
    DenyingFileSystem fs;
    fs.noRead = {bells};
    const std::string before = readFile(bells);
    TableDatabase db(on(fs));
    const OpenedTables opened = openOrCreateTables(db, dir.path());
    EXPECT_EQ(TableOrigin::kUnavailable, opened.bells);
    EXPECT_FALSE(opened.usable());
    ASSERT_FALSE(opened.errors.empty());
    EXPECT_NE(std::string::npos, opened.errors[0].find("Permission denied"));
    EXPECT_TRUE(opened.setAside.empty());
    EXPECT_EQ(before, readFile(bells));
    EXPECT_FALSE(test::exists(bells + ".damaged"));
}

TEST_F(NothingLostTest, ASettingsTableWithoutItsRecordGetsTheDefaultOne) {
    // A settings table cut short before its record, as an older copy could leave it.
    const std::string full = readFile(settings);
    const std::string header = full.substr(0, 836);
    std::string empty = header;
    putInt32(empty.data() + 16, 0);  // no records
    test::writeFile(settings, empty);

    TableDatabase db;
    const OpenedTables opened = openOrCreateTables(db, dir.path());
    EXPECT_EQ(TableOrigin::kOpened, opened.settings);
    ASSERT_TRUE(selectSettingsRecord(db).isOk());
    EXPECT_TRUE(readSettings(db).value().randomPlay);
    // Byte for byte the table a first start makes, but for the next stamp.
    const std::string repaired = readFile(settings);
    ASSERT_EQ(full.size(), repaired.size());
    EXPECT_EQ(full.substr(836), repaired.substr(836).replace(0, 4, full.substr(836, 4)));
}

TEST_F(NothingLostTest, ANewSettingsTableHoldsItsRecordFromTheStart) {
    TempDir fresh;
    TableDatabase db;
    ASSERT_TRUE(openOrCreateTables(db, fresh.path()).usable());
    // One create, one rename: never a px.edb without its record, not even for a moment.
    const std::string bytes = readFile(fresh.file("px.edb"));
    EXPECT_EQ(1, decodeInt32(bytes.data() + 16));
    EXPECT_EQ(1480u, bytes.size());
}

TEST_F(NothingLostTest, ABellMarkedDeletedButNeverPurgedIsGoneForEveryReader) {
    {
        TableDatabase db;
        ASSERT_TRUE(openOrCreateTables(db, dir.path()).usable());
        ASSERT_TRUE(addBell(db, formAt("09:00:00")).changed);
        db.select(schema::kBellAlias);
        db.goFirst();
        ASSERT_TRUE(db.deleteCurrent().isOk());  // the purge that should follow never came
    }
    const std::string left = readFile(bells);
    TableDatabase db;
    ASSERT_TRUE(openOrCreateTables(db, dir.path()).usable());
    EXPECT_EQ((std::vector<std::string>{"09:00:00"}), listed(db));
    test::RecordingSound sound;
    ASSERT_TRUE(runClockTick(db, {2026, 12, 7, 1, 8, 0, 0}, {}, sound, sound).isOk());
    EXPECT_TRUE(sound.take().empty()) << "a deleted bell rang";
    EXPECT_EQ(left, readFile(bells)) << "a reader changed the file";

    // Its time is free again, and the next change purges it.
    EXPECT_TRUE(addBell(db, formAt("08:00:00", "/bells/new.mp3")).changed);
    db.select(schema::kBellAlias);
    EXPECT_FALSE(db.hasDeletedRecords());
    EXPECT_EQ(1052u + 2 * 656, readFile(bells).size());
}

TEST_F(NothingLostTest, AMusicPathLongerThanItsFieldIsRefusedNeverCut) {
    TableDatabase db;
    ASSERT_TRUE(openOrCreateTables(db, dir.path()).usable());
    const std::string before = readFile(bells);
    std::string path = "/home/";
    while (path.size() < 600) path += "铃声/";  // 7 bytes in UTF-8, 5 in GBK: 430 in all
    path += "上课.mp3";
    for (const FlowResult& r : {addBell(db, formAt("09:00:00", path)),
                                changeBell(db, "08:00:00", formAt("08:00:00", path))}) {
        EXPECT_FALSE(r.changed);
        ASSERT_TRUE(r.message.has_value());
        EXPECT_NE(std::string::npos, r.message->text.find("音乐"));
        EXPECT_NE(std::string::npos, r.message->text.find("300"));
    }
    EXPECT_TRUE(before == readFile(bells)) << "the table changed";
    // 300 bytes of GBK exactly still fit.
    std::string fits = "/";
    while (fits.size() < 290) fits += "a";
    fits += std::string(300 - 1 - (fits.size() - 1) - 4, 'b') + ".mp3";
    ASSERT_EQ(300u, fits.size());
    EXPECT_TRUE(addBell(db, formAt("10:00:00", fits)).changed);
}

TEST_F(NothingLostTest, ARewriteKeepsTheFilesModeAndOwner) {
    // As an administrator set it up: the caretaker's group may write the schedule.
    ASSERT_EQ(0, ::chmod(bells.c_str(), 0664));
    const bool root = ::geteuid() == 0;  // only root may give the file to another user
    if (root) {
        ASSERT_EQ(0, ::chown(bells.c_str(), 65534, 65534));
    }
    TableDatabase db;
    ASSERT_TRUE(openOrCreateTables(db, dir.path()).usable());
    ASSERT_TRUE(changeBell(db, "08:00:00", formAt("08:05:00")).changed);  // replaced by rename
    ASSERT_TRUE(addBell(db, formAt("09:00:00")).changed);
    ASSERT_TRUE(deleteBell(db, "09:00:00"));  // purged by rename
    struct stat st;
    ASSERT_EQ(0, ::stat(bells.c_str(), &st));
    EXPECT_EQ(0664u, st.st_mode & 07777);
    if (root) {
        EXPECT_EQ(65534u, st.st_uid);
        EXPECT_EQ(65534u, st.st_gid);
    }
}

}  // namespace
}  // namespace tolvane
