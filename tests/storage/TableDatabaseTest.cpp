// SPDX-License-Identifier: GPL-3.0-or-later
// The operations as the program uses them: aliases, the record pointer, append, find, delete and
// purge, and what a failing file leaves behind.

#include <gtest/gtest.h>

#include "schedule/core/Schema.h"
#include "storage/TableDatabase.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

using test::readFile;
using test::TempDir;

class TableDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override {
        path = dir.file("t.edb");
        ASSERT_TRUE(
            db.create(path,
                      {{"Name", kFieldText, 20}, {"n", kFieldInteger}, {"flag", kFieldLogical}})
                .isOk());
        ASSERT_TRUE(db.open(path, "t").isOk());
    }
    void appendNames(std::initializer_list<const char*> names) {
        int64_t i = 0;
        for (const char* n : names) ASSERT_TRUE(db.append({std::string(n), ++i}).isOk());
    }
    std::vector<int32_t> stamps() {
        std::vector<int32_t> s;
        for (db.goFirst(); !db.endOfTable(); db.skip()) s.push_back(db.currentStamp().value());
        return s;
    }

    TempDir dir;
    std::string path;
    TableDatabase db;
};

TEST_F(TableDatabaseTest, StampsSurviveDeleteAndPurge) {
    appendNames({"a", "b", "c"});
    EXPECT_EQ((std::vector<int32_t>{1, 2, 3}), stamps());
    EXPECT_EQ(4, db.layout()->nextStamp);

    db.goFirst();
    db.skip();
    ASSERT_TRUE(db.deleteCurrent().isOk());
    EXPECT_EQ((std::vector<int32_t>{1, -2, 3}), stamps());
    db.skip(0);
    ASSERT_TRUE(db.purge().isOk());
    EXPECT_EQ(0, db.position());
    EXPECT_EQ((std::vector<int32_t>{1, 3}), stamps());

    TableDatabase again;
    ASSERT_TRUE(again.open(path, "t").isOk());
    EXPECT_EQ(2, again.recordCount());
    EXPECT_EQ(4, again.layout()->nextStamp);
    again.skip();
    EXPECT_EQ("c", again.readText("name").value());
    EXPECT_EQ(116u + 3 * 72 + 2 * 29, readFile(path).size());
}

TEST_F(TableDatabaseTest, PurgeKeepsOrderAcrossManyChunks) {
    // 0x28000 / 29 bytes = 5649 records per chunk: two chunks and a bit.
    TableDatabase::Options noSync;
    noSync.sync = false;
    TableDatabase big(noSync);
    ASSERT_TRUE(big.open(path, "t").isOk());
    for (int64_t i = 0; i < 12000; ++i) {
        ASSERT_TRUE(big.append({std::string("r") + std::to_string(i), i}).isOk());
        if (i % 3 == 0) {
            ASSERT_TRUE(big.deleteCurrent().isOk());
        }
    }
    ASSERT_TRUE(big.purge().isOk());
    ASSERT_EQ(8000, big.recordCount());
    int64_t expect = 1;
    for (big.goFirst(); !big.endOfTable(); big.skip()) {
        ASSERT_EQ(expect, big.readInteger("n").value());
        expect += expect % 3 == 1 ? 1 : 2;
    }
}

TEST_F(TableDatabaseTest, PointerSkipAndEnd) {
    EXPECT_TRUE(db.endOfTable());
    EXPECT_FALSE(db.skip());
    EXPECT_EQ(Status::Code::kNotFound, db.read("n").status().code());
    appendNames({"a", "b", "c"});
    EXPECT_EQ(2, db.position());  // the appended record is current
    db.goFirst();
    EXPECT_TRUE(db.skip(10));
    EXPECT_EQ(3, db.position());
    EXPECT_TRUE(db.endOfTable());
    EXPECT_FALSE(db.skip());
    EXPECT_EQ(3, db.position());
}

TEST_F(TableDatabaseTest, FindStartsAtThePointerAndFailureLeavesIt) {
    appendNames({"a", "b", "a", "c"});
    const auto isA = [&] { return db.readText("NAME").value() == "a"; };
    db.goFirst();
    db.skip();
    ASSERT_TRUE(db.find(isA));
    EXPECT_EQ(2, db.position());
    db.skip();
    EXPECT_FALSE(db.find(isA));
    EXPECT_EQ(3, db.position());
}

TEST_F(TableDatabaseTest, AliasesAndTheSamePathOpenedTwice) {
    appendNames({"a"});
    // Another spelling of the same file is the same file.
    const Status again = db.open(dir.path() + "/./t.edb", "other");
    EXPECT_EQ(Status::Code::kAlreadyOpen, again.code());
    EXPECT_FALSE(db.hasTable("other"));
    EXPECT_EQ(Status::Code::kAlreadyOpen, db.open(path, "t").code());
    ASSERT_TRUE(db.select("t").isOk());
    db.goFirst();
    EXPECT_EQ("a", db.readText("name").value());

    ASSERT_TRUE(db.create(dir.file("u.edb"), {{"x", kFieldInteger}}).isOk());
    ASSERT_TRUE(db.open(dir.file("u.edb"), "u").isOk());
    EXPECT_EQ(0, db.recordCount());
    EXPECT_EQ(Status::Code::kNotFound, db.select("nope").code());
    EXPECT_EQ(0, db.recordCount());  // still on "u"
    ASSERT_TRUE(db.select("t").isOk());
    EXPECT_EQ(1, db.recordCount());
    EXPECT_EQ(0, db.position());  // each table keeps its own pointer
}

