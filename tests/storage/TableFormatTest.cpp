// SPDX-License-Identifier: GPL-3.0-or-later
// The file layout byte for byte, the create-time checks and the open-time checks.

#include <gtest/gtest.h>

#include "schedule/core/Schema.h"
#include "storage/Coding.h"
#include "storage/TableDatabase.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;
using namespace std::string_literals;

constexpr double kCreated = 41512.5;  // 2013-08-26 12:00

TableDatabase::Options fixedClock() {
    TableDatabase::Options o;
    o.now = [] { return kCreated; };
    return o;
}

TEST(TableLayoutTest, NewTablesHaveTheExactSizesAndHeader) {
    TempDir dir;
    TableDatabase db(fixedClock());
    ASSERT_TRUE(db.create(dir.file("db.edb"), bellTableFields()).isOk());
    ASSERT_TRUE(db.create(dir.file("px.edb"), settingsTableFields()).isOk());
    const std::string bells = readFile(dir.file("db.edb"));
    const std::string settings = readFile(dir.file("px.edb"));
    EXPECT_EQ(1052u, bells.size());
    EXPECT_EQ(836u, settings.size());

    EXPECT_EQ("WEDB", bells.substr(0, 4));
    EXPECT_EQ(0x10000u, decodeFixed32(bells.data() + 4));
    EXPECT_EQ(kCreated, decodeDouble(bells.data() + 8));
    EXPECT_EQ(0, decodeInt32(bells.data() + 16));
    EXPECT_EQ(1, decodeInt32(bells.data() + 20));
    EXPECT_EQ(656, decodeInt32(bells.data() + 24));
    EXPECT_EQ(std::string(84, '\0'), bells.substr(28, 84));
    EXPECT_EQ(13, decodeInt32(bells.data() + 112));
    EXPECT_EQ(644, decodeInt32(settings.data() + 24));

    // Descriptor 3 (音乐): GBK name zero-padded to 20 bytes, type, offset, width, 40 zero bytes.
    const char* d = bells.data() + 116 + 2 * 72;
    EXPECT_EQ(std::string("\xD2\xF4\xC0\xD6", 4) + std::string(16, '\0'), std::string(d, 20));
    EXPECT_EQ(10, decodeInt32(d + 20));
    EXPECT_EQ(44, decodeInt32(d + 24));
    EXPECT_EQ(300, decodeInt32(d + 28));
    EXPECT_EQ(std::string(40, '\0'), std::string(d + 32, 40));
    // Descriptor 11 (排序值): integer at 351, width 0.
    d = bells.data() + 116 + 10 * 72;
    EXPECT_EQ(3, decodeInt32(d + 20));
    EXPECT_EQ(351, decodeInt32(d + 24));
    EXPECT_EQ(0, decodeInt32(d + 28));
}

TEST(TableLayoutTest, AppendedRecordBytes) {
    TempDir dir;
    TableDatabase db(fixedClock());
    ASSERT_TRUE(db.create(dir.file("db.edb"), bellTableFields()).isOk());
    ASSERT_TRUE(db.open(dir.file("db.edb"), "b").isOk());
    BellRecord bell{
        "08:05:00", "", "/bells/a.mp3", {true, false, false, false, true, false, false}, 29100};
    ASSERT_TRUE(db.append(bellValues(bell)).isOk());
    const std::string file = readFile(dir.file("db.edb"));
    ASSERT_EQ(1052u + 656u, file.size());
    const char* r = file.data() + 1052;
    EXPECT_EQ(1, decodeInt32(r));
    EXPECT_EQ(std::string("08:05:00") + std::string(12, '\0'), std::string(r + 4, 20));
    EXPECT_EQ(std::string(20, '\0'), std::string(r + 24, 20));
    EXPECT_EQ(std::string("\1\0\0\0\1\0\0", 7), std::string(r + 344, 7));
    EXPECT_EQ(29100, decodeInt32(r + 351));
    EXPECT_EQ(0, r[355]);
    EXPECT_EQ(1, decodeInt32(file.data() + 16));
    EXPECT_EQ(2, decodeInt32(file.data() + 20));
}

