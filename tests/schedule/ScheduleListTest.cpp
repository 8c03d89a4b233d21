// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "schedule/core/ScheduleList.h"
#include "schedule/core/Schema.h"
#include "tests/support/TempDir.h"

namespace tolvane {
namespace {

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
    EXPECT_EQ(32400, listSortKey(" \xE3\x80\x80"
                                 "32400\xE3\x80\x80 "));
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
    EXPECT_EQ((ScheduleRow{"9:00:00", "", "/b/a.mp3", "○", "○", "○", "○", "○", "○", "○", "32400"}),
              rows[0]);
    EXPECT_EQ((ScheduleRow{"08:00:00", "08:00:30", "/b/b.mp3", "●", "○", "●", "○", "○", "○", "○",
                           "28800"}),
              rows[1]);
}

}  // namespace
}  // namespace tolvane