TEST_F(TableDatabaseTest, AppendConvertsNumbersAndRefusesOtherKinds) {
    ASSERT_TRUE(db.append({std::string("a"), 7.9, Value{}}).isOk());
    EXPECT_EQ(7, db.readInteger("n").value());
    EXPECT_FALSE(db.readLogical("flag").value());
    ASSERT_TRUE(db.append({std::string("b")}).isOk());  // trailing values left out
    EXPECT_EQ(0, db.readInteger("n").value());

    const std::string before = readFile(path);
    EXPECT_FALSE(db.append({std::string("c"), int64_t{1}, std::string("yes")}).isOk());
    EXPECT_FALSE(db.append({int64_t{1}}).isOk());
    EXPECT_FALSE(db.append({std::string("d"), int64_t{1} << 40}).isOk());  // no int32
    EXPECT_FALSE(db.append({std::string("e"), int64_t{1}, true, int64_t{4}}).isOk());
    EXPECT_EQ(before, readFile(path));
    EXPECT_EQ(2, db.recordCount());

    db.goFirst();
    ASSERT_TRUE(db.write("n", 42.0).isOk());
    EXPECT_FALSE(db.write("flag", int64_t{1}).isOk());
    EXPECT_EQ(Status::Code::kNotFound, db.write("missing", true).code());
    TableDatabase again;
    ASSERT_TRUE(again.open(path, "t").isOk());
    EXPECT_EQ(42, again.readInteger("n").value());
}

TEST_F(TableDatabaseTest, TypedReadsOfAnotherTypeAreTheFatalError) {
    appendNames({"a"});
    for (const Status& s : {db.readText("n").status(), db.readInteger("flag").status(),
                            db.readLogical("name").status()}) {
        EXPECT_EQ(Status::Code::kTypeMismatch, s.code());
        EXPECT_EQ(5, s.runtimeErrorCode());
        EXPECT_EQ("数据或数组类型不匹配", s.message());
    }
}

TEST_F(TableDatabaseTest, TextsAreCutAtTheWidthWithoutHalfCharacters) {
    ASSERT_TRUE(db.append({std::string(25, 'x')}).isOk());
    EXPECT_EQ(std::string(20, 'x'), db.readText("name").value());
    const std::string file = readFile(path);
    EXPECT_EQ(std::string(20, 'x'), file.substr(116 + 3 * 72 + 4, 20));  // no NUL after it

    // 19 ASCII bytes and a two-byte character: the character is dropped whole.
    ASSERT_TRUE(db.append({std::string(19, 'y') + "中"}).isOk());
    EXPECT_EQ(std::string(19, 'y'), db.readText("name").value());
    // A character GBK lacks keeps its GB18030 bytes and comes back.
    ASSERT_TRUE(db.append({std::string("铃\xF0\x9F\x94\x94")}).isOk());
    EXPECT_EQ("铃\xF0\x9F\x94\x94", db.readText("name").value());
    EXPECT_FALSE(db.append({std::string("\xC3")}).isOk());  // not UTF-8
}

TEST_F(TableDatabaseTest, AFailedWriteChangesNothing) {
    appendNames({"a", "b"});
    test::FaultyFileSystem faulty;
    TableDatabase::Options o;
    o.fileSystem = &faulty;
    TableDatabase fdb(o);
    ASSERT_TRUE(fdb.open(path, "t").isOk());
    const std::string before = readFile(path);
    const auto failNextStep = [&] {
        faulty.injectAt(faulty.steps() + 1, test::FaultyFileSystem::Fault::kFail);
    };
    failNextStep();
    EXPECT_FALSE(fdb.append({std::string("c")}).isOk());
    fdb.goFirst();
    failNextStep();
    EXPECT_FALSE(fdb.deleteCurrent().isOk());
    failNextStep();
    EXPECT_FALSE(fdb.write("n", int64_t{9}).isOk());
    EXPECT_EQ(1, fdb.readInteger("n").value());
    failNextStep();
    EXPECT_FALSE(fdb.purge().isOk());
    EXPECT_EQ(2, fdb.recordCount());
    EXPECT_EQ(before, readFile(path));
    EXPECT_FALSE(test::exists(path + ".tmp"));
    faulty.injectAt(0, test::FaultyFileSystem::Fault::kNone);
    EXPECT_TRUE(fdb.append({std::string("c")}).isOk());
    EXPECT_EQ(3, fdb.recordCount());
}

}  // namespace
}  // namespace tolvane