TEST(TableLayoutTest, EveryFieldTypeRoundTripsWithItsSize) {
    TempDir dir;
    TableDatabase db;
    const std::vector<FieldDef> defs = {{"b", 1}, {"s", 2},     {"i", 3},  {"l", 4},
                                        {"f", 5}, {"d", 6},     {"g", 7},  {"t", 8},
                                        {"p", 9}, {"x", 10, 5}, {"y", 11}, {"z", 12}};
    ASSERT_TRUE(db.create(dir.file("all"), defs).isOk());
    // No extension: ".EDB"; types 11 and 12 bring the companion file.
    EXPECT_EQ(116u + 12 * 72, readFile(dir.file("all.EDB")).size());
    const std::string companion = readFile(dir.file("all.EDT"));
    ASSERT_EQ(32u, companion.size());
    EXPECT_EQ("WEDT", companion.substr(0, 4));

    ASSERT_TRUE(db.open(dir.file("all"), "a").isOk());
    EXPECT_EQ(4 + 1 + 2 + 4 + 8 + 4 + 8 + 1 + 8 + 4 + 5 + 4 + 4, db.layout()->recordLength);
    const std::vector<Value> values = {
        int64_t{200}, int64_t{-300}, int64_t{-70000}, int64_t{1} << 40,     1.5,        2.25,
        true,         41512.5,       int64_t{9},      std::string("abcde"), int64_t{0}, int64_t{0}};
    ASSERT_TRUE(db.append(values).isOk());
    for (size_t i = 0; i < defs.size(); ++i)
        EXPECT_EQ(values[i], db.read(defs[i].name).value()) << defs[i].name;
}

struct CreateCase {
    const char* label;
    std::string path;
    std::vector<FieldDef> fields;
    bool ok;
};

TEST(TableCreateTest, ChecksTheDefinitions) {
    TempDir dir;
    const std::string p = dir.file("t.edb");
    const CreateCase cases[] = {
        {"empty file name", "", {{"a", 3}}, false},
        {"empty list", p, {}, false},
        {"empty first name", p, {{"", 3}, {"a", 3}}, false},
        {"empty name ends the list", p, {{"a", 3}, {"", 99}}, true},
        {"leading digit", p, {{"1a", 3}}, false},
        {"leading dot", p, {{".a", 3}}, false},
        {"punctuation", p, {{"a-b", 3}}, false},
        {"17 bytes", p, {{"abcdefghijklmnopq", 3}}, false},
        {"16 bytes", p, {{"abcdefghijklmnop", 3}}, true},
        {"9 Chinese characters are 18 GBK bytes", p, {{"一二三四五六七八九", 7}}, false},
        {"type 0", p, {{"a", 0}}, false},
        {"type 13", p, {{"a", 13}}, false},
        {"text width 0", p, {{"a", 10, 0}}, false},
        {"text width 1025", p, {{"a", 10, 1025}}, false},
        {"text width 1024", p, {{"a", 10, 1024}}, true},
        {"same name in another case", p, {{"Name", 3}, {"nAME", 7}}, false},
    };
    for (const CreateCase& c : cases) {
        TableDatabase db;
        const Status s = db.create(c.path, c.fields);
        EXPECT_EQ(c.ok, s.isOk()) << c.label << ": " << s.toString();
    }
}

TEST(TableCreateTest, ReplacesAnExistingFileButNotAnOpenOne) {
    TempDir dir;
    writeFile(dir.file("t.edb"), "something else");
    TableDatabase db;
    ASSERT_TRUE(db.create(dir.file("t.edb"), {{"a", 3}}).isOk());
    ASSERT_TRUE(db.open(dir.file("t.edb"), "t").isOk());
    ASSERT_TRUE(db.append({int64_t{5}}).isOk());
    EXPECT_EQ(Status::Code::kAlreadyOpen, db.create(dir.file("t.edb"), {{"a", 3}}).code());
    EXPECT_EQ(5, db.readInteger("a").value());
}

// Each damage is applied to a valid one-record table; the open must fail for that damage's reason
// (so a check that stops firing is noticed even when a later one catches the file) and leave the
// file as it was.
struct Damage {
    const char* label;
    size_t offset;
    std::string bytes;
    const char* reason;
};

std::string le32(int32_t v) {
    std::string b(4, '\0');
    putInt32(b.data(), v);
    return b;
}

