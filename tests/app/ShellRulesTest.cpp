#include <gtest/gtest.h>

#include <filesystem>

#include "ProgramFolder.h"
#include "Schema.h"
#include "ShellRules.h"
#include "TempDir.h"

namespace tolvane {
namespace {

TEST(TimeSpinnerTest, WrapsAndAlwaysWritesTwoDigits) {
    struct Case {
        const char* text;
        int max;
        int direction;
        const char* expected;
    };
    const Case cases[] = {
        {"59", 59, +1, "00"}, {"00", 59, -1, "59"}, {"09", 59, +1, "10"}, {"10", 59, -1, "09"},
        {"23", 23, +1, "00"}, {"00", 23, -1, "23"}, {"", 59, +1, "01"},   {" 7x", 23, +1, "08"},
        {"-5", 59, -1, "59"},  // clamped to 0 first
        {"75", 59, -1, "58"},  // clamped to 59 first, never "074"
        {"75", 59, +1, "00"},  {"+3", 59, -1, "02"}, {"999999999999", 23, -1, "22"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, spinTimeText(c.text, c.max, c.direction))
            << "\"" << c.text << "\" " << c.direction;
}

TEST(ClockGlyphsTest, TensUnitsAndColons) {
    EXPECT_EQ((std::array<int, 8>{0, 9, 10, 0, 5, 10, 0, 7}), clockGlyphs(9, 5, 7));
    EXPECT_EQ((std::array<int, 8>{2, 3, 10, 5, 9, 10, 5, 9}), clockGlyphs(23, 59, 59));
    EXPECT_EQ((std::array<int, 8>{0, 0, 10, 0, 0, 10, 0, 0}), clockGlyphs(0, 0, 0));
}

TEST(DateLabelTest, NoLeadingZerosAndTheWeekday) {
    const LocalTime t = ManualClock().toLocal(civilToEpochSeconds(2013, 8, 26, 9, 5, 7));
    EXPECT_EQ("2013年8月26日 周一", dateLabelText(t));
}

TEST(ListSortTest, OrdersBySortValueWithTheInsertionRule) {
    using Order = std::vector<size_t>;
    EXPECT_EQ((Order{1, 2, 0}), listSortOrder({50400, 28800, 34200}));  // 14:00, 08:00, 09:30
    EXPECT_EQ(Order{}, listSortOrder({}));
    // Equal to the last sorted so far: after it. Equal to the first (and below the last): before.
    EXPECT_EQ((Order{0, 1}), listSortOrder({28800, 28800}));
    EXPECT_EQ((Order{2, 0, 1}), listSortOrder({28800, 36000, 28800}));
    // Binary search between first and last.
    EXPECT_EQ((Order{0, 3, 2, 4, 1}), listSortOrder({1, 9, 5, 3, 7}));
}

TEST(ListSortTest, KeysTrimSpacesAndReadLeadingNumbers) {
    EXPECT_EQ(32400, listSortKey("32400"));
    EXPECT_EQ(32400, listSortKey(" \xE3\x80\x80" "32400\xE3\x80\x80 "));
    EXPECT_EQ(0, listSortKey("abc"));
    EXPECT_EQ(12, listSortKey("12abc"));
}

TEST(ScheduleRowsTest, CellsAsStoredAndMarkers) {
    test::TempDir dir;
    TableDatabase db;
    openOrCreateTables(db, dir.path());
    db.select(schema::kBellAlias);
    db.append(bellValues({"9:00:00", "", "/b/a.mp3", {}, 32400}));
    db.append(bellValues({"08:00:00", "08:00:30", "/b/b.mp3", {true, false, true}, 28800}));
    const auto rows = readScheduleRows(db).value();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ((ScheduleRow{"9:00:00", "", "/b/a.mp3", "○", "○", "○", "○", "○", "○", "○", "32400"}), rows[0]);
    EXPECT_EQ((ScheduleRow{"08:00:00", "08:00:30", "/b/b.mp3", "●", "○", "●", "○", "○", "○", "○", "28800"}),
              rows[1]);
}

TEST(DataFolderTest, FallsBackWhenTheProgramFolderIsNotWritable) {
    test::TempDir dir;
    EXPECT_EQ(dir.path(), chooseDataFolder(dir.path(), dir.file("home")));
    // A program folder that does not exist cannot be written, even by root.
    const std::string chosen = chooseDataFolder(dir.file("missing"), dir.file("home"));
    EXPECT_EQ(dir.file("home") + "/tolvane", chosen);
    EXPECT_TRUE(std::filesystem::is_directory(chosen));
}

TEST(DataFolderTest, TheProgramFolderIsTheExecutablesFolder) {
    std::error_code ec;
    EXPECT_TRUE(std::filesystem::equivalent(programFolder(), TOLVANE_BIN_DIR, ec)) << programFolder();
}

}  // namespace
}  // namespace tolvane
