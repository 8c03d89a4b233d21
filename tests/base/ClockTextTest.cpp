// SPDX-License-Identifier: GPL-3.0-or-later
// The one reader of times of day and dates: what people and files write is read, anything else
// refused, never read as something near it.

#include <gtest/gtest.h>

#include "base/Clock.h"

namespace tolvane {
namespace {

TEST(ClockTextTest, TimesOfDayAndDatesAreReadOrRefusedWhole) {
    for (const auto& [text, second] :
         {std::pair{"08:05:30", 8 * 3600 + 5 * 60 + 30}, std::pair{"8:05", 8 * 3600 + 5 * 60},
          std::pair{"0:0:0", 0}, std::pair{"23:59:59", 86399}})
        EXPECT_EQ(parseTimeOfDay(text), second) << text;
    for (const char* refused : {"", "8", "24:00", "08:60", "08:05:60", "08:05:", ":05", "08::05",
                                "08:05:30:1", "-1:00", "08:05 ", "008:05", "八:05"})
        EXPECT_FALSE(parseTimeOfDay(refused).has_value()) << refused;

    const auto day = parseDate("2028-02-29");
    ASSERT_TRUE(day.has_value());
    EXPECT_EQ(dateText(*day), "2028-02-29");
    EXPECT_EQ(day->weekday, 2);  // a Tuesday
    for (const char* refused : {"2027-02-29", "2026-13-01", "2026-00-10", "2026-1-10", "2026-12-1",
                                "2026/12/10", "2026-12-10 ", ""})
        EXPECT_FALSE(parseDate(refused).has_value()) << refused;
    EXPECT_EQ(timeText(atSecondOfDay(*day, 3600 + 61)), "01:01:01");
}

}  // namespace
}  // namespace tolvane