TEST(TableOpenTest, RefusesDamagedHeadersAndLeavesThemAlone) {
    TempDir dir;
    const std::string path = dir.file("t.edb");
    {
        TableDatabase db;
        ASSERT_TRUE(db.create(path, {{"a", 10, 8}, {"b", 3}}).isOk());
        ASSERT_TRUE(db.open(path, "t").isOk());
        ASSERT_TRUE(db.append({std::string("x"), int64_t{1}}).isOk());
    }
    const std::string good = readFile(path);
    const size_t d1 = 116, d2 = 116 + 72;
    const Damage damages[] = {
        {"magic", 0, "WEDC", "not a table file (no WEDB magic)"},
        {"newer version", 4, le32(0x10001),
         "format version 65537 is newer than this program reads"},
        {"negative count", 16, le32(-1), "record count is negative"},
        {"zero next stamp", 20, le32(0), "next record stamp is not positive"},
        {"zero record length", 24, le32(0), "record length 0 is too short"},
        {"record length shorter than a field's end", 24, le32(12),
         "field 2 lies outside the record"},
        {"record length longer than the fields", 24, le32(17),
         "record length 17 is longer than its fields need"},
        {"zero fields", 112, le32(0), "field count is not positive"},
        {"more fields than the file holds", 112, le32(1000),
         "file ends inside the field descriptors"},
        {"name without end", d1, std::string(17, 'a'), "field 1 has no name end"},
        {"type 13", d2 + 20, le32(13), "field 2 has unknown type 13"},
        {"type 0", d2 + 20, le32(0), "field 2 has unknown type 0"},
        {"negative offset", d2 + 24, le32(-4), "field 2 has a negative offset"},
        {"text without width", d1 + 28, le32(0), "field 1 is a text field of width 0"},
        {"text wider than the record", d1 + 28, le32(1024), "field 1 lies outside the record"},
        {"text wider than any text field", d1 + 28, le32(1025),
         "field 1 is a text field of width 1025"},
    };
    for (const Damage& d : damages) {
        std::string bad = good;
        bad.replace(d.offset, d.bytes.size(), d.bytes);
        writeFile(path, bad);
        TableDatabase db;
        const Status s = db.open(path, "t");
        EXPECT_EQ(Status::Code::kCorruption, s.code()) << d.label << ": " << s.toString();
        EXPECT_EQ(path + ": " + d.reason, s.message()) << d.label;
        EXPECT_EQ(bad, readFile(path)) << d.label;
    }
    const std::pair<size_t, const char*> cuts[] = {
        {0, "file is too short to hold a table header"},
        {50, "file is too short to hold a table header"},
        {115, "file is too short to hold a table header"},
        {116 + 100, "file ends inside the field descriptors"}};
    for (const auto& [cut, reason] : cuts) {
        writeFile(path, good.substr(0, cut));
        TableDatabase db;
        const Status s = db.open(path, "t");
        EXPECT_EQ(Status::Code::kCorruption, s.code()) << "cut at " << cut;
        EXPECT_EQ(path + ": " + reason, s.message()) << "cut at " << cut;
    }
    EXPECT_EQ(Status::Code::kNotFound, TableDatabase().open(dir.file("none.edb"), "t").code());
}

// A file whose size disagrees with its count more than an unfinished append leaves (a copy
// caught halfway, a file cut short) is read not at all and never written, by any open; only an
// explicit repair makes its count agree with what it holds. An unfinished append's bytes are cut.
TEST(TableOpenTest, AFileCutShortIsDamagedAndOnlyAnExplicitRepairMendsIt) {
    TempDir dir;
    const std::string path = dir.file("t.edb");
    {
        TableDatabase db;
        ASSERT_TRUE(db.create(path, {{"a", 3}}).isOk());  // record length 8, data at 188
        ASSERT_TRUE(db.open(path, "t").isOk());
        for (int i = 1; i <= 3; ++i) ASSERT_TRUE(db.append({int64_t{i}}).isOk());
    }
    const std::string whole = readFile(path);
    ASSERT_EQ(188u + 24, whole.size());

    // Count says 5, the file holds 3 records and half of a fourth.
    std::string cut = whole + "\x04\0\0\0"s;
    cut.replace(16, 4, le32(5));
    writeFile(path, cut);
    for (auto access : {TableDatabase::Access::kReadWrite, TableDatabase::Access::kReadOnly}) {
        TableDatabase db;
        const Status s = db.open(path, "t", access);
        EXPECT_EQ(Status::Code::kCorruption, s.code());
        EXPECT_NE(std::string::npos, s.message().find("holds 3 of the 5 records")) << s.message();
    }
    EXPECT_EQ(cut, readFile(path)) << "a damaged file was written";

    auto repaired = TableDatabase().repairFile(path);
    ASSERT_TRUE(repaired.isOk()) << repaired.status().message();
    EXPECT_EQ(3, repaired.value().recordCount);
    EXPECT_EQ(whole, readFile(path));

    // Two records past the count: more than an unfinished append leaves.
    std::string twoPast = whole;
    twoPast.replace(16, 4, le32(1));
    writeFile(path, twoPast);
    EXPECT_EQ(Status::Code::kCorruption, TableDatabase().open(path, "t").code());
    EXPECT_EQ(twoPast, readFile(path));

    // One record past the count, an append that never counted its record: cut on open.
    std::string onePast = whole;
    onePast.replace(16, 4, le32(2));
    writeFile(path, onePast);
    {
        TableDatabase db;
        ASSERT_TRUE(db.open(path, "t").isOk());
        EXPECT_EQ(2, db.recordCount());
    }
    EXPECT_EQ(188u + 16, readFile(path).size());
}

}  // namespace
}  // namespace tolvane
