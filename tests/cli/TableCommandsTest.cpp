// SPDX-License-Identifier: GPL-3.0-or-later
// tolvanectl's table commands: what they print, and that bad files give one line and change
// nothing.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "cli/Json.h"
#include "cli/TableCommands.h"
#include "schedule/core/Schema.h"
#include "tests/support/TempDir.h"

namespace tolvane::cli {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

struct Output {
    int status;
    std::string out, err;
};

template <typename F>
Output capture(F command) {
    std::ostringstream out, err;
    const int status = command(out, err);
    return {status, out.str(), err.str()};
}

// What tolvanectl writes as JSON parses whatever a table holds: bytes that are no UTF-8 (another
// program's text) become U+FFFD, control characters are escaped, numbers stay numbers.
TEST(TolvanectlTest, JsonIsValidWhateverTheTablesHold) {
    EXPECT_EQ(cli::jsonString("铃\xff\"\n\x01"), "\"铃\xEF\xBF\xBD\\\"\\n\\u0001\"");
    EXPECT_EQ(cli::jsonValue(Value{0.5}), "0.5");
    EXPECT_EQ(cli::jsonValue(Value{std::nan("")}), "null");
    EXPECT_EQ(cli::jsonValue(Value{int64_t{-3}}), "-3");
}

TEST(TolvanectlTest, InitThenDumpJson) {
    TempDir dir;
    Output init = capture([&](auto& o, auto& e) { return initCommand(dir.path(), o, e); });
    ASSERT_EQ(0, init.status) << init.err;
    EXPECT_EQ("px.edb: created\ndb.edb: created\n", init.out);
    {
        TableDatabase db;
        openOrCreateTables(db, dir.path());
        db.select(schema::kBellAlias);
        db.append(bellValues({"08:00:00", "", "C:\\铃声\\\"a\".mp3", {true}, 28800}));
        db.append(bellValues({"09:00:00", "", "b", {}, 32400}));
        db.goFirst();
        db.deleteCurrent();
    }
    Output dump =
        capture([&](auto& o, auto& e) { return dumpCommand(dir.file("db.edb"), true, o, e); });
    ASSERT_EQ(0, dump.status) << dump.err;
    EXPECT_NE(std::string::npos,
              dump.out.find("{\"version\": 65536, \"record_count\": 2, \"next_stamp\": 3, "
                            "\"record_length\": 656, \"fields\": [{\"name\": \"播放时间\", "
                            "\"type\": 10, \"offset\": 4, \"width\": 20}, "))
        << dump.out;
    EXPECT_NE(std::string::npos,
              dump.out.find(
                  "{\"stamp\": 1, \"deleted\": true, \"values\": {\"播放时间\": "
                  "\"08:00:00\", \"结束时间\": \"\", \"音乐\": \"C:\\\\铃声\\\\\\\"a\\\".mp3\", "
                  "\"周一\": true, \"周二\": false"))
        << dump.out;
    EXPECT_NE(std::string::npos, dump.out.find("\"排序值\": 32400"));
}

TEST(TolvanectlTest, BadFilesGiveOneLineAndStayUnchanged) {
    TempDir dir;
    writeFile(dir.file("junk.edb"), "WEDB and then nonsense");
    for (const std::string& file : {dir.file("missing.edb"), dir.file("junk.edb"), dir.path()}) {
        const std::string before = readFile(file);
        for (int command = 0; command < 2; ++command) {
            Output r = capture([&](auto& o, auto& e) {
                return command ? checkCommand(file, o, e) : dumpCommand(file, false, o, e);
            });
            EXPECT_EQ(1, r.status) << file;
            EXPECT_EQ(0u, r.err.rfind("tolvanectl: " + file, 0)) << r.err;
            EXPECT_EQ(1, std::count(r.err.begin(), r.err.end(), '\n')) << r.err;
        }
        EXPECT_EQ(before, readFile(file));
    }
}

TEST(TolvanectlTest, CheckTellsTheRepairWithoutMakingIt) {
    TempDir dir;
    ASSERT_EQ(0, capture([&](auto& o, auto& e) { return initCommand(dir.path(), o, e); }).status);
    const std::string path = dir.file("px.edb");
    const std::string damaged = readFile(path) + "12345";
    writeFile(path, damaged);
    Output r = capture([&](auto& o, auto& e) { return checkCommand(path, o, e); });
    EXPECT_EQ(0, r.status);
    EXPECT_NE(std::string::npos, r.out.find("repair would cut 5 bytes")) << r.out;
    EXPECT_EQ(damaged, readFile(path));
}

}  // namespace
}  // namespace tolvane::cli
